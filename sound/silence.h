#pragma once
// Silence, written once for every sound user (the streaming player, the switch click): bytes of
// 0x80 for 8-bit samples, which are unsigned, and zero bytes for every other width, which are
// signed.
#include <cstdint>
#include <cstring>

namespace sound {

constexpr uint8_t silence_byte(uint16_t bits_per_sample) { return bits_per_sample == 8 ? 0x80 : 0x00; }

// Writes bytes of silence at destination (nothing when bytes is 0).
inline void fill_silence(void* destination, uint32_t bytes, uint16_t bits_per_sample) {
  if (bytes != 0) std::memset(destination, silence_byte(bits_per_sample), bytes);
}

}  // namespace sound
