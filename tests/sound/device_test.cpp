// The substitute sound device and timer (Linux): what it accepts and refuses as DirectSound does,
// how its buffers play by the clock a test drives, what it records and mixes, its counters and
// injected failures, and the timer in both modes. The Windows build has the real calls here; these
// tests need the substitute and skip there.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <numeric>
#include <thread>
#include <vector>

#include "platform/sound_device.h"
#include "platform/timer.h"
#include "tests/support/platform_hooks.h"

namespace {

using namespace platform;
using hooks::Call;
using hooks::Resource;

#pragma pack(push, 1)
struct Format {
  uint16_t tag, channels;
  uint32_t rate, average;
  uint16_t block, bits, extra;
};
#pragma pack(pop)

constexpr Format pcm(uint16_t channels, uint32_t rate, uint16_t bits) {
  const auto block = static_cast<uint16_t>(channels * bits / 8);
  return {1, channels, rate, rate * block, block, bits, 0};
}

class Device : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!hooks::kHooks) GTEST_SKIP() << "the substitute device";
    ASSERT_TRUE(clock_.ok());
    base_ = hooks::LiveCounts::now();
    ASSERT_EQ(sound_create(&device_), kSoundOk);
    ASSERT_EQ(sound_set_cooperative_level(device_, active_window(), kCooperativeNormal), kSoundOk);
  }
  void TearDown() override {
    if (!hooks::kHooks) return;
    hooks::clear_failures();
    if (device_) sound_release(device_);
    EXPECT_ADDED(base_, Resource::SoundDevice, 0);
    EXPECT_ADDED(base_, Resource::SoundBuffer, 0);
  }

  SoundResult make(const Format& f, uint32_t bytes, SoundBuffer** b, uint32_t desc_size = 20) {
    SoundBufferDesc desc{desc_size, kBufferCtrlFrequency | kBufferCtrlPan | kBufferCtrlVolume, bytes, 0, &f};
    return sound_create_buffer(device_, &desc, b);
  }
  // A buffer of n bytes holding 0, 1, 2, ... (mod 251).
  SoundBuffer* counting(const Format& f, uint32_t n) {
    SoundBuffer* b = nullptr;
    EXPECT_EQ(make(f, n, &b), kSoundOk);
    void *p1, *p2;
    uint32_t l1, l2;
    EXPECT_EQ(buffer_lock(b, 0, n, &p1, &l1, &p2, &l2, 0), kSoundOk);
    for (uint32_t i = 0; i < l1; ++i) static_cast<uint8_t*>(p1)[i] = static_cast<uint8_t>(i % 251);
    EXPECT_EQ(buffer_unlock(b, p1, l1, p2, l2), kSoundOk);
    return b;
  }
  uint32_t position(SoundBuffer* b) {
    uint32_t play = 0xFFFFFFFF;
    EXPECT_EQ(buffer_get_current_position(b, &play, nullptr), kSoundOk);
    return play;
  }
  uint32_t status(SoundBuffer* b) {
    uint32_t s = 0xFFFFFFFF;
    EXPECT_EQ(buffer_get_status(b, &s), kSoundOk);
    return s;
  }
  static uint32_t serial(SoundBuffer* b) {
    hooks::SoundBufferState st{};
    EXPECT_TRUE(hooks::sound_buffer_state(b, &st));
    return st.serial;
  }

  hooks::ManualClock clock_;
  hooks::LiveCounts base_;
  SoundDevice* device_ = nullptr;
};

