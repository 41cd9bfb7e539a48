#include "platform/posix/testing.h"

#include <atomic>
#include <map>
#include <mutex>
#include <string>

namespace platform::testing {
namespace {

struct Registry {
  std::mutex lock;
  std::atomic<int> pending_count{0};  // lets every call skip the lock while no failure is pending
  std::map<std::string, int> pending;  // call -> calls to let through before failing
  std::map<std::string, int64_t> live;
};

Registry& registry() {
  static Registry r;
  return r;
}

}  // namespace

void fail_call(const char* call, int nth) {
  Registry& r = registry();
  std::lock_guard g(r.lock);
  r.pending[call] = nth;
  r.pending_count.store(int(r.pending.size()));
}

void clear_failures() {
  Registry& r = registry();
  std::lock_guard g(r.lock);
  r.pending.clear();
  r.pending_count.store(0);
}

bool should_fail(const char* call) {
  Registry& r = registry();
  if (r.pending_count.load(std::memory_order_relaxed) == 0) return false;
  std::lock_guard g(r.lock);
  auto it = r.pending.find(call);
  if (it == r.pending.end()) return false;
  if (--it->second > 0) return false;
  r.pending.erase(it);
  r.pending_count.store(int(r.pending.size()));
  return true;
}

int64_t live(const char* kind) {
  Registry& r = registry();
  std::lock_guard g(r.lock);
  auto it = r.live.find(kind);
  return it == r.live.end() ? 0 : it->second;
}

void acquired(const char* kind) {
  Registry& r = registry();
  std::lock_guard g(r.lock);
  ++r.live[kind];
}

void released(const char* kind) {
  Registry& r = registry();
  std::lock_guard g(r.lock);
  --r.live[kind];
}

}  // namespace platform::testing
