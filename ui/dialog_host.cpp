// The job's front end over the dialog's controls. Called on the job thread: the control
// requests are served by the dialog thread between its own messages; the error box runs
// on the job thread, owned by the dialog.
#include "dialog.h"
#include "resource.h"
#include "split_job.h"

#include <commctrl.h>

bool host_chunks_selected() {
    return IsDlgButtonChecked(dialog, IDC_MODE_CHUNKS) != 0;
}

bool host_stop_after_ticked() {
    return IsDlgButtonChecked(dialog, IDC_STOP_AFTER) != 0;
}

bool host_hex_ticked() {
    return IsDlgButtonChecked(dialog, IDC_HEX) != 0;
}

void host_start_text(char* text) {
    GetDlgItemTextA(dialog, IDC_START, text, FIELD_TEXT_CAPACITY);
}

void host_end_text(char* text) {
    GetDlgItemTextA(dialog, IDC_END, text, FIELD_TEXT_CAPACITY);
}

// The job reports every megabyte, but the bar has 101 positions and each request makes the
// dialog's thread redraw the bar while the copy waits for it. So a report that would not
// move the bar is not sent, and one that comes sooner than REDRAW_INTERVAL_MS after the
// last redraw waits for a later report. The job's last position always reaches the bar
// before its final status or an error is shown.
constexpr ULONGLONG REDRAW_INTERVAL_MS = 100;
static uint32_t position_shown = NO_POSITION_SHOWN;
static uint32_t position_reported = NO_POSITION_SHOWN;
static ULONGLONG shown_at = 0;

void forget_position_shown() {
    position_shown = NO_POSITION_SHOWN;
    position_reported = NO_POSITION_SHOWN;
    shown_at = 0;
}

static void show_position(uint32_t position) {
    SendDlgItemMessageA(dialog, IDC_PROGRESS, PBM_SETPOS, position, 0);
    position_shown = position;
    shown_at = GetTickCount64();
}

static void show_last_position() {
    if (position_reported != position_shown && position_reported != NO_POSITION_SHOWN)
        show_position(position_reported);
}

void host_set_progress(uint32_t position) {
    position_reported = position;
    if (position == position_shown)
        return;
    if (position < 100 && GetTickCount64() - shown_at < REDRAW_INTERVAL_MS)
        return;
    show_position(position);
}

void host_set_status(const char* text) {
    show_last_position();
    SetDlgItemTextA(dialog, IDC_STATUS, text);
}

void host_show_error(const char* text) {
    show_last_position();
    MessageBoxA(dialog, text, "Error", MB_OK);
}
