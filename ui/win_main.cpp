// Program entry: registers the progress bar's class and runs the main dialog until it is
// closed. The command line is not used.
#include "dialog.h"
#include "resource.h"

#include <commctrl.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&classes);
    // 0 after a normal close; -1 when the dialog could not be created.
    return static_cast<int>(
        DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, main_dialog_proc, 0));
}
