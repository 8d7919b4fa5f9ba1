// The platform seam on Linux and other POSIX systems: open/read/write/lseek/close with
// posix_fadvise for the sequential hint, and pthreads for the job thread.
#include "platform.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

// A directory opens for reading here but is no file to split; it is refused as Windows does.
static int posix_open_read(const char* path) {
    int fd;
    do {
        fd = open(path, O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return -1;
    struct stat status;
    if (fstat(fd, &status) != 0 || S_ISDIR(status.st_mode)) {
        close(fd);
        return -1;
    }
    (void)posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL); // a hint only; may be refused
    return fd;
}

static bool same_file(int fd_a, int fd_b) {
    struct stat a, b;
    if (fstat(fd_a, &a) != 0 || fstat(fd_b, &b) != 0)
        return false;
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Opened without O_TRUNC so that the identity check comes before anything is lost.
static int posix_open_output(const char* path, int source_fd) {
    int fd;
    do {
        fd = open(path, O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return -1;
    if ((source_fd >= 0 && same_file(fd, source_fd)) || ftruncate(fd, 0) != 0) {
        close(fd);
        return -1;
    }
    (void)posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    return fd;
}

static int32_t posix_read(int fd, void* buffer, int32_t count) {
    ssize_t got;
    do {
        got = read(fd, buffer, static_cast<size_t>(count));
    } while (got < 0 && errno == EINTR);
    return got < 0 ? -1 : static_cast<int32_t>(got);
}

static int32_t posix_write(int fd, const void* buffer, int32_t count) {
    ssize_t put;
    do {
        put = write(fd, buffer, static_cast<size_t>(count));
    } while (put < 0 && errno == EINTR);
    return put < 0 ? -1 : static_cast<int32_t>(put);
}

static int64_t posix_seek(int fd, int64_t offset, SeekOrigin origin) {
    off_t at = lseek(fd, static_cast<off_t>(offset), origin == SEEK_FROM_END ? SEEK_END : SEEK_SET);
    return at < 0 ? -1 : static_cast<int64_t>(at);
}

// close() is not retried on EINTR: on Linux the descriptor is gone either way.
static int posix_close(int fd) {
    return close(fd) == 0 ? 0 : -1;
}

const FileOps platform_file_ops = {posix_open_read, posix_open_output, posix_read,
                                   posix_write,     posix_seek,        posix_close};

FileOps file_ops = platform_file_ops;

// ---- The job thread ----------------------------------------------------------------------

static void* thread_trampoline(void* entry) {
    reinterpret_cast<void (*)()>(entry)();
    return nullptr;
}

bool thread_start(void (*entry)(), uint32_t stack_size, JobThread* thread) {
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0)
        return false;
    // The C library may need more than the request for its own thread setup; never ask for
    // less than it accepts, and round up to whole pages as it wants.
    const size_t smallest = static_cast<size_t>(PTHREAD_STACK_MIN);
    size_t size = stack_size < smallest ? smallest : stack_size;
    long page = sysconf(_SC_PAGESIZE);
    if (page > 0)
        size = (size + static_cast<size_t>(page) - 1) / static_cast<size_t>(page) *
               static_cast<size_t>(page);
    pthread_t id;
    bool started =
        pthread_attr_setstacksize(&attributes, size) == 0 &&
        pthread_create(&id, &attributes, thread_trampoline, reinterpret_cast<void*>(entry)) == 0;
    pthread_attr_destroy(&attributes);
    if (started) {
        thread->handle = static_cast<uintptr_t>(id);
        thread->id = 0;
    }
    return started;
}

void thread_wait(JobThread thread) {
    pthread_join(static_cast<pthread_t>(thread.handle), nullptr);
}

void thread_exit() {
    pthread_exit(nullptr);
}
