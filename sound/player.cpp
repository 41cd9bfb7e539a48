// The streaming player: one looping buffer of 1.2 s, filled from the wave file and
// refilled behind the play position by a 50 ms timer.
//
// Two threads: the gauge thread (every operation of player.h) and the timer's (sound_tick). The
// busy word is the one lock, taken only by exchange (InterlockedExchange): the tick takes it as a
// try-lock and skips its turn when it is taken; sound_stop takes it and keeps it until the next
// sound_start. The file, the format record and the buffer are touched by the tick only while it
// holds the word, and by the gauge thread only while no tick can hold it. The words the tick and
// the gauge thread both read or write are atomics.
//
// Where this departs from the Part's steps (each is one of the choices the Part leaves open, or a
// mend of what it would lose):
//  - a request for a name that is loaded releases the loaded sound before loading anew, as a
//    request for another name does, so nothing of the earlier load stays behind;
//  - a file whose average rate times 120 does not fit 32 bits fails, rather than making a buffer
//    of the wrapped size;
//  - a whole-buffer lock that fails in sound_prepare fails the request (nothing stays loaded); in
//    sound_rewind it leaves a sound with nothing left to play, which finishes at its first tick;
//  - a timer resolution that was granted is given back when the timer cannot be made;
//  - when the samples run out in a tick, the tail is counted to the end of the samples, not to
//    the start of the region being refilled: the Part's count lets finished rise, and the gauge
//    unload the sound, while up to one refill of samples is still to be played;
//  - a draining tick lowers the tail only once its lock has succeeded: the Part lowers it before
//    the lock, and the next tick, which covers the failed one's bytes as well, lowers it by them
//    again, so finished would rise early by one tick's bytes;
//  - after the samples have run out, the rest of a refill is silence without another read, for
//    every sample width.
#include <atomic>
#include <cstdio>
#include <cstring>

#include "platform/sound_device.h"
#include "platform/timer.h"
#include "sound/player.h"
#include "sound/player_internal.h"
#include "sound/silence.h"
#include "sound/wave.h"

