// Drawing the progress bar: one line that starts with a carriage return and so overwrites the
// previous one. The job reports once per MiB, so redraws are limited by the clock.
#include "progress_bar.h"

#include "cli_platform.h"

#include <cstdio>

constexpr unsigned BAR_WIDTH = 30;
constexpr uint64_t REDRAW_INTERVAL_MS = 100;
constexpr uint64_t RATE_AFTER_MS = 200;

static bool bar_shown = false;     // the bar is wanted for this job
static bool line_drawn = false;    // the current line holds a bar
static uint64_t started_ms = 0;    // when the job started
static uint64_t last_drawn_ms = 0; // when the bar was last drawn
static uint32_t last_percent = 0;  // what it showed then

void progress_start(bool shown) {
    bar_shown = shown;
    line_drawn = false;
    last_percent = 0;
    started_ms = monotonic_milliseconds();
}

// The line is put together in static storage and written at once: the job thread that
// draws it has a small stack, and one write keeps the terminal from showing half a line.
static void draw(uint32_t percent, uint64_t bytes_done, uint64_t now) {
    static char line[128];
    static char rate[32];
    char bar[BAR_WIDTH + 1];
    unsigned filled = percent * BAR_WIDTH / 100;
    for (unsigned i = 0; i < BAR_WIDTH; ++i)
        bar[i] = i < filled ? '#' : '.';
    bar[BAR_WIDTH] = '\0';
    double mib = static_cast<double>(bytes_done) / 1048576.0;
    // Over the first moments a rate says more about the clock than about the copy.
    uint64_t elapsed_ms = now - started_ms;
    if (elapsed_ms >= RATE_AFTER_MS)
        snprintf(rate, sizeof rate, "%8.1f MiB/s", mib * 1000.0 / static_cast<double>(elapsed_ms));
    else
        snprintf(rate, sizeof rate, "%13s", "");
    int length = snprintf(line, sizeof line, "\r%3u%% [%s] %10.1f MiB %s", percent, bar, mib, rate);
    if (length > 0)
        fwrite(line, 1,
               static_cast<size_t>(length) < sizeof line ? static_cast<size_t>(length)
                                                         : sizeof line - 1,
               stderr);
    fflush(stderr);
    line_drawn = true;
    last_drawn_ms = now;
    last_percent = percent;
}

void progress_show(uint32_t percent, uint64_t bytes_done) {
    if (!bar_shown)
        return;
    if (percent > 100)
        percent = 100;
    uint64_t now = monotonic_milliseconds();
    bool reaches_full = percent == 100 && last_percent != 100;
    if (!line_drawn || reaches_full || now - last_drawn_ms >= REDRAW_INTERVAL_MS)
        draw(percent, bytes_done, now);
}

void progress_finish() {
    if (line_drawn)
        fputc('\n', stderr);
    line_drawn = false;
    bar_shown = false;
}
