// Audio integrity: whatever the timing of the ticks, what the device plays from the start of a sound
// until the gauge's poll stops it is exactly the file's samples, then silence. Nothing lost, nothing
// repeated, nothing stale.
//
// The ticks come on time, late by random amounts up to 1 s, or with whole periods skipped; the
// gauge polls right after every tick, the earliest it could see finished. Each case reports the
// least silence played after the last sample before the stop, over its runs (negative would be
// samples never played).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <random>
#include <string>

#include "tests/sound/player_support.h"

namespace {

using namespace soundtest;

struct SoundCase {
  const char* name;
  uint16_t channels;
  uint32_t rate;
  uint16_t bits;
  uint32_t bytes;
};

struct Timing {
  const char* name;
  std::function<uint64_t(std::mt19937&)> next_tick_us;  // time from one tick to the next
};

const SoundCase kSounds[] = {
    {"0.5 s, 16-bit mono 22050 (shorter than the buffer)", 1, 22050, 16, 22050},
    {"1 s, 8-bit mono 11025 (shorter)", 1, 11025, 8, 11025},
    {"3.3 s, 16-bit stereo 44100 (longer than the buffer)", 2, 44100, 16, 582120},
    {"2.5 s, 8-bit stereo 22050 (longer), odd length", 2, 22050, 8, 110251},
};

const Timing kTimings[] = {
    {"on time", [](std::mt19937&) { return uint64_t{50000}; }},
    {"late by up to 1 s",
     [](std::mt19937& g) {
       return uint64_t{50000} + std::uniform_int_distribution<uint64_t>(0, 1000000)(g);
     }},
    {"skipped periods",
     [](std::mt19937& g) { return uint64_t{50000} * std::uniform_int_distribution<int>(1, 4)(g); }},
    {"any of them",
     [](std::mt19937& g) {
       switch (std::uniform_int_distribution<int>(0, 3)(g)) {
         case 0: return uint64_t{50000} + std::uniform_int_distribution<uint64_t>(0, 1000000)(g);
         case 1: return uint64_t{50000} * std::uniform_int_distribution<int>(2, 4)(g);
         default: return uint64_t{50000} + std::uniform_int_distribution<uint64_t>(0, 999)(g);
       }
     }},
};

class Integrity : public Player {};

TEST_F(Integrity, TheDevicePlaysTheSamplesThenSilenceWhateverTheTicksDo) {
  constexpr int kRuns = 12;
  for (const SoundCase& s : kSounds) {
    const Bytes samples = write_sound(folder_, "s.wav", s.channels, s.rate, s.bits, s.bytes, s.bytes);
    const double bytes_per_ms = s.rate * s.channels * s.bits / 8 / 1000.0;
    for (const Timing& t : kTimings) {
      SCOPED_TRACE(std::string(s.name) + ", ticks " + t.name);
      int64_t least_margin = INT64_MAX;
      for (int run = 0; run < kRuns; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        std::mt19937 g(static_cast<uint32_t>(run * 7919 + s.bytes));
        hooks::clear_sound_recording();
        ASSERT_EQ(sound::sound_play("s.wav"), 1);
        const uint32_t serial = buffer_state().serial;
        int ticks = 0;
        while (!sound::sound_is_finished()) {
          hooks::advance_clock_us(t.next_tick_us(g));
          hooks::fire_timers();
          ASSERT_LT(++ticks, 5000);
        }
        sound::sound_stop(1);  // the gauge's poll
        const Bytes played = hooks::sound_played_bytes(serial);
        const int64_t margin = static_cast<int64_t>(played.size()) - static_cast<int64_t>(samples.size());
        least_margin = std::min(least_margin, margin);
        ASSERT_GE(margin, 0) << "samples never played: " << -margin << " bytes";
        ASSERT_TRUE(std::equal(samples.begin(), samples.end(), played.begin())) << "the samples, in order";
        ASSERT_TRUE(all_silence(played, samples.size(), played.size(), s.bits)) << "then silence";
        expect_held(0);
      }
      std::printf("[ integrity ] %-52s ticks %-18s least silence after the samples: %lld bytes (%.1f ms)\n",
                  s.name, t.name, static_cast<long long>(least_margin),
                  static_cast<double>(least_margin) / bytes_per_ms);
    }
  }
}

}  // namespace
