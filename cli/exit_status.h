// The program's exit statuses: 0 for success and one of its own for every kind of failure,
// so that a script can tell them apart.
#pragma once

enum CliStatus {
    CLI_OK = 0,
    CLI_OTHER_FAILURE = 1,       // anything else, such as a job thread that could not start
    CLI_USAGE = 2,               // a bad command line; nothing was opened
    CLI_OPEN_INPUT = 3,          // "Could not open the input file!"
    CLI_OPEN_OUTPUT = 4,         // "Could not open output file!"
    CLI_READ = 5,                // "Could not read the input file!"
    CLI_WRITE = 6,               // "Could not write output file!"
    CLI_INSANE_RANGE = 7,        // "Insane start/end values!"
    CLI_NO_PIECES = 8,           // join: there is no prefix_0 and no other piece
    CLI_GAP = 9,                 // join: a piece is missing below one that exists
    CLI_INCONSISTENT_SIZES = 10, // join: the sizes cannot come from one split
    CLI_OUTPUT_EXISTS = 11,      // join: the output exists and --force was not given
    CLI_OUTPUT_IS_PIECE = 12,    // join: the output is one of the pieces
};

// The status for one of the engine's messages (CLI_OTHER_FAILURE for an unknown one).
CliStatus status_for_message(const char* message);