TEST_F(Device, RefusesWhatARealDeviceRefuses) {
  struct Row {
    const char* name;
    Format format;
    uint32_t bytes;
    uint32_t desc_size;
    SoundResult expected;
  };
  Format block_off = pcm(1, 22050, 16);
  block_off.block = 1;
  Format average_off = pcm(2, 44100, 16);
  average_off.average = 176401;
  Format no_channels = pcm(1, 22050, 16);
  no_channels.channels = 0;
  Format float_tag = pcm(1, 22050, 16);
  float_tag.tag = 3;
  const Row rows[] = {
      {"16-bit mono", pcm(1, 22050, 16), 52920, 20, kSoundOk},
      {"8-bit stereo", pcm(2, 11025, 8), 26460, 20, kSoundOk},
      {"DirectX 7 record size", pcm(1, 22050, 16), 52920, 36, kSoundOk},
      {"the smallest buffer", pcm(1, 22050, 16), 4, 20, kSoundOk},
      {"block alignment disagrees", block_off, 52920, 20, kSoundErrBadFormat},
      {"average rate disagrees", average_off, 211680, 20, kSoundErrBadFormat},
      {"zero channels", no_channels, 52920, 20, kSoundErrBadFormat},
      {"not PCM", float_tag, 52920, 20, kSoundErrBadFormat},
      {"12 bits", pcm(1, 22050, 12), 52920, 20, kSoundErrBadFormat},
      {"rate below 100", pcm(1, 50, 16), 120, 20, kSoundErrBadFormat},
      {"rate above 200000", pcm(1, 400000, 16), 960000, 20, kSoundErrBadFormat},
      {"buffer of 0 bytes", pcm(1, 22050, 16), 0, 20, kSoundErrInvalidParam},
      {"buffer of 3 bytes", pcm(1, 22050, 16), 3, 20, kSoundErrInvalidParam},
      {"buffer past DSBSIZE_MAX", pcm(1, 22050, 16), 0x10000000, 20, kSoundErrInvalidParam},
      {"record size 24", pcm(1, 22050, 16), 52920, 24, kSoundErrInvalidParam},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    SoundBuffer* b = reinterpret_cast<SoundBuffer*>(uintptr_t{1});
    EXPECT_EQ(make(r.format, r.bytes, &b, r.desc_size), r.expected);
    if (r.expected == kSoundOk) {
      ASSERT_NE(b, nullptr);
      EXPECT_ADDED(base_, Resource::SoundBuffer, 1);
      buffer_release(b);
    } else {
      EXPECT_EQ(b, nullptr);
    }
    EXPECT_ADDED(base_, Resource::SoundBuffer, 0);
  }
  SoundBufferDesc no_format{20, 0, 1000, 0, nullptr};
  SoundBuffer* b = nullptr;
  EXPECT_EQ(sound_create_buffer(device_, &no_format, &b), kSoundErrInvalidParam);
}

TEST_F(Device, CooperativeLevelWantsAWindow) {
  EXPECT_EQ(sound_set_cooperative_level(device_, nullptr, kCooperativeNormal), kSoundErrInvalidParam);
  EXPECT_NE(find_window("FS98MAIN"), nullptr);
  EXPECT_EQ(find_window("fs98main"), find_window("FS98MAIN")) << "class names ignore case";
  EXPECT_EQ(find_window("Other"), nullptr);
  hooks::set_host_window(false);
  EXPECT_EQ(active_window(), nullptr);
  EXPECT_EQ(find_window("FS98MAIN"), nullptr);
  hooks::set_host_window(true);
  EXPECT_EQ(active_window(), find_window("FS98MAIN"));
}

TEST_F(Device, NoDriverMeansNoDevice) {
  hooks::set_sound_device_present(false);
  SoundDevice* d = reinterpret_cast<SoundDevice*>(uintptr_t{1});
  EXPECT_EQ(sound_create(&d), kSoundErrNoDriver);
  EXPECT_EQ(d, nullptr);
  hooks::set_sound_device_present(true);
  EXPECT_ADDED(base_, Resource::SoundDevice, 1) << "the fixture's own";
}

TEST_F(Device, LockGivesTwoPartsWhenTheRegionWraps) {
  SoundBuffer* b = counting(pcm(1, 22050, 16), 1000);
  void *p1, *p2;
  uint32_t l1, l2;
  ASSERT_EQ(buffer_lock(b, 900, 300, &p1, &l1, &p2, &l2, 0), kSoundOk);
  const std::vector<uint8_t> bytes = hooks::sound_buffer_contents(b);
  EXPECT_EQ(l1, 100u);
  EXPECT_EQ(l2, 200u);
  EXPECT_EQ(*static_cast<uint8_t*>(p1), 900 % 251);
  EXPECT_EQ(*static_cast<uint8_t*>(p2), 0);
  hooks::SoundBufferState st{};
  ASSERT_TRUE(hooks::sound_buffer_state(b, &st));
  EXPECT_EQ(st.outstanding_locks, 1);
  ASSERT_EQ(buffer_unlock(b, p1, l1, p2, l2), kSoundOk);
  ASSERT_EQ(buffer_lock(b, 0, 1000, &p1, &l1, &p2, &l2, 0), kSoundOk);
  EXPECT_EQ(l1, 1000u);
  EXPECT_EQ(p2, nullptr);
  EXPECT_EQ(l2, 0u);
  ASSERT_EQ(buffer_unlock(b, p1, l1, p2, l2), kSoundOk);
  EXPECT_EQ(buffer_lock(b, 1000, 1, &p1, &l1, &p2, &l2, 0), kSoundErrInvalidParam) << "offset past the end";
  EXPECT_EQ(buffer_lock(b, 0, 1001, &p1, &l1, &p2, &l2, 0), kSoundErrInvalidParam) << "more than the buffer";
  EXPECT_EQ(buffer_lock(b, 0, 0, &p1, &l1, &p2, &l2, 0), kSoundErrInvalidParam);
  ASSERT_EQ(buffer_lock(b, 0, 0, &p1, &l1, &p2, &l2, kLockEntireBuffer), kSoundOk);
  EXPECT_EQ(l1, 1000u);
  ASSERT_EQ(buffer_unlock(b, p1, l1, p2, l2), kSoundOk);
  buffer_release(b);
}

