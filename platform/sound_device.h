#pragma once
// The sound device and its secondary buffers (DirectSound on Windows), and the window lookups
// the sound users need, one function per Windows call.
//
// Windows: the calls themselves. Linux: our substitute device (platform/posix), which plays by a
// clock a test can drive or by real time, records every byte it plays, refuses the formats a
// real device refuses, can fail any call on request, and counts every device and buffer.
#include <cstdint>

namespace platform {

struct SoundDevice;  // IDirectSound
struct SoundBuffer;  // IDirectSoundBuffer
struct Window;       // HWND

// HRESULT-style results: 0 is success, anything else a failure.
using SoundResult = int32_t;
inline constexpr SoundResult kSoundOk = 0;
// The failures DirectSound reports, with their Windows values.
inline constexpr SoundResult kSoundErrGeneric = static_cast<SoundResult>(0x80004005u);  // DSERR_GENERIC
inline constexpr SoundResult kSoundErrInvalidParam =
    static_cast<SoundResult>(0x80070057u);  // DSERR_INVALIDPARAM
inline constexpr SoundResult kSoundErrOutOfMemory =
    static_cast<SoundResult>(0x8007000Eu);  // DSERR_OUTOFMEMORY
inline constexpr SoundResult kSoundErrInvalidCall =
    static_cast<SoundResult>(0x88780032u);                                                // DSERR_INVALIDCALL
inline constexpr SoundResult kSoundErrBadFormat = static_cast<SoundResult>(0x88780064u);  // DSERR_BADFORMAT
inline constexpr SoundResult kSoundErrNoDriver = static_cast<SoundResult>(0x88780078u);   // DSERR_NODRIVER
inline constexpr SoundResult kSoundErrBufferLost = static_cast<SoundResult>(0x88780096u);  // DSERR_BUFFERLOST

inline constexpr uint32_t kCooperativeNormal = 1;        // DSSCL_NORMAL
inline constexpr uint32_t kBufferCtrlFrequency = 0x20;   // DSBCAPS_CTRLFREQUENCY
inline constexpr uint32_t kBufferCtrlPan = 0x40;         // DSBCAPS_CTRLPAN
inline constexpr uint32_t kBufferCtrlVolume = 0x80;      // DSBCAPS_CTRLVOLUME
inline constexpr uint32_t kPlayLooping = 1;              // DSBPLAY_LOOPING
inline constexpr uint32_t kStatusPlaying = 1;            // DSBSTATUS_PLAYING
inline constexpr uint32_t kStatusLooping = 4;            // DSBSTATUS_LOOPING
inline constexpr uint32_t kLockFromWriteCursor = 1;      // DSBLOCK_FROMWRITECURSOR
inline constexpr uint32_t kLockEntireBuffer = 2;         // DSBLOCK_ENTIREBUFFER
inline constexpr uint32_t kBufferBytesMin = 4;           // DSBSIZE_MIN
inline constexpr uint32_t kBufferBytesMax = 0x0FFFFFFF;  // DSBSIZE_MAX

// DSBUFFERDESC as DirectSound 5 knew it: 20 bytes on 32-bit Windows.
struct SoundBufferDesc {
  uint32_t size;  // sizeof the record as the caller knows it: 20
  uint32_t flags;
  uint32_t buffer_bytes;
  uint32_t reserved;
  const void* format;  // WAVEFORMATEX
};
#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(SoundBufferDesc) == 20);
#endif
inline constexpr uint32_t kSoundBufferDescSize = 20;

// GetActiveWindow(); FindWindowA(class_name, nullptr). Null when there is none.
Window* active_window();
Window* find_window(const char* class_name);

// DirectSoundCreate(nullptr, &device, nullptr).
SoundResult sound_create(SoundDevice** device);
// IDirectSound::SetCooperativeLevel(window, level).
SoundResult sound_set_cooperative_level(SoundDevice* device, Window* window, uint32_t level);
// IDirectSound::CreateSoundBuffer(desc, &buffer, nullptr).
SoundResult sound_create_buffer(SoundDevice* device, const SoundBufferDesc* desc, SoundBuffer** buffer);
// IDirectSound::Release: the count of references left.
uint32_t sound_release(SoundDevice* device);

// IDirectSoundBuffer::Lock(offset, bytes, ...): the region, in two parts when it wraps past the
// end of the buffer (the second part is then from the buffer's start; else null with length 0).
SoundResult buffer_lock(SoundBuffer* buffer, uint32_t offset, uint32_t bytes, void** part1, uint32_t* length1,
                        void** part2, uint32_t* length2, uint32_t flags);
SoundResult buffer_unlock(SoundBuffer* buffer, void* part1, uint32_t length1, void* part2, uint32_t length2);
SoundResult buffer_play(SoundBuffer* buffer, uint32_t reserved, uint32_t priority, uint32_t flags);
SoundResult buffer_stop(SoundBuffer* buffer);
SoundResult buffer_get_current_position(SoundBuffer* buffer, uint32_t* play, uint32_t* write);
SoundResult buffer_set_current_position(SoundBuffer* buffer, uint32_t position);
SoundResult buffer_get_status(SoundBuffer* buffer, uint32_t* status);
uint32_t buffer_release(SoundBuffer* buffer);

}  // namespace platform
