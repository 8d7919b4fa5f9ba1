// Written out by hand rather than through the C library's conversions, whose white space,
// locale and overflow handling differ between platforms.
#include "offset_readers.h"

static int hex_digit_value(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

uint64_t parse_hex_offset(const char* text) {
    while (*text == ' ' || *text == '\t')
        ++text;
    uint64_t value = 0;
    for (int digit; (digit = hex_digit_value(*text)) >= 0; ++text)
        value = (value << 4) | static_cast<uint64_t>(digit); // the high digits fall off
    return value;
}

static bool is_decimal_space(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int64_t parse_dec_offset(const char* text) {
    while (is_decimal_space(*text))
        ++text;
    bool negative = *text == '-';
    if (*text == '-' || *text == '+')
        ++text;

    // The magnitude is gathered unsigned and capped at 2^63, the largest a result can need.
    const uint64_t cap = uint64_t{1} << 63;
    uint64_t magnitude = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        uint64_t digit = static_cast<uint64_t>(*text - '0');
        magnitude = magnitude > (cap - digit) / 10 ? cap : magnitude * 10 + digit;
    }

    if (negative)
        return magnitude >= cap ? INT64_MIN : -static_cast<int64_t>(magnitude);
    return magnitude >= cap ? INT64_MAX : static_cast<int64_t>(magnitude);
}