namespace sound {
namespace {

using platform::kSoundOk;

constexpr uint32_t kPeriodMs = 50;
constexpr uint32_t kResolutionMs = 10;
constexpr uint32_t kBusyWaitMs = 200;
constexpr uint32_t kBufferPercent = 120;  // of one second
constexpr uint32_t kBufferFlags =
    platform::kBufferCtrlFrequency | platform::kBufferCtrlPan | platform::kBufferCtrlVolume;
constexpr char kFolder[] = "sound\\";

struct Player {
  platform::SoundDevice* device = nullptr;
  // The loaded sound; the tick uses them only while it holds busy.
  platform::SoundBuffer* buffer = nullptr;
  platform::RiffFile* file = nullptr;
  WaveFormat* format = nullptr;
  platform::RiffChunk outer{};
  platform::RiffChunk data{};
  uint32_t buffer_size = 0;
  uint16_t bits = 0;
  // Shared with the tick.
  std::atomic<uint32_t> last_position{0};
  std::atomic<bool> end_reached{false};
  std::atomic<uint32_t> tail_count{0};
  std::atomic<int32_t> finished{0};
  std::atomic<int32_t> busy{0};
  // The gauge thread's own.
  bool loaded = false;
  bool playing = false;
  bool timer_running = false;
  uint32_t timer_id = 0;
  char current_name[80] = {};
  char path[96] = {};
};

Player p;

// ---- the ring: offsets in a looping buffer of size bytes ----

// Bytes from `from` forward to `to`; 0 when they meet.
constexpr uint32_t ring_distance(uint32_t from, uint32_t to, uint32_t size) {
  return to >= from ? to - from : size - from + to;
}

// `at` moved forward by n bytes (n <= size).
constexpr uint32_t ring_advance(uint32_t at, uint32_t n, uint32_t size) {
  return n >= size - at ? n - (size - at) : at + n;
}

static_assert(ring_distance(100, 300, 1000) == 200 && ring_distance(900, 100, 1000) == 200);
static_assert(ring_advance(900, 200, 1000) == 100 && ring_advance(0, 1000, 1000) == 0);

// A locked region: one part, or two when it wraps past the end of the buffer.
struct Region {
  void* part[2] = {nullptr, nullptr};
  uint32_t length[2] = {0, 0};
};

bool lock(uint32_t offset, uint32_t bytes, Region& r) {
  return platform::buffer_lock(p.buffer, offset, bytes, &r.part[0], &r.length[0], &r.part[1], &r.length[1],
                               0) == kSoundOk;
}

void unlock(const Region& r) {
  platform::buffer_unlock(p.buffer, r.part[0], r.length[0], r.part[1], r.length[1]);
}

void silence(const Region& r) {
  for (int i = 0; i < 2; ++i)
    if (r.part[i]) fill_silence(r.part[i], r.length[i], p.bits);
}

// Fills the region with the next samples, part by part, and silence after the last of them (or
// silence throughout once a stop has begun, when honour_stop). The sample bytes written; *ran_out
// tells whether the samples ran out inside the region.
uint32_t stream(const Region& r, bool honour_stop, bool* ran_out) {
  uint32_t written = 0;
  *ran_out = false;
  for (int i = 0; i < 2; ++i) {
    if (!r.part[i] || r.length[i] == 0) continue;
    auto* part = static_cast<unsigned char*>(r.part[i]);
    uint32_t got = 0;
    if (!*ran_out && !(honour_stop && p.finished.load() != 0)) {
      wave_read(p.file, r.length[i], part, &p.data, &got);
      // The result code is not looked at: fewer bytes than asked, for whatever reason, is the end.
      if (got < r.length[i]) *ran_out = true;
    }
    fill_silence(part + got, r.length[i] - got, p.bits);
    written += got;
  }
  return written;
}

// sound_prepare steps 5 to 8 on the loaded buffer. False, with the buffer and the flags as they
// were, when the lock fails.
bool fill_whole_buffer() {
  Region r;
  if (!lock(0, p.buffer_size, r)) return false;
  bool ran_out;
  const uint32_t written = stream(r, false, &ran_out);
  // The play position starts at 0, so the samples end `written` bytes ahead of it.
  p.tail_count.store(ran_out ? written : 0);
  p.end_reached.store(ran_out);
  unlock(r);
  p.last_position.store(0);
  p.finished.store(0);
  return true;
}

void stop(int release);

// The tick's work, holding busy.
void tick_holding_busy() {
  if (!p.buffer) return;
  uint32_t play = 0;
  if (platform::buffer_get_current_position(p.buffer, &play, nullptr) != kSoundOk) return;
  const uint32_t last = p.last_position.load();
  if (play == last) return;
  if (p.end_reached.load() && p.tail_count.load() == 0) {
    p.finished.store(1);
    return;
  }
  const uint32_t played = ring_distance(last, play, p.buffer_size);
  Region r;
  if (p.end_reached.load()) {
    if (!lock(last, played, r)) return;
    silence(r);
    unlock(r);
    // Counted once the region is done: after a failed lock the next tick counts it again.
    const uint32_t tail = p.tail_count.load();
    p.tail_count.store(tail > played ? tail - played : 0);
  } else {
    if (!lock(last, played, r)) return;
    bool ran_out;
    const uint32_t written = stream(r, true, &ran_out);
    if (ran_out) {
      // The samples end `written` bytes into the region that starts at last, and the play
      // position has that far to go: round to last, then on to the end of the samples.
      p.tail_count.store(ring_distance(play, last, p.buffer_size) + written);
      p.end_reached.store(true);
    }
    unlock(r);
  }
  p.last_position.store(ring_advance(last, played, p.buffer_size));
}

void tick(void* /*context*/) {
  if (p.busy.exchange(1) != 0) return;  // a tick or a stop holds it: skip this turn
  tick_holding_busy();
  p.busy.exchange(0);
}

int prepare() {
  if (wave_open(p.path, &p.file, &p.format, &p.outer) != WAVE_OK) return -1;
  if (p.format->format_tag != kWaveFormatPcm || wave_seek_data(p.file, &p.data, &p.outer) != WAVE_OK) {
    wave_close(p.file, p.format);
    return -1;
  }
  const uint64_t product = uint64_t{p.format->average_bytes_per_second} * kBufferPercent;
  if (product > UINT32_MAX) {
    wave_close(p.file, p.format);
    return -1;
  }
  p.buffer_size = static_cast<uint32_t>(product) / 100;
  p.bits = p.format->bits_per_sample;
  const platform::SoundBufferDesc desc{platform::kSoundBufferDescSize, kBufferFlags, p.buffer_size, 0,
                                       p.format};
  if (platform::sound_create_buffer(p.device, &desc, &p.buffer) != kSoundOk || !p.buffer) {
    p.buffer = nullptr;
    wave_close(p.file, p.format);
    return -1;
  }
  if (!fill_whole_buffer()) {
    platform::buffer_release(p.buffer);
    p.buffer = nullptr;
    wave_close(p.file, p.format);
    return -1;
  }
  return 0;
}

void rewind() {
  if (!p.loaded || !p.buffer) return;
  wave_seek_data(p.file, &p.data, &p.outer);  // its result is not looked at
  if (!fill_whole_buffer()) {
    // The buffer holds what it held: nothing of this sound is left to play, and it finishes at
    // its first tick.
    p.end_reached.store(true);
    p.tail_count.store(0);
    p.last_position.store(0);
    p.finished.store(0);
  }
}

void start() {
  if (p.playing) stop(0);
  if (!p.loaded || !p.buffer) {
    p.timer_running = false;
    p.playing = false;
    return;
  }
  platform::buffer_set_current_position(p.buffer, 0);
  platform::buffer_play(p.buffer, 0, 0, platform::kPlayLooping);
  if (platform::timer_begin_period(kPeriodMs) != platform::kTimerNoError) {
    platform::buffer_stop(p.buffer);
    p.timer_running = false;
    p.playing = false;
    return;
  }
  p.busy.store(0);
  p.timer_id = platform::timer_set_event(kPeriodMs, kResolutionMs, tick, nullptr, platform::kTimerPeriodic);
  if (p.timer_id != 0) {
    p.timer_running = true;
  } else {
    platform::timer_end_period(kPeriodMs);
  }
  p.playing = true;
}

void stop(int release) {
  p.finished.store(1);  // first: a tick under way now fills silence instead of reading the file
  if (p.timer_running) {
    platform::timer_kill_event(p.timer_id);
    platform::timer_end_period(kPeriodMs);
    // Waits out a tick still under way; the word stays taken until the next start.
    while (p.busy.exchange(1) != 0) platform::sleep_ms(kBusyWaitMs);
    p.timer_running = false;
  }
  if (p.playing) {
    p.playing = false;
    platform::buffer_stop(p.buffer);
  }
  if (release != 1) {
    rewind();
    return;
  }
  if (p.loaded) {
    wave_close(p.file, p.format);
    if (p.buffer) platform::buffer_release(p.buffer);
    p.buffer = nullptr;
    p.loaded = false;
  }
}

}  // namespace

int sound_open() {
  if (p.device) sound_close();  // a second open gives the first device back
  if (platform::sound_create(&p.device) != kSoundOk || !p.device) {
    p.device = nullptr;
    return 0;
  }
  // Without the level the device stays, and sound_close gives it back.
  if (platform::sound_set_cooperative_level(p.device, platform::active_window(),
                                            platform::kCooperativeNormal) != kSoundOk) {
    return 0;
  }
  p.current_name[0] = '\0';
  return 1;
}

int sound_play(const char* name) {
  if (!p.device || !name) return 0;
  if (p.loaded) stop(1);
  std::snprintf(p.current_name, sizeof p.current_name, "%s", name);
  std::snprintf(p.path, sizeof p.path, "%s%s", kFolder, p.current_name);
  if (prepare() != 0) return 0;
  p.loaded = true;
  start();
  return 1;
}

int sound_is_finished() { return p.finished.load(); }

void sound_stop(int release) { stop(release); }

void sound_close() {
  if (!p.device) return;
  if (p.loaded) stop(1);
  platform::sound_release(p.device);
  p.device = nullptr;
}

namespace internal {

int sound_prepare() { return prepare(); }
void sound_rewind() { rewind(); }
void sound_start() { start(); }
void sound_tick(void* context) { tick(context); }

PlayerView view() {
  return {p.device != nullptr,
          p.loaded,
          p.playing,
          p.timer_running,
          p.end_reached.load(),
          p.finished.load() != 0,
          p.buffer_size,
          p.last_position.load(),
          p.tail_count.load(),
          p.buffer,
          p.current_name,
          p.path};
}

}  // namespace internal
}  // namespace sound
