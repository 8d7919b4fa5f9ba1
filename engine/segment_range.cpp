// The range decision of Segment mode, kept apart from the job so that it can be tested
// and fuzzed on its own.
#include "segment_range.h"

#include "offset_readers.h"

static uint64_t read_offset(const char* text, bool hex) {
    return hex ? parse_hex_offset(text) : static_cast<uint64_t>(parse_dec_offset(text));
}

SegmentRange decide_segment_range(const char* start_text, bool start_hex, const char* end_text,
                                  bool end_hex, uint64_t file_size) {
    SegmentRange range;
    range.start = read_offset(start_text, start_hex);
    range.end = read_offset(end_text, end_hex);
    if (range.end == 0 || range.end >= file_size)
        range.end = file_size;
    range.sane = range.start < file_size && range.start < range.end;
    return range;
}
