// The command line: which command to run and with what.
#pragma once

#include <cstdint>

enum Command { COMMAND_SPLIT, COMMAND_SEGMENT, COMMAND_JOIN, COMMAND_HELP, COMMAND_VERSION };

struct CliOptions {
    Command command;
    const char* first;  // split, segment: SOURCE; join: PREFIX
    const char* second; // split, segment: PREFIX; join: OUTPUT; null when not given
    uint32_t size_mb;   // --size, default 5
    bool stop_after;    // --stop-after given
    uint32_t stop_count;
    const char* start_text; // --start, as typed
    const char* end_text;   // --end, default "0"
    bool hex;
    bool force;
    bool quiet;
};

// Reads the arguments into `options`. On a usage error it says what is wrong on stderr and
// returns false; nothing has been opened then.
bool parse_command_line(int argc, char** argv, CliOptions* options);

// The full help, and the version line, on stdout.
void print_help();
void print_version();
