// Chunks mode and the job around it, run as a front end would run them: on the job thread,
// against real files, with every question and report recorded.
#include "fault_io.h"
#include "scripted_host.h"
#include "split_job.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class ChunksTest : public ::testing::Test {
  protected:
    void SetUp() override {
        reset_scripted_host();
        install_fault_io();
        dir = make_scratch_dir("chunks");
        source = join_path(dir, "source.bin");
        prefix = join_path(dir, "xyz");
    }

    void TearDown() override {
        remove_fault_io();
        remove_tree(dir);
    }

    // A fresh directory with a new pattern source, and the host and counts as at the start.
    void start_over(uint64_t source_size) {
        remove_tree(dir);
        std::filesystem::create_directories(dir);
        write_pattern_file(source, source_size);
        reset_scripted_host();
        install_fault_io();
    }

    std::string piece(int number) const {
        return prefix + "_" + std::to_string(number);
    }

    // The job ended through its one ending and left nothing open.
    void expect_finished() const {
        EXPECT_EQ(recorded_statuses(), std::vector<std::string>{"Done!  "});
        EXPECT_EQ(io_open_descriptors(), 0);
        EXPECT_FALSE(split_job_running());
    }

    void expect_error(const char* message) const {
        EXPECT_EQ(recorded_errors(), std::vector<std::string>{message});
        expect_finished();
    }

    std::string dir, source, prefix;
};

// Positions that a job over `total` bytes reports for blocks of the given sizes, then the
// normal ending's full bar.
std::vector<uint32_t> expected_positions(const std::vector<uint64_t>& blocks, uint64_t total) {
    std::vector<uint32_t> positions;
    uint64_t done = 0;
    for (uint64_t count : blocks) {
        done += count;
        uint64_t position = done * 100 / total;
        positions.push_back(position > 100 ? 100u : static_cast<uint32_t>(position));
    }
    positions.push_back(100);
    return positions;
}

// Blocks of at most a megabyte that make up `size` bytes.
std::vector<uint64_t> blocks_of(uint64_t size) {
    std::vector<uint64_t> blocks;
    for (uint64_t at = 0; at < size; at += MIB)
        blocks.push_back(size - at < MIB ? size - at : MIB);
    return blocks;
}

struct LayoutCase {
    const char* name;
    uint64_t source_size;
    uint32_t split_mb;
    bool stop_after;
    uint32_t count;
    std::vector<uint64_t> pieces; // the expected sizes of xyz_0, xyz_1, ...
};

const LayoutCase layout_cases[] = {
    {"twelve_by_five", 12 * MIB, 5, false, 1, {5 * MIB, 5 * MIB, 2 * MIB}},
    {"exact_multiple_leaves_no_empty_piece", 10 * MIB, 5, false, 1, {5 * MIB, 5 * MIB}},
    {"partial_last_block", 12 * MIB + 12345, 5, false, 1, {5 * MIB, 5 * MIB, 2 * MIB + 12345}},
    {"one_byte", 1, 5, false, 1, {1}},
    {"empty_source_makes_no_piece", 0, 5, false, 1, {}},
    {"stop_after_two", 30 * MIB, 5, true, 2, {5 * MIB, 5 * MIB}},
    {"stop_after_zero_acts_as_one", 30 * MIB, 5, true, 0, {5 * MIB}},
    {"stop_count_ignored_unless_ticked", 12 * MIB, 5, false, 1, {5 * MIB, 5 * MIB, 2 * MIB}},
    {"stop_after_more_than_there_is", 7 * MIB, 5, true, 9, {5 * MIB, 2 * MIB}},
    {"split_size_zero_puts_all_in_one", 12 * MIB, 0, false, 1, {12 * MIB}},
    {"split_size_zero_with_stop_after", 3 * MIB, 0, true, 1, {3 * MIB}},
    {"names_run_past_nine",
     11 * MIB + 1,
     1,
     false,
     1,
     {MIB, MIB, MIB, MIB, MIB, MIB, MIB, MIB, MIB, MIB, MIB, 1}},
};

