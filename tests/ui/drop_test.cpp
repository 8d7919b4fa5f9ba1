// Files dropped on the path fields of the real dialog, with drop handles built as the
// shell builds them.
#include "dialog_fixture.h"
#include "resource.h"

#include <filesystem>

namespace {

const char MULTIPLE[] = "Multiple files dropped - only one file will be processed";
const char UNREADABLE[] = "Unable to get dropped file information";

class DropTest : public OpenDialogTest {
  protected:
    void SetUp() override {
        OpenDialogTest::SetUp();
        type_into(IDC_SOURCE_PATH, "old source");
        type_into(IDC_DEST_PREFIX, "old prefix");
    }

    // Drops the names on a field and waits until the drop has been handled, reading and
    // dismissing the box it brings, if any. Returns that box's caption, text and icon.
    struct Outcome {
        std::string caption;
        BoxContents box;
    };
    Outcome drop(int field, const std::vector<std::string>& names,
                 const char* expected_box = nullptr) {
        HDROP handle = make_drop(names);
        drop_on(field, handle);
        Outcome outcome = {"", {"", {}, false}};
        if (expected_box != nullptr) {
            HWND box = wait_for_box(expected_box, dialog);
            if (box != nullptr) {
                outcome.caption = expected_box;
                outcome.box = read_box(box);
                dismiss_box(box, IDOK);
            }
        }
        static HDROP pending;
        pending = handle;
        EXPECT_TRUE(wait_until([] { return drop_released(pending); }))
            << "the drop was not released";
        return outcome;
    }
};

TEST_F(DropTest, OneFileOnTheSourceFillsBothFields) {
    const std::string name = join_path(dir, "movie.avi");
    drop(IDC_SOURCE_PATH, {name});
    EXPECT_EQ(text_of(IDC_SOURCE_PATH), name);
    EXPECT_EQ(text_of(IDC_DEST_PREFIX), name);
    EXPECT_EQ(wait_for_box("Warning", dialog, 200), nullptr);
    EXPECT_EQ(wait_for_box("Error", dialog, 0), nullptr);
}

TEST_F(DropTest, SeveralFilesBringOneWarningAndTheFirstIsTaken) {
    const std::string first = join_path(dir, "a.bin");
    Outcome outcome =
        drop(IDC_SOURCE_PATH, {first, join_path(dir, "b.bin"), join_path(dir, "c.bin")}, "Warning");
    EXPECT_EQ(outcome.box.text, MULTIPLE);
    EXPECT_TRUE(outcome.box.has_icon);
    EXPECT_EQ(outcome.box.buttons, std::vector<int>{IDOK});
    EXPECT_EQ(wait_for_box("Warning", dialog, 200), nullptr); // once only
    EXPECT_EQ(text_of(IDC_SOURCE_PATH), first);
    EXPECT_EQ(text_of(IDC_DEST_PREFIX), first);
}

TEST_F(DropTest, LongNamesAreTakenWholeOrRefused) {
    // Longer than the shell's usual 260 characters: taken whole, never cut short.
    std::string long_name = join_path(dir, std::string(300, 'n'));
    drop(IDC_SOURCE_PATH, {long_name});
    EXPECT_EQ(text_of(IDC_SOURCE_PATH), long_name);
    EXPECT_EQ(text_of(IDC_DEST_PREFIX), long_name);

    // Longer than the path buffers: refused, and the fields stay as they were.
    std::string too_long = join_path(dir, std::string(PATH_CAPACITY, 'n'));
    Outcome outcome = drop(IDC_SOURCE_PATH, {too_long}, "Error");
    EXPECT_EQ(outcome.box.text, UNREADABLE);
    EXPECT_TRUE(outcome.box.has_icon);
    EXPECT_EQ(text_of(IDC_SOURCE_PATH), long_name);
    EXPECT_EQ(text_of(IDC_DEST_PREFIX), long_name);
}

TEST_F(DropTest, ADropWithoutANameIsRefused) {
    Outcome outcome = drop(IDC_SOURCE_PATH, {}, "Error");
    EXPECT_EQ(outcome.box.text, UNREADABLE);
    EXPECT_EQ(text_of(IDC_SOURCE_PATH), "old source");
    EXPECT_EQ(text_of(IDC_DEST_PREFIX), "old prefix");
}

TEST_F(DropTest, OnTheDestinationItSetsOnlyThePrefix) {
    const std::string name = join_path(dir, "pieces");
    drop(IDC_DEST_PREFIX, {name});
    EXPECT_EQ(text_of(IDC_DEST_PREFIX), name);
    EXPECT_EQ(text_of(IDC_SOURCE_PATH), "old source");

    const std::string first = join_path(dir, "first");
    Outcome outcome = drop(IDC_DEST_PREFIX, {first, join_path(dir, "second")}, "Warning");
    EXPECT_EQ(outcome.box.text, MULTIPLE);
    EXPECT_EQ(text_of(IDC_DEST_PREFIX), first);
    EXPECT_EQ(text_of(IDC_SOURCE_PATH), "old source");
}

TEST_F(DropTest, ADropDuringAJobChangesOnlyTheNextJob) {
    const std::string source = join_path(dir, "source.bin");
    const std::string prefix = join_path(dir, "xyz");
    const std::string other = join_path(dir, "other.bin");
    write_pattern_file(source, 7 * MIB);
    type_into(IDC_SOURCE_PATH, source);
    type_into(IDC_DEST_PREFIX, prefix);
    hold_call(5); // the first read
    click(IDC_SPLIT);
    ASSERT_TRUE(wait_until(held_call_reached));
    drop(IDC_SOURCE_PATH, {other});
    EXPECT_EQ(text_of(IDC_DEST_PREFIX), other);
    release_held_call();
    ASSERT_TRUE(wait_for_status("Done!  "));
    // Both pieces, also the one opened after the drop, carry the job's own prefix.
    EXPECT_TRUE(holds_pattern(prefix + "_0", 0, 5 * MIB));
    EXPECT_TRUE(holds_pattern(prefix + "_1", 5 * MIB, 2 * MIB));
    EXPECT_FALSE(file_exists(other + "_1"));
}

// Read on the dialog's thread right after it has handled WM_CLOSE, before the window goes.
WNDPROC procedure_after_close = nullptr;
WNDPROC class_procedure = nullptr;

LRESULT CALLBACK after_message(int code, WPARAM wparam, LPARAM lparam) {
    const CWPRETSTRUCT* sent = reinterpret_cast<const CWPRETSTRUCT*>(lparam);
    if (code == HC_ACTION && sent->hwnd == dialog && sent->message == WM_CLOSE) {
        HWND field = GetDlgItem(dialog, IDC_SOURCE_PATH);
        procedure_after_close = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(field, GWLP_WNDPROC));
        class_procedure = reinterpret_cast<WNDPROC>(GetClassLongPtrA(field, GCLP_WNDPROC));
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

TEST_F(DropTest, TheFieldGetsItsOwnProcedureBackOnClose) {
    HWND field = control(IDC_SOURCE_PATH);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(field, GWLP_WNDPROC)), source_edit_proc);
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROCRET, after_message, nullptr,
                                   GetWindowThreadProcessId(dialog, nullptr));
    ASSERT_NE(hook, nullptr);
    EXPECT_EQ(close_dialog(), 0);
    UnhookWindowsHookEx(hook);
    ASSERT_NE(class_procedure, nullptr);
    EXPECT_EQ(procedure_after_close, class_procedure);
}

} // namespace
