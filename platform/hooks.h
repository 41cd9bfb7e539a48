#pragma once
// The platform calls the Linux substitute can be made to fail, and the resources it counts, named
// once (as SQLite names its system calls once). Both builds see these names, so test code can
// mention them without a platform #if; only the substitute (platform/posix/testing.h) acts on them.
#include <cstddef>
#include <cstdint>

namespace platform {

// Every call of the substitute, by its Windows name, and whether a test can make it fail. The
// calls that cannot fail (a release, a sleep) are named so that a call log can show them.
#define PLATFORM_CALLS(X)              \
  X(OpenFileMappingA, true)            \
  X(CreateFileMappingA, true)          \
  X(MapViewOfFile, true)               \
  X(mmioOpenA, true)                   \
  X(mmioDescend, true)                 \
  X(mmioAscend, true)                  \
  X(mmioRead, true)                    \
  X(mmioSeek, true)                    \
  X(mmioGetInfo, true)                 \
  X(mmioAdvance, true)                 \
  X(mmioSetInfo, true)                 \
  X(mmioClose, true)                   \
  X(GlobalAlloc, true)                 \
  X(FindFirstFileA, true)              \
  X(GetActiveWindow, true)             \
  X(FindWindowA, true)                 \
  X(DirectSoundCreate, true)           \
  X(SetCooperativeLevel, true)         \
  X(CreateSoundBuffer, true)           \
  X(IDirectSound_Release, false)       \
  X(Lock, true)                        \
  X(Unlock, true)                      \
  X(Play, true)                        \
  X(Stop, true)                        \
  X(GetCurrentPosition, true)          \
  X(SetCurrentPosition, true)          \
  X(GetStatus, true)                   \
  X(IDirectSoundBuffer_Release, false) \
  X(timeBeginPeriod, true)             \
  X(timeEndPeriod, true)               \
  X(timeSetEvent, true)                \
  X(timeKillEvent, true)               \
  X(Sleep, false)

enum class Call : uint8_t {
#define PLATFORM_CALL_ENUM(name, can_fail) name,
  PLATFORM_CALLS(PLATFORM_CALL_ENUM)
#undef PLATFORM_CALL_ENUM
};

// What the substitute hands out and counts until it is given back.
#define PLATFORM_RESOURCES(X)      \
  X(Section, "section")            \
  X(View, "view")                  \
  X(RiffFile, "riff file")         \
  X(GlobalMemory, "global memory") \
  X(SoundDevice, "sound device")   \
  X(SoundBuffer, "sound buffer")   \
  X(Timer, "timer")                \
  X(TimerPeriod, "timer period")

enum class Resource : uint8_t {
#define PLATFORM_RESOURCE_ENUM(name, text) name,
  PLATFORM_RESOURCES(PLATFORM_RESOURCE_ENUM)
#undef PLATFORM_RESOURCE_ENUM
};

struct CallInfo {
  const char* name;
  bool can_fail;
};

// The one table of names, in enum order.
inline constexpr CallInfo kCallTable[] = {
#define PLATFORM_CALL_ROW(name, can_fail) {#name, can_fail},
    PLATFORM_CALLS(PLATFORM_CALL_ROW)
#undef PLATFORM_CALL_ROW
};
inline constexpr const char* kResourceNames[] = {
#define PLATFORM_RESOURCE_ROW(name, text) text,
    PLATFORM_RESOURCES(PLATFORM_RESOURCE_ROW)
#undef PLATFORM_RESOURCE_ROW
};

inline constexpr std::size_t kCallCount = sizeof kCallTable / sizeof kCallTable[0];
inline constexpr std::size_t kResourceCount = sizeof kResourceNames / sizeof kResourceNames[0];

constexpr const char* name(Call call) { return kCallTable[static_cast<std::size_t>(call)].name; }
constexpr bool can_fail(Call call) { return kCallTable[static_cast<std::size_t>(call)].can_fail; }
constexpr const char* name(Resource resource) { return kResourceNames[static_cast<std::size_t>(resource)]; }

}  // namespace platform
