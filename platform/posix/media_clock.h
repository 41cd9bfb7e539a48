#pragma once
// The clock the substitute sound device and timers run by: real time (the monotonic clock), or a
// clock that only a test moves. While the test drives it, play positions move only when it is
// advanced and timers fire only when they are stepped (platform/posix/timer_control.h).
#include <cstdint>

namespace platform::posix {

// Nanoseconds on the media clock; never goes back, across mode changes too.
uint64_t media_now_ns();
bool media_clock_manual();
// Manual mode only: moves the clock to ns (never back).
void media_clock_set(uint64_t ns);

}  // namespace platform::posix

namespace platform::testing {

// From now on the clock moves only by advance_clock and run_clock, and timers fire only when
// stepped. Refused (false) while any timer lives: a timer keeps the mode it was made in.
bool use_manual_clock();
// Back to real time, from where the manual clock stood. Refused (false) while any timer lives.
bool use_real_clock();
// Manual mode: moves the clock on; play positions move, no timer fires.
void advance_clock(uint64_t microseconds);

}  // namespace platform::testing
