#pragma once
// The periodic timer and sleeping (the Windows multimedia timer and Sleep), one function per
// Windows call. The callback is a plain function with a context; on Windows the calling-convention
// trampoline stays inside platform/win32/timer.cpp.
//
// Windows: the calls themselves (timeBeginPeriod, timeEndPeriod, timeSetEvent, timeKillEvent,
// Sleep). Linux: our substitute (platform/posix/timer.cpp), which runs each timer on a thread of
// its own by real time, or, while a test drives the clock (platform/posix/media_clock.h), fires
// timers only when the test steps them. As on Windows, a callback already under way may still run
// after timer_kill_event has returned: callers keep their own guard (the sound player's busy word).
#include <cstdint>

namespace platform {

// MMRESULT-style results: 0 is success.
using TimerResult = uint32_t;
inline constexpr TimerResult kTimerNoError = 0;      // TIMERR_NOERROR
inline constexpr TimerResult kTimerNoCanDo = 97;     // TIMERR_NOCANDO
inline constexpr TimerResult kTimerInvalParam = 11;  // MMSYSERR_INVALPARAM

inline constexpr uint32_t kTimerOneShot = 0;   // TIME_ONESHOT
inline constexpr uint32_t kTimerPeriodic = 1;  // TIME_PERIODIC

// Runs on the timer's thread.
using TimerCallback = void (*)(void* context);

// timeBeginPeriod(ms) / timeEndPeriod(ms): asks for, and gives back, a timer resolution.
TimerResult timer_begin_period(uint32_t ms);
TimerResult timer_end_period(uint32_t ms);

// timeSetEvent(delay, resolution, callback, context, kind): the timer's id, 0 if none was made.
// kind is kTimerPeriodic or kTimerOneShot.
uint32_t timer_set_event(uint32_t delay_ms, uint32_t resolution_ms, TimerCallback callback, void* context,
                         uint32_t kind);

// timeKillEvent(id).
TimerResult timer_kill_event(uint32_t id);

// Sleep(ms).
void sleep_ms(uint32_t ms);

}  // namespace platform
