// The console program's seam on Windows: the console mode of the error stream and
// GetTickCount64.
#include "cli_platform.h"

#include <windows.h>

// A pipe, a file or the NUL device has no console mode; only a real console does.
bool stderr_is_terminal() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

uint64_t monotonic_milliseconds() {
    return GetTickCount64();
}