// 22050 frames a second of 2 bytes: 50 ms is 1102.5 frames, so positions go 2204, 4410, ...
TEST_F(Device, ALoopingBufferPlaysByTheClockAndRecordsEveryByte) {
  SoundBuffer* b = counting(pcm(1, 22050, 16), 5000);
  EXPECT_EQ(status(b), 0u);
  ASSERT_EQ(buffer_set_current_position(b, 1001), kSoundOk);
  EXPECT_EQ(position(b), 1000u) << "a position is a whole frame";
  ASSERT_EQ(buffer_play(b, 0, 0, kPlayLooping), kSoundOk);
  EXPECT_EQ(status(b), kStatusPlaying | kStatusLooping);
  hooks::advance_clock_ms(50);
  EXPECT_EQ(position(b), 1000u + 2204u);
  hooks::advance_clock_ms(50);
  EXPECT_EQ(position(b), (1000u + 4410u) % 5000u);
  uint32_t play, write;
  ASSERT_EQ(buffer_get_current_position(b, &play, &write), kSoundOk);
  EXPECT_EQ(write, (play + 330 * 2) % 5000) << "the write cursor leads by 15 ms";
  ASSERT_EQ(buffer_stop(b), kSoundOk);
  hooks::advance_clock_ms(500);
  EXPECT_EQ(position(b), 410u) << "a stopped buffer holds its place";
  EXPECT_EQ(status(b), 0u);

  std::vector<uint8_t> expected;
  for (uint32_t i = 0; i < 4410; ++i) expected.push_back(static_cast<uint8_t>((1000 + i) % 5000 % 251));
  EXPECT_EQ(hooks::sound_played_bytes(serial(b)), expected);
  const std::vector<hooks::PlayedSegment> rec = hooks::sound_recording();
  ASSERT_EQ(rec.size(), 1u);
  EXPECT_EQ(rec[0].rate, 22050u);
  EXPECT_EQ(rec[0].bits, 16);
  buffer_release(b);
}

TEST_F(Device, APlayOnceStopsAtTheEndAndDropsThePlayingBit) {
  // 4410 bytes of 16-bit mono at 22050: 0.1 s, as the HSI switch click.
  SoundBuffer* b = counting(pcm(1, 22050, 16), 4410);
  ASSERT_EQ(buffer_play(b, 0, 0, 0), kSoundOk);
  EXPECT_EQ(status(b), kStatusPlaying);
  hooks::advance_clock_ms(99);
  EXPECT_EQ(status(b), kStatusPlaying);
  hooks::advance_clock_ms(1);
  EXPECT_EQ(status(b), 0u);
  EXPECT_EQ(position(b), 0u);
  hooks::advance_clock_ms(1000);
  const std::vector<uint8_t> played = hooks::sound_played_bytes(serial(b));
  EXPECT_EQ(played, hooks::sound_buffer_contents(b)) << "the whole buffer, once";
  buffer_release(b);
}

TEST_F(Device, ReleasingTheDeviceFreesItsBuffers) {
  const int64_t orphans = hooks::sound_buffers_released_with_device();
  SoundBuffer* b = counting(pcm(1, 22050, 16), 100);
  (void)b;
  EXPECT_ADDED(base_, Resource::SoundBuffer, 1);
  sound_release(device_);
  device_ = nullptr;
  EXPECT_ADDED(base_, Resource::SoundBuffer, 0);
  EXPECT_ADDED(base_, Resource::SoundDevice, 0);
  EXPECT_EQ(hooks::sound_buffers_released_with_device(), orphans + 1);
}

