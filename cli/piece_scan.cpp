// Finding existing pieces by listing the prefix's directory, so that a piece is found
// whatever its number, not only the ones next to those already known.
#include "piece_scan.h"

#include "cli_platform.h"

#include <cstdint>

bool parse_piece_number(const char* text, uint32_t* number) {
    // "0" alone, or digits that do not start with 0: "07" is no name the splitter writes.
    if (text[0] < '0' || text[0] > '9' || (text[0] == '0' && text[1] != '\0'))
        return false;
    uint64_t value = 0;
    for (const char* at = text; *at != '\0'; ++at) {
        if (*at < '0' || *at > '9')
            return false;
        value = value * 10 + static_cast<uint64_t>(*at - '0');
        if (value > INT32_MAX) // piece numbers are signed 32-bit in the splitter
            return false;
    }
    *number = static_cast<uint32_t>(value);
    return true;
}

struct ScanState {
    uint32_t from;
    PieceRange range;
};

static void note_name(const char* rest, void* context) {
    ScanState& state = *static_cast<ScanState*>(context);
    uint32_t number;
    if (!parse_piece_number(rest, &number) || number < state.from)
        return;
    PieceRange& range = state.range;
    if (range.count == 0 || number < range.lowest)
        range.lowest = number;
    if (range.count == 0 || number > range.highest)
        range.highest = number;
    ++range.count;
}

bool find_pieces_from(const char* prefix, uint32_t from, PieceRange* found) {
    ScanState state = {from, {0, 0, 0}};
    bool listed = list_names_after_prefix(prefix, note_name, &state);
    *found = state.range;
    return listed;
}
