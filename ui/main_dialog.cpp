// main_dialog_proc: the dialog's start-up, its commands and its closing.
//   Split            starts a job on the two paths, unless one is running
//   Browse (source)  fills the Source and Destination fields from the open-file dialog
//   Browse (dest.)   fills the Destination field
//   Split size, Stop count: keep the two settings equal to the fields' numbers
#include "dialog.h"
#include "resource.h"
#include "split_job.h"

HWND dialog = nullptr;

static const char STATUS_PROCESSING[] = "Processing, please wait...";

static void on_init(HWND window) {
    dialog = window;
    HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_APP));
    SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SetDlgItemInt(window, IDC_SPLIT_SIZE, split_size_mb.load(), FALSE);
    SetDlgItemInt(window, IDC_STOP_COUNT, stop_count.load(), FALSE);
    SetDlgItemInt(window, IDC_START, 0, FALSE);
    SetDlgItemInt(window, IDC_END, 0, FALSE);
    SendDlgItemMessageA(window, IDC_MODE_CHUNKS, BM_SETCHECK, BST_CHECKED, 0);
    hook_dropped_files();
}

// A press while a job runs (a double click, Enter on the focused button) is ignored: the
// running job keeps the job state to itself. The job works on copies of the two fields
// taken here, so Browse and drops during the job change only the next job's paths.
static void on_split() {
    if (split_job_running())
        return;
    static char input_path[PATH_CAPACITY];
    static char dest_prefix[PATH_CAPACITY];
    GetDlgItemTextA(dialog, IDC_SOURCE_PATH, input_path, PATH_CAPACITY);
    GetDlgItemTextA(dialog, IDC_DEST_PREFIX, dest_prefix, PATH_CAPACITY);
    SetDlgItemTextA(dialog, IDC_STATUS, STATUS_PROCESSING);
    forget_position_shown();
    if (start_split_job(input_path, dest_prefix) == JOB_THREAD_FAILED) {
        SetDlgItemTextA(dialog, IDC_STATUS, "");
        MessageBoxA(dialog, "Could not start the job!", "Error", MB_OK);
    }
}

// Choosing a source also makes it the destination prefix, so the pieces land beside it.
static void on_browse_source() {
    static char chosen[BROWSE_PATH_CAPACITY];
    if (!choose_file(chosen, "Choose Input File", OFN_CREATEPROMPT))
        return;
    SetDlgItemTextA(dialog, IDC_SOURCE_PATH, chosen);
    SetDlgItemTextA(dialog, IDC_DEST_PREFIX, chosen);
}

static void on_browse_dest() {
    static char chosen[BROWSE_PATH_CAPACITY];
    if (!choose_file(chosen, "Choose Output File", 0))
        return;
    SetDlgItemTextA(dialog, IDC_DEST_PREFIX, chosen);
}

// Every notification of the two fields (each change, each focus change) rereads them, so
// the settings always hold the number the field shows (0 for text that is no number).
static uint32_t field_number(int field) {
    return GetDlgItemInt(dialog, field, nullptr, FALSE);
}

static void on_command(int control) {
    switch (control) {
    case IDC_SPLIT:
        on_split();
        break;
    case IDC_BROWSE_SOURCE:
        on_browse_source();
        break;
    case IDC_BROWSE_DEST:
        on_browse_dest();
        break;
    case IDC_SPLIT_SIZE:
        split_size_mb = field_number(IDC_SPLIT_SIZE);
        break;
    case IDC_STOP_COUNT:
        stop_count = field_number(IDC_STOP_COUNT);
        break;
    default: // Esc (IDCANCEL), Enter (IDOK) and the other controls do nothing
        break;
    }
}

INT_PTR CALLBACK main_dialog_proc(HWND window, UINT message, WPARAM wparam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        on_init(window);
        return TRUE; // focus to the first tab stop, the Source field
    case WM_CLOSE:
        unhook_dropped_files();
        EndDialog(window, 0);
        return TRUE;
    case WM_COMMAND:
        on_command(LOWORD(wparam));
        return TRUE;
    default:
        return FALSE;
    }
}
