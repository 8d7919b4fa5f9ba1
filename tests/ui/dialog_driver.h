// Drives the real main dialog from a test's thread the way a user's input arrives: the
// dialog runs on a thread of its own, and everything reaches it as window messages.
#pragma once

#include <windows.h>

#include <shlobj.h>

#include <string>
#include <vector>

// Opens the dialog on its own thread and waits until it is shown.
void open_dialog();
// Sends WM_CLOSE, waits for the dialog's thread and returns the dialog's result.
INT_PTR close_dialog();
bool dialog_is_open();

HWND control(int id);
std::string text_of(int id);
std::string window_text(HWND window);
bool is_checked(int id);
unsigned progress_position();

// Replaces a field's text as typing would: selects all, then sends each character.
void type_into(int id, const std::string& text);
// A click on a button that returns once the dialog has handled it.
void click(int id);
// A click that is only queued: for buttons that open a dialog of their own.
void click_later(int id);
// A key pressed while `window` has the focus, queued like real input.
void press_key(HWND window, WPARAM key);

// A drop handle as the shell makes one: a DROPFILES block in global memory with the names.
HDROP make_drop(const std::vector<std::string>& names);
// Queues the drop on a field, as a drag ending over it does. The field frees the handle.
void drop_on(int id, HDROP drop);
// True once the drop's memory has been released.
bool drop_released(HDROP drop);

// Waits up to `milliseconds` for `condition`; returns whether it came true.
bool wait_until(bool (*condition)(), int milliseconds = 10000);
bool wait_for_status(const std::string& status, int milliseconds = 30000);

// A top-level dialog window (class "#32770") with this caption and owner, waited for.
HWND wait_for_box(const char* caption, HWND owner, int milliseconds = 10000);

// What a message box shows.
struct BoxContents {
    std::string text;
    std::vector<int> buttons; // identifiers of the visible buttons
    bool has_icon;
};
BoxContents read_box(HWND box);
// Presses the box's button and waits until the box has gone.
void dismiss_box(HWND box, int button);
