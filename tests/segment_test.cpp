// Segment mode over real files: the range rules, the order of the questions, the blocks and
// reports of the copy, and what is left behind when a range is refused or a copy fails.
#include "fault_io.h"
#include "scripted_host.h"
#include "split_job.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class SegmentTest : public ::testing::Test {
  protected:
    void SetUp() override {
        reset_scripted_host();
        answer_chunks = false;
        install_fault_io();
        dir = make_scratch_dir("segment");
        source = join_path(dir, "source.bin");
        prefix = join_path(dir, "xyz");
        output = prefix + "_0";
    }

    void TearDown() override {
        remove_fault_io();
        remove_tree(dir);
    }

    void run_segment(const char* start, const char* end, bool hex = false) {
        reset_scripted_host();
        answer_chunks = false;
        answer_hex = hex;
        set_answer_texts(start, end);
        install_fault_io();
        run_job(source, prefix);
    }

    void expect_finished() const {
        EXPECT_EQ(recorded_statuses(), std::vector<std::string>{"Done!  "});
        EXPECT_EQ(io_open_descriptors(), 0);
    }

    std::string dir, source, prefix, output;
};

constexpr uint64_t SOURCE_SIZE = 3 * MIB + 100;
constexpr uint64_t NOTHING = UINT64_MAX; // the range is refused

struct RangeCase {
    const char* start;
    const char* end;
    bool hex;
    uint64_t from, to; // the bytes expected in the output, or NOTHING
};

const RangeCase range_cases[] = {
    {"0", "0", false, 0, SOURCE_SIZE},
    {"5", "6", false, 5, 6},
    {"10", "99999999", false, 10, SOURCE_SIZE},            // End past the end
    {"10", "3145828", false, 10, SOURCE_SIZE},             // End equal to the size
    {"7", "-1", false, 7, SOURCE_SIZE},                    // -1 is the largest offset
    {"1", "3145827", false, 1, SOURCE_SIZE - 1},           // the last byte left out
    {"3145827", "0", false, SOURCE_SIZE - 1, SOURCE_SIZE}, // only the last byte
    {"10", "20", true, 16, 32},
    {"0x10", "20", true, 0, 32}, // 0x reads as 0
    {"  fF", "1Ff", true, 255, 511},
    {"3145828", "0", false, NOTHING, 0}, // Start at the size
    {"100", "50", false, NOTHING, 0},    // Start above End
    {"50", "50", false, NOTHING, 0},     // an empty range
    {"-1", "0", false, NOTHING, 0},
    {"ffffffffffffffff", "0", true, NOTHING, 0},
};

TEST_F(SegmentTest, CopiesTheRangeOrRefusesIt) {
    write_pattern_file(source, SOURCE_SIZE);
    const std::vector<unsigned char> earlier(777, 0x5A);
    for (const RangeCase& c : range_cases) {
        SCOPED_TRACE(std::string(c.start) + ".." + c.end + (c.hex ? " hex" : ""));
        // An output from an earlier job, which a refused range must leave alone.
        write_bytes(output, earlier);
        run_segment(c.start, c.end, c.hex);
        if (c.from == NOTHING) {
            EXPECT_EQ(recorded_errors(), std::vector<std::string>{"Insane start/end values!"});
            EXPECT_EQ(read_bytes(output), earlier);
            EXPECT_TRUE(recorded_progress().empty());
        } else {
            EXPECT_TRUE(recorded_errors().empty());
            EXPECT_TRUE(holds_pattern(output, c.from, c.to - c.from));
            EXPECT_EQ(recorded_progress().back(), 100u);
        }
        expect_finished();
    }
}

TEST_F(SegmentTest, ARefusedRangeCreatesNoFile) {
    write_pattern_file(source, 100);
    run_segment("200", "0");
    EXPECT_EQ(recorded_errors(), std::vector<std::string>{"Insane start/end values!"});
    EXPECT_FALSE(file_exists(output));
    EXPECT_EQ(io_calls_of(IO_OPEN_OUTPUT), 0u);
    expect_finished();
}

TEST_F(SegmentTest, AnEmptySourceRefusesEveryRange) {
    write_pattern_file(source, 0);
    for (const char* end : {"0", "1", "-1"}) {
        run_segment("0", end);
        EXPECT_EQ(recorded_errors(), std::vector<std::string>{"Insane start/end values!"});
        EXPECT_FALSE(file_exists(output));
        expect_finished();
    }
}

TEST_F(SegmentTest, AsksForEachTextThenForTheBox) {
    write_pattern_file(source, 10);
    run_segment("1", "2");
    std::string order;
    for (const HostEvent& event : recorded_events())
        order += "CSHBEpDX"[event.kind];
    // C: mode, B: Start text, H: hex box, E: End text, p: progress, D: status.
    EXPECT_EQ(order, "CBHEHppD");
}

