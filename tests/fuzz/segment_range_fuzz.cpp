// libFuzzer target: the Segment range decision against a reference decision, on any texts,
// either reading of each, and any source size.
//
// Input: one byte of flags (bit 0: Start is hexadecimal, bit 1: End is), eight bytes of
// source size (little-endian, top bit cleared: a size comes from a signed seek), then the
// Start text, a NUL, and the End text (cut at a further NUL, as a field would cut it).
#include "offset_reference.h"
#include "segment_range.h"

#include <algorithm>
#include <cstdlib>
#include <string>

// The range as an interval: from Start up to End, where End 0 means no limit, cut to the
// source; accepted when something is left.
static bool reference_range(const std::string& start_text, bool start_hex,
                            const std::string& end_text, bool end_hex, uint64_t size,
                            uint64_t* start, uint64_t* end) {
    *start = start_hex ? reference_hex_offset(start_text)
                       : static_cast<uint64_t>(reference_dec_offset(start_text));
    uint64_t limit = end_hex ? reference_hex_offset(end_text)
                             : static_cast<uint64_t>(reference_dec_offset(end_text));
    *end = limit == 0 ? size : std::min(limit, size);
    return *start < *end;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 9)
        return 0;
    bool start_hex = (data[0] & 1) != 0, end_hex = (data[0] & 2) != 0;
    uint64_t file_size = 0;
    for (int i = 8; i >= 1; --i)
        file_size = file_size << 8 | data[i];
    file_size &= INT64_MAX;

    std::string texts(reinterpret_cast<const char*>(data + 9), size - 9);
    size_t cut = texts.find('\0');
    std::string start_text = texts.substr(0, cut);
    std::string end_text = cut == std::string::npos ? "" : texts.substr(cut + 1);
    end_text = end_text.substr(0, end_text.find('\0'));

    SegmentRange range =
        decide_segment_range(start_text.c_str(), start_hex, end_text.c_str(), end_hex, file_size);
    uint64_t start, end;
    bool accepted =
        reference_range(start_text, start_hex, end_text, end_hex, file_size, &start, &end);
    if (range.sane != accepted)
        abort();
    if (accepted && (range.start != start || range.end != end))
        abort();
    return 0;
}
