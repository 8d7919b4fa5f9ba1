// The engine's front end on the console: answers the job's questions from the command line,
// shows its progress on stderr and keeps its error for the program's exit status.
#pragma once

// What the next job is to be told. The texts must outlive the job.
struct HostAnswers {
    bool chunks;
    bool stop_after;
    bool hex;
    const char* start_text;
    const char* end_text;
};

// Sets the answers and forgets any earlier job's error. Call only while no job runs.
void prepare_console_host(const HostAnswers& answers);

// The message of the first error the last job showed, or null when it showed none. Read it
// only after the job has ended.
const char* console_host_error();
