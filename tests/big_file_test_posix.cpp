// Jobs over a sparse source larger than 4 GiB, writing real pieces: offsets, sizes, piece
// boundaries and percentages must all hold beyond 32 bits. The files go to /dev/shm when it
// has room (the pieces are 4 GiB of zeros with a few marks; memory takes them fastest), else
// to the temporary directory.
#include "fault_io.h"
#include "scripted_host.h"
#include "split_job.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr uint64_t GIB = 1024 * MIB;
// Just over 4 GiB, and not a whole number of blocks.
constexpr uint64_t SOURCE_SIZE = 4 * GIB + 2 * MIB + 3;

std::vector<uint32_t> positions_for(uint64_t bytes, uint64_t total) {
    std::vector<uint32_t> positions;
    for (uint64_t done = 0; done < bytes;) {
        done += bytes - done < MIB ? bytes - done : MIB;
        positions.push_back(static_cast<uint32_t>(done * 100 / total));
    }
    positions.push_back(100); // the normal ending
    return positions;
}

// The piece holds the source's bytes at `offset` around every mark that falls inside it.
void expect_marks(const std::string& piece, uint64_t offset, uint64_t size,
                  const std::vector<uint64_t>& marks) {
    for (uint64_t mark : marks) {
        // The source holds pattern bytes from 16 before the mark to 16 after it.
        uint64_t from = std::max(mark < 16 ? 0 : mark - 16, offset);
        uint64_t to = std::min(mark + 16, offset + size);
        if (from >= to)
            continue;
        std::vector<unsigned char> bytes = read_bytes(piece, from - offset, to - from);
        ASSERT_EQ(bytes.size(), to - from) << piece << " at " << from;
        for (uint64_t at = from; at < to; ++at)
            EXPECT_EQ(bytes[at - from], pattern_byte(at)) << piece << " at source offset " << at;
    }
}

class BigFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = make_memory_scratch_dir("big-files", SOURCE_SIZE + GIB);
        source = join_path(dir, "source.bin");
        prefix = join_path(dir, "xyz");
        reset_scripted_host();
        install_fault_io();
    }

    void TearDown() override {
        remove_fault_io();
        remove_tree(dir);
    }

    void write_source(const std::vector<uint64_t>& marks) {
        write_sparse_file(source, SOURCE_SIZE, marks);
    }

    void expect_finished() {
        EXPECT_FALSE(recording_overflowed());
        EXPECT_TRUE(recorded_errors().empty());
        EXPECT_EQ(recorded_statuses(), std::vector<std::string>{"Done!  "});
        EXPECT_EQ(io_open_descriptors(), 0);
    }

    std::string dir, source, prefix;
};

// Writes over 4 GiB of pieces, which takes several seconds: run only on request.
TEST_F(BigFiles, ChunksCutASourceBeyondFourGiB) {
    const char* wanted = getenv("QUORVEX_BIG_FILES");
    if (wanted == nullptr || strcmp(wanted, "1") != 0)
        GTEST_SKIP() << "writes 4 GiB of pieces; set QUORVEX_BIG_FILES=1 to run it";
    // Pieces of 1023 MiB put boundaries off the powers of two; 4 GiB falls inside piece 4.
    const uint64_t piece_size = 1023 * MIB;
    std::vector<uint64_t> marks = {0, 4 * GIB, SOURCE_SIZE - 1};
    for (uint64_t boundary = piece_size; boundary < SOURCE_SIZE; boundary += piece_size)
        marks.push_back(boundary);
    write_source(marks);
    split_size_mb = 1023;

    run_job(source, prefix);

    EXPECT_EQ(list_dir(dir), (std::vector<std::string>{"source.bin", "xyz_0", "xyz_1", "xyz_2",
                                                       "xyz_3", "xyz_4"}));
    for (uint64_t n = 0; n < 5; ++n) {
        std::string piece = prefix + "_" + std::to_string(n);
        uint64_t offset = n * piece_size;
        uint64_t size = n < 4 ? piece_size : SOURCE_SIZE - offset;
        ASSERT_EQ(file_size_of(piece), size) << piece;
        expect_marks(piece, offset, size, marks);
    }
    EXPECT_EQ(recorded_progress(), positions_for(SOURCE_SIZE, SOURCE_SIZE));
    expect_finished();
}

TEST_F(BigFiles, SegmentCopiesRangesAcrossAndBeyondFourGiB) {
    struct RangeCase {
        const char* start;
        const char* end;
        bool hex;
        uint64_t from, to;
    };
    const RangeCase cases[] = {
        // Across the 4 GiB mark: four blocks, the last a short one.
        {"FFE80007", "100180009", true, 0xFFE80007, 0x100180009},
        // From past 4 GiB to the end, with End 0.
        {"4296015873", "0", false, 4 * GIB + MIB + 1, SOURCE_SIZE},
    };
    std::vector<uint64_t> marks = {4 * GIB, SOURCE_SIZE - 1};
    for (const RangeCase& c : cases) {
        marks.push_back(c.from);
        marks.push_back(c.to - 1);
    }
    write_source(marks);

    for (const RangeCase& c : cases) {
        SCOPED_TRACE(std::string(c.start) + ".." + c.end);
        reset_scripted_host();
        install_fault_io();
        answer_chunks = false;
        answer_hex = c.hex;
        set_answer_texts(c.start, c.end);
        run_job(source, prefix);

        EXPECT_EQ(list_dir(dir), (std::vector<std::string>{"source.bin", "xyz_0"}));
        ASSERT_EQ(file_size_of(prefix + "_0"), c.to - c.from);
        expect_marks(prefix + "_0", c.from, c.to - c.from, marks);
        EXPECT_EQ(recorded_progress(), positions_for(c.to - c.from, c.to - c.from));
        expect_finished();
    }
}

} // namespace
