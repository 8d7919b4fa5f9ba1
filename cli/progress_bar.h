// The progress bar on stderr: percentage, bytes done and throughput, redrawn in place.
// One bar at a time; its calls may come from the job thread, but never from two threads
// at once.
#pragma once

#include <cstdint>

// Starts the bar of one job and its clock. With `shown` false every later call does nothing.
void progress_start(bool shown);

// Redraws the bar, at most ten times a second, and always when it first shows full.
void progress_show(uint32_t percent, uint64_t bytes_done);

// Ends the bar's line, when one was drawn, so that what follows starts on a line of its own.
void progress_finish();