TEST_F(ChunksTest, PiecesHoldTheSourceInOrder) {
    for (const LayoutCase& c : layout_cases) {
        SCOPED_TRACE(c.name);
        start_over(c.source_size);
        split_size_mb = c.split_mb;
        stop_count = c.count;
        answer_stop_after = c.stop_after;

        EXPECT_EQ(run_job(source, prefix), JOB_STARTED);

        std::vector<std::string> expected_names = {"source.bin"};
        uint64_t offset = 0;
        for (size_t i = 0; i < c.pieces.size(); ++i) {
            expected_names.push_back("xyz_" + std::to_string(i));
            EXPECT_TRUE(holds_pattern(piece(static_cast<int>(i)), offset, c.pieces[i]))
                << "piece " << i;
            offset += c.pieces[i];
        }
        std::sort(expected_names.begin(), expected_names.end());
        EXPECT_EQ(list_dir(dir), expected_names);

        uint64_t total = c.stop_after ? uint64_t{c.split_mb} * c.count * MIB : c.source_size;
        if (total == 0)
            total = c.source_size; // no scale of its own: measured against the source
        EXPECT_EQ(recorded_progress(), expected_positions(blocks_of(offset), total ? total : 1));
        EXPECT_TRUE(recorded_errors().empty());
        expect_finished();
    }
}

TEST_F(ChunksTest, AsksForTheModeOnceAndForStopAfterAtEachBoundary) {
    write_pattern_file(source, 12 * MIB);
    run_job(source, prefix);

    std::string order;
    for (const HostEvent& event : recorded_events()) {
        switch (event.kind) {
        case EVENT_CHUNKS_ASKED:
            order += 'C';
            break;
        case EVENT_STOP_AFTER_ASKED:
            order += 'S';
            break;
        case EVENT_PROGRESS:
            order += 'p';
            break;
        case EVENT_STATUS:
            order += 'D';
            break;
        default:
            order += '?';
            break;
        }
    }
    // C: mode asked, S: "Stop after:" asked, p: progress, D: "Done!  ". The first piece opens
    // without asking; each later boundary closes a piece and asks; the ending fills the bar.
    EXPECT_EQ(order, "CSpppppSpppppSpppD");
}

TEST_F(ChunksTest, EmptyPrefixPutsPiecesInTheCurrentDirectory) {
    write_pattern_file(source, 6 * MIB);
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    run_job(source, "");
    std::filesystem::current_path(previous);

    EXPECT_TRUE(holds_pattern(join_path(dir, "_0"), 0, 5 * MIB));
    EXPECT_TRUE(holds_pattern(join_path(dir, "_1"), 5 * MIB, MIB));
    expect_finished();
}

TEST_F(ChunksTest, ExistingPiecesAreOverwritten) {
    write_pattern_file(source, 2 * MIB);
    write_bytes(piece(0), std::vector<unsigned char>(9 * MIB, 0xAB));
    run_job(source, prefix);
    EXPECT_TRUE(holds_pattern(piece(0), 0, 2 * MIB));
    expect_finished();
}

TEST_F(ChunksTest, UnusableSourceIsReportedWithNothingOpened) {
    const std::string missing = join_path(dir, "missing.bin");
    for (const std::string& path : {std::string(), missing, dir}) {
        SCOPED_TRACE("source '" + path + "'");
        reset_scripted_host();
        install_fault_io();
        run_job(path, prefix);
        EXPECT_TRUE(recorded_progress().empty());
        expect_error("Could not open the input file!");
        EXPECT_EQ(list_dir(dir), std::vector<std::string>{});
    }
}

TEST_F(ChunksTest, OutputThatCannotBeOpenedThenASecondJobStartsCleanly) {
    write_pattern_file(source, 6 * MIB);
    run_job(source, join_path(join_path(dir, "no-such-dir"), "xyz"));
    EXPECT_TRUE(recorded_progress().empty());
    expect_error("Could not open output file!");

    reset_scripted_host();
    install_fault_io();
    run_job(source, prefix);
    EXPECT_TRUE(holds_pattern(piece(0), 0, 5 * MIB));
    EXPECT_TRUE(holds_pattern(piece(1), 5 * MIB, MIB));
    EXPECT_TRUE(recorded_errors().empty());
    EXPECT_EQ(io_calls_of(IO_CLOSE), io_calls_of(IO_OPEN_READ) + io_calls_of(IO_OPEN_OUTPUT));
    expect_finished();
}

