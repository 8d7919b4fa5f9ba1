// The join command: the pieces prefix_0, prefix_1, ... put back together into one file.
#pragma once

#include "command_line.h"
#include "exit_status.h"

CliStatus run_join_command(const CliOptions& options);
