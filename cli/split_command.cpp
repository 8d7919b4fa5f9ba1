// Running split and segment: the command line becomes the job's settings and answers, the job
// runs on its thread while this one waits, and its error becomes the exit status.
#include "split_command.h"

#include "cli_platform.h"
#include "console_host.h"
#include "progress_bar.h"
#include "split_job.h"

#include <cstdio>
#include <cstring>

static CliStatus fail_with(const char* message) {
    fprintf(stderr, "%s\n", message);
    return status_for_message(message);
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
    return CLI_OK;
}
