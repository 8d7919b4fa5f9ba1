// The readers of the Start and End texts of Segment mode. Neither reports an error: every
// text yields a number, and the range check is the only judge of it.
#pragma once

#include <cstdint>

// Hexadecimal digits (either case) after leading spaces and tabs, up to the first other
// character; no sign, no radix prefix ("0x10" reads as 0). Keeps the low 64 bits.
uint64_t parse_hex_offset(const char* text);

// A signed decimal number after leading white space (space, tab, line feed, vertical tab,
// form feed, carriage return), with one optional + or -, up to the first other character;
// 0 when there is no digit. Saturates at the signed 64-bit limits. The caller takes the
// result as unsigned, so -1 becomes the largest offset.
int64_t parse_dec_offset(const char* text);
