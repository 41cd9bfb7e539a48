#include "wav.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

#include "file.h"

namespace art {

namespace {

std::int16_t to_sample(double v) {
  return static_cast<std::int16_t>(std::lround(std::clamp(v, -1.0, 1.0) * 32767.0));
}

std::size_t sample_count(double seconds, int sample_rate) {
  if (sample_rate <= 0 || seconds < 0) throw std::invalid_argument("bad sound length or rate");
  return static_cast<std::size_t>(std::lround(seconds * sample_rate));
}

}  // namespace

std::vector<std::uint8_t> encode_wav(std::span<const std::int16_t> samples, int sample_rate) {
  if (sample_rate <= 0) throw std::invalid_argument("sample rate must be positive");
  const auto rate = static_cast<std::uint32_t>(sample_rate);
  const auto data_bytes = static_cast<std::uint32_t>(samples.size() * 2);

  std::vector<std::uint8_t> out;
  out.reserve(44 + data_bytes);
  auto tag = [&out](const char(&t)[5]) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(t[i]));
  };

  tag("RIFF");
  put_le32(out, 36 + data_bytes);
  tag("WAVE");
  tag("fmt ");
  put_le32(out, 16);
  put_le16(out, 1);  // PCM
  put_le16(out, 1);  // mono
  put_le32(out, rate);
  put_le32(out, rate * 2);  // bytes per second
  put_le16(out, 2);         // bytes per frame
  put_le16(out, 16);        // bits per sample
  tag("data");
  put_le32(out, data_bytes);
  for (std::int16_t s : samples) put_le16(out, static_cast<std::uint16_t>(s));
  return out;
}

void write_wav(const std::string& path, std::span<const std::int16_t> samples, int sample_rate) {
  write_file(path, encode_wav(samples, sample_rate));
}

std::vector<std::int16_t> tone(double freq_hz, double seconds, int sample_rate, double amplitude) {
  const std::size_t n = sample_count(seconds, sample_rate);
  // 5 ms ramps at both ends, else the speaker clicks.
  const double ramp = std::max(1.0, 0.005 * sample_rate);
  std::vector<std::int16_t> out(n);
  for (std::size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / sample_rate;
    const double edge =
        std::min({1.0, (static_cast<double>(i) + 1) / ramp, static_cast<double>(n - i) / ramp});
    out[i] = to_sample(amplitude * edge * std::sin(2 * std::numbers::pi * freq_hz * t));
  }
  return out;
}

std::vector<std::int16_t> chime(std::span<const Note> notes, int sample_rate, double amplitude) {
  std::vector<std::int16_t> out;
  for (const Note& note : notes) {
    const std::size_t n = sample_count(note.seconds, sample_rate);
    const double decay = 5.0 / std::max(note.seconds, 1e-3);  // about -43 dB by the note's end
    const double attack = std::max(1.0, 0.002 * sample_rate);
    for (std::size_t i = 0; i < n; ++i) {
      const double t = static_cast<double>(i) / sample_rate;
      const double w = 2 * std::numbers::pi * note.freq_hz * t;
      // A weak inharmonic partial is what makes it a bell and not a beep.
      const double v = (std::sin(w) + 0.3 * std::sin(2.76 * w)) / 1.3;
      const double env = std::min(1.0, (static_cast<double>(i) + 1) / attack) * std::exp(-decay * t);
      out.push_back(to_sample(amplitude * env * v));
    }
  }
  return out;
}

}  // namespace art
