// Segment mode: one byte range [Start, End) of the source copied to prefix_0.
#include "segment_range.h"
#include "split_job.h"

// Asks for one of the offset texts, then whether it is hexadecimal.
static bool ask_offset_text(void (*field_text)(char*), char* text) {
    field_text(text);
    text[FIELD_TEXT_CAPACITY - 1] = '\0';
    return host_hex_ticked();
}

void extract_segment() {
    SplitJob& job = split_job;
    job.bytes_done = 0;
    char start_text[FIELD_TEXT_CAPACITY], end_text[FIELD_TEXT_CAPACITY];
    bool start_hex = ask_offset_text(host_start_text, start_text);
    bool end_hex = ask_offset_text(host_end_text, end_text);
    SegmentRange range =
        decide_segment_range(start_text, start_hex, end_text, end_hex, job.file_size);
    job.seg_start = range.start;
    job.seg_end = range.end;
    // Checked before the output is opened, so that a mistyped range costs no earlier output.
    if (!range.sane)
        end_job_with_error(MSG_INSANE_RANGE);

    char name[PATH_CAPACITY];
    if (!build_output_name(name, job.dest_prefix, 0))
        end_job_with_error(MSG_OPEN_OUTPUT_FAILED);
    job.out_fd = file_ops.open_output(name, job.in_fd);
    if (job.out_fd < 0)
        end_job_with_error(MSG_OPEN_OUTPUT_FAILED);

    // seg_start is below file_size, which came from a signed offset, so it fits one.
    if (file_ops.seek(job.in_fd, static_cast<int64_t>(job.seg_start), SEEK_FROM_START) !=
        static_cast<int64_t>(job.seg_start))
        end_job_with_error(MSG_READ_FAILED);

    uint64_t remaining = job.seg_end - job.seg_start;
    job.progress_total = remaining;
    while (remaining != 0) {
        int32_t want = remaining >= static_cast<uint64_t>(BLOCK_SIZE)
                           ? BLOCK_SIZE
                           : static_cast<int32_t>(remaining);
        job.last_count = file_ops.read(job.in_fd, block, want);
        // The range lies inside the size learned at the start: anything less than asked
        // means the read failed or the source shrank, and the copy would come out short.
        if (job.last_count != want)
            end_job_with_error(MSG_READ_FAILED);
        remaining -= static_cast<uint64_t>(want);
        if (file_ops.write(job.out_fd, block, job.last_count) != job.last_count)
            end_job_with_error(MSG_WRITE_FAILED);
        report_progress(job.last_count);
    }
    end_job_normally();
}
