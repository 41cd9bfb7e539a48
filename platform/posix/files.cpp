#include <time.h>

#include <atomic>

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/posix/clock_control.h"
#include "platform/posix/paths.h"
#include "platform/posix/testing.h"

namespace platform {

bool file_exists(const char* path) {
  if (testing::should_fail(Call::FindFirstFileA)) return false;
  char resolved[4096];
  return posix::resolve_path(path, resolved, sizeof resolved);
}

namespace {
std::atomic<bool> tick_fixed{false};
std::atomic<uint32_t> tick_value{0};
}  // namespace

uint32_t tick_count() {
  if (tick_fixed.load()) return tick_value.load();
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<uint32_t>(static_cast<uint64_t>(ts.tv_sec) * 1000u +
                               static_cast<uint64_t>(ts.tv_nsec) / 1000000u);
}

namespace testing {
void set_tick_count(uint32_t ms) {
  tick_value.store(ms);
  tick_fixed.store(true);
}
void release_tick_count() { tick_fixed.store(false); }
}  // namespace testing

}  // namespace platform
