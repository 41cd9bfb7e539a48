// Mono 16-bit PCM wave files and the two sounds panels need: a steady tone
// (warning horns) and a decaying chime.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace art {

std::vector<std::uint8_t> encode_wav(std::span<const std::int16_t> samples, int sample_rate);
// Throws std::runtime_error when the file cannot be written.
void write_wav(const std::string& path, std::span<const std::int16_t> samples, int sample_rate);

// amplitude is a fraction of full scale (0..1).
std::vector<std::int16_t> tone(double freq_hz, double seconds, int sample_rate, double amplitude);

struct Note {
  double freq_hz;
  double seconds;
};
// Notes one after another, each struck and left to ring down.
std::vector<std::int16_t> chime(std::span<const Note> notes, int sample_rate, double amplitude);

}  // namespace art
