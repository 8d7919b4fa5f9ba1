#include "scripted_host.h"

#include "split_job.h"

#include <condition_variable>
#include <cstring>
#include <mutex>

std::atomic<bool> answer_chunks{true};
std::atomic<bool> answer_stop_after{false};
std::atomic<bool> answer_hex{false};
void (*progress_hook)(uint32_t report_number) = nullptr;

static std::mutex texts_lock;
static char start_answer[FIELD_TEXT_CAPACITY] = "0";
static char end_answer[FIELD_TEXT_CAPACITY] = "0";

// Enough for a job over several gigabytes at one report per megabyte.
constexpr uint32_t EVENT_CAPACITY = 1u << 14;
static HostEvent events[EVENT_CAPACITY];
static std::atomic<uint32_t> event_count{0};
static std::atomic<bool> overflowed{false};
static uint32_t progress_reports = 0;

static void record(HostEventKind kind, uint32_t value, const char* text) {
    uint32_t at = event_count.load(std::memory_order_relaxed);
    if (at == EVENT_CAPACITY) {
        overflowed.store(true);
        return;
    }
    HostEvent& event = events[at];
    event.kind = kind;
    event.value = value;
    event.text[0] = '\0';
    if (text != nullptr) {
        strncpy(event.text, text, sizeof event.text - 1);
        event.text[sizeof event.text - 1] = '\0';
    }
    event_count.store(at + 1, std::memory_order_release);
}

static void copy_answer(char* text, const char* answer) {
    std::lock_guard<std::mutex> hold(texts_lock);
    memcpy(text, answer, FIELD_TEXT_CAPACITY);
}

void set_answer_texts(const char* start, const char* end) {
    std::lock_guard<std::mutex> hold(texts_lock);
    strncpy(start_answer, start, FIELD_TEXT_CAPACITY - 1);
    start_answer[FIELD_TEXT_CAPACITY - 1] = '\0';
    strncpy(end_answer, end, FIELD_TEXT_CAPACITY - 1);
    end_answer[FIELD_TEXT_CAPACITY - 1] = '\0';
}

void reset_scripted_host() {
    answer_chunks = true;
    answer_stop_after = false;
    answer_hex = false;
    set_answer_texts("0", "0");
    progress_hook = nullptr;
    event_count = 0;
    overflowed = false;
    progress_reports = 0;
    split_size_mb = 5;
    stop_count = 1;
}

// ---- The front end's side of the job -----------------------------------------------------

bool host_chunks_selected() {
    bool answer = answer_chunks.load();
    record(EVENT_CHUNKS_ASKED, answer, nullptr);
    return answer;
}

bool host_stop_after_ticked() {
    bool answer = answer_stop_after.load();
    record(EVENT_STOP_AFTER_ASKED, answer, nullptr);
    return answer;
}

bool host_hex_ticked() {
    bool answer = answer_hex.load();
    record(EVENT_HEX_ASKED, answer, nullptr);
    return answer;
}

void host_start_text(char* text) {
    copy_answer(text, start_answer);
    record(EVENT_START_TEXT_ASKED, 0, text);
}

void host_end_text(char* text) {
    copy_answer(text, end_answer);
    record(EVENT_END_TEXT_ASKED, 0, text);
}

void host_set_progress(uint32_t position) {
    record(EVENT_PROGRESS, position, nullptr);
    if (progress_hook != nullptr)
        progress_hook(++progress_reports);
}

void host_set_status(const char* text) {
    record(EVENT_STATUS, 0, text);
}

void host_show_error(const char* text) {
    record(EVENT_ERROR, 0, text);
}

// ---- Reading the record --------------------------------------------------------------------

std::vector<HostEvent> recorded_events() {
    uint32_t count = event_count.load(std::memory_order_acquire);
    return std::vector<HostEvent>(events, events + count);
}

std::vector<uint32_t> recorded_progress() {
    std::vector<uint32_t> positions;
    for (const HostEvent& event : recorded_events())
        if (event.kind == EVENT_PROGRESS)
            positions.push_back(event.value);
    return positions;
}

static std::vector<std::string> texts_of(HostEventKind kind) {
    std::vector<std::string> texts;
    for (const HostEvent& event : recorded_events())
        if (event.kind == kind)
            texts.push_back(event.text);
    return texts;
}

std::vector<std::string> recorded_errors() {
    return texts_of(EVENT_ERROR);
}

std::vector<std::string> recorded_statuses() {
    return texts_of(EVENT_STATUS);
}

bool recording_overflowed() {
    return overflowed.load();
}

// ---- Running jobs ----------------------------------------------------------------------------

int run_job(const std::string& input_path, const std::string& dest_prefix) {
    JobStart started = start_split_job(input_path.c_str(), dest_prefix.c_str());
    wait_for_split_job();
    return started;
}

static std::mutex pause_lock;
static std::condition_variable pause_changed;
static uint32_t pause_at = 0;
static bool pause_reached = false;
static bool pause_released = false;

static void pause_hook(uint32_t report_number) {
    if (report_number != pause_at)
        return;
    std::unique_lock<std::mutex> hold(pause_lock);
    pause_reached = true;
    pause_changed.notify_all();
    pause_changed.wait(hold, [] { return pause_released; });
}

void run_job_pausing_at(const std::string& input_path, const std::string& dest_prefix,
                        uint32_t report_number, void (*action)()) {
    pause_at = report_number;
    pause_reached = false;
    pause_released = false;
    progress_hook = pause_hook;
    if (start_split_job(input_path.c_str(), dest_prefix.c_str()) == JOB_STARTED) {
        std::unique_lock<std::mutex> hold(pause_lock);
        // A job that ends before that report has nothing to pause.
        while (!pause_reached && split_job_running())
            pause_changed.wait_for(hold, std::chrono::milliseconds(10));
        if (pause_reached)
            action();
        pause_released = true;
        pause_changed.notify_all();
    }
    wait_for_split_job();
    progress_hook = nullptr;
}
