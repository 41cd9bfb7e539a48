#include "platform/posix/testing.h"

#include <atomic>
#include <mutex>

namespace platform::testing {
namespace {

struct Registry {
  std::mutex lock;
  // Lets every call skip the lock while no failure is pending.
  std::atomic<int> pending_count{0};
  int pending[kCallCount] = {};  // calls to let through before failing; 0 = none pending
  std::atomic<int64_t> made[kCallCount] = {};
  std::atomic<int64_t> live[kResourceCount] = {};
  std::atomic<bool> logging{false};
  std::vector<Call> log;  // under lock
};

Registry& registry() {
  static Registry r;
  return r;
}

std::size_t index(Call c) { return static_cast<std::size_t>(c); }
std::size_t index(Resource r) { return static_cast<std::size_t>(r); }

void count(Registry& r, Call call) {
  r.made[index(call)].fetch_add(1, std::memory_order_relaxed);
  if (r.logging.load(std::memory_order_relaxed)) {
    std::lock_guard g(r.lock);
    if (r.logging.load(std::memory_order_relaxed)) r.log.push_back(call);
  }
}

}  // namespace

bool fail_call(Call call, int nth) {
  if (!can_fail(call) || nth < 1) return false;
  Registry& r = registry();
  std::lock_guard g(r.lock);
  if (r.pending[index(call)] == 0) r.pending_count.fetch_add(1);
  r.pending[index(call)] = nth;
  return true;
}

void clear_failures() {
  Registry& r = registry();
  std::lock_guard g(r.lock);
  for (int& p : r.pending) p = 0;
  r.pending_count.store(0);
}

bool should_fail(Call call) {
  Registry& r = registry();
  count(r, call);
  if (r.pending_count.load(std::memory_order_relaxed) == 0) return false;
  std::lock_guard g(r.lock);
  int& p = r.pending[index(call)];
  if (p == 0 || --p > 0) return false;
  r.pending_count.fetch_sub(1);
  return true;
}

void note_call(Call call) { count(registry(), call); }

int64_t live(Resource resource) { return registry().live[index(resource)].load(); }

int64_t calls(Call call) { return registry().made[index(call)].load(); }

void start_call_log() {
  Registry& r = registry();
  std::lock_guard g(r.lock);
  r.log.clear();
  r.logging.store(true);
}

void stop_call_log() {
  Registry& r = registry();
  std::lock_guard g(r.lock);
  r.logging.store(false);
}

std::vector<Call> call_log() {
  Registry& r = registry();
  std::lock_guard g(r.lock);
  return r.log;
}

void acquired(Resource resource) { registry().live[index(resource)].fetch_add(1); }

void released(Resource resource) { registry().live[index(resource)].fetch_sub(1); }

}  // namespace platform::testing
