// Every I/O call of a job, failed in turn: for a few jobs of each mode, a clean run tells the
// sequence of calls at the seam, then the job runs again once for each call, with that call
// failing (and each write also cut short). Whatever fails, the job must end through its one
// ending, show exactly the message that belongs to the failure, leave no descriptor open,
// show no full bar that the data does not back, and leave every byte it wrote right.
//
// A failed close of an output is a write failure: the data may never have reached the disk.
// The bar then keeps the job's own last report, which reads 100 when every block had been
// written before that close; the normal ending's full bar never follows an error.
#include "fault_io.h"
#include "scripted_host.h"
#include "split_job.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

struct Piece {
    uint64_t offset; // where in the source the piece starts
    uint64_t size;
};

struct SweepJob {
    const char* name;
    uint64_t source_size;
    bool chunks;
    uint32_t split_mb; // Chunks
    bool stop_after;
    uint32_t count;
    const char* start; // Segment, decimal
    const char* end;
    std::vector<Piece> pieces; // what a clean run leaves: prefix_0, prefix_1, ...
    const char* clean_error;   // the message a clean run shows, if any
};

SweepJob chunks_job(const char* name, uint64_t source_size, uint32_t split_mb, bool stop_after,
                    uint32_t count, std::vector<Piece> pieces) {
    return {name, source_size, true, split_mb, stop_after, count, "0", "0", pieces, nullptr};
}

SweepJob segment_job(const char* name, uint64_t source_size, const char* start, const char* end,
                     std::vector<Piece> pieces, const char* clean_error = nullptr) {
    return {name, source_size, false, 5, false, 1, start, end, pieces, clean_error};
}

// Small sizes keep the sweep quick (it also runs under Wine) while still crossing blocks
// and pieces: the ending of a short last block, a boundary, a stop, a range refused.
const SweepJob sweep_jobs[] = {
    chunks_job("chunks_three_pieces_last_one_short", 5 * MIB + 1000, 2, false, 1,
               {{0, 2 * MIB}, {2 * MIB, 2 * MIB}, {4 * MIB, MIB + 1000}}),
    chunks_job("chunks_stop_after_two", 7 * MIB, 2, true, 2, {{0, 2 * MIB}, {2 * MIB, 2 * MIB}}),
    chunks_job("chunks_source_under_one_block", 1000, 5, false, 1, {{0, 1000}}),
    segment_job("segment_several_blocks", 3 * MIB + 100, "1000", "2622440", // 2.5 MiB
                {{1000, 2 * MIB + MIB / 2}}),
    segment_job("segment_one_block", 10000, "100", "5000", {{100, 4900}}),
    segment_job("segment_refused_range", 1000, "2000", "0", {}, "Insane start/end values!"),
};

// One call of the clean run.
struct Call {
    IoCall kind;
    bool on_output;
};

// What a run should leave, derived from the clean run's calls and the job's pieces.
struct Outcome {
    std::vector<std::string> errors;
    std::vector<uint32_t> progress;
    std::vector<bool> piece_exists;
    std::vector<uint64_t> piece_bytes; // bytes of the piece on disk, from its start
};

// The message a failure of `calls[at]` brings, or nullptr when the job is designed to go on
// (a failed close of a read-only descriptor loses nothing).
const char* message_for(const std::vector<Call>& calls, size_t at) {
    switch (calls[at].kind) {
    case IO_OPEN_READ:
        return "Could not open the input file!";
    case IO_OPEN_OUTPUT:
        return "Could not open output file!";
    case IO_READ:
        return "Could not read the input file!";
    case IO_WRITE:
        return "Could not write output file!";
    case IO_SEEK: {
        // The first seek learns the size; a later one (Segment) goes to Start.
        bool first = true;
        for (size_t n = 0; n < at; ++n)
            if (calls[n].kind == IO_SEEK)
                first = false;
        return first ? "Could not open the input file!" : "Could not read the input file!";
    }
    case IO_CLOSE:
        // An output's data may not have reached the disk when its close fails.
        return calls[at].on_output ? "Could not write output file!" : nullptr;
    default:
        return "unexpected call";
    }
}

Outcome expected_outcome(const SweepJob& job, const std::vector<Call>& calls,
                         const std::vector<uint32_t>& clean_progress, size_t fault_at,
                         IoFault fault) {
    Outcome outcome;
    const char* message = fault == FAULT_NONE ? nullptr : message_for(calls, fault_at);
    if (message == nullptr) {
        fault_at = calls.size(); // the job runs as it does without the fault
        if (job.clean_error != nullptr)
            outcome.errors.push_back(job.clean_error);
    } else {
        outcome.errors.push_back(message);
    }

    outcome.piece_exists.assign(job.pieces.size(), false);
    outcome.piece_bytes.assign(job.pieces.size(), 0);
    size_t piece = SIZE_MAX;
    size_t writes_done = 0;
    uint64_t written_in_piece = 0;
    for (size_t n = 0; n < fault_at && n < calls.size(); ++n) {
        if (calls[n].kind == IO_OPEN_OUTPUT) {
            piece = piece == SIZE_MAX ? 0 : piece + 1;
            written_in_piece = 0;
            outcome.piece_exists[piece] = true;
        } else if (calls[n].kind == IO_WRITE) {
            uint64_t rest = job.pieces[piece].size - written_in_piece;
            written_in_piece += rest < MIB ? rest : MIB;
            outcome.piece_bytes[piece] = written_in_piece;
            ++writes_done;
        }
    }
    // A write cut short puts down the first half of its block.
    if (fault == FAULT_SHORT_WRITE) {
        uint64_t rest = job.pieces[piece].size - written_in_piece;
        outcome.piece_bytes[piece] += (rest < MIB ? rest : MIB) / 2;
    }

    if (message == nullptr)
        outcome.progress = clean_progress;
    else // the job's own reports up to the failure, and no ending's full bar after them
        outcome.progress.assign(clean_progress.begin(),
                                clean_progress.begin() + static_cast<ptrdiff_t>(writes_done));
    return outcome;
}

