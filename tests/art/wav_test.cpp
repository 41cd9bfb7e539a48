#include "wav.h"
#include "ink.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using art_test::Bytes;
using art_test::le;

std::string tag(const Bytes& b, std::size_t at) {
  return std::string(b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(at) + 4);
}

TEST(Wav, HeaderAndSamplesRoundTrip) {
  const std::vector<std::int16_t> samples = {0, 1, -1, 32767, -32768, 0x0a0d, 1234};
  const Bytes b = art::encode_wav(samples, 22050);
  ASSERT_EQ(b.size(), 44u + 2 * samples.size());
  EXPECT_EQ(tag(b, 0), "RIFF");
  EXPECT_EQ(le(b, 4, 4), b.size() - 8);
  EXPECT_EQ(tag(b, 8), "WAVE");
  EXPECT_EQ(tag(b, 12), "fmt ");
  EXPECT_EQ(le(b, 16, 4), 16u);
  EXPECT_EQ(le(b, 20, 2), 1u);  // PCM
  EXPECT_EQ(le(b, 22, 2), 1u);  // mono
  EXPECT_EQ(le(b, 24, 4), 22050u);
  EXPECT_EQ(le(b, 28, 4), 44100u);
  EXPECT_EQ(le(b, 32, 2), 2u);
  EXPECT_EQ(le(b, 34, 2), 16u);
  EXPECT_EQ(tag(b, 36), "data");
  EXPECT_EQ(le(b, 40, 4), 2 * samples.size());
  for (std::size_t i = 0; i < samples.size(); ++i)
    EXPECT_EQ(static_cast<std::int16_t>(le(b, 44 + 2 * i, 2)), samples[i]) << i;
}

int sign_changes(const std::vector<std::int16_t>& s) {
  int n = 0;
  for (std::size_t i = 1; i < s.size(); ++i) n += (s[i - 1] < 0) != (s[i] < 0) ? 1 : 0;
  return n;
}

TEST(Wav, ToneHasItsPitchLengthAndLevel) {
  const std::vector<std::int16_t> t = art::tone(440.0, 0.5, 8000, 0.5);
  ASSERT_EQ(t.size(), 4000u);
  EXPECT_NEAR(sign_changes(t), 2 * 440 * 0.5, 3);
  int peak = 0;
  for (std::int16_t s : t) peak = std::max(peak, std::abs(static_cast<int>(s)));
  EXPECT_NEAR(peak, 16384, 200);
  EXPECT_LT(std::abs(static_cast<int>(t.front())), 1000);  // ramped, no click
  EXPECT_LT(std::abs(static_cast<int>(t.back())), 1000);
}

TEST(Wav, ChimeNotesFollowEachOtherAndRingDown) {
  const art::Note notes[] = {{660.0, 0.4}, {550.0, 0.6}};
  const std::vector<std::int16_t> c = art::chime(notes, 8000, 0.8);
  ASSERT_EQ(c.size(), 8000u);
  auto energy = [&c](std::size_t from, std::size_t to) {
    double e = 0;
    for (std::size_t i = from; i < to; ++i) e += static_cast<double>(c[i]) * c[i];
    return e;
  };
  EXPECT_GT(energy(0, 400), 50 * energy(2800, 3200));      // first note rings down
  EXPECT_GT(energy(3200, 3600), 50 * energy(2800, 3200));  // second one is struck afresh
  EXPECT_GT(energy(3200, 3600), 50 * energy(7600, 8000));
  for (std::int16_t s : c) EXPECT_LE(std::abs(static_cast<int>(s)), 0.8 * 32767 + 1);
}

}  // namespace

#include "sounds.h"

namespace {

TEST(CockpitSounds, AreDistinctAudiblePcmFilesUnderSound) {
  std::vector<std::vector<std::int16_t>> seen;
  for (const art::SoundDef& s : art::cockpit_sounds()) {
    EXPECT_EQ(s.path.substr(0, 6), "Sound/") << s.path;
    EXPECT_EQ(s.path.substr(s.path.size() - 4), ".wav") << s.path;
    const std::vector<std::int16_t> samples = s.make();
    ASSERT_GT(samples.size(), size_t(art::kSoundRate) / 2) << s.path << " is too short to hear";
    int peak = 0;
    for (std::int16_t v : samples) peak = std::max(peak, std::abs(int(v)));
    EXPECT_GT(peak, 8000) << s.path;
    for (const auto& other : seen) EXPECT_NE(samples, other) << s.path << " repeats another sound";
    seen.push_back(samples);
  }
}

}  // namespace
