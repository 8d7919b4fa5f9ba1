// Files dropped from the shell on the two path fields. Each field's window procedure is
// replaced while the dialog is open so that the drop message reaches the program:
//   Source field       the file becomes the source and the destination prefix, as the
//                      source's Browse makes it
//   Destination field  the file becomes the destination prefix
#include "dialog.h"
#include "resource.h"
#include "split_job.h"

#include <shellapi.h>

static WNDPROC old_edit_proc = nullptr;      // the Source field's own procedure
static WNDPROC old_dest_edit_proc = nullptr; // the Destination field's own procedure

static const char MSG_MULTIPLE_FILES[] = "Multiple files dropped - only one file will be processed";
static const char MSG_DROP_UNREADABLE[] = "Unable to get dropped file information";

// Takes the first dropped name, warning once when there were more. Names are taken whole:
// one that does not fit the path buffers is refused rather than cut to another file's name.
// Returns false, after telling the user, when no name could be had.
static bool first_dropped_name(HDROP drop, char* name) {
    if (DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0) > 1)
        MessageBoxA(dialog, MSG_MULTIPLE_FILES, "Warning", MB_OK | MB_ICONWARNING);
    UINT length = DragQueryFileA(drop, 0, nullptr, 0);
    if (length == 0 || length >= PATH_CAPACITY ||
        DragQueryFileA(drop, 0, name, PATH_CAPACITY) != length) {
        MessageBoxA(dialog, MSG_DROP_UNREADABLE, "Error", MB_OK | MB_ICONERROR);
        return false;
    }
    return true;
}

void on_source_drop(HDROP drop) {
    static char name[PATH_CAPACITY];
    if (first_dropped_name(drop, name)) {
        SetWindowTextA(GetDlgItem(dialog, IDC_SOURCE_PATH), name);
        SetDlgItemTextA(dialog, IDC_DEST_PREFIX, name);
    }
    DragFinish(drop);
}

static void on_dest_drop(HDROP drop) {
    static char name[PATH_CAPACITY];
    if (first_dropped_name(drop, name))
        SetDlgItemTextA(dialog, IDC_DEST_PREFIX, name);
    DragFinish(drop);
}

LRESULT CALLBACK source_edit_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_DROPFILES) {
        on_source_drop(reinterpret_cast<HDROP>(wparam));
        return 1;
    }
    return CallWindowProcA(old_edit_proc, window, message, wparam, lparam);
}

static LRESULT CALLBACK dest_edit_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_DROPFILES) {
        on_dest_drop(reinterpret_cast<HDROP>(wparam));
        return 1;
    }
    return CallWindowProcA(old_dest_edit_proc, window, message, wparam, lparam);
}

static WNDPROC replace_procedure(int field, WNDPROC procedure) {
    return reinterpret_cast<WNDPROC>(SetWindowLongPtrA(GetDlgItem(dialog, field), GWLP_WNDPROC,
                                                       reinterpret_cast<LONG_PTR>(procedure)));
}

void hook_dropped_files() {
    old_edit_proc = replace_procedure(IDC_SOURCE_PATH, source_edit_proc);
    old_dest_edit_proc = replace_procedure(IDC_DEST_PREFIX, dest_edit_proc);
}

void unhook_dropped_files() {
    replace_procedure(IDC_SOURCE_PATH, old_edit_proc);
    replace_procedure(IDC_DEST_PREFIX, old_dest_edit_proc);
}
