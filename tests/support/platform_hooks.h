#pragma once
// What tests may ask of the platform layer beyond its own calls: make a call fail, count the
// resources it holds, seed the tick count, drive the clock the sound device and timers run by, look
// into the sound device. On Linux these reach our substitute; in the win32 build,
// where the calls are Windows itself, kHooks is false and every hook does nothing (counts read 0),
// so test code needs no platform #if:
//
//   if (!hooks::kHooks) GTEST_SKIP() << "needs the substitute's fault injection";
//   hooks::fail(Call::MapViewOfFile);            // the next MapViewOfFile fails
//   EXPECT_LIVE(Resource::Section, 1);           // checked where there are counters, else nothing
#include <cstdint>
#include <vector>

#include "platform/hooks.h"
#include "platform/sound_device.h"

#ifndef _WIN32
#include "platform/posix/clock_control.h"
#include "platform/posix/media_clock.h"
#include "platform/posix/sound_device_control.h"
#include "platform/posix/testing.h"
#include "platform/posix/timer_control.h"
#endif

namespace hooks {

using platform::Call;
using platform::Resource;

#ifdef _WIN32
inline constexpr bool kHooks = false;

namespace detail {
// An empty collection whose size the compiler cannot see, so that test code indexing it (code that
// never runs where kHooks is false) draws no out-of-bounds warning.
inline std::size_t none() {
  static volatile std::size_t n = 0;
  return n;
}
}  // namespace detail

struct SoundBufferState {
  uint32_t serial, size, play_position;
  bool playing, looping;
  uint32_t flags;
  uint16_t channels;
  uint32_t rate;
  uint16_t bits, block_align;
  int outstanding_locks;
};
struct PlayedSegment {
  uint32_t buffer;
  uint16_t channels;
  uint32_t rate;
  uint16_t bits;
  uint64_t start_ns;
  std::vector<uint8_t> bytes;
};

inline bool fail(Call, int = 1) { return false; }
inline void clear_failures() {}
inline int64_t live(Resource) { return 0; }
inline int64_t calls(Call) { return 0; }
inline void start_call_log() {}
inline void stop_call_log() {}
inline std::vector<Call> call_log() { return std::vector<Call>(detail::none()); }
inline void set_tick_count(uint32_t) {}
inline void release_tick_count() {}
inline bool use_manual_clock() { return false; }
inline bool use_real_clock() { return true; }
inline void advance_clock_ms(uint32_t) {}
inline void advance_clock_us(uint64_t) {}
inline int fire_timers() { return 0; }
inline void run_clock_ms(uint32_t) {}
inline void set_sound_device_present(bool) {}
inline void set_host_window(bool) {}
inline std::vector<platform::SoundBuffer*> live_sound_buffers() {
  return std::vector<platform::SoundBuffer*>(detail::none());
}
inline bool sound_buffer_state(const platform::SoundBuffer*, SoundBufferState*) { return false; }
inline std::vector<uint8_t> sound_buffer_contents(const platform::SoundBuffer*) {
  return std::vector<uint8_t>(detail::none());
}
inline int64_t sound_buffers_released_with_device() { return 0; }
inline void set_sound_recording(bool) {}
inline void clear_sound_recording() {}
inline std::vector<PlayedSegment> sound_recording() { return std::vector<PlayedSegment>(detail::none()); }
inline std::vector<uint8_t> sound_played_bytes(uint32_t) { return std::vector<uint8_t>(detail::none()); }
inline std::vector<int16_t> sound_mix(uint32_t = 44100) { return std::vector<int16_t>(detail::none()); }
inline bool write_sound_mix_wav(const char*, uint32_t = 44100) { return false; }
#else
inline constexpr bool kHooks = true;

// The nth call of call from now (1 = the next) fails, once.
inline bool fail(Call call, int nth = 1) { return platform::testing::fail_call(call, nth); }
inline void clear_failures() { platform::testing::clear_failures(); }
// Resources of a kind handed out and not given back.
inline int64_t live(Resource resource) { return platform::testing::live(resource); }
// Calls made since the process started.
inline int64_t calls(Call call) { return platform::testing::calls(call); }
// The calls made, in order, between start and stop (or now).
inline void start_call_log() { platform::testing::start_call_log(); }
inline void stop_call_log() { platform::testing::stop_call_log(); }
inline std::vector<Call> call_log() { return platform::testing::call_log(); }
// The tick count holds ms until released.
inline void set_tick_count(uint32_t ms) { platform::testing::set_tick_count(ms); }
inline void release_tick_count() { platform::testing::release_tick_count(); }

// The clock the sound device plays by and the timers fire by (platform/posix/media_clock.h): in
// manual mode it moves only by advance_clock_* (positions move, no timer fires), run_clock_ms
// (timers fire at their due times on the way) and fire_timers (every timer once, now). Switching
// is refused while a timer lives.
inline bool use_manual_clock() { return platform::testing::use_manual_clock(); }
inline bool use_real_clock() { return platform::testing::use_real_clock(); }
inline void advance_clock_ms(uint32_t ms) { platform::testing::advance_clock(uint64_t{ms} * 1000u); }
inline void advance_clock_us(uint64_t us) { platform::testing::advance_clock(us); }
inline int fire_timers() { return platform::testing::fire_timers(); }
inline void run_clock_ms(uint32_t ms) { platform::testing::run_clock(uint64_t{ms} * 1000u); }

// The sound device (platform/posix/sound_device_control.h).
using platform::testing::PlayedSegment;
using platform::testing::SoundBufferState;
inline void set_sound_device_present(bool present) { platform::testing::set_sound_device_present(present); }
inline void set_host_window(bool present) { platform::testing::set_host_window(present); }
inline std::vector<platform::SoundBuffer*> live_sound_buffers() {
  return platform::testing::live_sound_buffers();
}
inline bool sound_buffer_state(const platform::SoundBuffer* b, SoundBufferState* s) {
  return platform::testing::sound_buffer_state(b, s);
}
inline std::vector<uint8_t> sound_buffer_contents(const platform::SoundBuffer* b) {
  return platform::testing::sound_buffer_contents(b);
}
inline int64_t sound_buffers_released_with_device() {
  return platform::testing::sound_buffers_released_with_device();
}
inline void set_sound_recording(bool on) { platform::testing::set_sound_recording(on); }
inline void clear_sound_recording() { platform::testing::clear_sound_recording(); }
inline std::vector<PlayedSegment> sound_recording() { return platform::testing::sound_recording(); }
inline std::vector<uint8_t> sound_played_bytes(uint32_t serial) {
  return platform::testing::sound_played_bytes(serial);
}
inline std::vector<int16_t> sound_mix(uint32_t rate = 44100) { return platform::testing::sound_mix(rate); }
inline bool write_sound_mix_wav(const char* path, uint32_t rate = 44100) {
  return platform::testing::write_sound_mix_wav(path, rate);
}
#endif

// The last buffer made and still alive, or null.
inline platform::SoundBuffer* newest_sound_buffer() {
  const std::vector<platform::SoundBuffer*> all = live_sound_buffers();
  return all.empty() ? nullptr : all.back();
}

// The manual clock for a scope, with a fresh recording; real time again afterwards.
class ManualClock {
 public:
  ManualClock() {
    ok_ = use_manual_clock();
    clear_sound_recording();
  }
  ~ManualClock() { use_real_clock(); }
  ManualClock(const ManualClock&) = delete;
  ManualClock& operator=(const ManualClock&) = delete;
  // False where there is no manual clock (win32), or while a timer lived when it was asked for.
  bool ok() const { return ok_; }

