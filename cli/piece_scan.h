// Finding the pieces of a prefix that exist on disk, by their numbers: for the join's gap
// check and for the split's warning about pieces left from an earlier run.
#pragma once

#include <cstdint>

// The pieces prefix_N found with N at or above some number.
struct PieceRange {
    uint32_t count;   // how many
    uint32_t lowest;  // their lowest number (when count is not 0)
    uint32_t highest; // their highest number (when count is not 0)
};

// Looks in the prefix's directory for names prefix_N, N written as the splitter writes piece
// numbers (decimal, no leading zeros, no sign, at most 2147483647), with N >= `from`.
// Returns false when the directory could not be listed.
bool find_pieces_from(const char* prefix, uint32_t from, PieceRange* found);

// Reads a piece number as the splitter writes it; false for any other text.
bool parse_piece_number(const char* text, uint32_t* number);
