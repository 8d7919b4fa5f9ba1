// The platform seam on Windows: the C runtime's descriptor I/O (_sopen_s, _read, _write,
// _lseeki64, _close) in binary mode with the sequential hint, and CreateThread/ExitThread.
#include "platform.h"

#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#include <windows.h>

static int win32_open_read(const char* path) {
    int fd = -1;
    if (_sopen_s(&fd, path, _O_RDONLY | _O_BINARY | _O_SEQUENTIAL | _O_NOINHERIT, _SH_DENYNO, 0) !=
        0)
        return -1;
    return fd;
}

// Same volume and same file index: one file, whatever names lead to it.
static bool same_file(int fd_a, int fd_b) {
    BY_HANDLE_FILE_INFORMATION a, b;
    HANDLE handle_a = reinterpret_cast<HANDLE>(_get_osfhandle(fd_a));
    HANDLE handle_b = reinterpret_cast<HANDLE>(_get_osfhandle(fd_b));
    if (!GetFileInformationByHandle(handle_a, &a) || !GetFileInformationByHandle(handle_b, &b))
        return false;
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
           a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
}

// Opened without _O_TRUNC so that the identity check comes before anything is lost; the
// file is cut to length 0 afterwards.
static int win32_open_output(const char* path, int source_fd) {
    int fd = -1;
    if (_sopen_s(&fd, path, _O_RDWR | _O_CREAT | _O_BINARY | _O_SEQUENTIAL | _O_NOINHERIT,
                 _SH_DENYNO, _S_IREAD | _S_IWRITE) != 0)
        return -1;
    if ((source_fd >= 0 && same_file(fd, source_fd)) || _chsize_s(fd, 0) != 0) {
        _close(fd);
        return -1;
    }
    return fd;
}

static int32_t win32_read(int fd, void* buffer, int32_t count) {
    int got = _read(fd, buffer, static_cast<unsigned>(count));
    return got < 0 ? -1 : got;
}

static int32_t win32_write(int fd, const void* buffer, int32_t count) {
    int put = _write(fd, buffer, static_cast<unsigned>(count));
    return put < 0 ? -1 : put;
}

static int64_t win32_seek(int fd, int64_t offset, SeekOrigin origin) {
    __int64 at = _lseeki64(fd, offset, origin == SEEK_FROM_END ? SEEK_END : SEEK_SET);
    return at < 0 ? -1 : at;
}

static int win32_close(int fd) {
    return _close(fd) == 0 ? 0 : -1;
}

const FileOps platform_file_ops = {win32_open_read, win32_open_output, win32_read,
                                   win32_write,     win32_seek,        win32_close};

FileOps file_ops = platform_file_ops;

// ---- The job thread ----------------------------------------------------------------------

static DWORD WINAPI thread_trampoline(LPVOID entry) {
    reinterpret_cast<void (*)()>(entry)();
    return 0;
}

// The requested size sets the initial commitment; the reservation stays the process's default.
bool thread_start(void (*entry)(), uint32_t stack_size, JobThread* thread) {
    DWORD id = 0;
    HANDLE handle = CreateThread(nullptr, stack_size, thread_trampoline,
                                 reinterpret_cast<LPVOID>(entry), 0, &id);
    if (handle == nullptr)
        return false;
    thread->handle = reinterpret_cast<uintptr_t>(handle);
    thread->id = id;
    return true;
}

void thread_wait(JobThread thread) {
    HANDLE handle = reinterpret_cast<HANDLE>(thread.handle);
    WaitForSingleObject(handle, INFINITE);
    CloseHandle(handle);
}

void thread_exit() {
    ExitThread(0);
}
