#include "fault_io.h"

#include "platform.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <mutex>

constexpr uint32_t CALL_LOG_CAPACITY = 1u << 16;
static IoCall call_log[CALL_LOG_CAPACITY];
// For each logged call: whether it worked on a descriptor that open_output gave.
static bool call_on_output_log[CALL_LOG_CAPACITY];
static uint32_t call_count = 0;
static uint32_t calls_by_kind[IO_CALL_KINDS];
static uint64_t bytes_written = 0;
static int open_descriptors = 0;

static IoFault planned_fault = FAULT_NONE;
static uint32_t fault_at = 0;
static std::atomic<bool> data_skipped{false};
// Where each descriptor would be while data is skipped.
constexpr int POSITION_SLOTS = 4096;
static int64_t skipped_position[POSITION_SLOTS];
// Whether each descriptor came from open_output, to tell a source's close from an output's.
static bool opened_for_output[POSITION_SLOTS];

static int64_t& position_of(int fd) {
    return skipped_position[static_cast<unsigned>(fd) % POSITION_SLOTS];
}

static bool& is_output(int fd) {
    return opened_for_output[static_cast<unsigned>(fd) % POSITION_SLOTS];
}

static std::mutex hold_lock;
static std::condition_variable hold_changed;
static uint32_t hold_at = 0;
static bool hold_reached = false;
static bool hold_released = false;

static void wait_if_held() {
    std::unique_lock<std::mutex> hold(hold_lock);
    if (hold_at == 0 || call_count != hold_at)
        return;
    hold_reached = true;
    hold_changed.notify_all();
    hold_changed.wait(hold, [] { return hold_released; });
}

// Counts the call and says whether it is the one to fail.
static bool count_call(IoCall kind, bool on_output = false) {
    ++call_count;
    if (call_count <= CALL_LOG_CAPACITY) {
        call_log[call_count - 1] = kind;
        call_on_output_log[call_count - 1] = on_output;
    }
    ++calls_by_kind[kind];
    wait_if_held();
    return planned_fault != FAULT_NONE && call_count == fault_at;
}

static int counted_open_read(const char* path) {
    if (count_call(IO_OPEN_READ))
        return -1;
    int fd = platform_file_ops.open_read(path);
    if (fd >= 0) {
        ++open_descriptors;
        position_of(fd) = 0;
        is_output(fd) = false;
    }
    return fd;
}

static int counted_open_output(const char* path, int source_fd) {
    if (count_call(IO_OPEN_OUTPUT))
        return -1;
    int fd = platform_file_ops.open_output(path, source_fd);
    if (fd >= 0) {
        ++open_descriptors;
        is_output(fd) = true;
    }
    return fd;
}

static int32_t counted_read(int fd, void* buffer, int32_t count) {
    if (count_call(IO_READ, is_output(fd)))
        return -1;
    if (!data_skipped)
        return platform_file_ops.read(fd, buffer, count);
    int64_t size = platform_file_ops.seek(fd, 0, SEEK_FROM_END);
    int64_t left = size > position_of(fd) ? size - position_of(fd) : 0;
    int32_t got = left < count ? static_cast<int32_t>(left) : count;
    position_of(fd) += got;
    return got;
}

static int32_t counted_write(int fd, const void* buffer, int32_t count) {
    if (count_call(IO_WRITE, is_output(fd))) {
        if (planned_fault != FAULT_SHORT_WRITE)
            return -1;
        count /= 2;
    }
    int32_t put = data_skipped ? count : platform_file_ops.write(fd, buffer, count);
    if (put > 0)
        bytes_written += static_cast<uint64_t>(put);
    return put;
}

static int64_t counted_seek(int fd, int64_t offset, SeekOrigin origin) {
    if (count_call(IO_SEEK, is_output(fd)))
        return -1;
    int64_t at = platform_file_ops.seek(fd, offset, origin);
    if (at >= 0)
        position_of(fd) = at;
    return at;
}

static int counted_close(int fd) {
    bool fail = count_call(IO_CLOSE, is_output(fd));
    int result = platform_file_ops.close(fd);
    if (result == 0)
        --open_descriptors;
    return fail ? -1 : result;
}

static const FileOps counted_file_ops = {counted_open_read, counted_open_output, counted_read,
                                         counted_write,     counted_seek,        counted_close};

void install_fault_io(IoFault fault, uint32_t call_number) {
    call_count = 0;
    for (uint32_t& calls : calls_by_kind)
        calls = 0;
    bytes_written = 0;
    open_descriptors = 0;
    planned_fault = fault;
    fault_at = call_number;
    file_ops = counted_file_ops;
}

void hold_call(uint32_t call_number) {
    std::lock_guard<std::mutex> hold(hold_lock);
    hold_at = call_number;
    hold_reached = false;
    hold_released = false;
}

bool held_call_reached() {
    std::lock_guard<std::mutex> hold(hold_lock);
    return hold_reached;
}

void release_held_call() {
    std::lock_guard<std::mutex> hold(hold_lock);
    hold_released = true;
    hold_at = 0;
    hold_changed.notify_all();
}

void skip_data(bool skip) {
    data_skipped = skip;
}

void remove_fault_io() {
    file_ops = platform_file_ops;
    planned_fault = FAULT_NONE;
    data_skipped = false;
}

uint32_t io_call_count() {
    return call_count;
}

IoCall io_call_kind(uint32_t call_number) {
    return call_log[call_number - 1];
}

bool io_call_on_output(uint32_t call_number) {
    return call_on_output_log[call_number - 1];
}

std::vector<IoCall> io_calls() {
    uint32_t logged = call_count < CALL_LOG_CAPACITY ? call_count : CALL_LOG_CAPACITY;
    return std::vector<IoCall>(call_log, call_log + logged);
}

uint32_t call_number_of(const std::vector<IoCall>& calls, IoCall kind, uint32_t nth) {
    uint32_t seen = 0;
    for (size_t n = 0; n < calls.size(); ++n)
        if (calls[n] == kind && ++seen == nth)
            return static_cast<uint32_t>(n + 1);
    return 0;
}

uint32_t io_calls_of(IoCall kind) {
    return calls_by_kind[kind];
}

uint64_t io_bytes_written() {
    return bytes_written;
}

int io_open_descriptors() {
    return open_descriptors;
}

const char* io_call_name(IoCall kind) {
    static const char* const names[IO_CALL_KINDS] = {"open_read", "open_output", "read",
                                                     "write",     "seek",        "close"};
    return names[kind];
}
