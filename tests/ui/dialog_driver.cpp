#include "dialog_driver.h"

#include "dialog.h"
#include "resource.h"

#include <commctrl.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

static std::thread dialog_thread;
static std::atomic<INT_PTR> dialog_result{0};

void open_dialog() {
    static bool registered = false;
    if (!registered) {
        INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&classes);
        registered = true;
    }
    dialog = nullptr;
    dialog_thread = std::thread([] {
        dialog_result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MAIN),
                                        nullptr, main_dialog_proc, 0);
    });
    wait_until([] { return dialog != nullptr && IsWindowVisible(dialog) != 0; });
}

INT_PTR close_dialog() {
    SendMessageA(dialog, WM_CLOSE, 0, 0);
    dialog_thread.join();
    return dialog_result;
}

bool dialog_is_open() {
    return dialog_thread.joinable() && IsWindow(dialog);
}

HWND control(int id) {
    return GetDlgItem(dialog, id);
}

std::string window_text(HWND window) {
    char text[4096] = "";
    SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

std::string text_of(int id) {
    return window_text(control(id));
}

bool is_checked(int id) {
    return SendMessageA(control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

unsigned progress_position() {
    return static_cast<unsigned>(SendMessageA(control(IDC_PROGRESS), PBM_GETPOS, 0, 0));
}

void type_into(int id, const std::string& text) {
    HWND field = control(id);
    SendMessageA(field, EM_SETSEL, 0, -1);
    SendMessageA(field, WM_CHAR, VK_BACK, 0);
    for (char c : text)
        SendMessageA(field, WM_CHAR, static_cast<unsigned char>(c), 0);
}

void click(int id) {
    SendMessageA(control(id), BM_CLICK, 0, 0);
}

void click_later(int id) {
    PostMessageA(control(id), BM_CLICK, 0, 0);
}

void press_key(HWND window, WPARAM key) {
    PostMessageA(window, WM_KEYDOWN, key, 1);
    // Repeat count 1, key previously down, key being released.
    PostMessageA(window, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
}

HDROP make_drop(const std::vector<std::string>& names) {
    size_t characters = 1; // the list ends with an empty name
    for (const std::string& name : names)
        characters += name.size() + 1;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + characters);
    DROPFILES* files = static_cast<DROPFILES*>(GlobalLock(memory));
    files->pFiles = sizeof(DROPFILES);
    files->fWide = FALSE;
    char* at = reinterpret_cast<char*>(files + 1);
    for (const std::string& name : names) {
        memcpy(at, name.c_str(), name.size() + 1);
        at += name.size() + 1;
    }
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

void drop_on(int id, HDROP drop) {
    PostMessageA(control(id), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
}

bool drop_released(HDROP drop) {
    return GlobalSize(drop) == 0;
}

bool wait_until(bool (*condition)(), int milliseconds) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        Sleep(5);
    }
    return true;
}

bool wait_for_status(const std::string& status, int milliseconds) {
    static std::string wanted;
    wanted = status;
    return wait_until([] { return text_of(IDC_STATUS) == wanted; }, milliseconds);
}

struct BoxSearch {
    const char* caption;
    HWND owner;
    HWND found;
};

static BOOL CALLBACK match_box(HWND window, LPARAM search_address) {
    BoxSearch& search = *reinterpret_cast<BoxSearch*>(search_address);
    char class_name[32] = "";
    GetClassNameA(window, class_name, sizeof class_name);
    if (std::string(class_name) == "#32770" && IsWindowVisible(window) &&
        GetWindow(window, GW_OWNER) == search.owner && window_text(window) == search.caption) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

HWND wait_for_box(const char* caption, HWND owner, int milliseconds) {
    BoxSearch search = {caption, owner, nullptr};
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < deadline) {
        EnumWindows(match_box, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr)
            return search.found;
        Sleep(10);
    }
    return nullptr;
}

static BOOL CALLBACK read_child(HWND child, LPARAM contents_address) {
    BoxContents& contents = *reinterpret_cast<BoxContents*>(contents_address);
    if (!IsWindowVisible(child))
        return TRUE;
    char class_name[32] = "";
    GetClassNameA(child, class_name, sizeof class_name);
    LONG_PTR style = GetWindowLongPtrA(child, GWL_STYLE);
    if (lstrcmpiA(class_name, "Button") == 0) {
        contents.buttons.push_back(GetDlgCtrlID(child));
    } else if (lstrcmpiA(class_name, "Static") == 0) {
        if ((style & SS_TYPEMASK) == SS_ICON) {
            if (SendMessageA(child, STM_GETICON, 0, 0) != 0)
                contents.has_icon = true;
        } else if (!window_text(child).empty()) {
            contents.text = window_text(child);
        }
    }
    return TRUE;
}

BoxContents read_box(HWND box) {
    BoxContents contents = {"", {}, false};
    EnumChildWindows(box, read_child, reinterpret_cast<LPARAM>(&contents));
    return contents;
}

void dismiss_box(HWND box, int button) {
    PostMessageA(GetDlgItem(box, button), BM_CLICK, 0, 0);
    for (int waited = 0; IsWindow(box) && waited < 10000; waited += 5)
        Sleep(5);
}
