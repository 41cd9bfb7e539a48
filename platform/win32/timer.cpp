// The multimedia timer and Sleep, one call each. timeSetEvent calls back with the Windows calling
// convention and five arguments; a trampoline here turns that into the plain callback and context
// of platform/timer.h, so nothing outside this file sees the convention.
#include <windows.h>
// windows.h first: mmsystem.h needs its types.
#include <mmsystem.h>

#include <atomic>

#include "platform/timer.h"

namespace platform {
namespace {

static_assert(kTimerNoError == TIMERR_NOERROR && kTimerNoCanDo == TIMERR_NOCANDO &&
              kTimerInvalParam == MMSYSERR_INVALPARAM);
static_assert(kTimerOneShot == TIME_ONESHOT && kTimerPeriodic == TIME_PERIODIC);

// Each timer's callback and context, in a slot whose index is the timer's user data. A callback
// already under way may still run after timeKillEvent, so a slot is not emptied at the kill; slots
// are taken round, so one is reused only after all the others have been.
struct Slot {
  std::atomic<TimerCallback> callback{nullptr};
  std::atomic<void*> context{nullptr};
};
constexpr unsigned kSlots = 32;
Slot slots[kSlots];
std::atomic<unsigned> next_slot{0};

void CALLBACK trampoline(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
  Slot& slot = slots[user % kSlots];
  if (TimerCallback callback = slot.callback.load()) callback(slot.context.load());
}

}  // namespace

TimerResult timer_begin_period(uint32_t ms) { return timeBeginPeriod(ms); }

TimerResult timer_end_period(uint32_t ms) { return timeEndPeriod(ms); }

uint32_t timer_set_event(uint32_t delay_ms, uint32_t resolution_ms, TimerCallback callback, void* context,
                         uint32_t kind) {
  const unsigned index = next_slot.fetch_add(1) % kSlots;
  slots[index].context.store(context);
  slots[index].callback.store(callback);
  return timeSetEvent(delay_ms, resolution_ms, trampoline, index, kind);
}

TimerResult timer_kill_event(uint32_t id) { return timeKillEvent(id); }

void sleep_ms(uint32_t ms) { Sleep(ms); }

}  // namespace platform
