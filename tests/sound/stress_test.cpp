// The player under its two threads for real: the timer's own thread ticking every 50 ms on real
// time, and this thread as the gauge's, playing, replaying, stopping and polling thousands of times
// in a random order. Run in the native-tsan build, this is the proof that the busy word and the
// atomics leave no data race; in every build, that nothing is left behind.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "platform/timer.h"
#include "tests/sound/player_support.h"

namespace {

using namespace soundtest;

TEST(PlayerStress, PlayReplayStopAndPollAgainstTheRealTimerThread) {
  if (!hooks::kHooks) GTEST_SKIP() << "counts the substitute's resources";
  testsupport::CurrentFolder folder("sound_stress");
  write_sound(folder, "short.wav", 1, 22050, 16, 4410, 1);   // 0.1 s: finishes within the test
  write_sound(folder, "long.wav", 2, 44100, 16, 264600, 2);  // 1.5 s: streams through the buffer
  write_sound(folder, "eight.wav", 1, 11025, 8, 3000, 3);
  hooks::set_sound_recording(false);
  const auto base = hooks::LiveCounts::now();
  const int64_t ticks_before = hooks::calls(Call::GetCurrentPosition);
  ASSERT_EQ(sound::sound_open(), 1);

  const char* const names[] = {"short.wav", "long.wav", "eight.wav"};
  std::mt19937 g(20240611);
  int started = 0;  // the gauge's flag, as the autopilot keeps it
  int finished_seen = 0;
  auto random_op = [&](int op) {
    if (op < 35) {
      started = sound::sound_play(names[std::uniform_int_distribution<int>(0, 2)(g)]);
      EXPECT_EQ(started, 1);
    } else if (op < 45) {
      if (started) sound::sound_stop(0);
    } else if (op < 55) {
      sound::sound_stop(1);
      started = 0;
    }
  };
  auto poll = [&] {  // the sound poll of every update
    if (sound::sound_is_finished() && started) {
      sound::sound_stop(1);
      started = 0;
      ++finished_seen;
    }
  };
  constexpr int kCycles = 3000;
  for (int cycle = 0; cycle < kCycles; ++cycle) {
    random_op(std::uniform_int_distribution<int>(0, 99)(g));
    poll();
    if (cycle % 60 == 0) {
      // A stretch of 1 ms frames, so that ticks run while a sound plays, drains and finishes, with
      // now and then a request in the middle of it.
      started = sound::sound_play(names[cycle % 3]);
      const int frames = std::uniform_int_distribution<int>(100, 300)(g);
      for (int frame = 0; frame < frames; ++frame) {
        platform::sleep_ms(1);
        if (std::uniform_int_distribution<int>(0, 999)(g) < 5)
          random_op(std::uniform_int_distribution<int>(0, 54)(g));
        poll();
      }
    } else {
      platform::sleep_ms(std::uniform_int_distribution<uint32_t>(0, 1)(g));
    }
  }
  sound::sound_close();
  hooks::set_sound_recording(true);
  for (Resource r : {Resource::RiffFile, Resource::GlobalMemory, Resource::SoundBuffer, Resource::SoundDevice,
                     Resource::Timer, Resource::TimerPeriod}) {
    EXPECT_ADDED(base, r, 0);
  }
  const int64_t ticks = hooks::calls(Call::GetCurrentPosition) - ticks_before;
  std::printf("[ stress ] %d cycles, %lld ticks, %d sounds played out\n", kCycles,
              static_cast<long long>(ticks), finished_seen);
  EXPECT_GT(ticks, 100) << "ticks ran";
  EXPECT_GT(finished_seen, 5) << "sounds played out";
}

}  // namespace
