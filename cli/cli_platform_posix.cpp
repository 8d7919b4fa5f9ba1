// The console program's seam on Linux and other POSIX systems: isatty, CLOCK_MONOTONIC,
// stat and opendir/readdir.
#include "cli_platform.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>
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

bool file_identity(const char* path, FileIdentity* identity) {
    struct stat status;
    if (stat(path, &status) != 0)
        return false;
    identity->volume = static_cast<uint64_t>(status.st_dev);
    identity->file = static_cast<uint64_t>(status.st_ino);
    return true;
}

bool list_names_after_prefix(const char* prefix, void (*found)(const char* rest, void* context),
                             void* context) {
    // The directory part is everything up to the last slash ("/" itself for a name in the
    // root); without a slash the name lies in the current directory.
    static char directory[4096];
    const char* slash = strrchr(prefix, '/');
    const char* base = slash != nullptr ? slash + 1 : prefix;
    if (slash == nullptr) {
        strcpy(directory, ".");
    } else {
        size_t length = slash == prefix ? 1 : static_cast<size_t>(slash - prefix);
        if (length >= sizeof directory)
            return false;
        memcpy(directory, prefix, length);
        directory[length] = '\0';
    }
    size_t base_length = strlen(base);

    DIR* listing = opendir(directory);
    if (listing == nullptr)
        return errno == ENOENT || errno == ENOTDIR;
    struct dirent* entry;
    while ((errno = 0, entry = readdir(listing)) != nullptr) {
        const char* name = entry->d_name;
        if (strncmp(name, base, base_length) == 0 && name[base_length] == '_' &&
            name[base_length + 1] != '\0')
            found(name + base_length + 1, context);
    }
    bool complete = errno == 0;
    closedir(listing);
    return complete;
}
