// The real dialog, from the real template, driven by window messages from the test's
// thread while jobs run on their own threads.
#include "dialog_fixture.h"
#include "resource.h"

#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <filesystem>

namespace {

const char PROCESSING[] = "Processing, please wait...";

class DialogTest : public OpenDialogTest {
  protected:
    void SetUp() override {
        OpenDialogTest::SetUp();
        source = join_path(dir, "source.bin");
        prefix = join_path(dir, "xyz");
    }

    void set_paths(const std::string& input, const std::string& output_prefix) {
        type_into(IDC_SOURCE_PATH, input);
        type_into(IDC_DEST_PREFIX, output_prefix);
    }

    // Presses Split and waits for the job's end.
    void split_and_wait() {
        click(IDC_SPLIT);
        ASSERT_TRUE(wait_for_status("Done!  "));
        ASSERT_TRUE(wait_until([] { return !split_job_running(); }));
    }

    std::string source, prefix;
};

TEST_F(DialogTest, StartsWithTheDefaults) {
    EXPECT_EQ(window_text(dialog), "Quorvex 1.1");
    EXPECT_EQ(text_of(IDC_SPLIT_SIZE), "5");
    EXPECT_EQ(text_of(IDC_STOP_COUNT), "1");
    EXPECT_EQ(text_of(IDC_START), "0");
    EXPECT_EQ(text_of(IDC_END), "0");
    EXPECT_EQ(text_of(IDC_SOURCE_PATH), "");
    EXPECT_EQ(text_of(IDC_DEST_PREFIX), "");
    EXPECT_EQ(text_of(IDC_STATUS), "");
    EXPECT_TRUE(is_checked(IDC_MODE_CHUNKS));
    EXPECT_FALSE(is_checked(IDC_MODE_SEGMENT));
    EXPECT_FALSE(is_checked(IDC_STOP_AFTER));
    EXPECT_FALSE(is_checked(IDC_HEX));
    EXPECT_EQ(progress_position(), 0u);
    EXPECT_NE(SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0), 0);
    EXPECT_NE(SendMessageA(dialog, WM_GETICON, ICON_BIG, 0), 0);
    // The focus starts in the first tab stop, the Source field.
    GUITHREADINFO thread_info = {};
    thread_info.cbSize = sizeof thread_info;
    ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &thread_info));
    EXPECT_EQ(thread_info.hwndFocus, control(IDC_SOURCE_PATH));
}

TEST_F(DialogTest, TypingIntoTheNumberFieldsChangesTheSettingsAtOnce) {
    struct Case {
        int field;
        const char* text;
        uint32_t setting;
    } cases[] = {
        {IDC_SPLIT_SIZE, "12", 12},
        {IDC_SPLIT_SIZE, "abc", 0},
        {IDC_SPLIT_SIZE, "4294967295", ~0u},
        {IDC_SPLIT_SIZE, "4294967296", 0},
        {IDC_SPLIT_SIZE, "", 0},
        {IDC_STOP_COUNT, "3", 3},
        {IDC_STOP_COUNT, "x7", 0},
        {IDC_STOP_COUNT, "250", 250},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        type_into(c.field, c.text);
        EXPECT_EQ(text_of(c.field), c.text);
        EXPECT_EQ(c.field == IDC_SPLIT_SIZE ? split_size_mb.load() : stop_count.load(), c.setting);
    }
}

TEST_F(DialogTest, ChunksSplitWritesThePieces) {
    write_pattern_file(source, 12 * MIB);
    set_paths(source, prefix);
    hold_call(5); // the first read: the job is running and waits there
    click(IDC_SPLIT);
    ASSERT_TRUE(wait_until(held_call_reached));
    EXPECT_EQ(text_of(IDC_STATUS), PROCESSING);
    release_held_call();
    ASSERT_TRUE(wait_for_status("Done!  "));
    EXPECT_EQ(progress_position(), 100u);
    EXPECT_TRUE(holds_pattern(prefix + "_0", 0, 5 * MIB));
    EXPECT_TRUE(holds_pattern(prefix + "_1", 5 * MIB, 5 * MIB));
    EXPECT_TRUE(holds_pattern(prefix + "_2", 10 * MIB, 2 * MIB));
    EXPECT_FALSE(file_exists(prefix + "_3"));
}

TEST_F(DialogTest, StopAfterAndTheSplitSizeComeFromTheDialog) {
    write_pattern_file(source, 12 * MIB);
    set_paths(source, prefix);
    type_into(IDC_SPLIT_SIZE, "2");
    type_into(IDC_STOP_COUNT, "2");
    click(IDC_STOP_AFTER);
    split_and_wait();
    EXPECT_TRUE(holds_pattern(prefix + "_0", 0, 2 * MIB));
    EXPECT_TRUE(holds_pattern(prefix + "_1", 2 * MIB, 2 * MIB));
    EXPECT_FALSE(file_exists(prefix + "_2"));
    EXPECT_EQ(progress_position(), 100u);
}

