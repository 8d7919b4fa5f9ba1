// The main dialog: its window, its procedure and the pieces it is made of.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <cstdint>

// The open dialog, owner of every message box and target of the job's requests.
extern HWND dialog;

INT_PTR CALLBACK main_dialog_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// The file buffers of the open-file dialogs hold this many characters, NUL included.
constexpr DWORD BROWSE_PATH_CAPACITY = 1024;

// Shows the open-file dialog with `path` (BROWSE_PATH_CAPACITY characters) as its file
// buffer. Returns true when the user chose a name, which is then in `path`.
bool choose_file(char* path, const char* title, DWORD flags);

// Makes the job's next progress report reach the bar whatever its position. Called before
// a job starts, while no job runs.
constexpr uint32_t NO_POSITION_SHOWN = 0xFFFFFFFF;
void forget_position_shown();

// Dropped files on the path fields: handled from the dialog's opening to its closing.
void hook_dropped_files();
void unhook_dropped_files();

// The Source field's window procedure while the dialog is open, and its drop handling.
LRESULT CALLBACK source_edit_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
void on_source_drop(HDROP drop);