 private:
  bool ok_;
};

// Clears every pending failure when it goes out of scope.
class Failures {
 public:
  Failures() = default;
  ~Failures() { clear_failures(); }
  Failures(const Failures&) = delete;
  Failures& operator=(const Failures&) = delete;
};

// The tick count held at a value for a scope.
class HeldTickCount {
 public:
  explicit HeldTickCount(uint32_t ms) { set_tick_count(ms); }
  ~HeldTickCount() { release_tick_count(); }
  HeldTickCount(const HeldTickCount&) = delete;
  HeldTickCount& operator=(const HeldTickCount&) = delete;
};

// The live counts of every resource at one moment, to compare a later moment with.
struct LiveCounts {
  int64_t count[platform::kResourceCount] = {};
  static LiveCounts now() {
    LiveCounts c;
    for (std::size_t i = 0; i < platform::kResourceCount; ++i) c.count[i] = live(static_cast<Resource>(i));
    return c;
  }
  // How many more of resource are held now than at this moment.
  int64_t added(Resource resource) const {
    return live(resource) - count[static_cast<std::size_t>(resource)];
  }
};

}  // namespace hooks

// Expectations on the substitute's counters; they check nothing where there are none (win32). A
// message may follow, as with EXPECT_EQ.
#define EXPECT_LIVE(resource, n) \
  switch (0)                     \
  case 0:                        \
  default:                       \
    if (!hooks::kHooks) {        \
    } else                       \
      EXPECT_EQ(hooks::live(resource), (n)) << platform::name(resource) << " "
#define EXPECT_ADDED(base, resource, n) \
  switch (0)                            \
  case 0:                               \
  default:                              \
    if (!hooks::kHooks) {               \
    } else                              \
      EXPECT_EQ((base).added(resource), (n)) << platform::name(resource) << " "
