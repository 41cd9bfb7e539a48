#pragma once
// Test hooks of the Linux substitute platform: any of its calls can be made to fail, every call is
// counted (and logged on request), and every resource it hands out is counted until it is given
// back. Calls and resources are the typed names of platform/hooks.h. Not part of the Windows
// build; tests reach these through tests/support/platform_hooks.h.
//
// Each substitute keeps its own further controls beside it: platform/posix/clock_control.h (the
// tick count), platform/posix/media_clock.h (the clock the sound device and timers run by),
// platform/posix/sound_device_control.h, platform/posix/timer_control.h.
#include <cstdint>
#include <vector>

#include "platform/hooks.h"

namespace platform::testing {

// Makes the nth call from now (1 = the next one) of call fail, once. A call that cannot fail
// (can_fail(call) is false) is not armed: the result is then false.
bool fail_call(Call call, int nth = 1);

// Clears every pending injected failure.
void clear_failures();

// Number of resources of a kind handed out and not yet given back.
int64_t live(Resource resource);

// Number of times call has been made since the process started (failed ones included).
int64_t calls(Call call);

// Starts (and empties) or stops the log of calls, in the order they are made, on every thread.
void start_call_log();
void stop_call_log();
std::vector<Call> call_log();

// Used by the substitutes themselves: the first counts and logs the call and says whether it must
// fail now; the second counts and logs a call that cannot fail.
bool should_fail(Call call);
void note_call(Call call);
void acquired(Resource resource);
void released(Resource resource);

}  // namespace platform::testing