TEST_F(SegmentTest, CopiesInBlocksWithAReportAfterEach) {
    write_pattern_file(source, 5 * MIB);
    // 3.5 MiB from offset 1000: three full blocks and a half one.
    run_segment("1000", std::to_string(1000 + 3 * MIB + MIB / 2).c_str());
    EXPECT_TRUE(holds_pattern(output, 1000, 3 * MIB + MIB / 2));
    EXPECT_EQ(recorded_progress(), (std::vector<uint32_t>{28, 57, 85, 100, 100}));
    EXPECT_EQ(io_calls_of(IO_READ), 4u);
    EXPECT_EQ(io_calls_of(IO_WRITE), 4u);
    expect_finished();
}

TEST_F(SegmentTest, RangesBeyondFourGiBInASparseSource) {
    const uint64_t size = 5 * 1024 * MIB;
    const uint64_t from = 0x100000010ull, to = 0x100200020ull; // just over 4 GiB, 2 MiB + 16
    write_sparse_file(source, size, {from, from + MIB, to});
    run_segment("100000010", "100200020", true);
    ASSERT_EQ(file_size_of(output), to - from);
    std::vector<unsigned char> copy = read_bytes(output);
    std::vector<unsigned char> original = read_bytes(source, from, to - from);
    EXPECT_TRUE(copy == original);
    EXPECT_EQ(copy[0], pattern_byte(from));
    EXPECT_EQ(copy[MIB], pattern_byte(from + MIB));
    EXPECT_EQ(recorded_progress(), (std::vector<uint32_t>{49, 99, 100, 100}));
    expect_finished();
}

TEST_F(SegmentTest, OutputThatCannotBeOpened) {
    write_pattern_file(source, 100);
    prefix = join_path(join_path(dir, "no-such-dir"), "xyz");
    run_segment("0", "0");
    EXPECT_EQ(recorded_errors(), std::vector<std::string>{"Could not open output file!"});
    expect_finished();

    prefix = join_path(dir, std::string(PATH_CAPACITY - dir.size() - 3, 'p'));
    run_segment("0", "0");
    EXPECT_EQ(recorded_errors(), std::vector<std::string>{"Could not open output file!"});
    EXPECT_EQ(io_calls_of(IO_OPEN_OUTPUT), 0u);
    expect_finished();
}

TEST_F(SegmentTest, TheOutputThatIsTheSourceIsNeverTruncated) {
    source = join_path(dir, "x_0");
    prefix = join_path(dir, "x");
    write_pattern_file(source, 2 * MIB);
    run_segment("0", "0");
    EXPECT_EQ(recorded_errors(), std::vector<std::string>{"Could not open output file!"});
    EXPECT_TRUE(holds_pattern(source, 0, 2 * MIB));
    expect_finished();
}

// Faults at the seam during the copy of a 3 MiB range.
struct FaultCase {
    const char* name;
    IoCall kind;
    uint32_t nth; // which call of that kind fails
    IoFault fault;
    const char* message;
    size_t reports; // progress reports before the failure, none from an ending
};

// The calls: open_read (source), open_read (probe), seek (probe), close (probe), open_output,
// seek (to Start), three reads and writes, close (source), close (output).
const FaultCase fault_cases[] = {
    {"seek_to_start_fails", IO_SEEK, 2, FAULT_FAIL, "Could not read the input file!", 0},
    {"second_read_fails", IO_READ, 2, FAULT_FAIL, "Could not read the input file!", 1},
    {"second_write_fails", IO_WRITE, 2, FAULT_FAIL, "Could not write output file!", 1},
    {"second_write_is_short", IO_WRITE, 2, FAULT_SHORT_WRITE, "Could not write output file!", 1},
    {"output_close_fails", IO_CLOSE, 3, FAULT_FAIL, "Could not write output file!", 3},
};

TEST_F(SegmentTest, FaultsEndTheCopyWithTheirMessage) {
    write_pattern_file(source, 4 * MIB);
    run_segment("0", "3145728");
    const std::vector<IoCall> calls = io_calls();
    for (const FaultCase& c : fault_cases) {
        SCOPED_TRACE(c.name);
        uint32_t chosen = call_number_of(calls, c.kind, c.nth);
        ASSERT_NE(chosen, 0u);
        reset_scripted_host();
        answer_chunks = false;
        set_answer_texts("0", "3145728");
        install_fault_io(c.fault, chosen);
        run_job(source, prefix);
        EXPECT_EQ(recorded_errors(), std::vector<std::string>{c.message});
        EXPECT_EQ(recorded_progress().size(), c.reports);
        expect_finished();
    }
}

// The source shrinks while the copy runs: the copy must not come out short and pass.
TEST_F(SegmentTest, ASourceThatShrinksUnderTheCopyIsAReadFailure) {
    write_pattern_file(source, 4 * MIB);
    static std::string shrinking;
    shrinking = source;
    reset_scripted_host();
    answer_chunks = false;
    set_answer_texts("0", "0");
    install_fault_io();
    run_job_pausing_at(source, prefix, 1,
                       [] { std::filesystem::resize_file(shrinking, MIB + MIB / 2); });
    EXPECT_EQ(recorded_errors(), std::vector<std::string>{"Could not read the input file!"});
    EXPECT_EQ(recorded_progress(), std::vector<uint32_t>{25});
    expect_finished();
}

} // namespace
