// The multimedia timer and Sleep on Linux. In real time each timer is a detached thread that
// sleeps until its due time and calls back; a kill marks it dead and wakes it, without waiting for
// a callback under way (as timeKillEvent without TIME_KILL_SYNCHRONOUS). With the manual media
// clock no thread is made: timers are due on that clock and fire when a test steps them.
#include <time.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/posix/media_clock.h"
#include "platform/posix/testing.h"
#include "platform/posix/timer_control.h"
#include "platform/timer.h"

namespace platform {
namespace {

constexpr uint32_t kMaxDelay = 1000000;  // what timeGetDevCaps gives as wPeriodMax

struct Timer {
  uint32_t id;
  TimerCallback callback;
  void* context;
  uint32_t period_ms;
  bool periodic;
  bool threaded;
  uint64_t due_ns = 0;  // manual clock
  std::mutex lock;      // threaded: guards killed for the wait
  std::condition_variable wake;
  std::atomic<bool> killed{false};
};

// Never destroyed: a detached timer thread may still look at it while the process ends.
struct Table {
  std::mutex lock;
  std::map<uint32_t, std::shared_ptr<Timer>> timers;
  std::map<uint32_t, int> periods;  // resolution -> begins not yet ended
  uint32_t next_id = 1;
};

Table& table() {
  static Table* t = new Table;
  return *t;
}

// Takes the timer out of the table; true if it was there (so this caller counts it released).
bool remove(uint32_t id) {
  Table& t = table();
  std::shared_ptr<Timer> timer;
  {
    std::lock_guard g(t.lock);
    auto it = t.timers.find(id);
    if (it == t.timers.end()) return false;
    timer = it->second;
    t.timers.erase(it);
  }
  {
    std::lock_guard g(timer->lock);
    timer->killed.store(true);
  }
  timer->wake.notify_all();
  testing::released(Resource::Timer);
  return true;
}

void run_thread(std::shared_ptr<Timer> timer, uint32_t delay_ms) {
  using clock = std::chrono::steady_clock;
  auto due = clock::now() + std::chrono::milliseconds(delay_ms);
  std::unique_lock l(timer->lock);
  for (;;) {
    if (timer->wake.wait_until(l, due, [&] { return timer->killed.load(); })) return;
    l.unlock();
    timer->callback(timer->context);
    if (!timer->periodic) {
      remove(timer->id);
      return;
    }
    l.lock();
    due += std::chrono::milliseconds(timer->period_ms);
    const auto now = clock::now();
    if (due < now) due = now;  // a callback that overran is not made up for
  }
}

std::vector<std::shared_ptr<Timer>> snapshot() {
  Table& t = table();
  std::lock_guard g(t.lock);
  std::vector<std::shared_ptr<Timer>> out;
  for (auto& [id, timer] : t.timers) out.push_back(timer);
  return out;
}

// Manual clock: runs one timer's callback now and sets its next due time: one period on from its
// due time (on_schedule), or from now. Manual timers are made and stepped on the test's thread.
void fire(const std::shared_ptr<Timer>& timer, uint64_t now, bool on_schedule) {
  if (timer->killed.load()) return;
  timer->callback(timer->context);
  if (!timer->periodic) {
    remove(timer->id);
    return;
  }
  const uint64_t period = uint64_t{timer->period_ms} * 1000000u;
  timer->due_ns = on_schedule ? timer->due_ns + period : now + period;
  if (timer->due_ns <= now) timer->due_ns = now + period;
}

}  // namespace

TimerResult timer_begin_period(uint32_t ms) {
  if (testing::should_fail(Call::timeBeginPeriod)) return kTimerNoCanDo;
  if (ms < 1 || ms > kMaxDelay) return kTimerNoCanDo;
  Table& t = table();
  {
    std::lock_guard g(t.lock);
    ++t.periods[ms];
  }
  testing::acquired(Resource::TimerPeriod);
  return kTimerNoError;
}

TimerResult timer_end_period(uint32_t ms) {
  if (testing::should_fail(Call::timeEndPeriod)) return kTimerNoCanDo;
  Table& t = table();
  {
    std::lock_guard g(t.lock);
    auto it = t.periods.find(ms);
    if (it == t.periods.end()) return kTimerNoCanDo;
    if (--it->second == 0) t.periods.erase(it);
  }
  testing::released(Resource::TimerPeriod);
  return kTimerNoError;
}

uint32_t timer_set_event(uint32_t delay_ms, uint32_t /*resolution_ms*/, TimerCallback callback, void* context,
                         uint32_t kind) {
  if (testing::should_fail(Call::timeSetEvent)) return 0;
  if (!callback || delay_ms < 1 || delay_ms > kMaxDelay ||
      (kind != kTimerPeriodic && kind != kTimerOneShot)) {
    return 0;
  }
  auto timer = std::make_shared<Timer>();
  timer->callback = callback;
  timer->context = context;
  timer->period_ms = delay_ms;
  timer->periodic = kind == kTimerPeriodic;
  timer->threaded = !posix::media_clock_manual();
  timer->due_ns = posix::media_now_ns() + uint64_t{delay_ms} * 1000000u;
  Table& t = table();
  {
    std::lock_guard g(t.lock);
    timer->id = t.next_id++;
    if (t.next_id == 0) t.next_id = 1;
    t.timers[timer->id] = timer;
  }
  testing::acquired(Resource::Timer);
  if (timer->threaded) std::thread(run_thread, timer, delay_ms).detach();
  return timer->id;
}

TimerResult timer_kill_event(uint32_t id) {
  if (testing::should_fail(Call::timeKillEvent)) return kTimerInvalParam;
  return remove(id) ? kTimerNoError : kTimerInvalParam;
}

void sleep_ms(uint32_t ms) {
  testing::note_call(Call::Sleep);
  if (posix::media_clock_manual()) {
    // Time passes for the device while the caller sleeps; no timer fires on this thread.
    posix::media_clock_set(posix::media_now_ns() + uint64_t{ms} * 1000000u);
    return;
  }
  timespec ts{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
  while (nanosleep(&ts, &ts) != 0) {
  }
}

namespace testing {

int fire_timers() {
  int fired = 0;
  const uint64_t now = posix::media_now_ns();
  for (const auto& timer : snapshot()) {
    if (timer->threaded || timer->killed.load()) continue;
    fire(timer, now, false);
    ++fired;
  }
  return fired;
}

void run_clock(uint64_t microseconds) {
  if (!posix::media_clock_manual()) return;
  const uint64_t target = posix::media_now_ns() + microseconds * 1000u;
  for (;;) {
    std::shared_ptr<Timer> next;
    for (const auto& timer : snapshot()) {
      if (timer->threaded || timer->killed.load()) continue;
      if (timer->due_ns <= target && (!next || timer->due_ns < next->due_ns)) next = timer;
    }
    if (!next) break;
    const uint64_t at = std::max(next->due_ns, posix::media_now_ns());
    posix::media_clock_set(at);
    fire(next, at, true);
  }
  posix::media_clock_set(target);
}

}  // namespace testing
}  // namespace platform
