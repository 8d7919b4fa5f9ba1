// Runs one Chunks split through the real dialog, as a user would: the paths typed into the
// fields, Split pressed, then waits for "Done!  " and closes the dialog. For timing the
// dialog's share of a job against the console driver. Prints "job_ms N", the wall time
// from the press of Split to "Done!  ".
//
//   dialog_bench SOURCE PREFIX
#include "dialog.h"
#include "resource.h"
#include "split_job.h"

#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <cstring>

static DWORD WINAPI run_dialog(LPVOID) {
    DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MAIN), nullptr,
                    main_dialog_proc, 0);
    return 0;
}

static bool status_is_done() {
    char status[64] = "";
    GetDlgItemTextA(dialog, IDC_STATUS, status, sizeof status);
    return strcmp(status, "Done!  ") == 0;
}

// Waits on the job's thread itself rather than asking the dialog over and over, which would
// cost the dialog's thread (and the machine) a message each time.
static void wait_for_done() {
    WaitForSingleObject(reinterpret_cast<HANDLE>(split_job.thread.handle), INFINITE);
    while (!status_is_done())
        Sleep(1);
}

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: dialog_bench SOURCE PREFIX\n");
        return 2;
    }
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&classes);
    HANDLE thread = CreateThread(nullptr, 0, run_dialog, nullptr, 0, nullptr);
    while (dialog == nullptr || !IsWindowVisible(dialog))
        Sleep(1);
    // Let the new window finish drawing itself, as it has long done when a user presses Split,
    // so that its first paint does not compete with the timed job.
    Sleep(500);

    SetDlgItemTextA(dialog, IDC_SOURCE_PATH, argv[1]);
    SetDlgItemTextA(dialog, IDC_DEST_PREFIX, argv[2]);
    auto started = std::chrono::steady_clock::now();
    SendDlgItemMessageA(dialog, IDC_SPLIT, BM_CLICK, 0, 0);
    wait_for_done();
    printf("job_ms %.1f\n",
           std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started)
               .count());
    bool finished = SendDlgItemMessageA(dialog, IDC_PROGRESS, PBM_GETPOS, 0, 0) == 100;

    SendMessageA(dialog, WM_CLOSE, 0, 0);
    WaitForSingleObject(thread, INFINITE);
    if (!finished)
        fprintf(stderr, "the job did not end normally\n");
    return finished ? 0 : 1;
}