TEST_F(Device, EveryCallFailsOnRequest) {
  SoundBuffer* b = counting(pcm(1, 22050, 16), 100);
  void *p1, *p2;
  uint32_t l1, l2, v;
  const Format f = pcm(1, 22050, 16);
  SoundBufferDesc desc{20, 0, 100, 0, &f};
  SoundDevice* d = nullptr;
  SoundBuffer* other = nullptr;
  struct Row {
    Call call;
    std::function<bool()> fails;
  };
  const std::vector<Row> rows = {
      {Call::DirectSoundCreate, [&] { return sound_create(&d) != kSoundOk && !d; }},
      {Call::SetCooperativeLevel,
       [&] { return sound_set_cooperative_level(device_, active_window(), 1) != kSoundOk; }},
      {Call::CreateSoundBuffer,
       [&] { return sound_create_buffer(device_, &desc, &other) != kSoundOk && !other; }},
      {Call::Lock, [&] { return buffer_lock(b, 0, 10, &p1, &l1, &p2, &l2, 0) != kSoundOk; }},
      {Call::Unlock, [&] { return buffer_unlock(b, p1, 10, nullptr, 0) != kSoundOk; }},
      {Call::Play, [&] { return buffer_play(b, 0, 0, kPlayLooping) != kSoundOk; }},
      {Call::Stop, [&] { return buffer_stop(b) != kSoundOk; }},
      {Call::GetCurrentPosition, [&] { return buffer_get_current_position(b, &v, &v) != kSoundOk; }},
      {Call::SetCurrentPosition, [&] { return buffer_set_current_position(b, 0) != kSoundOk; }},
      {Call::GetStatus, [&] { return buffer_get_status(b, &v) != kSoundOk; }},
      {Call::GetActiveWindow, [&] { return active_window() == nullptr; }},
      {Call::FindWindowA, [&] { return find_window("FS98MAIN") == nullptr; }},
  };
  ASSERT_EQ(buffer_lock(b, 0, 10, &p1, &l1, &p2, &l2, 0), kSoundOk);
  for (const Row& r : rows) {
    SCOPED_TRACE(platform::name(r.call));
    const int64_t before = hooks::calls(r.call);
    ASSERT_TRUE(hooks::fail(r.call, 2));
    EXPECT_FALSE(r.fails()) << "the first call goes through";
    if (d) sound_release(d), d = nullptr;
    if (other) buffer_release(other), other = nullptr;
    EXPECT_TRUE(r.fails()) << "the second fails";
    EXPECT_FALSE(r.fails()) << "once";
    if (d) sound_release(d), d = nullptr;
    if (other) buffer_release(other), other = nullptr;
    EXPECT_EQ(hooks::calls(r.call), before + 3);
  }
  EXPECT_FALSE(hooks::fail(Call::IDirectSoundBuffer_Release)) << "a release cannot fail";
  buffer_release(b);
}

TEST_F(Device, TheMixPutsEachBufferAtItsTimeOnTheClock) {
  // Two 8-bit buffers of constant value, at 1000 frames a second: A plays 0.1 s from 0, B 0.1 s
  // from 0.05 s; the mix at 1000 Hz is A alone, then A + B, then B alone.
  Format f = pcm(1, 1000, 8);
  auto filled = [&](uint8_t value) {
    SoundBuffer* b = nullptr;
    EXPECT_EQ(make(f, 100, &b), kSoundOk);
    void *p1, *p2;
    uint32_t l1, l2;
    EXPECT_EQ(buffer_lock(b, 0, 100, &p1, &l1, &p2, &l2, 0), kSoundOk);
    std::memset(p1, value, l1);
    EXPECT_EQ(buffer_unlock(b, p1, l1, p2, l2), kSoundOk);
    return b;
  };
  SoundBuffer* a = filled(128 + 10);
  SoundBuffer* b = filled(128 + 20);
  hooks::clear_sound_recording();
  ASSERT_EQ(buffer_play(a, 0, 0, 0), kSoundOk);
  hooks::advance_clock_ms(50);
  ASSERT_EQ(buffer_play(b, 0, 0, 0), kSoundOk);
  hooks::advance_clock_ms(200);
  const std::vector<int16_t> mix = hooks::sound_mix(1000);
  ASSERT_GE(mix.size(), 150u);
  EXPECT_EQ(mix[10], 10 * 256);
  EXPECT_EQ(mix[49], 10 * 256);
  EXPECT_EQ(mix[50], 30 * 256);
  EXPECT_EQ(mix[99], 30 * 256);
  EXPECT_EQ(mix[100], 20 * 256);
  EXPECT_EQ(mix[149], 20 * 256);
  buffer_release(a);
  buffer_release(b);
}

