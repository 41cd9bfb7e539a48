// The sound files a cockpit folder holds, synthesised: stand-ins for the cabin announcements
// (a two-note cabin chime, pitched per announcement so they can be told apart by ear).
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace art {

struct SoundDef {
  std::string_view path;  // relative to the cockpit folder, '/' separated
  std::vector<std::int16_t> (*make)();
};

inline constexpr int kSoundRate = 22050;

std::span<const SoundDef> cockpit_sounds();

}  // namespace art
