// A test fixture with the real dialog open on its own thread, the settings at their
// defaults, counting file operations and a scratch directory; everything is put back after.
#pragma once

#include "dialog.h"
#include "dialog_driver.h"
#include "fault_io.h"
#include "split_job.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <filesystem>

class OpenDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        split_size_mb = 5;
        stop_count = 1;
        install_fault_io();
        working_dir = std::filesystem::current_path();
        dir = make_scratch_dir("dialog");
        open_dialog();
        ASSERT_TRUE(dialog_is_open());
    }

    void TearDown() override {
        if (dialog_is_open())
            close_dialog();
        release_held_call();
        wait_for_split_job();
        remove_fault_io();
        // The open-file dialog moves the current directory to where it chose a file.
        std::filesystem::current_path(working_dir);
        remove_tree(dir);
    }

    std::filesystem::path working_dir;
    std::string dir;
};
