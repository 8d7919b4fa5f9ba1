// The split job: the one process-wide job state, the settings the front end keeps current,
// the questions and reports the job puts to its front end, and the job's start and endings.
#pragma once

#include "platform.h"

#include <atomic>
#include <cstddef>
#include <cstdint>

// One megabyte, the transfer block and the unit of the split size.
constexpr int32_t BLOCK_SIZE = 1048576;
// Path buffers, NUL included.
constexpr size_t PATH_CAPACITY = 2048;
constexpr size_t STATUS_CAPACITY = 255;
// The Start and End texts the job asks for, NUL included.
constexpr size_t FIELD_TEXT_CAPACITY = 80;
// The stack the job thread asks for; the job keeps its big buffer out of it.
constexpr uint32_t WORKER_STACK_SIZE = 32000;

// The job's messages.
extern const char MSG_OPEN_INPUT_FAILED[];  // "Could not open the input file!"
extern const char MSG_OPEN_OUTPUT_FAILED[]; // "Could not open output file!"
extern const char MSG_READ_FAILED[];        // "Could not read the input file!"
extern const char MSG_WRITE_FAILED[];       // "Could not write output file!"
extern const char MSG_INSANE_RANGE[];       // "Insane start/end values!"
extern const char STATUS_DONE[];            // "Done!  "

// The job state. There is one, `split_job`, reused by every job. The front end writes the
// two paths only through start_split_job, never while a job runs; everything else belongs
// to the job thread while it runs.
struct SplitJob {
    char input_path[PATH_CAPACITY];
    char dest_prefix[PATH_CAPACITY];
    int in_fd;  // the source, or -1
    int out_fd; // the output being written, or -1
    uint64_t file_size;
    uint64_t bytes_done; // bytes written so far by this job
    uint64_t progress_total;
    int32_t last_count; // what the latest read returned
    uint64_t seg_start, seg_end;
    char status_text[STATUS_CAPACITY];
    JobThread thread;
};

extern SplitJob split_job;

// The one transfer buffer, a static of its own so that it stays out of the program image
// and off the job thread's small stack.
extern unsigned char block[BLOCK_SIZE];

// Settings written by the front end at any time and read by the job at fixed moments:
// single 32-bit values, loaded and stored whole without a lock.
extern std::atomic<uint32_t> split_size_mb; // piece size in megabytes, default 5
extern std::atomic<uint32_t> stop_count;    // pieces to write when "Stop after:" is ticked

// ---- What every front end provides -------------------------------------------------------
// Called on the job thread; each returns only once it has been carried out.
bool host_chunks_selected();
bool host_stop_after_ticked();
bool host_hex_ticked();
// Copies the Start or End text, at most FIELD_TEXT_CAPACITY - 1 characters, NUL-terminated.
void host_start_text(char* text);
void host_end_text(char* text);
void host_set_progress(uint32_t position); // 0 to 100; more shows as a full bar
void host_set_status(const char* text);
void host_show_error(const char* text); // returns once the user has seen it

// ---- Starting and waiting ------------------------------------------------------------------

enum JobStart { JOB_STARTED, JOB_ALREADY_RUNNING, JOB_PATH_TOO_LONG, JOB_THREAD_FAILED };

// Copies the two paths into the job state and starts the job thread, unless a job is
// still running: two jobs never share the job state.
JobStart start_split_job(const char* input_path, const char* dest_prefix);

// True from a successful start until the job has reached its ending.
bool split_job_running();

// Blocks until the job thread has ended. Returns at once when no thread is left to wait for.
void wait_for_split_job();

// ---- The job itself ----------------------------------------------------------------------

// The job thread's entry: opens the source, learns its size and runs the chosen mode.
// Never returns: every job ends in finish_job.
[[noreturn]] void run_split_job();

// Adds one block's count to the bytes done and reports the new percentage.
void report_progress(int32_t count);

// The normal ending: closes what is open, shows a full bar and finishes.
[[noreturn]] void end_job_normally();

// The error ending: shows `message`, closes what is open and finishes; the bar stays put.
[[noreturn]] void end_job_with_error(const char* message);

// Sets the status to "Done!  " and ends the calling thread.
[[noreturn]] void finish_job();

// Writes `prefix`, an underscore and `number` in decimal into `name` (PATH_CAPACITY
// characters). Returns false, leaving an empty name, when the result would not fit.
bool build_output_name(char* name, const char* prefix, int32_t number);

// The two modes, each run on an open source of known size and ending the job.
[[noreturn]] void split_into_chunks();
[[noreturn]] void extract_segment();
