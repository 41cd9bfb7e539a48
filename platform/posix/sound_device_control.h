#pragma once
// Test controls of the substitute sound device (platform/sound_device.h, platform/posix/
// sound_device.cpp): what a test needs to see and steer of the device beyond DirectSound's own
// calls. Faults and counts are in platform/posix/testing.h (Call::DirectSoundCreate .. GetStatus,
// Resource::SoundDevice and Resource::SoundBuffer); the clock the device plays by is in
// platform/posix/media_clock.h.
//
// The device plays each buffer by the media clock: a playing buffer's position moves by whole
// frames, frames = elapsed time x its rate, counted from its Play; a looping buffer wraps, a buffer
// played once stops at its end and goes back to position 0. Every byte it plays is recorded, in
// order, as one segment per run from Play to Stop (or to the end, or Release), and all segments
// mix into one output stream over the clock.
#include <cstdint>
#include <vector>

#include "platform/sound_device.h"

namespace platform::testing {

// Whether DirectSoundCreate finds a device (as on a machine with sound); when false it gives
// DSERR_NODRIVER until set back. On by default.
void set_sound_device_present(bool present);

// Whether the host's main window (class "FS98MAIN") exists and is the active window. On by
// default; without it GetActiveWindow and FindWindowA give null.
void set_host_window(bool present);

// The buffers alive now, oldest first.
std::vector<SoundBuffer*> live_sound_buffers();

struct SoundBufferState {
  uint32_t serial;         // 1, 2, ... in the order buffers were made (the recording names them so)
  uint32_t size;           // bytes
  uint32_t play_position;  // as GetCurrentPosition would give it now
  bool playing;
  bool looping;
  uint32_t flags;  // the DSBUFFERDESC flags it was made with
  uint16_t channels;
  uint32_t rate;
  uint16_t bits;
  uint16_t block_align;
  int outstanding_locks;  // Lock calls not yet answered by Unlock
};
// The buffer's state now; false if it is not a live buffer.
bool sound_buffer_state(const SoundBuffer* buffer, SoundBufferState* state);

// The buffer's bytes now (empty if it is not a live buffer).
std::vector<uint8_t> sound_buffer_contents(const SoundBuffer* buffer);

// Buffers that were still alive when their device was released (DirectSound frees them then).
int64_t sound_buffers_released_with_device();

// One run of one buffer: the bytes it played, in order, from start_ns on the media clock.
struct PlayedSegment {
  uint32_t buffer;  // its serial
  uint16_t channels;
  uint32_t rate;
  uint16_t bits;
  uint64_t start_ns;
  std::vector<uint8_t> bytes;
};

// Recording is on by default. Off, nothing more is added. Clearing starts a new recording whose
// output stream begins now.
void set_sound_recording(bool on);
void clear_sound_recording();
// Every segment so far (playing buffers are brought up to now first), in the order they began.
std::vector<PlayedSegment> sound_recording();
// Every byte one buffer has played, all its runs one after the other.
std::vector<uint8_t> sound_played_bytes(uint32_t buffer_serial);
// The one output stream: every segment mixed at its time on the clock, 16-bit mono at rate, from
// the start of the recording to the end of the last segment. Channels are averaged, 8-bit samples
// widened, each output sample takes the source frame playing at its time, sums are clipped.
std::vector<int16_t> sound_mix(uint32_t rate = 44100);
// sound_mix written as a PCM WAV file. False if the file cannot be written.
bool write_sound_mix_wav(const char* path, uint32_t rate = 44100);

}  // namespace platform::testing