TEST_F(ChunksTest, NameThatDoesNotFitIsRefusedWithoutOverrun) {
    write_pattern_file(source, MIB);
    // 2045 characters leave room for "_0" and the NUL (the system then refuses the name),
    // 2046 do not fit the name buffer, 4000 do not fit the job's path buffer.
    for (size_t length : {size_t{2045}, size_t{2046}, size_t{4000}}) {
        SCOPED_TRACE(length);
        reset_scripted_host();
        install_fault_io();
        std::string long_prefix = join_path(dir, "");
        long_prefix += std::string(length - long_prefix.size(), 'p');
        EXPECT_EQ(run_job(source, long_prefix),
                  length < PATH_CAPACITY ? JOB_STARTED : JOB_PATH_TOO_LONG);
        if (length < PATH_CAPACITY) {
            EXPECT_EQ(io_calls_of(IO_OPEN_OUTPUT), length == 2045 ? 1u : 0u);
            expect_error("Could not open output file!");
        }
    }
}

TEST_F(ChunksTest, ThePieceThatIsTheSourceIsNeverTruncated) {
    // Source x_1 with prefix x: x_0 is written, then x_1 would be the source itself.
    const std::string named_like_a_piece = join_path(dir, "x_1");
    write_pattern_file(named_like_a_piece, 7 * MIB);
    std::filesystem::create_directories(join_path(dir, "sub"));
    const std::string same_file_other_path = join_path(join_path(dir, "sub"), "..");

    for (const std::string& through : {dir, same_file_other_path}) {
        SCOPED_TRACE(through);
        reset_scripted_host();
        install_fault_io();
        run_job(named_like_a_piece, join_path(through, "x"));
        EXPECT_TRUE(holds_pattern(named_like_a_piece, 0, 7 * MIB));
        EXPECT_TRUE(holds_pattern(join_path(dir, "x_0"), 0, 5 * MIB));
        expect_error("Could not open output file!");
    }
}

TEST_F(ChunksTest, ThePieceThatIsTheSourceThroughAHardLinkIsNeverTruncated) {
    write_pattern_file(source, 3 * MIB);
    std::error_code failed;
    std::filesystem::create_hard_link(source, piece(0), failed);
    if (failed)
        GTEST_SKIP() << "no hard links here: " << failed.message();
    run_job(source, prefix);
    EXPECT_TRUE(holds_pattern(source, 0, 3 * MIB));
    expect_error("Could not open output file!");
}

// Faults put in at the seam, where the operating system would report them.
struct SeamFaultCase {
    const char* name;
    IoCall kind;
    uint32_t nth; // which call of that kind fails
    IoFault fault;
    const char* message;
    uint32_t good_pieces; // pieces that must be complete and right
    uint32_t reports;     // progress reports before the failure
};

// A 12 MiB source in 5 MiB pieces makes these calls: open_read (source), open_read (probe),
// seek, close (probe), then per block a read and a write, with an open_output at each
// piece's start and a close at each boundary.
const SeamFaultCase seam_fault_cases[] = {
    {"probe_open_fails", IO_OPEN_READ, 2, FAULT_FAIL, "Could not open the input file!", 0, 0},
    {"probe_seek_fails", IO_SEEK, 1, FAULT_FAIL, "Could not open the input file!", 0, 0},
    {"first_read_fails", IO_READ, 1, FAULT_FAIL, "Could not read the input file!", 0, 0},
    {"read_in_second_piece_fails", IO_READ, 7, FAULT_FAIL, "Could not read the input file!", 1, 6},
    {"second_piece_open_fails", IO_OPEN_OUTPUT, 2, FAULT_FAIL, "Could not open output file!", 1, 5},
    {"write_in_second_piece_fails", IO_WRITE, 7, FAULT_FAIL, "Could not write output file!", 1, 6},
    {"short_write_in_second_piece", IO_WRITE, 7, FAULT_SHORT_WRITE, "Could not write output file!",
     1, 6},
    {"closing_a_finished_piece_fails", IO_CLOSE, 2, FAULT_FAIL, "Could not write output file!", 0,
     5},
};

