// A front end for tests: answers the job's questions from values a test sets and records
// every question and report in order, in fixed storage so that it allocates nothing while
// a job runs.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

enum HostEventKind {
    EVENT_CHUNKS_ASKED,
    EVENT_STOP_AFTER_ASKED,
    EVENT_HEX_ASKED,
    EVENT_START_TEXT_ASKED,
    EVENT_END_TEXT_ASKED,
    EVENT_PROGRESS,
    EVENT_STATUS,
    EVENT_ERROR,
};

struct HostEvent {
    HostEventKind kind;
    uint32_t value; // the position of a progress report, or the answer given (0 or 1)
    char text[160]; // the status or error text, or the field text given
};

// The answers. Tests may change them at any time, also from another thread.
extern std::atomic<bool> answer_chunks;
extern std::atomic<bool> answer_stop_after;
extern std::atomic<bool> answer_hex;
void set_answer_texts(const char* start, const char* end);

// Called on the job thread after each progress report has been recorded, with the number
// of reports so far (1 for the first). A test uses it to act at a known point of a job.
extern void (*progress_hook)(uint32_t report_number);

// Forgets what was recorded and puts back the default answers (Chunks, nothing ticked,
// Start and End "0", no hook) and the default settings (5 and 1).
void reset_scripted_host();

// What the last jobs did, in order. Read them only while no job runs.
std::vector<HostEvent> recorded_events();
std::vector<uint32_t> recorded_progress();
std::vector<std::string> recorded_errors();
std::vector<std::string> recorded_statuses();
bool recording_overflowed();

// Starts one job through the engine and waits until its thread has ended.
int run_job(const std::string& input_path, const std::string& dest_prefix);

// Starts one job, waits until it has made its `report_number`th progress report, runs
// `action` on the calling thread while the job waits there, then lets the job go on and
// waits until its thread has ended.
void run_job_pausing_at(const std::string& input_path, const std::string& dest_prefix,
                        uint32_t report_number, void (*action)());
