// The job state, the start of a job thread, the opening of the source and the endings that
// every job goes through.
#include "split_job.h"

#include <cstring>

const char MSG_OPEN_INPUT_FAILED[] = "Could not open the input file!";
const char MSG_OPEN_OUTPUT_FAILED[] = "Could not open output file!";
const char MSG_READ_FAILED[] = "Could not read the input file!";
const char MSG_WRITE_FAILED[] = "Could not write output file!";
const char MSG_INSANE_RANGE[] = "Insane start/end values!";
const char STATUS_DONE[] = "Done!  ";

SplitJob split_job = {{0}, {0}, -1, -1, 0, 0, 0, 0, 0, 0, {0}, {0, 0}};

// Page-aligned: the system copies into and out of whole pages fastest.
alignas(4096) unsigned char block[BLOCK_SIZE];

std::atomic<uint32_t> split_size_mb{5};
std::atomic<uint32_t> stop_count{1};

// Set by start_split_job, cleared by finish_job once the job no longer touches its state.
static std::atomic<bool> job_running{false};

// A started job thread that nobody has waited for yet. Only the front end's thread, the one
// that starts jobs, reads or writes it.
static bool thread_pending = false;

static void reap_job_thread() {
    if (thread_pending) {
        thread_wait(split_job.thread);
        thread_pending = false;
    }
}

JobStart start_split_job(const char* input_path, const char* dest_prefix) {
    if (job_running.load(std::memory_order_acquire))
        return JOB_ALREADY_RUNNING;
    size_t input_length = strlen(input_path);
    size_t prefix_length = strlen(dest_prefix);
    if (input_length >= PATH_CAPACITY || prefix_length >= PATH_CAPACITY)
        return JOB_PATH_TOO_LONG;
    // The previous job has passed its ending; its thread has at most its exit left to do.
    reap_job_thread();
    memcpy(split_job.input_path, input_path, input_length + 1);
    memcpy(split_job.dest_prefix, dest_prefix, prefix_length + 1);
    job_running.store(true, std::memory_order_relaxed);
    if (!thread_start(run_split_job, WORKER_STACK_SIZE, &split_job.thread)) {
        job_running.store(false, std::memory_order_relaxed);
        return JOB_THREAD_FAILED;
    }
    thread_pending = true;
    return JOB_STARTED;
}

bool split_job_running() {
    return job_running.load(std::memory_order_acquire);
}

void wait_for_split_job() {
    reap_job_thread();
}

// The source cannot be used: nothing is open at this point.
[[noreturn]] static void end_with_input_error() {
    host_show_error(MSG_OPEN_INPUT_FAILED);
    finish_job();
}

void run_split_job() {
    SplitJob& job = split_job;
    if (job.input_path[0] == '\0')
        end_with_input_error();
    job.in_fd = file_ops.open_read(job.input_path);
    if (job.in_fd < 0)
        end_with_input_error();

    // The size comes from a second descriptor so that the source stays at offset 0.
    int probe = file_ops.open_read(job.input_path);
    int64_t size = probe < 0 ? -1 : file_ops.seek(probe, 0, SEEK_FROM_END);
    if (probe >= 0)
        file_ops.close(probe); // read-only: nothing to lose if this fails
    if (size < 0) {
        file_ops.close(job.in_fd);
        job.in_fd = -1;
        end_with_input_error();
    }
    job.file_size = static_cast<uint64_t>(size);

    if (host_chunks_selected())
        split_into_chunks();
    extract_segment();
}

void report_progress(int32_t count) {
    SplitJob& job = split_job;
    job.bytes_done += static_cast<uint64_t>(static_cast<int64_t>(count));
    // A total of 0 (a split size or count of 0 with "Stop after:") gives no scale of its own;
    // the source's size is then the best measure of the work.
    uint64_t total = job.progress_total != 0 ? job.progress_total : job.file_size;
    uint64_t position = total != 0 ? job.bytes_done * 100 / total : 100;
    host_set_progress(position > 100 ? 100 : static_cast<uint32_t>(position));
}

// Closes the output, if one is open. Returns false when the close reports a failure,
// which for a file being written can mean data that never reached the disk.
static bool close_output() {
    SplitJob& job = split_job;
    if (job.out_fd < 0)
        return true;
    int closed = file_ops.close(job.out_fd);
    job.out_fd = -1;
    return closed == 0;
}

static void close_input() {
    SplitJob& job = split_job;
    if (job.in_fd >= 0)
        file_ops.close(job.in_fd); // read-only: nothing to lose if this fails
    job.in_fd = -1;
}

void end_job_normally() {
    close_input();
    if (!close_output()) {
        host_show_error(MSG_WRITE_FAILED);
        finish_job();
    }
    host_set_progress(100);
    finish_job();
}

void end_job_with_error(const char* message) {
    host_show_error(message);
    close_input();
    close_output();
    finish_job();
}

void finish_job() {
    SplitJob& job = split_job;
    memcpy(job.status_text, STATUS_DONE, sizeof STATUS_DONE);
    host_set_status(job.status_text);
    job_running.store(false, std::memory_order_release);
    thread_exit();
}

bool build_output_name(char* name, const char* prefix, int32_t number) {
    char digits[12];
    int count = 0;
    // Negative numbers never occur in practice but must not overflow when negated.
    uint32_t magnitude =
        number < 0 ? 0u - static_cast<uint32_t>(number) : static_cast<uint32_t>(number);
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (number < 0)
        digits[count++] = '-';

    size_t prefix_length = strlen(prefix);
    if (prefix_length + 1 + static_cast<size_t>(count) + 1 > PATH_CAPACITY) {
        name[0] = '\0';
        return false;
    }
    memcpy(name, prefix, prefix_length);
    char* at = name + prefix_length;
    *at++ = '_';
    while (count > 0)
        *at++ = digits[--count];
    *at = '\0';
    return true;
}
