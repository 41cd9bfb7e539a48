#pragma once
// What the player's tests share: a current folder with a "sound" folder of wave files, the player
// opened on the substitute device with the clock and timer stepped by the test, and the check that
// nothing is left behind.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "sound/player.h"
#include "sound/player_internal.h"
#include "sound/silence.h"
#include "tests/support/platform_hooks.h"
#include "tests/support/temp_folder.h"
#include "tests/wave/wav_builder.h"

namespace soundtest {

using hooks::Call;
using hooks::Resource;
using wavtest::Bytes;

// Writes sound/<name> with the given samples; returns them.
inline Bytes write_sound(const testsupport::TempFolder& folder, const std::string& name, uint16_t channels,
                         uint32_t rate, uint16_t bits, const Bytes& samples) {
  folder.write("sound/" + name,
               wavtest::wave({wavtest::pcm_fmt(channels, rate, bits), wavtest::chunk("data", samples)}));
  return samples;
}

inline Bytes write_sound(const testsupport::TempFolder& folder, const std::string& name, uint16_t channels,
                         uint32_t rate, uint16_t bits, std::size_t bytes, uint32_t seed = 1) {
  return write_sound(folder, name, channels, rate, bits, wavtest::samples(bytes, seed));
}

// How many of bytes, from the start, equal the silence of that width.
inline bool all_silence(const Bytes& bytes, std::size_t from, std::size_t to, uint16_t bits) {
  for (std::size_t i = from; i < to; ++i)
    if (bytes[i] != sound::silence_byte(bits)) return false;
  return true;
}

// The player on the substitute device, stepped by the test; everything given back at the end.
class Player : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!hooks::kHooks) GTEST_SKIP() << "needs the substitute device and a stepped timer";
    ASSERT_TRUE(clock_.ok());
    base_ = hooks::LiveCounts::now();
    ASSERT_EQ(sound::sound_open(), 1);
  }
  void TearDown() override {
    if (!hooks::kHooks) return;
    hooks::clear_failures();
    hooks::stop_call_log();
    sound::sound_close();
    for (Resource r : {Resource::RiffFile, Resource::GlobalMemory, Resource::SoundBuffer,
                       Resource::SoundDevice, Resource::Timer, Resource::TimerPeriod}) {
      EXPECT_ADDED(base_, r, 0);
    }
  }

  static sound::internal::PlayerView view() { return sound::internal::view(); }
  static Bytes contents() { return hooks::sound_buffer_contents(view().buffer); }
  static hooks::SoundBufferState buffer_state() {
    hooks::SoundBufferState s{};
    EXPECT_TRUE(hooks::sound_buffer_state(view().buffer, &s));
    return s;
  }
  // One timer period of 50 ms on the clock, with the tick at its end.
  static void tick() { hooks::run_clock_ms(50); }
  // The files, format records, buffers, timers and resolutions held beyond the fixture's own.
  void expect_held(int64_t n) const {
    EXPECT_ADDED(base_, Resource::RiffFile, n);
    EXPECT_ADDED(base_, Resource::GlobalMemory, n);
    EXPECT_ADDED(base_, Resource::SoundBuffer, n);
    EXPECT_ADDED(base_, Resource::Timer, n);
    EXPECT_ADDED(base_, Resource::TimerPeriod, n);
  }

  testsupport::CurrentFolder folder_{"sound"};
  hooks::ManualClock clock_;
  hooks::LiveCounts base_;
};

}  // namespace soundtest
