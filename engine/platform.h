// The engine's one seam to the operating system: descriptor-level file I/O and the job
// thread. platform_posix.cpp and platform_win32.cpp each define everything declared here;
// the build links exactly one of them. Nothing else in the engine calls the OS.
#pragma once

#include <cstdint>

// ---- File I/O ----------------------------------------------------------------------------

// Where a seek counts from.
enum SeekOrigin { SEEK_FROM_START, SEEK_FROM_END };

// The file operations the engine uses, as a table so that a test can put a failing or
// counting operation in place of any one of them (and put the platform's back after).
// Descriptors are plain ints; -1 means "no descriptor".
struct FileOps {
    // Opens an existing file read-only in binary mode, hinting sequential reading; other
    // openers may read and write it. Returns the descriptor, or -1.
    int (*open_read)(const char* path);
    // Opens `path` read-write in binary mode with the sequential hint, creating it (readable
    // and writable) when missing and truncating it to length 0 when present, unless it is
    // the very file open on `source_fd` (same device and inode, or same volume and file
    // index): that file is never truncated and the call fails. Returns the descriptor, or -1.
    int (*open_output)(const char* path, int source_fd);
    // Reads up to `count` bytes. Returns the number read, 0 at end of file, -1 on failure.
    int32_t (*read)(int fd, void* buffer, int32_t count);
    // Writes up to `count` bytes. Returns the number written (less than `count` when the
    // file could take no more), or -1 on failure.
    int32_t (*write)(int fd, const void* buffer, int32_t count);
    // Moves the file position. Returns the new offset from the start, or -1 on failure.
    int64_t (*seek)(int fd, int64_t offset, SeekOrigin origin);
    // Releases the descriptor. Returns 0, or -1 on failure.
    int (*close)(int fd);
};

// The operations the engine calls. Starts as platform_file_ops.
extern FileOps file_ops;

// The platform's own operations.
extern const FileOps platform_file_ops;

// ---- The job thread ----------------------------------------------------------------------

// A started thread as the platform knows it (a pthread_t, or a HANDLE and its id).
struct JobThread {
    uintptr_t handle;
    uint32_t id;
};

// Starts `entry` on a new thread that asks for a stack of `stack_size` bytes. Returns false
// when the thread could not be created.
bool thread_start(void (*entry)(), uint32_t stack_size, JobThread* thread);

// Blocks until the thread has ended and releases what the platform kept for it.
void thread_wait(JobThread thread);

// Ends the calling thread with exit code 0.
[[noreturn]] void thread_exit();
