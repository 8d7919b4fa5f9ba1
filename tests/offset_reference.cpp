#include "offset_reference.h"

uint64_t reference_hex_offset(const std::string& text) {
    size_t at = text.find_first_not_of(" \t");
    if (at == std::string::npos)
        return 0;
    size_t end = text.find_first_not_of("0123456789abcdefABCDEF", at);
    std::string digits = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
    // Only the last sixteen digits survive in 64 bits.
    if (digits.size() > 16)
        digits = digits.substr(digits.size() - 16);
    const std::string lower = "0123456789abcdef", upper = "0123456789ABCDEF";
    uint64_t value = 0;
    for (char c : digits) {
        size_t digit = lower.find(c);
        value = value * 16 + (digit != std::string::npos ? digit : upper.find(c));
    }
    return value;
}

int64_t reference_dec_offset(const std::string& text) {
    size_t at = text.find_first_not_of(" \t\n\v\f\r");
    if (at == std::string::npos)
        return 0;
    bool negative = text[at] == '-';
    if (text[at] == '-' || text[at] == '+')
        ++at;
    size_t end = text.find_first_not_of("0123456789", at);
    std::string digits = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
    digits.erase(0, digits.find_first_not_of('0'));
    if (digits.empty())
        return 0;
    // Compare as digit strings against the limits' magnitudes.
    const std::string limit = negative ? "9223372036854775808" : "9223372036854775807";
    if (digits.size() > limit.size() || (digits.size() == limit.size() && digits >= limit))
        return negative ? INT64_MIN : INT64_MAX;
    int64_t value = 0;
    for (char c : digits)
        value = value * 10 + (c - '0');
    return negative ? -value : value;
}
