// The host operations the engine calls on its job thread, over the command line's answers
// and the console's stderr. The main thread sets the answers before the job starts and reads
// the error after it has ended, so the two threads never touch this state at the same time.
#include "console_host.h"

#include "progress_bar.h"
#include "split_job.h"

#include <cstdio>

static HostAnswers answers = {true, false, false, "0", "0"};
static char first_error[256];
static bool error_shown = false;

void prepare_console_host(const HostAnswers& new_answers) {
    answers = new_answers;
    error_shown = false;
}

const char* console_host_error() {
    return error_shown ? first_error : nullptr;
}

bool host_chunks_selected() {
    return answers.chunks;
}

bool host_stop_after_ticked() {
    return answers.stop_after;
}

bool host_hex_ticked() {
    return answers.hex;
}

void host_start_text(char* text) {
    snprintf(text, FIELD_TEXT_CAPACITY, "%s", answers.start_text);
}

void host_end_text(char* text) {
    snprintf(text, FIELD_TEXT_CAPACITY, "%s", answers.end_text);
}

// Called on the job thread right after it has counted the block, so bytes_done is current.
void host_set_progress(uint32_t position) {
    progress_show(position, split_job.bytes_done);
}

// The final "Done!  " says nothing on a console that the exit status does not.
void host_set_status(const char*) {}

// Printed by the main thread once the job has ended and the bar's line is finished.
void host_show_error(const char* text) {
    if (!error_shown)
        snprintf(first_error, sizeof first_error, "%s", text);
    error_shown = true;
}
