// The streaming player step by step, on the substitute device with the clock and the timer
// stepped by the test: the exact numbers of the player's documented cases, and each failure path.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "tests/sound/player_support.h"

namespace {

using namespace soundtest;
using testing::ElementsAre;

// 22050 frames of 2 bytes a second: the play position after t ms of playing, in bytes.
uint32_t bytes_at_ms(uint32_t ms) { return static_cast<uint32_t>(uint64_t{ms} * 22050 / 1000) * 2; }

TEST_F(Player, OneSecondOfSixteenBitMonoAt22050) {
  const Bytes samples = write_sound(folder_, "one.wav", 1, 22050, 16, 44100);
  ASSERT_EQ(sound::sound_play("one.wav"), 1);
  expect_held(1);
  EXPECT_STREQ(view().path, "sound\\one.wav");
  EXPECT_EQ(view().buffer_size, 52920u);
  const hooks::SoundBufferState st = buffer_state();
  EXPECT_EQ(st.size, 52920u);
  EXPECT_EQ(st.flags, 0xE0u);
  EXPECT_TRUE(st.playing);
  EXPECT_TRUE(st.looping);
  const Bytes first = contents();
  EXPECT_TRUE(std::equal(samples.begin(), samples.end(), first.begin()))
      << "the first fill reads all 44100 bytes";
  EXPECT_TRUE(all_silence(first, 44100, 52920, 16)) << "then 8820 zero bytes";
  EXPECT_TRUE(view().end_reached);
  EXPECT_EQ(view().tail_count, 44100u);
  EXPECT_EQ(sound::sound_is_finished(), 0);

  // The tail reaches 0 at the first tick at which the play position has travelled 44100 bytes or
  // more: at 1000 ms exactly. finished rises at the next tick.
  for (uint32_t ms = 50; ms <= 950; ms += 50) {
    tick();
    ASSERT_EQ(view().last_position, bytes_at_ms(ms)) << ms;
    ASSERT_EQ(view().tail_count, 44100u - bytes_at_ms(ms)) << ms;
    ASSERT_EQ(sound::sound_is_finished(), 0) << ms;
  }
  tick();  // 1000 ms
  EXPECT_EQ(bytes_at_ms(1000), 44100u);
  EXPECT_EQ(view().tail_count, 0u);
  EXPECT_EQ(sound::sound_is_finished(), 0);
  tick();  // 1050 ms
  EXPECT_EQ(sound::sound_is_finished(), 1);
  EXPECT_TRUE(all_silence(contents(), 0, 52920, 16))
      << "the draining ticks wrote silence behind the play position";

  // The gauge's poll: stop and unload.
  sound::sound_stop(1);
  EXPECT_FALSE(view().loaded);
  EXPECT_EQ(view().buffer, nullptr);
  expect_held(0);
}

TEST_F(Player, EightBitSoundsArePaddedWith0x80) {
  const Bytes samples = write_sound(folder_, "eight.wav", 1, 11025, 8, 5000);
  ASSERT_EQ(sound::sound_play("eight.wav"), 1);
  EXPECT_EQ(view().buffer_size, 13230u);
  const Bytes first = contents();
  EXPECT_TRUE(std::equal(samples.begin(), samples.end(), first.begin()));
  EXPECT_TRUE(all_silence(first, 5000, 13230, 8));
  EXPECT_EQ(first[5000], 0x80);
  // And the draining ticks write 0x80 as well.
  for (int i = 0; i < 30; ++i) tick();
  EXPECT_EQ(sound::sound_is_finished(), 1);
  EXPECT_TRUE(all_silence(contents(), 0, 13230, 8));
}

// 2 s of sound (88200 bytes) through a 52920-byte buffer. The tick that meets the end counts the
// tail to the end of the samples: the buffer size, less that tick's played bytes, plus the sample
// bytes that tick wrote.
TEST_F(Player, ASoundLongerThanTheBufferStreamsThroughIt) {
  const Bytes samples = write_sound(folder_, "long.wav", 1, 22050, 16, 88200);
  ASSERT_EQ(sound::sound_play("long.wav"), 1);
  EXPECT_FALSE(view().end_reached);
  EXPECT_TRUE(std::equal(samples.begin(), samples.begin() + 52920, contents().begin()));
  uint32_t read = 52920;  // sample bytes in the buffer so far
  int ticks = 0;
  while (!view().end_reached) {
    const uint32_t last = view().last_position;
    tick();
    ASSERT_LT(++ticks, 100);
    const uint32_t now = view().last_position;
    const uint32_t played = (now + 52920 - last) % 52920;
    const uint32_t written = std::min(played, 88200 - read);
    if (!view().end_reached) {
      // The region just played now holds the next samples.
      const Bytes c = contents();
      for (uint32_t i = 0; i < played; ++i) {
        ASSERT_EQ(c[(last + i) % 52920], samples[read + i]) << "byte " << read + i;
      }
    } else {
      EXPECT_EQ(view().tail_count, 52920 - played + written);
      const Bytes c = contents();
      for (uint32_t i = 0; i < written; ++i) ASSERT_EQ(c[(last + i) % 52920], samples[read + i]);
      for (uint32_t i = written; i < played; ++i)
        ASSERT_EQ(c[(last + i) % 52920], 0) << "silence after the end";
    }
    read += written;
  }
  EXPECT_EQ(read, 88200u);
  while (!sound::sound_is_finished()) {
    tick();
    ASSERT_LT(++ticks, 200);
  }
  const uint32_t serial = buffer_state().serial;
  sound::sound_stop(1);
  // All of it, then silence: the device played the file through.
  const Bytes played = hooks::sound_played_bytes(serial);
  ASSERT_GE(played.size(), samples.size());
  EXPECT_TRUE(std::equal(samples.begin(), samples.end(), played.begin()));
  EXPECT_TRUE(all_silence(played, samples.size(), played.size(), 16));
}

TEST_F(Player, TheSameNameStartsAgainFromTheFirstSampleAndKeepsOneLoad) {
  const Bytes samples = write_sound(folder_, "again.wav", 1, 22050, 16, 88200);
  ASSERT_EQ(sound::sound_play("again.wav"), 1);
  const uint32_t first = buffer_state().serial;
  for (int i = 0; i < 5; ++i) tick();
  EXPECT_NE(view().last_position, 0u);
  ASSERT_EQ(sound::sound_play("again.wav"), 1);
  expect_held(1);  // one file, one format record, one buffer, one timer: nothing of the first load
  EXPECT_THAT(hooks::live_sound_buffers(), ElementsAre(view().buffer));
  EXPECT_NE(buffer_state().serial, first) << "released, and made anew";
  EXPECT_EQ(view().last_position, 0u);
  EXPECT_EQ(buffer_state().play_position, 0u);
  EXPECT_TRUE(std::equal(samples.begin(), samples.begin() + 52920, contents().begin()));
  EXPECT_EQ(sound::sound_is_finished(), 0);
  tick();
  EXPECT_EQ(view().last_position, bytes_at_ms(50));
}

TEST_F(Player, AnotherNameStopsTheFirstAtOnce) {
  write_sound(folder_, "a.wav", 1, 22050, 16, 88200, 1);
  const Bytes b = write_sound(folder_, "b.wav", 2, 22050, 16, 20000, 2);
  ASSERT_EQ(sound::sound_play("a.wav"), 1);
  const uint32_t a_serial = buffer_state().serial;
  for (int i = 0; i < 3; ++i) tick();
  ASSERT_EQ(sound::sound_play("b.wav"), 1);
  expect_held(1);
  EXPECT_EQ(buffer_state().channels, 2);
  EXPECT_EQ(view().buffer_size, 105840u);
  EXPECT_TRUE(std::equal(b.begin(), b.end(), contents().begin()));
  hooks::advance_clock_ms(500);
  EXPECT_EQ(hooks::sound_played_bytes(a_serial).size(), bytes_at_ms(150))
      << "a played nothing after b's request";
}

TEST_F(Player, PlayBeforeOpenDoesNothing) {
  write_sound(folder_, "x.wav", 1, 22050, 16, 1000);
  sound::sound_close();
  EXPECT_EQ(sound::sound_play("x.wav"), 0);
  expect_held(0);
  hooks::fail(Call::DirectSoundCreate);
  EXPECT_EQ(sound::sound_open(), 0);
  EXPECT_EQ(sound::sound_play("x.wav"), 0);
  expect_held(0);
  EXPECT_ADDED(base_, Resource::SoundDevice, 0);
  // A device whose cooperative level cannot be set stays, and is given back by close.
  hooks::fail(Call::SetCooperativeLevel);
  EXPECT_EQ(sound::sound_open(), 0);
  EXPECT_ADDED(base_, Resource::SoundDevice, 1);
  sound::sound_close();
  EXPECT_ADDED(base_, Resource::SoundDevice, 0);
  ASSERT_EQ(sound::sound_open(), 1);
}

TEST_F(Player, AFileThatCannotBePlayedLeavesNothingLoaded) {
  write_sound(folder_, "good.wav", 1, 22050, 16, 1000);
  const wavtest::Bytes data = wavtest::chunk("data", wavtest::samples(1000));
  struct Row {
    const char* name;
    wavtest::Bytes file;
  };
  wavtest::Bytes block_off = wavtest::format_block(1, 1, 22050, 16);
  block_off[12] = 3;  // block alignment 3 for 1 channel of 16 bits
  const Row rows[] = {
      {"not RIFF", wavtest::riff("AVI ", wavtest::cat({wavtest::pcm_fmt(1, 22050, 16), data}))},
      {"not PCM",
       wavtest::wave({wavtest::chunk("fmt ", wavtest::format_with_extra(2, 1, 22050, 4, 0, {})), data})},
      {"no data chunk", wavtest::wave({wavtest::pcm_fmt(1, 22050, 16)})},
      // 40 million bytes a second: times 120 is past 32 bits.
      {"average rate overflowing the buffer size", wavtest::wave({wavtest::pcm_fmt(1, 40000000, 8), data})},
      // 35791394 x 120 fits 32 bits; the device refuses the rate.
      {"a rate the device refuses", wavtest::wave({wavtest::pcm_fmt(1, 35791394, 8), data})},
      {"block alignment the device refuses", wavtest::wave({wavtest::chunk("fmt ", block_off), data})},
      {"zero channels", wavtest::wave({wavtest::pcm_fmt(0, 22050, 16), data})},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    folder_.write("sound/bad.wav", r.file);
    ASSERT_EQ(sound::sound_play("good.wav"), 1);
    EXPECT_EQ(sound::sound_is_finished(), 0);
    EXPECT_EQ(sound::sound_play("bad.wav"), 0);
    EXPECT_FALSE(view().loaded);
    EXPECT_STREQ(view().current_name, "bad.wav");
    EXPECT_EQ(sound::sound_is_finished(), 1) << "raised by the stop of the loaded sound";
    expect_held(0);
  }
  EXPECT_EQ(sound::sound_play("missing.wav"), 0);
  EXPECT_EQ(sound::sound_is_finished(), 1) << "keeps the value it had";
  expect_held(0);
}

TEST_F(Player, StopWithOneWhenNothingIsLoadedOnlySetsFinished) {
  write_sound(folder_, "x.wav", 1, 22050, 16, 1000);
  ASSERT_EQ(sound::sound_play("x.wav"), 1);
  sound::sound_stop(1);
  write_sound(folder_, "y.wav", 1, 22050, 16, 100000);
  ASSERT_EQ(sound::sound_play("y.wav"), 1);
  sound::sound_stop(1);
  hooks::start_call_log();
  sound::sound_stop(1);
  EXPECT_THAT(hooks::call_log(), testing::IsEmpty());
  EXPECT_EQ(sound::sound_is_finished(), 1);
  expect_held(0);
}

TEST_F(Player, StopWithZeroRewindsAndKeepsTheSoundLoaded) {
  const Bytes samples = write_sound(folder_, "r.wav", 1, 22050, 16, 88200);
  ASSERT_EQ(sound::sound_play("r.wav"), 1);
  for (int i = 0; i < 30; ++i) tick();
  sound::sound_stop(0);
  EXPECT_TRUE(view().loaded);
  EXPECT_FALSE(view().playing);
  EXPECT_FALSE(view().timer_running);
  EXPECT_EQ(sound::sound_is_finished(), 0) << "the rewind starts it afresh";
  EXPECT_EQ(view().last_position, 0u);
  EXPECT_TRUE(std::equal(samples.begin(), samples.begin() + 52920, contents().begin()));
  EXPECT_ADDED(base_, Resource::Timer, 0);
  EXPECT_ADDED(base_, Resource::TimerPeriod, 0);
  sound::internal::sound_start();
  EXPECT_TRUE(buffer_state().playing);
  EXPECT_EQ(buffer_state().play_position, 0u);
  expect_held(1);
}

TEST_F(Player, CloseWhilePlayingEndsTheTimerAndTheBufferBeforeTheDevice) {
  write_sound(folder_, "c.wav", 1, 22050, 16, 88200);
  ASSERT_EQ(sound::sound_play("c.wav"), 1);
  tick();
  const int64_t orphans = hooks::sound_buffers_released_with_device();
  hooks::start_call_log();
  sound::sound_close();
  EXPECT_THAT(hooks::call_log(),
              ElementsAre(Call::timeKillEvent, Call::timeEndPeriod, Call::Stop, Call::mmioClose,
                          Call::IDirectSoundBuffer_Release, Call::IDirectSound_Release));
  EXPECT_EQ(hooks::sound_buffers_released_with_device(), orphans);
  expect_held(0);
  EXPECT_ADDED(base_, Resource::SoundDevice, 0);
  EXPECT_EQ(hooks::fire_timers(), 0) << "no timer left to fire";
}

TEST_F(Player, WithoutATimerResolutionTheBufferStopsAgainAndTheSoundStaysLoaded) {
  write_sound(folder_, "t.wav", 1, 22050, 16, 4410);
  hooks::fail(Call::timeBeginPeriod);
  hooks::start_call_log();
  ASSERT_EQ(sound::sound_play("t.wav"), 1);
  const std::vector<Call> log = hooks::call_log();
  ASSERT_GE(log.size(), 4u);
  EXPECT_THAT(std::vector<Call>(log.end() - 4, log.end()),
              ElementsAre(Call::SetCurrentPosition, Call::Play, Call::timeBeginPeriod, Call::Stop));
  EXPECT_TRUE(view().loaded);
  EXPECT_FALSE(view().playing);
  EXPECT_FALSE(view().timer_running);
  EXPECT_FALSE(buffer_state().playing);
  hooks::run_clock_ms(3000);
  EXPECT_EQ(sound::sound_is_finished(), 0) << "finished stays clear";
  EXPECT_ADDED(base_, Resource::Timer, 0);
  EXPECT_ADDED(base_, Resource::TimerPeriod, 0);
  EXPECT_ADDED(base_, Resource::SoundBuffer, 1);
}

TEST_F(Player, WithoutATimerTheBufferLoopsUnrefilledAndFinishedNeverRises) {
  const Bytes samples = write_sound(folder_, "t.wav", 1, 22050, 16, 88200);
  hooks::fail(Call::timeSetEvent);
  ASSERT_EQ(sound::sound_play("t.wav"), 1);
  EXPECT_TRUE(view().playing);
  EXPECT_FALSE(view().timer_running);
  EXPECT_ADDED(base_, Resource::TimerPeriod, 0) << "the resolution is given back";
  const Bytes first = contents();
  hooks::run_clock_ms(3000);
  EXPECT_EQ(sound::sound_is_finished(), 0);
  EXPECT_TRUE(buffer_state().playing);
  const Bytes played = hooks::sound_played_bytes(buffer_state().serial);
  ASSERT_EQ(played.size(), bytes_at_ms(3000));
  for (std::size_t i = 0; i < played.size(); ++i) ASSERT_EQ(played[i], first[i % 52920]) << i;
}

TEST_F(Player, AFailingLockEndsItsTickAndTheNextCoversTheLargerRegion) {
  // Streaming: the region of the failed tick is refilled by the next one.
  const Bytes samples = write_sound(folder_, "s.wav", 1, 22050, 16, 88200);
  ASSERT_EQ(sound::sound_play("s.wav"), 1);
  hooks::fail(Call::Lock);
  tick();
  EXPECT_EQ(view().last_position, 0u) << "unchanged";
  tick();
  EXPECT_EQ(view().last_position, bytes_at_ms(100));
  const Bytes c = contents();
  EXPECT_TRUE(std::equal(c.begin(), c.begin() + bytes_at_ms(100), samples.begin() + 52920));
  sound::sound_stop(1);

  // Draining: the failed tick's bytes are counted once, by the tick that writes them.
  write_sound(folder_, "one.wav", 1, 22050, 16, 44100);
  ASSERT_EQ(sound::sound_play("one.wav"), 1);
  hooks::fail(Call::Lock);
  tick();
  EXPECT_EQ(view().last_position, 0u);
  EXPECT_EQ(view().tail_count, 44100u);
  tick();
  EXPECT_EQ(view().last_position, bytes_at_ms(100));
  EXPECT_EQ(view().tail_count, 44100u - bytes_at_ms(100));
  int ticks = 2;
  while (!sound::sound_is_finished()) {
    tick();
    ASSERT_LE(++ticks, 21) << "finished at 1050 ms, as without the failure";
  }
  EXPECT_EQ(ticks, 21);
}

TEST_F(Player, AGaugeThatPollsUnloadsTheSoundOnceItHasPlayed) {
  // The autopilot's update: poll, and stop with 1 once finished while its flag is set.
  write_sound(folder_, "-apdisco.wav", 1, 22050, 16, 11025);
  int started = sound::sound_play("-apdisco.wav");
  ASSERT_EQ(started, 1);
  int frames = 0;
  while (started) {
    hooks::run_clock_ms(55);  // a frame of the host
    if (sound::sound_is_finished() && started) {
      sound::sound_stop(1);
      started = 0;
    }
    ASSERT_LT(++frames, 100);
  }
  expect_held(0);
  EXPECT_GE(frames * 55, 250);
}

}  // namespace
