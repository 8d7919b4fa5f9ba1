// The console program's seam on Linux and other POSIX systems: isatty and CLOCK_MONOTONIC.
#include "cli_platform.h"

#include <time.h>
#include <unistd.h>

bool stderr_is_terminal() {
    return isatty(STDERR_FILENO) == 1;
}

uint64_t monotonic_milliseconds() {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000u +
           static_cast<uint64_t>(now.tv_nsec) / 1000000u;
}
