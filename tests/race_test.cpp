// Jobs under the concurrency a front end brings: settings and answers rewritten from another
// thread while jobs run, and jobs started one after another, also the moment the previous
// job has passed its ending while its thread is still on the way out. Run under
// ThreadSanitizer these must stay free of reports; everywhere, every job must still end and
// leave exactly what the answers it was given call for.
#include "fault_io.h"
#include "scripted_host.h"
#include "segment_range.h"
#include "split_job.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace {

class RaceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        reset_scripted_host();
        install_fault_io();
        dir = make_scratch_dir("race");
        source = join_path(dir, "source.bin");
        prefix = join_path(dir, "xyz");
    }

    void TearDown() override {
        remove_fault_io();
        remove_tree(dir);
    }

    void remove_pieces() {
        for (const std::string& name : list_dir(dir))
            if (name != "source.bin")
                remove_tree(join_path(dir, name));
    }

    std::string dir, source, prefix;
};

// The texts the other thread offers for Start and End, decimal and hexadecimal alike.
const char* const offset_texts[] = {"0", "5", "100", "1048576", "ff", "-1", "3145733", "zz"};

std::atomic<bool> keep_changing{false};

// Plays a user who keeps typing and clicking while jobs run.
void change_everything() {
    uint32_t step = 0;
    while (keep_changing.load()) {
        ++step;
        split_size_mb = step % 4;
        stop_count = (step / 3) % 4;
        answer_chunks = (step / 5) % 2 == 0;
        answer_stop_after = (step / 2) % 2 == 0;
        answer_hex = (step / 7) % 2 == 0;
        set_answer_texts(offset_texts[step % 8], offset_texts[(step / 8) % 8]);
        std::this_thread::yield();
    }
}

// Checks what one job left against the answers it recorded.
void expect_result_of_answers(const std::string& dir, const std::string& prefix,
                              uint64_t source_size) {
    std::vector<HostEvent> events = recorded_events();
    ASSERT_FALSE(events.empty());
    ASSERT_EQ(events[0].kind, EVENT_CHUNKS_ASKED);
    EXPECT_EQ(recorded_statuses(), std::vector<std::string>{"Done!  "});
    EXPECT_EQ(io_open_descriptors(), 0);

    if (events[0].value != 0) {
        // Chunks: whatever sizes the pieces took, joined in order they are the source's start.
        EXPECT_TRUE(recorded_errors().empty());
        uint64_t offset = 0;
        size_t pieces = list_dir(dir).size() - 1;
        for (size_t n = 0; n < pieces; ++n) {
            std::string piece = prefix + "_" + std::to_string(n);
            ASSERT_TRUE(file_exists(piece)) << piece;
            uint64_t size = file_size_of(piece);
            EXPECT_TRUE(holds_pattern(piece, offset, size)) << piece;
            offset += size;
        }
        EXPECT_LE(offset, source_size);
        return;
    }

    // Segment: the range follows from the texts and boxes as they were answered.
    const char* texts[2] = {nullptr, nullptr};
    bool hex[2] = {false, false};
    int asked = 0;
    for (const HostEvent& event : events) {
        if (event.kind == EVENT_START_TEXT_ASKED || event.kind == EVENT_END_TEXT_ASKED)
            texts[asked] = event.text;
        else if (event.kind == EVENT_HEX_ASKED && asked < 2)
            hex[asked++] = event.value != 0;
    }
    ASSERT_EQ(asked, 2);
    SegmentRange range = decide_segment_range(texts[0], hex[0], texts[1], hex[1], source_size);
    if (range.sane) {
        EXPECT_TRUE(recorded_errors().empty());
        EXPECT_TRUE(holds_pattern(prefix + "_0", range.start, range.end - range.start));
    } else {
        EXPECT_EQ(recorded_errors(), std::vector<std::string>{"Insane start/end values!"});
    }
}

TEST_F(RaceTest, JobsRunWhileSettingsAndAnswersChange) {
    const uint64_t size = 3 * MIB + 5;
    write_pattern_file(source, size);
    keep_changing = true;
    std::thread changer(change_everything);
    for (int job = 0; job < 40; ++job) {
        SCOPED_TRACE("job " + std::to_string(job));
        remove_pieces();
        reset_scripted_host();
        install_fault_io();
        EXPECT_EQ(run_job(source, prefix), JOB_STARTED);
        expect_result_of_answers(dir, prefix, size);
    }
    keep_changing = false;
    changer.join();
}

TEST_F(RaceTest, JobsBackToBack) {
    write_pattern_file(source, 100000);
    const int jobs = 100;

    // Each job waited for before the next starts.
    for (int job = 0; job < jobs; ++job) {
        ASSERT_EQ(start_split_job(source.c_str(), prefix.c_str()), JOB_STARTED);
        wait_for_split_job();
    }
    // Each job started as soon as the previous one lets it: the previous thread may still
    // be on its way out, and the start must wait for it before reusing the job state.
    for (int job = 0; job < jobs; ++job) {
        JobStart started;
        while ((started = start_split_job(source.c_str(), prefix.c_str())) == JOB_ALREADY_RUNNING)
            std::this_thread::yield();
        ASSERT_EQ(started, JOB_STARTED);
    }
    wait_for_split_job();

    EXPECT_FALSE(split_job_running());
    EXPECT_EQ(recorded_statuses(), std::vector<std::string>(2 * jobs, "Done!  "));
    EXPECT_TRUE(recorded_errors().empty());
    EXPECT_EQ(recorded_progress(), std::vector<uint32_t>(4 * jobs, 100)); // one block, then the end
    EXPECT_EQ(io_open_descriptors(), 0);
    EXPECT_TRUE(holds_pattern(prefix + "_0", 0, 100000));
}

} // namespace
