#pragma once
#include <cstdint>

namespace platform {

// Milliseconds since the system started, wrapping at 32 bits.
uint32_t tick_count();

}  // namespace platform
