#pragma once
// Test hooks of the Linux substitute platform: every resource it hands out is counted, and any of
// its calls can be made to fail. Not part of the Windows build.
#include <cstdint>

namespace platform::testing {

// Makes the nth call from now (1 = the next one) of the named platform call fail, once.
// Names are the Windows names of the calls the substitute stands for, e.g. "CreateFileMappingA".
void fail_call(const char* call, int nth = 1);

// Clears every pending injected failure.
void clear_failures();

// Number of resources of a kind ("section", "view", "file", "memory", ...) handed out and not yet
// given back.
int64_t live(const char* kind);

// Used by the substitutes themselves.
bool should_fail(const char* call);
void acquired(const char* kind);
void released(const char* kind);

}  // namespace platform::testing

namespace platform::testing {
// Holds the tick count at ms until released, so a test can seed what reads it.
void set_tick_count(uint32_t ms);
void release_tick_count();
}  // namespace platform::testing
