#include "platform/posix/media_clock.h"

#include <time.h>

#include <atomic>
#include <mutex>

#include "platform/posix/testing.h"

namespace platform {
namespace {

std::mutex mode_lock;
std::atomic<bool> manual{false};
std::atomic<uint64_t> manual_ns{0};
std::atomic<uint64_t> real_offset_ns{0};  // added to the monotonic clock in real mode

uint64_t monotonic_ns() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<uint64_t>(ts.tv_sec) * 1000000000u + static_cast<uint64_t>(ts.tv_nsec);
}

}  // namespace

namespace posix {

uint64_t media_now_ns() {
  if (manual.load(std::memory_order_acquire)) return manual_ns.load(std::memory_order_acquire);
  return monotonic_ns() + real_offset_ns.load(std::memory_order_relaxed);
}

bool media_clock_manual() { return manual.load(std::memory_order_acquire); }

void media_clock_set(uint64_t ns) {
  uint64_t now = manual_ns.load();
  while (ns > now && !manual_ns.compare_exchange_weak(now, ns)) {
  }
}

}  // namespace posix

namespace testing {

bool use_manual_clock() {
  std::lock_guard g(mode_lock);
  if (live(Resource::Timer) != 0) return false;
  if (!manual.load()) {
    manual_ns.store(posix::media_now_ns());
    manual.store(true, std::memory_order_release);
  }
  return true;
}

bool use_real_clock() {
  std::lock_guard g(mode_lock);
  if (live(Resource::Timer) != 0) return false;
  if (manual.load()) {
    const uint64_t at = manual_ns.load();
    const uint64_t mono = monotonic_ns();
    real_offset_ns.store(at > mono ? at - mono : 0);
    manual.store(false, std::memory_order_release);
  }
  return true;
}

void advance_clock(uint64_t microseconds) {
  if (!manual.load()) return;
  manual_ns.fetch_add(microseconds * 1000u);
}

}  // namespace testing
}  // namespace platform