int failure_count() {
    return ::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count();
}

const char* fault_name(IoFault fault) {
    return fault == FAULT_SHORT_WRITE ? "short" : fault == FAULT_FAIL ? "fails" : "clean";
}

class FaultSweep : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = make_scratch_dir("sweep");
        source = join_path(dir, "source.bin");
        prefix = join_path(dir, "xyz");
    }

    void TearDown() override {
        remove_fault_io();
        remove_tree(dir);
    }

    std::string piece_path(size_t number) const {
        return prefix + "_" + std::to_string(number);
    }

    void run(const SweepJob& job, IoFault fault, uint32_t call_number) {
        for (size_t n = 0; n < job.pieces.size() + 1; ++n)
            remove_tree(piece_path(n));
        reset_scripted_host();
        answer_chunks = job.chunks;
        answer_stop_after = job.stop_after;
        split_size_mb = job.split_mb;
        stop_count = job.count;
        set_answer_texts(job.start, job.end);
        install_fault_io(fault, call_number);
        EXPECT_EQ(run_job(source, prefix), JOB_STARTED);
        EXPECT_FALSE(split_job_running());
    }

    void check(const SweepJob& job, const Outcome& expected) {
        EXPECT_EQ(recorded_statuses(), std::vector<std::string>{"Done!  "});
        EXPECT_EQ(recorded_errors(), expected.errors);
        EXPECT_EQ(recorded_progress(), expected.progress);
        EXPECT_EQ(io_open_descriptors(), 0);

        std::vector<std::string> names = {"source.bin"};
        for (size_t n = 0; n < job.pieces.size(); ++n) {
            if (!expected.piece_exists[n])
                continue;
            names.push_back("xyz_" + std::to_string(n));
            EXPECT_TRUE(holds_pattern(piece_path(n), job.pieces[n].offset, expected.piece_bytes[n]))
                << "piece " << n << " should hold " << expected.piece_bytes[n] << " bytes from "
                << job.pieces[n].offset;
        }
        std::sort(names.begin(), names.end());
        EXPECT_EQ(list_dir(dir), names);
    }

    std::string dir, source, prefix;
};

TEST_F(FaultSweep, EveryFailingCallEndsTheJobWithItsMessage) {
    for (const SweepJob& job : sweep_jobs) {
        SCOPED_TRACE(job.name);
        remove_tree(dir);
        dir = make_scratch_dir("sweep");
        source = join_path(dir, "source.bin");
        prefix = join_path(dir, "xyz");
        write_pattern_file(source, job.source_size);

        run(job, FAULT_NONE, 0);
        std::vector<Call> calls;
        for (uint32_t n = 1; n <= io_call_count(); ++n)
            calls.push_back({io_call_kind(n), io_call_on_output(n)});
        const std::vector<uint32_t> clean_progress = recorded_progress();
        const int failures_before = failure_count();
        check(job, expected_outcome(job, calls, clean_progress, 0, FAULT_NONE));
        for (size_t n = 0; n < job.pieces.size(); ++n)
            EXPECT_TRUE(holds_pattern(piece_path(n), job.pieces[n].offset, job.pieces[n].size))
                << "piece " << n;
        if (job.clean_error == nullptr) {
            EXPECT_TRUE(!clean_progress.empty() && clean_progress.back() == 100u);
        }
        if (failure_count() != failures_before) {
            ADD_FAILURE() << "the clean run is not what the job should do; no sweep";
            continue;
        }

        for (size_t at = 0; at < calls.size(); ++at) {
            for (IoFault fault : {FAULT_FAIL, FAULT_SHORT_WRITE}) {
                if (fault == FAULT_SHORT_WRITE && calls[at].kind != IO_WRITE)
                    continue;
                const uint32_t call_number = static_cast<uint32_t>(at + 1);
                SCOPED_TRACE(
                    "call " + std::to_string(call_number) + " (" + io_call_name(calls[at].kind) +
                    (calls[at].on_output ? " on an output" : "") + ") " + fault_name(fault));
                run(job, fault, call_number);
                check(job, expected_outcome(job, calls, clean_progress, at, fault));

                // Up to the fault the job did what it did before; after a failure it only
                // closes what it holds.
                const bool ignored = message_for(calls, at) == nullptr;
                const uint32_t made = io_call_count();
                for (uint32_t n = 1; n <= made; ++n) {
                    if (n <= call_number || ignored) {
                        ASSERT_LE(n, calls.size());
                        EXPECT_EQ(io_call_kind(n), calls[n - 1].kind) << "call " << n;
                    } else {
                        EXPECT_EQ(io_call_kind(n), IO_CLOSE)
                            << "call " << n << " after the failure";
                    }
                }
                if (ignored) {
                    EXPECT_EQ(made, calls.size());
                }
            }
        }
    }
}

} // namespace
