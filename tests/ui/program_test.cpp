// The built program itself: its resources as the template defines them, and a run of it as
// a process of its own.
#include "dialog_driver.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstring>
#include <set>
#include <utility>

namespace {

// The program, found beside this test program by the path the build gives.
std::string program_path() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string here(path);
    return here.substr(0, here.find_last_of("\\/") + 1) + QUORVEX_PROGRAM_FROM_TESTS;
}

class ProgramResources : public ::testing::Test {
  protected:
    void SetUp() override {
        module = LoadLibraryExA(program_path().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr) << program_path();
    }
    void TearDown() override {
        if (module != nullptr)
            FreeLibrary(module);
    }

    // A resource in English (United States), as bytes.
    std::pair<const unsigned char*, DWORD> resource(LPCSTR type, LPCSTR name) const {
        HRSRC found =
            FindResourceExA(module, type, name, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
        if (found == nullptr)
            return {nullptr, 0};
        return {static_cast<const unsigned char*>(LockResource(LoadResource(module, found))),
                SizeofResource(module, found)};
    }

    HMODULE module = nullptr;
};

// Reads a dialog template from its bytes.
struct TemplateReader {
    const unsigned char* at;

    uint16_t word() {
        uint16_t value;
        memcpy(&value, at, 2);
        at += 2;
        return value;
    }
    uint32_t dword() {
        uint32_t value;
        memcpy(&value, at, 4);
        at += 4;
        return value;
    }
    // A string, or an ordinal written as 0xFFFF and a number (returned as "#number").
    std::string text() {
        if (word() == 0xFFFF)
            return "#" + std::to_string(word());
        at -= 2;
        std::string value;
        for (uint16_t c; (c = word()) != 0;)
            value += static_cast<char>(c);
        return value;
    }
    // A control's class: a name, or one of the predefined classes by number.
    std::string control_class() {
        std::string name = text();
        if (name == "#128")
            return "Button";
        if (name == "#129")
            return "Edit";
        if (name == "#130")
            return "Static";
        return name;
    }
    void align(const unsigned char* start) {
        while ((at - start) % 4 != 0)
            ++at;
    }
};

struct ExpectedControl {
    int32_t id;
    const char* window_class;
    const char* text;
    int16_t x, y, cx, cy;
    DWORD style; // beyond WS_CHILD | WS_VISIBLE
    DWORD ex_style;
};

const ExpectedControl expected_controls[] = {
    {-1, "Static", "&Source file:", 6, 6, 61, 8, SS_LEFT | WS_GROUP, 0},
    {IDC_SOURCE_PATH, "Edit", "", 6, 18, 314, 14, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP,
     WS_EX_ACCEPTFILES},
    {IDC_BROWSE_SOURCE, "Button", "B&rowse", 325, 18, 49, 14, BS_PUSHBUTTON | WS_TABSTOP, 0},
    {IDC_SPLIT, "Button", "&Split", 6, 196, 47, 14, BS_PUSHBUTTON | WS_TABSTOP, 0},
    {IDC_STATUS, "Edit", "", 61, 199, 313, 12, ES_READONLY, WS_EX_TRANSPARENT},
    {IDC_PROGRESS, "msctls_progress32", "Progress1", 6, 217, 368, 14, WS_BORDER | PBS_SMOOTH, 0},
    {-1, "Static", "&Destination directory and file name prefix:", 6, 42, 147, 8,
     SS_LEFT | WS_GROUP, 0},
    {IDC_DEST_PREFIX, "Edit", "", 6, 53, 314, 14, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP,
     WS_EX_ACCEPTFILES},
    {IDC_BROWSE_DEST, "Button", "B&rowse", 325, 53, 49, 14, BS_PUSHBUTTON | WS_TABSTOP, 0},
    {-1, "Static", "Split size (MB):", 66, 99, 61, 8, SS_LEFT | WS_GROUP, 0},
    {IDC_SPLIT_SIZE, "Edit", "", 66, 110, 55, 14, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 0},
    {-1, "Static",
     "If your destination file name is xyz,\nyour split files will be xyz_0, xyz_1, xyz_2, ...",
     179, 70, 180, 26, SS_LEFTNOWORDWRAP | WS_GROUP, 0},
    {IDC_MODE_CHUNKS, "Button", "Chunks", 9, 111, 40, 10, BS_AUTORADIOBUTTON | WS_GROUP, 0},
    {IDC_MODE_SEGMENT, "Button", "Segment", 9, 156, 44, 10, BS_AUTORADIOBUTTON, 0},
    {-1, "Static", "Start", 66, 143, 61, 8, SS_LEFT | WS_GROUP, 0},
    {IDC_START, "Edit", "", 66, 154, 56, 14, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 0},
    {-1, "Static", "End", 128, 143, 61, 8, SS_LEFT | WS_GROUP, 0},
    {IDC_END, "Edit", "", 128, 154, 58, 14, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 0},
    {-1, "Static",
     "Output file will include bytes between\nStart and (End - 1) inclusive. Specify End\nas 0 "
     "to split to the end of the file.",
     197, 149, 165, 28, SS_LEFT | WS_GROUP, 0},
    {IDC_STOP_AFTER, "Button", "Stop after:", 133, 112, 49, 10,
     BS_AUTOCHECKBOX | BS_LEFTTEXT | WS_TABSTOP, 0},
    {IDC_HEX, "Button", "Specify as hexadecimal", 66, 173, 99, 10, BS_AUTOCHECKBOX | WS_TABSTOP, 0},
    {IDC_STOP_COUNT, "Edit", "", 186, 110, 46, 14, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 0},
    {-1, "Static", "chunk(s) written", 238, 112, 75, 12, SS_LEFT | WS_GROUP, 0},
    {-1, "Button", "", 5, 91, 372, 41, BS_GROUPBOX, 0},
    {-1, "Button", "", 5, 135, 372, 55, BS_GROUPBOX, 0},
};

TEST_F(ProgramResources, TheDialogTemplateHoldsEveryControlAsDesigned) {
    auto [bytes, size] = resource(RT_DIALOG, MAKEINTRESOURCEA(IDD_MAIN));
    ASSERT_NE(bytes, nullptr);
    TemplateReader read = {bytes};
    EXPECT_EQ(read.word(), 1);      // extended template
    EXPECT_EQ(read.word(), 0xFFFF); // its signature
    EXPECT_EQ(read.dword(), 0u);    // help identifier
    EXPECT_EQ(read.dword(), 0u);    // extended style
    EXPECT_EQ(read.dword(), static_cast<DWORD>(DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP |
                                               WS_CAPTION | WS_SYSMENU));
    uint16_t count = read.word();
    ASSERT_EQ(count, sizeof expected_controls / sizeof expected_controls[0]);
    EXPECT_EQ(read.word(), 0); // x
    EXPECT_EQ(read.word(), 0); // y
    EXPECT_EQ(read.word(), 381);
    EXPECT_EQ(read.word(), 238);
    EXPECT_EQ(read.text(), ""); // no menu
    EXPECT_EQ(read.text(), ""); // the standard dialog class
    EXPECT_EQ(read.text(), "Quorvex 1.1");
    EXPECT_EQ(read.word(), 8);   // points
    EXPECT_EQ(read.word(), 400); // normal weight
    EXPECT_EQ(*read.at++, 0);    // not italic
    EXPECT_EQ(*read.at++, 1);    // default character set
    EXPECT_EQ(read.text(), "MS Sans Serif");

    for (const ExpectedControl& expected : expected_controls) {
        SCOPED_TRACE(std::to_string(&expected - expected_controls) + ": " + expected.text);
        read.align(bytes);
        EXPECT_EQ(read.dword(), 0u); // help identifier
        EXPECT_EQ(read.dword(), expected.ex_style);
        EXPECT_EQ(read.dword(), expected.style | WS_CHILD | WS_VISIBLE);
        EXPECT_EQ(static_cast<int16_t>(read.word()), expected.x);
        EXPECT_EQ(static_cast<int16_t>(read.word()), expected.y);
        EXPECT_EQ(static_cast<int16_t>(read.word()), expected.cx);
        EXPECT_EQ(static_cast<int16_t>(read.word()), expected.cy);
        EXPECT_EQ(static_cast<int32_t>(read.dword()), expected.id);
        EXPECT_EQ(lstrcmpiA(read.control_class().c_str(), expected.window_class), 0)
            << expected.window_class;
        EXPECT_EQ(read.text(), expected.text);
        read.at += read.word(); // creation data: none
    }
    EXPECT_LE(static_cast<DWORD>(read.at - bytes), size);
}

TEST_F(ProgramResources, TheIconHasItsTenImages) {
    auto [bytes, size] = resource(RT_GROUP_ICON, MAKEINTRESOURCEA(IDI_APP));
    ASSERT_NE(bytes, nullptr);
    ASSERT_GE(size, 6u);
    uint16_t count;
    memcpy(&count, bytes + 4, 2);
    ASSERT_EQ(count, 10);
    std::set<std::pair<int, int>> images; // pixels, bits per pixel
    for (int i = 0; i < count; ++i) {
        const unsigned char* entry = bytes + 6 + 14 * i;
        uint16_t bits;
        memcpy(&bits, entry + 6, 2);
        images.insert({entry[0] == 0 ? 256 : entry[0], bits});
    }
    const std::set<std::pair<int, int>> wanted = {{48, 4},  {48, 8}, {48, 32}, {32, 4},  {32, 8},
                                                  {32, 32}, {16, 4}, {16, 8},  {16, 32}, {128, 32}};
    EXPECT_EQ(images, wanted);
}

TEST_F(ProgramResources, TheManifestAsksForNothingAndThereIsNoVersion) {
    auto [bytes, size] = resource(MAKEINTRESOURCEA(24), MAKEINTRESOURCEA(1));
    ASSERT_NE(bytes, nullptr);
    std::string manifest(reinterpret_cast<const char*>(bytes), size);
    EXPECT_NE(manifest.find("urn:schemas-microsoft-com:asm.v1"), std::string::npos);
    EXPECT_NE(manifest.find("manifestVersion=\"1.0\""), std::string::npos);
    EXPECT_EQ(manifest.find("dependency"), std::string::npos);
    EXPECT_EQ(manifest.find("requestedExecutionLevel"), std::string::npos);
    EXPECT_EQ(FindResourceA(module, MAKEINTRESOURCEA(1), RT_VERSION), nullptr);
}

DWORD program_process;
HWND program_window;

BOOL CALLBACK find_program_window(HWND window, LPARAM) {
    DWORD owner_process = 0;
    GetWindowThreadProcessId(window, &owner_process);
    if (owner_process == program_process && IsWindowVisible(window) &&
        window_text(window) == "Quorvex 1.1") {
        program_window = window;
        return FALSE;
    }
    return TRUE;
}

// The real program, started as a process of its own, closed as the caption's button would.
TEST(Program, ClosingItsDialogEndsItWithZero) {
    std::string command = "\"" + program_path() + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &process))
        << program_path();

    program_process = process.dwProcessId;
    program_window = nullptr;
    bool shown = wait_until([] {
        EnumWindows(find_program_window, 0);
        return program_window != nullptr;
    });
    EXPECT_TRUE(shown);
    if (shown)
        PostMessageA(program_window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 20000), WAIT_OBJECT_0);
    DWORD exit_code = 1;
    GetExitCodeProcess(process.hProcess, &exit_code);
    EXPECT_EQ(exit_code, 0u);
    if (!shown)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

} // namespace
