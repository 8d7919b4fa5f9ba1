// Running split and segment: the command line becomes the job's settings and answers, the job
// runs on its thread while this one waits, and its error becomes the exit status. After a
// split, pieces left from an earlier and longer split are pointed out.
#include "split_command.h"

#include "cli_platform.h"
#include "console_host.h"
#include "piece_scan.h"
#include "progress_bar.h"
#include "split_job.h"

#include <cstdio>
#include <cstring>

static CliStatus fail_with(const char* message) {
    fprintf(stderr, "%s\n", message);
    return status_for_message(message);
}

// Every piece but the last is full, so the bytes written tell how many pieces there are.
static uint32_t pieces_written(uint64_t bytes_done, uint32_t size_mb) {
    if (bytes_done == 0)
        return 0;
    if (size_mb == 0) // the whole source went into the first piece
        return 1;
    uint64_t piece_bytes = static_cast<uint64_t>(size_mb) * BLOCK_SIZE;
    return static_cast<uint32_t>((bytes_done + piece_bytes - 1) / piece_bytes);
}

// A join by pattern would take in pieces of an earlier run that lie past the ones written
// now; nothing is deleted, but the user is told.
static void warn_about_older_pieces(const char* prefix, uint32_t written) {
    PieceRange older;
    if (!find_pieces_from(prefix, written, &older)) {
        fprintf(stderr,
                "Warning: could not list the directory of %s to look for pieces of an "
                "earlier run.\n",
                prefix);
        return;
    }
    if (older.count == 0)
        return;
    if (older.count == 1)
        fprintf(stderr, "Warning: %s_%u remains from an earlier run", prefix, older.lowest);
    else
        fprintf(stderr, "Warning: %u pieces from %s_%u to %s_%u remain from an earlier run",
                older.count, prefix, older.lowest, prefix, older.highest);
    if (written == 0)
        fprintf(stderr, " (this split wrote no piece).");
    else
        fprintf(stderr, ", past the last piece this split wrote (%s_%u).", prefix, written - 1);
    fprintf(stderr, " A join would take %s in; nothing was deleted.\n",
            older.count == 1 ? "it" : "them");
}

CliStatus run_split_command(const CliOptions& options) {
    bool chunks = options.command == COMMAND_SPLIT;
    const char* source = options.first;
    const char* prefix = options.second != nullptr ? options.second : source;
    // Paths the job state cannot hold fail as the job would fail on them.
    if (strlen(source) >= PATH_CAPACITY)
        return fail_with(MSG_OPEN_INPUT_FAILED);
    if (strlen(prefix) >= PATH_CAPACITY)
        return fail_with(MSG_OPEN_OUTPUT_FAILED);

    split_size_mb.store(options.size_mb, std::memory_order_relaxed);
    stop_count.store(options.stop_count, std::memory_order_relaxed);
    prepare_console_host(
        {chunks, options.stop_after, options.hex, options.start_text, options.end_text});
    progress_start(!options.quiet && stderr_is_terminal());
    JobStart started = start_split_job(source, prefix);
    if (started != JOB_STARTED) {
        progress_finish();
        fprintf(stderr, "Could not start the job.\n");
        return CLI_OTHER_FAILURE;
    }
    wait_for_split_job();
    progress_finish();

    const char* error = console_host_error();
    if (error != nullptr)
        return fail_with(error);
    if (chunks)
        warn_about_older_pieces(prefix, pieces_written(split_job.bytes_done, options.size_mb));
    return CLI_OK;
}
