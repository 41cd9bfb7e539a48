// DirectSound and the window lookups, one call each. Our handle types stand for the COM
// interfaces themselves, so no call allocates or keeps anything of its own.
#include <windows.h>
// windows.h first: dsound.h needs its types.
#include <dsound.h>

#include <cstddef>

#include "platform/sound_device.h"

namespace platform {
namespace {

// Our 20-byte record is DirectSound 5's DSBUFFERDESC (DSBUFFERDESC1), handed over as it is:
// DirectSound reads dwSize first and no further than that.
#define SAME_FIELD(ours, theirs, a, b) \
  static_assert(offsetof(ours, a) == offsetof(theirs, b) && sizeof(ours::a) == sizeof(theirs::b))
static_assert(sizeof(SoundBufferDesc) == sizeof(DSBUFFERDESC1));
SAME_FIELD(SoundBufferDesc, DSBUFFERDESC1, size, dwSize);
SAME_FIELD(SoundBufferDesc, DSBUFFERDESC1, flags, dwFlags);
SAME_FIELD(SoundBufferDesc, DSBUFFERDESC1, buffer_bytes, dwBufferBytes);
SAME_FIELD(SoundBufferDesc, DSBUFFERDESC1, reserved, dwReserved);
SAME_FIELD(SoundBufferDesc, DSBUFFERDESC1, format, lpwfxFormat);
#undef SAME_FIELD

static_assert(kCooperativeNormal == DSSCL_NORMAL);
static_assert(kBufferCtrlFrequency == DSBCAPS_CTRLFREQUENCY && kBufferCtrlPan == DSBCAPS_CTRLPAN &&
              kBufferCtrlVolume == DSBCAPS_CTRLVOLUME);
static_assert(kPlayLooping == DSBPLAY_LOOPING && kStatusPlaying == DSBSTATUS_PLAYING &&
              kStatusLooping == DSBSTATUS_LOOPING);
static_assert(kLockFromWriteCursor == DSBLOCK_FROMWRITECURSOR && kLockEntireBuffer == DSBLOCK_ENTIREBUFFER);
static_assert(kBufferBytesMin == DSBSIZE_MIN && kBufferBytesMax == DSBSIZE_MAX);
static_assert(kSoundErrInvalidParam == DSERR_INVALIDPARAM && kSoundErrBadFormat == DSERR_BADFORMAT &&
              kSoundErrNoDriver == DSERR_NODRIVER && kSoundErrGeneric == DSERR_GENERIC &&
              kSoundErrOutOfMemory == DSERR_OUTOFMEMORY && kSoundErrInvalidCall == DSERR_INVALIDCALL &&
              kSoundErrBufferLost == DSERR_BUFFERLOST);

IDirectSound* com(SoundDevice* device) { return reinterpret_cast<IDirectSound*>(device); }
IDirectSoundBuffer* com(SoundBuffer* buffer) { return reinterpret_cast<IDirectSoundBuffer*>(buffer); }
HWND hwnd(Window* window) { return reinterpret_cast<HWND>(window); }

}  // namespace

Window* active_window() { return reinterpret_cast<Window*>(GetActiveWindow()); }

Window* find_window(const char* class_name) {
  return reinterpret_cast<Window*>(FindWindowA(class_name, nullptr));
}

SoundResult sound_create(SoundDevice** device) {
  IDirectSound* made = nullptr;
  const HRESULT r = DirectSoundCreate(nullptr, &made, nullptr);
  *device = reinterpret_cast<SoundDevice*>(made);
  return r;
}

SoundResult sound_set_cooperative_level(SoundDevice* device, Window* window, uint32_t level) {
  return com(device)->SetCooperativeLevel(hwnd(window), level);
}

SoundResult sound_create_buffer(SoundDevice* device, const SoundBufferDesc* desc, SoundBuffer** buffer) {
  IDirectSoundBuffer* made = nullptr;
  const HRESULT r =
      com(device)->CreateSoundBuffer(reinterpret_cast<const DSBUFFERDESC*>(desc), &made, nullptr);
  *buffer = reinterpret_cast<SoundBuffer*>(made);
  return r;
}

uint32_t sound_release(SoundDevice* device) { return com(device)->Release(); }

SoundResult buffer_lock(SoundBuffer* buffer, uint32_t offset, uint32_t bytes, void** part1, uint32_t* length1,
                        void** part2, uint32_t* length2, uint32_t flags) {
  DWORD l1 = 0, l2 = 0;
  const HRESULT r = com(buffer)->Lock(offset, bytes, part1, &l1, part2, &l2, flags);
  if (length1) *length1 = l1;
  if (length2) *length2 = l2;
  return r;
}

SoundResult buffer_unlock(SoundBuffer* buffer, void* part1, uint32_t length1, void* part2, uint32_t length2) {
  return com(buffer)->Unlock(part1, length1, part2, length2);
}

SoundResult buffer_play(SoundBuffer* buffer, uint32_t reserved, uint32_t priority, uint32_t flags) {
  return com(buffer)->Play(reserved, priority, flags);
}

SoundResult buffer_stop(SoundBuffer* buffer) { return com(buffer)->Stop(); }

SoundResult buffer_get_current_position(SoundBuffer* buffer, uint32_t* play, uint32_t* write) {
  DWORD p = 0, w = 0;
  const HRESULT r = com(buffer)->GetCurrentPosition(play ? &p : nullptr, write ? &w : nullptr);
  if (play) *play = p;
  if (write) *write = w;
  return r;
}

SoundResult buffer_set_current_position(SoundBuffer* buffer, uint32_t position) {
  return com(buffer)->SetCurrentPosition(position);
}

SoundResult buffer_get_status(SoundBuffer* buffer, uint32_t* status) {
  DWORD s = 0;
  const HRESULT r = com(buffer)->GetStatus(&s);
  if (status) *status = s;
  return r;
}

uint32_t buffer_release(SoundBuffer* buffer) { return com(buffer)->Release(); }

}  // namespace platform
