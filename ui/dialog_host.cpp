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

void host_set_progress(uint32_t position) {
    SendDlgItemMessageA(dialog, IDC_PROGRESS, PBM_SETPOS, position, 0);
}

void host_set_status(const char* text) {
    SetDlgItemTextA(dialog, IDC_STATUS, text);
}

void host_show_error(const char* text) {
    MessageBoxA(dialog, text, "Error", MB_OK);
}