// ---- the timer ----

std::atomic<int> g_ticks{0};
void count_tick(void* context) {
  g_ticks.fetch_add(1);
  if (context) static_cast<std::atomic<int64_t>*>(context)->store(hooks::kHooks ? 1 : 0);
}

class Timer : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!hooks::kHooks) GTEST_SKIP() << "the substitute timer";
    base_ = hooks::LiveCounts::now();
    g_ticks = 0;
  }
  void TearDown() override {
    if (!hooks::kHooks) return;
    hooks::clear_failures();
    EXPECT_ADDED(base_, Resource::Timer, 0);
    EXPECT_ADDED(base_, Resource::TimerPeriod, 0);
  }
  hooks::LiveCounts base_;
};

TEST_F(Timer, SteppedTimersFireOnlyWhenTheTestSaysSo) {
  hooks::ManualClock clock;
  ASSERT_TRUE(clock.ok());
  ASSERT_EQ(timer_begin_period(50), kTimerNoError);
  EXPECT_ADDED(base_, Resource::TimerPeriod, 1);
  const uint32_t id = timer_set_event(50, 10, count_tick, nullptr, kTimerPeriodic);
  ASSERT_NE(id, 0u);
  EXPECT_ADDED(base_, Resource::Timer, 1);
  EXPECT_FALSE(hooks::use_real_clock()) << "not while a timer lives";
  hooks::advance_clock_ms(500);
  EXPECT_EQ(g_ticks, 0) << "advancing alone fires nothing";
  EXPECT_EQ(hooks::fire_timers(), 1);
  EXPECT_EQ(g_ticks, 1);
  hooks::run_clock_ms(49);
  EXPECT_EQ(g_ticks, 1);
  hooks::run_clock_ms(1);
  EXPECT_EQ(g_ticks, 2) << "due one period after the fire";
  hooks::run_clock_ms(1000);
  EXPECT_EQ(g_ticks, 22);
  EXPECT_EQ(timer_kill_event(id), kTimerNoError);
  EXPECT_EQ(timer_kill_event(id), kTimerInvalParam);
  hooks::run_clock_ms(1000);
  EXPECT_EQ(g_ticks, 22);
  EXPECT_EQ(timer_end_period(50), kTimerNoError);
  EXPECT_EQ(timer_end_period(50), kTimerNoCanDo) << "more ends than begins";
}

TEST_F(Timer, AOneShotTimerFiresOnceAndIsGone) {
  hooks::ManualClock clock;
  ASSERT_NE(timer_set_event(20, 10, count_tick, nullptr, kTimerOneShot), 0u);
  hooks::run_clock_ms(100);
  EXPECT_EQ(g_ticks, 1);
  EXPECT_ADDED(base_, Resource::Timer, 0);
}

TEST_F(Timer, RefusesWhatWindowsRefusesAndFailsOnRequest) {
  EXPECT_EQ(timer_begin_period(0), kTimerNoCanDo);
  EXPECT_EQ(timer_set_event(0, 10, count_tick, nullptr, kTimerPeriodic), 0u);
  EXPECT_EQ(timer_set_event(50, 10, nullptr, nullptr, kTimerPeriodic), 0u);
  hooks::fail(Call::timeBeginPeriod);
  EXPECT_EQ(timer_begin_period(50), kTimerNoCanDo);
  hooks::fail(Call::timeSetEvent);
  EXPECT_EQ(timer_set_event(50, 10, count_tick, nullptr, kTimerPeriodic), 0u);
}

TEST_F(Timer, ARealTimerRunsOnAThreadOfItsOwn) {
  std::atomic<int64_t> seen{0};
  const auto start = std::chrono::steady_clock::now();
  const uint32_t id = timer_set_event(10, 1, count_tick, &seen, kTimerPeriodic);
  ASSERT_NE(id, 0u);
  while (g_ticks < 5 && std::chrono::steady_clock::now() - start < std::chrono::seconds(5)) sleep_ms(5);
  EXPECT_EQ(timer_kill_event(id), kTimerNoError);
  EXPECT_GE(g_ticks, 5);
  EXPECT_EQ(seen, 1) << "the context reaches the callback";
  sleep_ms(30);
  const int after = g_ticks;
  sleep_ms(50);
  EXPECT_EQ(g_ticks, after) << "nothing after the kill has settled";
}

}  // namespace
