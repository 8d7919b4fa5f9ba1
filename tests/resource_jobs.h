// Jobs that walk each mode's normal path and its error paths, shared by the checks of the
// job's resource ceilings (heap and stack).
#pragma once

#include <cstddef>
#include <string>

struct ResourceJob {
    const char* name;
    bool chunks;
    bool stop_after;
    unsigned split_mb;
    unsigned count;
    const char* start; // Segment
    const char* end;
    bool hex;
    bool source_missing;
    bool output_dir_missing;
    bool fail_second_write; // made to fail at the seam
    const char* error;      // the message the job shows, or nullptr
};

extern const ResourceJob resource_jobs[];
extern const size_t RESOURCE_JOB_COUNT;

struct ResourceJobFiles {
    std::string dir, source, missing, prefix, unreachable_prefix;
};

// A scratch directory with a source of a few blocks.
ResourceJobFiles make_resource_job_files();
void remove_resource_job_files(const ResourceJobFiles& files);

// The paths a job runs with.
const std::string& input_of(const ResourceJob& job, const ResourceJobFiles& files);
const std::string& prefix_of(const ResourceJob& job, const ResourceJobFiles& files);

// Sets the scripted host's answers and the settings for `job` and installs the counting file
// operations, with the fault the job asks for (found by a clean run of the job first).
void prepare_resource_job(const ResourceJob& job, const ResourceJobFiles& files);

// The job ended as it should: its message or none, "Done!  ", no descriptor left open.
void expect_resource_job_result(const ResourceJob& job);
