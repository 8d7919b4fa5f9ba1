#include "offset_readers.h"
#include "offset_reference.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>

namespace {

struct HexCase {
    const char* text;
    uint64_t value;
};

const HexCase hex_cases[] = {
    {"", 0},
    {"ff", 255},
    {"FF", 255},
    {" \t \tfF", 255},
    {"12zz", 18},
    {"0x10", 0}, // no radix prefix: the x stops the reading
    {"-10", 0},  // no sign
    {"+10", 0},
    {"\n7", 0}, // only spaces and tabs are skipped
    {"1 2", 1},
    {"DeadBeef", 0xDEADBEEF},
    {"ffffffffffffffff", UINT64_MAX},
    {"1ffffffffffffffff", UINT64_MAX}, // the leading 1 is shifted out
    {"123456789abcdef012", 0x3456789ABCDEF012},
};

TEST(ParseHexOffset, ReadsByItsRules) {
    for (const HexCase& c : hex_cases)
        EXPECT_EQ(parse_hex_offset(c.text), c.value) << "text \"" << c.text << "\"";
}

struct DecCase {
    const char* text;
    int64_t value;
};

const DecCase dec_cases[] = {
    {"", 0},
    {"+42", 42},
    {"42abc", 42},
    {"-1", -1}, // taken as unsigned: the largest offset
    {"\n7", 7},
    {" \t\v\f\r\n-15", -15},
    {"+", 0},
    {"-", 0},
    {"--5", 0},
    {"+-5", 0},
    {"abc", 0},
    {"0x10", 0},
    {"00000000000000000000000012", 12},
    {"9223372036854775807", INT64_MAX},
    {"9223372036854775808", INT64_MAX},
    {"99999999999999999999", INT64_MAX},
    {"-9223372036854775808", INT64_MIN},
    {"-9223372036854775809", INT64_MIN},
    {"-99999999999999999999", INT64_MIN},
};

TEST(ParseDecOffset, ReadsByItsRules) {
    for (const DecCase& c : dec_cases)
        EXPECT_EQ(parse_dec_offset(c.text), c.value) << "text \"" << c.text << "\"";
    EXPECT_EQ(static_cast<uint64_t>(parse_dec_offset("-1")), UINT64_MAX);
}

// Random texts over the characters that matter to either reader, checked against the
// reference readings. The sequence is fixed so that a failure repeats.
TEST(OffsetReaders, AgreeWithTheReferenceOnRandomTexts) {
    static const char alphabet[] = "0123456789abcdefABCDEFxX+- \t\n\v\f\r9z.";
    std::mt19937_64 random(20261211);
    std::uniform_int_distribution<size_t> length_of(0, 40);
    std::uniform_int_distribution<size_t> pick(0, sizeof alphabet - 2);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    int checked = 0;
    for (; checked < 200000 && std::chrono::steady_clock::now() < deadline; ++checked) {
        std::string text(length_of(random), ' ');
        for (char& c : text)
            c = alphabet[pick(random)];
        ASSERT_EQ(parse_hex_offset(text.c_str()), reference_hex_offset(text))
            << "\"" << text << "\"";
        ASSERT_EQ(parse_dec_offset(text.c_str()), reference_dec_offset(text))
            << "\"" << text << "\"";
    }
    EXPECT_GT(checked, 1000);
}

} // namespace
