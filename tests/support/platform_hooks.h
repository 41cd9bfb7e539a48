#pragma once
// What tests may ask of the platform layer beyond its own calls: make a call fail, count the
// resources it holds, seed the tick count. On Linux these reach our substitute; in the win32 build,
// where the calls are Windows itself, kHooks is false and every hook does nothing (counts read 0),
// so test code needs no platform #if:
//
//   if (!hooks::kHooks) GTEST_SKIP() << "needs the substitute's fault injection";
//   hooks::fail(Call::MapViewOfFile);            // the next MapViewOfFile fails
//   EXPECT_LIVE(Resource::Section, 1);           // checked where there are counters, else nothing
#include <cstdint>
#include <vector>

#include "platform/hooks.h"

#ifndef _WIN32
#include "platform/posix/clock_control.h"
#include "platform/posix/testing.h"
#endif

namespace hooks {

using platform::Call;
using platform::Resource;

#ifdef _WIN32
inline constexpr bool kHooks = false;

inline bool fail(Call, int = 1) { return false; }
inline void clear_failures() {}
inline int64_t live(Resource) { return 0; }
inline int64_t calls(Call) { return 0; }
inline void start_call_log() {}
inline void stop_call_log() {}
inline std::vector<Call> call_log() { return {}; }
inline void set_tick_count(uint32_t) {}
inline void release_tick_count() {}
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
#endif

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
#define EXPECT_LIVE(resource, n)   \
  switch (0)                       \
  case 0:                          \
  default:                         \
    if (!hooks::kHooks) {          \
    } else                         \
      EXPECT_EQ(hooks::live(resource), (n)) << platform::name(resource) << " "
#define EXPECT_ADDED(base, resource, n) \
  switch (0)                            \
  case 0:                               \
  default:                              \
    if (!hooks::kHooks) {               \
    } else                              \
      EXPECT_EQ((base).added(resource), (n)) << platform::name(resource) << " "
