// The job thread's stack use against its 32,000-byte request, measured by painting.
//
// Each job runs on a thread whose stack the test provides: a region filled with a known
// byte, with an inaccessible page below it. After the thread has ended, the lowest byte that
// no longer holds the paint marks the deepest point the thread reached. Measuring beats
// running on a stack cut to the request: it gives the figure and its margin rather than a
// crash, and it counts all the thread did, the C library's calls and the unwinding of its
// exit included. The region's top also holds what the C library keeps for the thread (its
// descriptor and thread-local storage), as a stack it allocates itself would; so the whole
// figure is checked against the request, and the job's own part is shown beside it.
#include "fault_io.h"
#include "resource_jobs.h"
#include "split_job.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <pthread.h>
#include <sys/mman.h>
#include <unistd.h>

namespace {

constexpr size_t PAINTED_SIZE = 256 * 1024;
constexpr unsigned char PAINT = 0xA5;

// Where the thread's own entry had its frame; set on the job thread, read after the join.
uintptr_t entry_frame = 0;

void* run_job_here(void*) {
    volatile char here = 0;
    entry_frame = reinterpret_cast<uintptr_t>(&here);
    run_split_job();
}

struct StackUse {
    size_t whole;    // from the region's top: the thread's own data and all its frames
    size_t from_job; // from the entry's frame down
};

// Runs the prepared job on a painted stack; returns false when the thread could not run.
bool measure_job(const std::string& input, const std::string& prefix, StackUse* use) {
    const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    void* mapped = mmap(nullptr, PAINTED_SIZE + page, PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK, -1, 0);
    if (mapped == MAP_FAILED)
        return false;
    unsigned char* guard = static_cast<unsigned char*>(mapped);
    unsigned char* stack = guard + page;
    mprotect(guard, page, PROT_NONE);
    memset(stack, PAINT, PAINTED_SIZE);

    memcpy(split_job.input_path, input.c_str(), input.size() + 1);
    memcpy(split_job.dest_prefix, prefix.c_str(), prefix.size() + 1);
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstack(&attributes, stack, PAINTED_SIZE);
    pthread_t thread;
    bool ran = pthread_create(&thread, &attributes, run_job_here, nullptr) == 0;
    pthread_attr_destroy(&attributes);
    if (ran) {
        pthread_join(thread, nullptr);
        size_t lowest = 0;
        while (lowest < PAINTED_SIZE && stack[lowest] == PAINT)
            ++lowest;
        use->whole = PAINTED_SIZE - lowest;
        use->from_job = entry_frame - reinterpret_cast<uintptr_t>(stack + lowest);
    }
    munmap(mapped, PAINTED_SIZE + page);
    return ran;
}

TEST(ResourceCeilings, TheJobThreadStaysWithinItsStackRequest) {
    ResourceJobFiles files = make_resource_job_files();
    size_t deepest = 0;
    for (size_t n = 0; n < RESOURCE_JOB_COUNT; ++n) {
        const ResourceJob& job = resource_jobs[n];
        SCOPED_TRACE(job.name);
        prepare_resource_job(job, files);
        StackUse use = {0, 0};
        ASSERT_TRUE(measure_job(input_of(job, files), prefix_of(job, files), &use));
        expect_resource_job_result(job);
        printf("%-26s stack used: %6zu bytes in all, %6zu by the job\n", job.name, use.whole,
               use.from_job);
        EXPECT_LE(use.whole, size_t{WORKER_STACK_SIZE});
        deepest = use.whole > deepest ? use.whole : deepest;
    }
    RecordProperty("deepest_stack_bytes", static_cast<int>(deepest));
    remove_fault_io();
    remove_resource_job_files(files);
}

} // namespace