TEST_F(ChunksTest, FaultsAtTheSeamEndWithTheirMessage) {
    write_pattern_file(source, 12 * MIB);
    // Learn the numbers of the calls from a clean run.
    run_job(source, prefix);
    const std::vector<IoCall> calls = io_calls();

    for (const SeamFaultCase& c : seam_fault_cases) {
        SCOPED_TRACE(c.name);
        uint32_t call_number = call_number_of(calls, c.kind, c.nth);
        ASSERT_NE(call_number, 0u);
        for (int i = 0; i < 3; ++i)
            remove_tree(piece(i));

        reset_scripted_host();
        install_fault_io(c.fault, call_number);
        run_job(source, prefix);

        for (uint32_t i = 0; i < c.good_pieces; ++i)
            EXPECT_TRUE(holds_pattern(piece(static_cast<int>(i)), i * 5 * MIB, 5 * MIB));
        // No full bar after a failure: the reports are the job's own, none from an ending.
        std::vector<uint32_t> progress = recorded_progress();
        EXPECT_EQ(progress.size(), c.reports);
        if (!progress.empty()) {
            EXPECT_LT(progress.back(), 100u);
        }
        expect_error(c.message);
    }
}

TEST_F(ChunksTest, ProgressStaysExactForSourcesBeyondFourGiB) {
    const uint64_t size = 4 * 1024 * MIB + 512 * MIB + 3;
    write_sparse_file(source, size, {5 * MIB, size - 1});
    split_size_mb = 1024;
    skip_data(true);
    run_job(source, prefix);

    EXPECT_FALSE(recording_overflowed());
    EXPECT_EQ(recorded_progress(), expected_positions(blocks_of(size), size));
    EXPECT_EQ(io_bytes_written(), size);
    EXPECT_TRUE(file_exists(piece(4)));
    EXPECT_FALSE(file_exists(piece(5)));
    expect_finished();
}

// Settings changed by another thread while the job waits at a known report.
TEST_F(ChunksTest, SettingsChangedDuringAJobApplyAtTheirMoments) {
    write_pattern_file(source, 12 * MIB);

    // The split size is read when a piece opens: piece 0 keeps 5, later pieces take 2.
    run_job_pausing_at(source, prefix, 1, [] { split_size_mb = 2; });
    EXPECT_TRUE(holds_pattern(piece(0), 0, 5 * MIB));
    EXPECT_TRUE(holds_pattern(piece(1), 5 * MIB, 2 * MIB));
    EXPECT_TRUE(holds_pattern(piece(3), 9 * MIB, 2 * MIB));
    EXPECT_TRUE(holds_pattern(piece(4), 11 * MIB, MIB));
    expect_finished();

    // The count is read at each boundary; the total of the bar is not recomputed.
    start_over(12 * MIB);
    split_size_mb = 2;
    answer_stop_after = true;
    run_job_pausing_at(source, prefix, 1, [] { stop_count = 3; });
    EXPECT_EQ(list_dir(dir), (std::vector<std::string>{"source.bin", "xyz_0", "xyz_1", "xyz_2"}));
    EXPECT_EQ(recorded_progress(), (std::vector<uint32_t>{50, 100, 100, 100, 100, 100, 100}));
    expect_finished();

    // "Stop after:" ticked during the job takes effect at the next boundary.
    start_over(12 * MIB);
    run_job_pausing_at(source, prefix, 3, [] { answer_stop_after = true; });
    EXPECT_EQ(list_dir(dir), (std::vector<std::string>{"source.bin", "xyz_0"}));
    expect_finished();
}

TEST_F(ChunksTest, ASecondJobIsRefusedWhileOneRuns) {
    write_pattern_file(source, 3 * MIB);
    static std::string other_prefix;
    other_prefix = join_path(dir, "other");
    static JobStart second = JOB_STARTED;
    static std::string source_path;
    source_path = source;
    run_job_pausing_at(source, prefix, 1,
                       [] { second = start_split_job(source_path.c_str(), other_prefix.c_str()); });
    EXPECT_EQ(second, JOB_ALREADY_RUNNING);
    EXPECT_TRUE(holds_pattern(piece(0), 0, 3 * MIB));
    EXPECT_FALSE(file_exists(other_prefix + "_0"));
    expect_finished();
}

} // namespace
