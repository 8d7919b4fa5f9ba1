// Plain, slow readings of the offset rules, written differently from the engine's readers
// (on digit strings rather than by arithmetic), for comparing the two over many texts.
#pragma once

#include <cstdint>
#include <string>

uint64_t reference_hex_offset(const std::string& text);
int64_t reference_dec_offset(const std::string& text);
