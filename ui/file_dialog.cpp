// The open-file dialog behind both Browse buttons.
#include "dialog.h"

#include <commdlg.h>

bool choose_file(char* path, const char* title, DWORD flags) {
    OPENFILENAMEA chooser = {};
    // The size without the later extension fields (76 bytes in the 32-bit program).
    chooser.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    chooser.hwndOwner = dialog;
    chooser.lpstrFilter = "All Files\0*.*\0";
    chooser.nFilterIndex = 1;
    chooser.lpstrFile = path;
    chooser.nMaxFile = BROWSE_PATH_CAPACITY;
    chooser.lpstrTitle = title;
    chooser.Flags = flags;
    path[0] = '\0';
    // On failure (also a name too long for the buffer, which then holds its needed size in
    // binary) the buffer is no name: it is treated as a cancel.
    if (!GetOpenFileNameA(&chooser)) {
        path[0] = '\0';
        return false;
    }
    return path[0] != '\0';
}
