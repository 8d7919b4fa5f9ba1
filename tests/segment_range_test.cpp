// The range decision on its own, for what a job over real files cannot reach cheaply: sizes
// far beyond what a test writes, and the hexadecimal box changing between the two texts.
#include "segment_range.h"

#include <gtest/gtest.h>

namespace {

constexpr uint64_t LARGEST_SIZE = INT64_MAX; // a size comes from a signed 64-bit seek
constexpr uint64_t REFUSED = UINT64_MAX;

struct RangeCase {
    const char* start;
    bool start_hex;
    const char* end;
    bool end_hex;
    uint64_t size;
    uint64_t from, to; // the accepted range, or REFUSED
};

const RangeCase range_cases[] = {
    // The box ticked for one text only: each text is read as the box was when it was read.
    {"10", true, "20", false, 100, 16, 20},
    {"10", false, "20", true, 100, 10, 32},
    {"20", false, "10", true, 100, REFUSED, 0}, // 20 against 16
    // Beyond 32 bits: nothing is cut to 32 bits on the way.
    {"100000000", true, "100000001", true, 0x100000002, 0x100000000, 0x100000001},
    {"4294967296", false, "0", false, 0x100000001, 0x100000000, 0x100000001},
    {"4294967295", false, "4294967296", false, 0x100000000, 0xFFFFFFFF, 0x100000000},
    // The largest source: End -1 or past it is the end; Start just below it is one byte.
    {"9223372036854775806", false, "-1", false, LARGEST_SIZE, LARGEST_SIZE - 1, LARGEST_SIZE},
    {"7ffffffffffffffe", true, "ffffffffffffffff", true, LARGEST_SIZE, LARGEST_SIZE - 1,
     LARGEST_SIZE},
    {"7fffffffffffffff", true, "0", false, LARGEST_SIZE, REFUSED, 0},
    // Saturated decimal texts: a huge Start is refused, a huge End runs to the end.
    {"99999999999999999999", false, "0", false, LARGEST_SIZE, REFUSED, 0},
    {"0", false, "99999999999999999999", false, 1000, 0, 1000},
    // An empty source refuses even the whole-file range.
    {"0", false, "0", false, 0, REFUSED, 0},
};

TEST(SegmentRange, DecidesByTheTextsTheBoxAndTheSize) {
    for (const RangeCase& c : range_cases) {
        SCOPED_TRACE(std::string(c.start) + (c.start_hex ? " hex" : "") + " .. " + c.end +
                     (c.end_hex ? " hex" : "") + " of " + std::to_string(c.size));
        SegmentRange range = decide_segment_range(c.start, c.start_hex, c.end, c.end_hex, c.size);
        if (c.from == REFUSED) {
            EXPECT_FALSE(range.sane);
        } else {
            EXPECT_TRUE(range.sane);
            EXPECT_EQ(range.start, c.from);
            EXPECT_EQ(range.end, c.to);
        }
    }
}

} // namespace
