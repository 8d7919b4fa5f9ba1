// A bare console front end for timing the engine: runs one job from its arguments, shows no
// progress, prints errors to stderr and, on request, its peak resident memory.
//
//   bench_driver chunks SOURCE PREFIX SIZE_MB
//   bench_driver segment SOURCE PREFIX START END      (decimal offsets)
//   bench_driver idle                                 (starts no job: the memory baseline)
// Add --rss at the end to print "peak_rss_kib N" (where /proc tells it). It always prints
// "job_ms N", the wall time from the job's start to its end.
#include "split_job.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

static bool chunks_mode = true;
static const char* start_text = "0";
static const char* end_text = "0";
static bool job_failed = false;

bool host_chunks_selected() {
    return chunks_mode;
}
bool host_stop_after_ticked() {
    return false;
}
bool host_hex_ticked() {
    return false;
}
void host_start_text(char* text) {
    snprintf(text, FIELD_TEXT_CAPACITY, "%s", start_text);
}
void host_end_text(char* text) {
    snprintf(text, FIELD_TEXT_CAPACITY, "%s", end_text);
}
void host_set_progress(uint32_t) {}
void host_set_status(const char*) {}
void host_show_error(const char* text) {
    fprintf(stderr, "%s\n", text);
    job_failed = true;
}

// Peak resident set in KiB from /proc, or -1 where there is no /proc.
static long peak_rss_kib() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.compare(0, 6, "VmHWM:") == 0)
            return strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

int main(int argc, char** argv) {
    bool print_rss = argc > 1 && strcmp(argv[argc - 1], "--rss") == 0;
    if (print_rss)
        --argc;
    bool usable = (argc == 5 && strcmp(argv[1], "chunks") == 0) ||
                  (argc == 6 && strcmp(argv[1], "segment") == 0) ||
                  (argc == 2 && strcmp(argv[1], "idle") == 0);
    if (!usable) {
        fprintf(stderr, "usage: bench_driver chunks SOURCE PREFIX SIZE_MB | segment SOURCE PREFIX "
                        "START END | idle  [--rss]\n");
        return 2;
    }
    if (strcmp(argv[1], "idle") != 0) {
        chunks_mode = strcmp(argv[1], "chunks") == 0;
        if (chunks_mode) {
            split_size_mb = static_cast<uint32_t>(strtoul(argv[4], nullptr, 10));
        } else {
            start_text = argv[4];
            end_text = argv[5];
        }
        auto started = std::chrono::steady_clock::now();
        if (start_split_job(argv[2], argv[3]) != JOB_STARTED) {
            fprintf(stderr, "could not start the job\n");
            return 1;
        }
        wait_for_split_job();
        printf("job_ms %.1f\n",
               std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started)
                   .count());
    }
    if (print_rss)
        printf("peak_rss_kib %ld\n", peak_rss_kib());
    return job_failed ? 1 : 0;
}
