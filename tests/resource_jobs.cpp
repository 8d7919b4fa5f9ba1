#include "resource_jobs.h"

#include "fault_io.h"
#include "scripted_host.h"
#include "split_job.h"
#include "test_files.h"

#include <gtest/gtest.h>

const ResourceJob resource_jobs[] = {
    {"chunks", true, false, 1, 1, "0", "0", false, false, false, false, nullptr},
    {"chunks_stop_after", true, true, 1, 2, "0", "0", false, false, false, false, nullptr},
    {"chunks_missing_source", true, false, 1, 1, "0", "0", false, true, false, false,
     "Could not open the input file!"},
    {"chunks_output_not_opened", true, false, 1, 1, "0", "0", false, false, true, false,
     "Could not open output file!"},
    {"chunks_write_fails", true, false, 1, 1, "0", "0", false, false, false, true,
     "Could not write output file!"},
    {"segment_hex", false, false, 5, 1, "10", "200010", true, false, false, false, nullptr},
    {"segment_whole_file", false, false, 5, 1, "0", "0", false, false, false, false, nullptr},
    {"segment_refused", false, false, 5, 1, "100", "50", false, false, false, false,
     "Insane start/end values!"},
    {"segment_write_fails", false, false, 5, 1, "0", "0", false, false, false, true,
     "Could not write output file!"},
};

const size_t RESOURCE_JOB_COUNT = sizeof resource_jobs / sizeof resource_jobs[0];

ResourceJobFiles make_resource_job_files() {
    ResourceJobFiles files;
    files.dir = make_scratch_dir("resources");
    files.source = join_path(files.dir, "source.bin");
    files.missing = join_path(files.dir, "missing.bin");
    files.prefix = join_path(files.dir, "xyz");
    files.unreachable_prefix = join_path(join_path(files.dir, "no-such-dir"), "xyz");
    write_pattern_file(files.source, 3 * MIB + 5);
    return files;
}

void remove_resource_job_files(const ResourceJobFiles& files) {
    remove_tree(files.dir);
}

const std::string& input_of(const ResourceJob& job, const ResourceJobFiles& files) {
    return job.source_missing ? files.missing : files.source;
}

const std::string& prefix_of(const ResourceJob& job, const ResourceJobFiles& files) {
    return job.output_dir_missing ? files.unreachable_prefix : files.prefix;
}

static void set_answers(const ResourceJob& job) {
    reset_scripted_host();
    answer_chunks = job.chunks;
    answer_stop_after = job.stop_after;
    answer_hex = job.hex;
    split_size_mb = job.split_mb;
    stop_count = job.count;
    set_answer_texts(job.start, job.end);
}

void prepare_resource_job(const ResourceJob& job, const ResourceJobFiles& files) {
    uint32_t fail_at = 0;
    if (job.fail_second_write) {
        set_answers(job);
        install_fault_io();
        run_job(input_of(job, files), prefix_of(job, files));
        fail_at = call_number_of(io_calls(), IO_WRITE, 2);
        ASSERT_NE(fail_at, 0u);
    }
    set_answers(job);
    install_fault_io(fail_at != 0 ? FAULT_FAIL : FAULT_NONE, fail_at);
}

void expect_resource_job_result(const ResourceJob& job) {
    std::vector<std::string> errors;
    if (job.error != nullptr)
        errors.push_back(job.error);
    EXPECT_EQ(recorded_errors(), errors);
    EXPECT_EQ(recorded_statuses(), std::vector<std::string>{"Done!  "});
    EXPECT_EQ(io_open_descriptors(), 0);
}