TEST_F(DialogTest, SegmentExtractionCopiesTheRange) {
    write_pattern_file(source, 3 * MIB);
    set_paths(source, prefix);
    click(IDC_MODE_SEGMENT);
    EXPECT_FALSE(is_checked(IDC_MODE_CHUNKS));
    click(IDC_HEX);
    type_into(IDC_START, "10");
    type_into(IDC_END, "20");
    split_and_wait();
    EXPECT_TRUE(holds_pattern(prefix + "_0", 16, 16));
    EXPECT_EQ(progress_position(), 100u);
}

// Each failure shows its box, owned by the dialog, while the status still says the job
// runs; once dismissed the job ends with "Done!  " and the bar stays where it was.
TEST_F(DialogTest, ErrorBoxesAreOwnedByTheDialogAndLeaveTheBarWhereItWas) {
    const std::string missing_dir_prefix = join_path(join_path(dir, "missing"), "xyz");
    struct Case {
        const char* name;
        bool source_exists;
        bool empty_source_field;
        bool segment;
        const char* start;
        const char* end;
        bool output_dir_missing;
        IoCall failing_kind;
        uint32_t failing_nth; // 0: no fault injected
        const char* message;
        unsigned bar; // 37 is where the bar was before the job
    } cases[] = {
        {"empty_source", false, true, false, "0", "0", false, IO_READ, 0,
         "Could not open the input file!", 37},
        {"missing_source", false, false, false, "0", "0", false, IO_READ, 0,
         "Could not open the input file!", 37},
        {"output_not_openable", true, false, false, "0", "0", true, IO_READ, 0,
         "Could not open output file!", 37},
        {"insane_range", true, false, true, "100", "50", false, IO_READ, 0,
         "Insane start/end values!", 37},
        {"read_fails", true, false, false, "0", "0", false, IO_READ, 2,
         "Could not read the input file!", 20},
        {"write_fails", true, false, false, "0", "0", false, IO_WRITE, 3,
         "Could not write output file!", 40},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        remove_tree(source);
        if (c.source_exists)
            write_pattern_file(source, 5 * MIB);
        set_paths(c.empty_source_field ? "" : source,
                  c.output_dir_missing ? missing_dir_prefix : prefix);
        click(c.segment ? IDC_MODE_SEGMENT : IDC_MODE_CHUNKS);
        type_into(IDC_START, c.start);
        type_into(IDC_END, c.end);
        SendMessageA(control(IDC_PROGRESS), PBM_SETPOS, 37, 0);

        // Find the call to fail from a clean run's sequence.
        uint32_t failing_call = 0;
        if (c.failing_nth != 0) {
            install_fault_io();
            split_and_wait();
            failing_call = call_number_of(io_calls(), c.failing_kind, c.failing_nth);
            ASSERT_NE(failing_call, 0u);
        }
        install_fault_io(failing_call != 0 ? FAULT_FAIL : FAULT_NONE, failing_call);
        click(IDC_SPLIT);
        HWND box = wait_for_box("Error", dialog);
        ASSERT_NE(box, nullptr);
        BoxContents contents = read_box(box);
        EXPECT_EQ(contents.text, c.message);
        EXPECT_EQ(contents.buttons, std::vector<int>{IDOK});
        EXPECT_FALSE(contents.has_icon);
        EXPECT_EQ(text_of(IDC_STATUS), PROCESSING);
        dismiss_box(box, IDOK);
        ASSERT_TRUE(wait_for_status("Done!  "));
        ASSERT_TRUE(wait_until([] { return !split_job_running(); }));
        EXPECT_EQ(progress_position(), c.bar);
        EXPECT_EQ(io_open_descriptors(), 0);
    }
}

TEST_F(DialogTest, ASecondSplitDuringAJobStartsNothing) {
    write_pattern_file(source, 3 * MIB);
    const std::string other = join_path(dir, "other");
    set_paths(source, prefix);
    hold_call(5);
    click(IDC_SPLIT);
    ASSERT_TRUE(wait_until(held_call_reached));
    // A double click, and another press after the paths changed: none may start a job.
    type_into(IDC_DEST_PREFIX, other);
    click(IDC_SPLIT);
    click(IDC_SPLIT);
    click(IDC_SPLIT);
    release_held_call();
    ASSERT_TRUE(wait_for_status("Done!  "));
    ASSERT_TRUE(wait_until([] { return !split_job_running(); }));
    EXPECT_TRUE(holds_pattern(prefix + "_0", 0, 3 * MIB));
    EXPECT_FALSE(file_exists(other + "_0"));
    EXPECT_EQ(io_calls_of(IO_OPEN_READ), 2u);

    // Once the job has ended, Split starts the next one on the fields as they are now.
    split_and_wait();
    EXPECT_TRUE(holds_pattern(other + "_0", 0, 3 * MIB));
}

