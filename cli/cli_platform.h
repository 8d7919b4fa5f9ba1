// The console program's seam to the operating system, for what the engine's file_ops table
// does not offer: the terminal, a clock, file identity and the names in a directory.
// cli_platform_posix.cpp and cli_platform_win32.cpp each define everything declared here;
// the build links exactly one of them.
#pragma once

#include <cstdint>

// True when the standard error stream is an interactive terminal (a console on Windows).
bool stderr_is_terminal();

// Milliseconds from a fixed point in the past; never goes backwards.
uint64_t monotonic_milliseconds();

// What makes a file the same file whatever name leads to it.
struct FileIdentity {
    uint64_t volume;
    uint64_t file;
};

// Fills `identity` for the file or directory at `path`. Returns false when nothing is there
// (or it cannot be looked at).
bool file_identity(const char* path, FileIdentity* identity);

// Lists the directory that `prefix` names a file in (its current directory when the prefix
// has no directory part) and calls `found` with the rest of every entry name that consists of
// the prefix's last component, an underscore and at least one more character, compared as the
// platform's file names compare. A directory that does not exist holds no such names.
// Returns false when the directory exists but cannot be listed.
bool list_names_after_prefix(const char* prefix, void (*found)(const char* rest, void* context),
                             void* context);
