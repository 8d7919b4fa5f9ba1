// The split and segment commands: one job of the engine, run to its end.
#pragma once

#include "command_line.h"
#include "exit_status.h"

CliStatus run_split_command(const CliOptions& options);