TEST_F(DialogTest, EscAndEnterInAFieldDoNothing) {
    HWND field = control(IDC_SOURCE_PATH);
    press_key(field, VK_ESCAPE);
    press_key(field, VK_RETURN);
    // A character queued after the keys shows when they have been handled.
    PostMessageA(field, WM_CHAR, 'x', 1);
    ASSERT_TRUE(wait_until([] { return text_of(IDC_SOURCE_PATH) == "x"; }));
    EXPECT_TRUE(dialog_is_open());
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(text_of(IDC_STATUS), "");
    EXPECT_FALSE(split_job_running());
}

TEST_F(DialogTest, CloseEndsTheDialogWithZero) {
    EXPECT_EQ(close_dialog(), 0);
    EXPECT_FALSE(IsWindow(dialog));
}

TEST_F(DialogTest, CancellingBrowseLeavesBothFields) {
    set_paths("kept source", "kept prefix");
    for (int button : {IDC_BROWSE_SOURCE, IDC_BROWSE_DEST}) {
        SCOPED_TRACE(button);
        click_later(button);
        HWND chooser = wait_for_box(
            button == IDC_BROWSE_SOURCE ? "Choose Input File" : "Choose Output File", dialog);
        ASSERT_NE(chooser, nullptr);
        dismiss_box(chooser, IDCANCEL);
        EXPECT_EQ(text_of(IDC_SOURCE_PATH), "kept source");
        EXPECT_EQ(text_of(IDC_DEST_PREFIX), "kept prefix");
    }
}

// The open-file dialog's name box, as Wine's and Windows' explorer-style dialogs number it.
constexpr int FILE_NAME_BOX = 0x47c;

TEST_F(DialogTest, BrowsingFillsTheFields) {
    write_pattern_file(source, 10);
    set_paths("old source", "old prefix");

    // A chosen source becomes the destination prefix too.
    click_later(IDC_BROWSE_SOURCE);
    HWND chooser = wait_for_box("Choose Input File", dialog);
    ASSERT_NE(chooser, nullptr);
    SetDlgItemTextA(chooser, FILE_NAME_BOX, source.c_str());
    dismiss_box(chooser, IDOK);
    EXPECT_EQ(lstrcmpiA(text_of(IDC_SOURCE_PATH).c_str(), source.c_str()), 0)
        << text_of(IDC_SOURCE_PATH);
    EXPECT_EQ(text_of(IDC_DEST_PREFIX), text_of(IDC_SOURCE_PATH));

    // A destination need not exist and changes only its own field.
    const std::string new_name = join_path(dir, "new-prefix");
    click_later(IDC_BROWSE_DEST);
    chooser = wait_for_box("Choose Output File", dialog);
    ASSERT_NE(chooser, nullptr);
    SetDlgItemTextA(chooser, FILE_NAME_BOX, new_name.c_str());
    dismiss_box(chooser, IDOK);
    EXPECT_EQ(lstrcmpiA(text_of(IDC_DEST_PREFIX).c_str(), new_name.c_str()), 0)
        << text_of(IDC_DEST_PREFIX);
    EXPECT_EQ(lstrcmpiA(text_of(IDC_SOURCE_PATH).c_str(), source.c_str()), 0);
    EXPECT_FALSE(file_exists(new_name));
}

TEST_F(DialogTest, StaysResponsiveDuringALongJob) {
    // In memory where there is room: the disk's writeback of a gigabyte of pieces would
    // measure the machine rather than the dialog.
    const std::string fast_dir = make_memory_scratch_dir("responsive", 2048 * MIB);
    source = join_path(fast_dir, "source.bin");
    prefix = join_path(fast_dir, "xyz");
    write_sparse_file(source, 1024 * MIB, {});
    set_paths(source, prefix);
    click(IDC_SPLIT);
    double slowest_ms = 0;
    int samples = 0;
    for (;;) {
        char text[64] = "";
        DWORD_PTR copied = 0;
        auto started = std::chrono::steady_clock::now();
        LRESULT answered =
            SendMessageTimeoutA(control(IDC_STATUS), WM_GETTEXT, sizeof text,
                                reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 2000, &copied);
        double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started)
                .count();
        ASSERT_NE(answered, 0) << "no answer within 2 s";
        slowest_ms = ms > slowest_ms ? ms : slowest_ms;
        ++samples;
        if (std::string(text) == "Done!  ")
            break;
        Sleep(10);
    }
    printf("slowest answer %.1f ms over %d samples\n", slowest_ms, samples);
    EXPECT_LT(slowest_ms, 100.0) << samples << " samples";
    EXPECT_GT(samples, 10);
    EXPECT_EQ(progress_position(), 100u);
    EXPECT_EQ(file_size_of(prefix + "_204"), 4 * MIB);
    remove_tree(fast_dir);
}

} // namespace
