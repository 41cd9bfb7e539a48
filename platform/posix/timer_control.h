#pragma once
// Test controls of the substitute timer (platform/timer.h, platform/posix/timer.cpp). In real time
// (the default) every timer runs on a thread of its own; while the test drives the clock
// (platform::testing::use_manual_clock, platform/posix/media_clock.h) timers fire only here, on the
// test's thread.
#include <cstdint>

namespace platform::testing {

// Manual clock: fires every live timer once, now, in the order they were made; each periodic one
// is next due one period from now. The number of callbacks run.
int fire_timers();

// Manual clock: moves the clock on by microseconds, and on the way fires each timer at each of its
// due times (the clock stands at the due time while the callback runs). A timer whose due time
// has passed unfired (advance_clock) fires once, at once, and keeps its period from there.
void run_clock(uint64_t microseconds);

}  // namespace platform::testing
