// The decision of Segment mode on its range: the Start and End texts, each read as the
// "Specify as hexadecimal" box said when it was read, against the size of the source.
#pragma once

#include <cstdint>

struct SegmentRange {
    uint64_t start;
    uint64_t end; // exclusive; an End of 0 or past the source is the source's size
    bool sane;    // false: the range does not fit the source and nothing is copied
};

// Reads both texts (NUL-terminated) with the offset readers, takes an End of 0 or at or
// past `file_size` as `file_size`, and refuses a Start at or past the size or not below
// End. All comparisons are unsigned 64-bit.
SegmentRange decide_segment_range(const char* start_text, bool start_hex, const char* end_text,
                                  bool end_hex, uint64_t file_size);
