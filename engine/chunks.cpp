// Chunks mode: the source cut from its start into numbered pieces of split_size_mb
// megabytes, optionally stopping after stop_count pieces.
#include "split_job.h"

void split_into_chunks() {
    SplitJob& job = split_job;
    if (host_stop_after_ticked())
        job.progress_total = static_cast<uint64_t>(split_size_mb.load(std::memory_order_relaxed)) *
                             stop_count.load(std::memory_order_relaxed) * BLOCK_SIZE;
    else
        job.progress_total = job.file_size;
    job.bytes_done = 0;

    uint32_t pieces_finished = 0; // counted only while "Stop after:" is ticked
    int32_t next_piece = 0;
    uint32_t blocks_left = 0; // 0: the next block starts a new piece
    char name[PATH_CAPACITY];

    // A piece is opened only once a block with data is in hand, so no empty piece is left.
    while ((job.last_count = file_ops.read(job.in_fd, block, BLOCK_SIZE)) != 0) {
        if (job.last_count < 0)
            end_job_with_error(MSG_READ_FAILED);
        if (blocks_left == 0) {
            if (job.out_fd >= 0) {
                int closed = file_ops.close(job.out_fd);
                job.out_fd = -1;
                if (closed != 0)
                    end_job_with_error(MSG_WRITE_FAILED);
                // The box and the count are read anew at every boundary; the block in hand
                // is dropped when the count is reached (a count of 0 acts as 1).
                if (host_stop_after_ticked() &&
                    ++pieces_finished >= stop_count.load(std::memory_order_relaxed))
                    break;
            }
            if (!build_output_name(name, job.dest_prefix, next_piece))
                end_job_with_error(MSG_OPEN_OUTPUT_FAILED);
            next_piece = static_cast<int32_t>(static_cast<uint32_t>(next_piece) + 1);
            job.out_fd = file_ops.open_output(name, job.in_fd);
            if (job.out_fd < 0)
                end_job_with_error(MSG_OPEN_OUTPUT_FAILED);
            // Read here, so a size typed during a job applies from the next piece on.
            blocks_left = split_size_mb.load(std::memory_order_relaxed);
        }
        if (file_ops.write(job.out_fd, block, job.last_count) != job.last_count)
            end_job_with_error(MSG_WRITE_FAILED);
        report_progress(job.last_count);
        --blocks_left; // a split size of 0 wraps here, so the whole source goes to piece 0
    }
    end_job_normally();
}
