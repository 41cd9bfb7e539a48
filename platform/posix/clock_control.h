#pragma once
// Test control of the tick count substitute (platform/clock.h, in platform/posix/files.cpp).
#include <cstdint>

namespace platform::testing {

// Holds the tick count at ms until released, so a test can seed what reads it.
void set_tick_count(uint32_t ms);
// Back to the monotonic clock.
void release_tick_count();

}  // namespace platform::testing
