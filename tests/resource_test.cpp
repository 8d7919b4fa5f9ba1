// The job allocates nothing on the heap, whatever way it goes.
#include "allocation_count.h"
#include "fault_io.h"
#include "resource_jobs.h"
#include "split_job.h"

#include <gtest/gtest.h>

namespace {

TEST(ResourceCeilings, AJobAllocatesNothing) {
    ResourceJobFiles files = make_resource_job_files();
    for (size_t n = 0; n < RESOURCE_JOB_COUNT; ++n) {
        const ResourceJob& job = resource_jobs[n];
        SCOPED_TRACE(job.name);
        const std::string& input = input_of(job, files);
        const std::string& prefix = prefix_of(job, files);
        // The first run may meet what the platform does once per process (loading the
        // unwinder that a thread's exit uses, say); the second is the one counted. The
        // count covers the whole job: its thread's start, its run and its end.
        for (int run = 0; run < 2; ++run) {
            prepare_resource_job(job, files);
            count_allocations(run == 1);
            JobStart started = start_split_job(input.c_str(), prefix.c_str());
            wait_for_split_job();
            count_allocations(false);
            ASSERT_EQ(started, JOB_STARTED);
        }
        EXPECT_EQ(allocations_counted(), 0u)
            << (MALLOC_FAMILY_COUNTED ? "operator new and the malloc family counted"
                                      : "operator new counted");
        expect_resource_job_result(job);
    }
    remove_fault_io();
    remove_resource_job_files(files);
}

} // namespace
