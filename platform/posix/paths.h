#pragma once
// Windows path rules on Linux: '\' (or '/') separates folders and every name matches without
// regard to letter case, so "Sound\CD_Music_3.wav" finds sound/cd_music_3.WAV.
#include <cstddef>

namespace platform::posix {

// Resolves a Windows-style path (relative to the current folder, or absolute from '/') to an
// existing Linux path in out (out_size bytes). Returns false if no such entry exists or the
// result does not fit; out is then an empty string.
bool resolve_path(const char* windows_path, char* out, std::size_t out_size);

}  // namespace platform::posix
