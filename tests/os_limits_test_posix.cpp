// Write failures made by the operating system itself: the file-size limit turns a write
// past it into a short write or an error, as a full disk or a quota would.
#include "fault_io.h"
#include "scripted_host.h"
#include "split_job.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace {

struct LimitCase {
    const char* name;
    uint64_t limit; // bytes any one file may hold
};

// A limit inside a block cuts a write short; a limit at a block's start makes it fail.
const LimitCase limit_cases[] = {
    {"short_write", 4 * MIB + MIB / 2},
    {"failed_write", 4 * MIB},
};

TEST(OsWriteLimits, WritePastTheFileSizeLimitEndsTheJobWithAnError) {
    std::string dir = make_scratch_dir("limits");
    std::string source = join_path(dir, "source.bin");
    std::string prefix = join_path(dir, "xyz");
    write_pattern_file(source, 12 * MIB);
    // With 2 MiB pieces nothing reaches the limit until the size grows to 5 for piece 2.
    struct sigaction ignore = {}, previous_action = {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, &previous_action);

    for (const LimitCase& c : limit_cases) {
        SCOPED_TRACE(c.name);
        reset_scripted_host();
        install_fault_io();
        split_size_mb = 2;
        rlimit saved;
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit limited = saved;
        limited.rlim_cur = c.limit;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
        run_job_pausing_at(source, prefix, 3, [] { split_size_mb = 5; });
        setrlimit(RLIMIT_FSIZE, &saved);

        EXPECT_TRUE(holds_pattern(prefix + "_0", 0, 2 * MIB));
        EXPECT_TRUE(holds_pattern(prefix + "_1", 2 * MIB, 2 * MIB));
        EXPECT_EQ(recorded_errors(), std::vector<std::string>{"Could not write output file!"});
        EXPECT_EQ(recorded_statuses(), std::vector<std::string>{"Done!  "});
        std::vector<uint32_t> progress = recorded_progress();
        ASSERT_FALSE(progress.empty());
        EXPECT_LT(progress.back(), 100u);
        EXPECT_EQ(io_open_descriptors(), 0);
    }
    sigaction(SIGXFSZ, &previous_action, nullptr);
    remove_fault_io();
    remove_tree(dir);
}

} // namespace
