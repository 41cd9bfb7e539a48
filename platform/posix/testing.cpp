#include "platform/posix/testing.h"

#include <map>
#include <mutex>
#include <string>

namespace platform::testing {
namespace {

struct Registry {
  std::mutex lock;
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
}

void clear_failures() {
  Registry& r = registry();
  std::lock_guard g(r.lock);
  r.pending.clear();
}

bool should_fail(const char* call) {
  Registry& r = registry();
  std::lock_guard g(r.lock);
  auto it = r.pending.find(call);
  if (it == r.pending.end()) return false;
  if (--it->second > 0) return false;
  r.pending.erase(it);
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
