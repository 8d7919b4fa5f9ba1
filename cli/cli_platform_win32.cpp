// The console program's seam on Windows: the console mode of the error stream,
// GetTickCount64, the file index of an open handle and FindFirstFileA/FindNextFileA.
#include "cli_platform.h"

#include <cstring>
#include <windows.h>

// A pipe, a file or the NUL device has no console mode; only a real console does.
bool stderr_is_terminal() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

uint64_t monotonic_milliseconds() {
    return GetTickCount64();
}

bool file_identity(const char* path, FileIdentity* identity) {
    // No access asked for, every kind of sharing allowed: this looks at the file, nothing
    // more. The backup flag lets a directory be opened too.
    HANDLE handle = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION information;
    bool known = GetFileInformationByHandle(handle, &information) != 0;
    CloseHandle(handle);
    if (!known)
        return false;
    identity->volume = information.dwVolumeSerialNumber;
    identity->file =
        static_cast<uint64_t>(information.nFileIndexHigh) << 32 | information.nFileIndexLow;
    return true;
}

bool list_names_after_prefix(const char* prefix, void (*found)(const char* rest, void* context),
                             void* context) {
    // The system finds the directory from the pattern itself; only the last component is
    // needed here, to tell what follows it in each name found.
    static char pattern[4096];
    size_t prefix_length = strlen(prefix);
    if (prefix_length + 3 > sizeof pattern)
        return false;
    memcpy(pattern, prefix, prefix_length);
    memcpy(pattern + prefix_length, "_*", 3);
    const char* base = prefix;
    for (const char* at = prefix; *at != '\0'; ++at)
        if (*at == '/' || *at == '\\' || *at == ':')
            base = at + 1;
    int base_length = static_cast<int>(strlen(base));

    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA(pattern, &entry);
    if (search == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    }
    do {
        // The pattern may have matched a short (8.3) name; only long names of the form
        // base_rest are wanted. Names compare without regard to case, as the file system does.
        const char* name = entry.cFileName;
        if (static_cast<int>(strlen(name)) > base_length + 1 && name[base_length] == '_' &&
            (base_length == 0 || CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, name,
                                                base_length, base, base_length) == CSTR_EQUAL))
            found(name + base_length + 1, context);
    } while (FindNextFileA(search, &entry));
    bool complete = GetLastError() == ERROR_NO_MORE_FILES;
    FindClose(search);
    return complete;
}
