// The console program's seam to the operating system, for what the engine's file_ops table
// does not offer: the terminal and a clock.
// cli_platform_posix.cpp and cli_platform_win32.cpp each define everything declared here;
// the build links exactly one of them.
#pragma once

#include <cstdint>

// True when the standard error stream is an interactive terminal (a console on Windows).
bool stderr_is_terminal();

// Milliseconds from a fixed point in the past; never goes backwards.
uint64_t monotonic_milliseconds();
