// The sound device on Linux: a deterministic stand-in for DirectSound, after SDL's disk audio
// driver. Nothing reaches a sound card: each buffer plays by the media clock (real time, or a
// clock a test drives), and what it plays is recorded and mixed into one output stream
// (platform/posix/sound_device_control.h).
//
// Positions are computed when a call looks at a buffer, from the time since its Play, so a buffer
// costs nothing while nobody asks; the bytes passed over since the last look are recorded then,
// before the call changes anything. One lock guards every device and buffer; the regions Lock
// hands out are the buffer's own bytes, written by the caller outside that lock, as with
// DirectSound.
#include <strings.h>

#include <cstdio>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/posix/media_clock.h"
#include "platform/posix/sound_device_control.h"
#include "platform/posix/testing.h"
#include "platform/sound_device.h"

struct platform::Window {
  const char* class_name;
};

struct platform::SoundDevice {
  uint32_t serial;
  bool cooperative;
};

struct platform::SoundBuffer {
  SoundDevice* device;
  uint32_t serial;
  uint32_t flags;
  uint16_t channels;
  uint32_t rate;
  uint16_t bits;
  uint16_t block;
  std::vector<uint8_t> bytes;
  uint32_t position = 0;
  bool playing = false;
  bool looping = false;
  uint64_t start_ns = 0;     // of the current run
  uint64_t frames_done = 0;  // frames played in the current run
  long segment = -1;         // the current run's segment in the recording, -1 if none
  int locks = 0;
};

namespace platform {
namespace {

__extension__ typedef unsigned __int128 u128;  // time x rate stays exact for any run length

constexpr uint16_t kWaveFormatPcm = 1;
constexpr uint32_t kRateMin = 100;             // DSBFREQUENCY_MIN
constexpr uint32_t kRateMax = 200000;          // DSBFREQUENCY_MAX
constexpr uint32_t kBufferDescSizeDx7 = 36;    // DSBUFFERDESC with guid3DAlgorithm
constexpr uint32_t kBufferPrimary = 0x1;       // DSBCAPS_PRIMARYBUFFER: not ours to make
constexpr uint32_t kWriteLeadMs = 15;          // the write cursor's lead over the play cursor
constexpr uint64_t kRecordCap = 512ull << 20;  // bytes recorded in all before recording stops
constexpr uint8_t kFreshByte = 0xCD;           // a new buffer's bytes: unwritten sound shows up

Window host_window{"FS98MAIN"};

struct State {
  std::mutex lock;
  bool device_present = true;
  bool host_window = true;
  uint32_t next_device = 1;
  uint32_t next_buffer = 1;
  std::vector<SoundDevice*> devices;
  std::vector<SoundBuffer*> buffers;  // oldest first
  bool recording = true;
  uint64_t recorded = 0;
  bool origin_set = false;
  uint64_t origin_ns = 0;
  std::vector<testing::PlayedSegment> segments;
  int64_t orphans = 0;
};

State& state() {
  static State* s = new State;  // never destroyed: a timer thread may call in while the process ends
  return *s;
}

bool known(const State& s, const SoundBuffer* b) {
  for (const SoundBuffer* x : s.buffers)
    if (x == b) return true;
  return false;
}

bool known(const State& s, const SoundDevice* d) {
  for (const SoundDevice* x : s.devices)
    if (x == d) return true;
  return false;
}

void record(State& s, SoundBuffer* b, uint64_t count) {
  if (b->segment < 0) return;
  std::vector<uint8_t>& out = s.segments[static_cast<std::size_t>(b->segment)].bytes;
  if (s.recorded + count > kRecordCap) count = kRecordCap - s.recorded;
  s.recorded += count;
  const auto size = static_cast<uint32_t>(b->bytes.size());
  uint32_t at = b->position;
  while (count > 0) {
    const uint64_t n = count < size - at ? count : size - at;
    out.insert(out.end(), b->bytes.begin() + at, b->bytes.begin() + static_cast<long>(at + n));
    count -= n;
    at = static_cast<uint32_t>((at + n) % size);
  }
}

// Plays a buffer up to now: moves its position by the frames due since its Play and records the
// bytes passed over.
void advance(State& s, SoundBuffer* b) {
  if (!b->playing) return;
  const uint64_t now = posix::media_now_ns();
  const uint64_t elapsed = now > b->start_ns ? now - b->start_ns : 0;
  const auto frames = static_cast<uint64_t>(u128{elapsed} * b->rate / 1000000000u);
  uint64_t count = (frames - b->frames_done) * b->block;
  b->frames_done = frames;
  if (count == 0) return;
  const auto size = static_cast<uint32_t>(b->bytes.size());
  bool ended = false;
  if (!b->looping && count >= size - b->position) {
    count = size - b->position;
    ended = true;
  }
  record(s, b, count);
  b->position = static_cast<uint32_t>((b->position + count) % size);
  if (ended) {
    b->playing = false;
    b->position = 0;
    b->segment = -1;
  }
}

void advance_all(State& s) {
  for (SoundBuffer* b : s.buffers) advance(s, b);
}

void start_recording_at(State& s, uint64_t now) {
  s.origin_ns = now;
  s.origin_set = true;
}

// The channels, rate and width of a format a real device plays, else a failure.
SoundResult check_format(const void* format, SoundBuffer* into) {
  if (!format) return kSoundErrInvalidParam;
  const auto* f = static_cast<const unsigned char*>(format);
  uint16_t tag, channels, block, bits;
  uint32_t rate, average;
  std::memcpy(&tag, f, 2);
  std::memcpy(&channels, f + 2, 2);
  std::memcpy(&rate, f + 4, 4);
  std::memcpy(&average, f + 8, 4);
  std::memcpy(&block, f + 12, 2);
  std::memcpy(&bits, f + 14, 2);
  if (tag != kWaveFormatPcm) return kSoundErrBadFormat;
  if (channels < 1 || channels > 2) return kSoundErrBadFormat;
  if (bits != 8 && bits != 16) return kSoundErrBadFormat;
  if (rate < kRateMin || rate > kRateMax) return kSoundErrBadFormat;
  if (block != channels * bits / 8) return kSoundErrBadFormat;
  if (average != rate * block) return kSoundErrBadFormat;
  into->channels = channels;
  into->rate = rate;
  into->bits = bits;
  into->block = block;
  return kSoundOk;
}

uint32_t write_cursor(const SoundBuffer* b) {
  if (!b->playing) return b->position;
  const uint32_t lead = b->rate * kWriteLeadMs / 1000 * b->block;
  return static_cast<uint32_t>((uint64_t{b->position} + lead) % b->bytes.size());
}

void destroy(State& s, SoundBuffer* b) {
  advance(s, b);
  for (auto it = s.buffers.begin(); it != s.buffers.end(); ++it)
    if (*it == b) {
      s.buffers.erase(it);
      break;
    }
  delete b;
  testing::released(Resource::SoundBuffer);
}

}  // namespace

Window* active_window() {
  if (testing::should_fail(Call::GetActiveWindow)) return nullptr;
  State& s = state();
  std::lock_guard g(s.lock);
  return s.host_window ? &host_window : nullptr;
}

Window* find_window(const char* class_name) {
  if (testing::should_fail(Call::FindWindowA)) return nullptr;
  State& s = state();
  std::lock_guard g(s.lock);
  // Class names match without regard to case, as on Windows.
  if (!s.host_window || !class_name || strcasecmp(class_name, host_window.class_name) != 0) return nullptr;
  return &host_window;
}

SoundResult sound_create(SoundDevice** device) {
  if (!device) return kSoundErrInvalidParam;
  *device = nullptr;
  if (testing::should_fail(Call::DirectSoundCreate)) return kSoundErrNoDriver;
  State& s = state();
  std::lock_guard g(s.lock);
  if (!s.device_present) return kSoundErrNoDriver;
  auto* d = new SoundDevice{s.next_device++, false};
  s.devices.push_back(d);
  if (!s.origin_set) start_recording_at(s, posix::media_now_ns());
  testing::acquired(Resource::SoundDevice);
  *device = d;
  return kSoundOk;
}

SoundResult sound_set_cooperative_level(SoundDevice* device, Window* window, uint32_t level) {
  if (testing::should_fail(Call::SetCooperativeLevel)) return kSoundErrGeneric;
  State& s = state();
  std::lock_guard g(s.lock);
  if (!known(s, device)) return kSoundErrInvalidCall;
  // DSSCL_NORMAL .. DSSCL_WRITEPRIMARY, for a window.
  if (!window || level < 1 || level > 4) return kSoundErrInvalidParam;
  device->cooperative = true;
  return kSoundOk;
}

SoundResult sound_create_buffer(SoundDevice* device, const SoundBufferDesc* desc, SoundBuffer** buffer) {
  if (!buffer) return kSoundErrInvalidParam;
  *buffer = nullptr;
  if (testing::should_fail(Call::CreateSoundBuffer)) return kSoundErrOutOfMemory;
  State& s = state();
  std::lock_guard g(s.lock);
  if (!known(s, device)) return kSoundErrInvalidCall;
  if (!desc || (desc->size != kSoundBufferDescSize && desc->size != kBufferDescSizeDx7)) {
    return kSoundErrInvalidParam;
  }
  if ((desc->flags & kBufferPrimary) || desc->reserved != 0) return kSoundErrInvalidParam;
  if (desc->buffer_bytes < kBufferBytesMin || desc->buffer_bytes > kBufferBytesMax)
    return kSoundErrInvalidParam;
  auto* b = new SoundBuffer{};
  if (SoundResult r = check_format(desc->format, b)) {
    delete b;
    return r;
  }
  b->device = device;
  b->serial = s.next_buffer++;
  b->flags = desc->flags;
  b->bytes.assign(desc->buffer_bytes, kFreshByte);
  s.buffers.push_back(b);
  testing::acquired(Resource::SoundBuffer);
  *buffer = b;
  return kSoundOk;
}

uint32_t sound_release(SoundDevice* device) {
  testing::note_call(Call::IDirectSound_Release);
  State& s = state();
  std::lock_guard g(s.lock);
  if (!known(s, device)) return 0;
  // DirectSound frees the buffers still made from it.
  for (std::size_t i = s.buffers.size(); i-- > 0;) {
    if (s.buffers[i]->device != device) continue;
    destroy(s, s.buffers[i]);
    ++s.orphans;
  }
  for (auto it = s.devices.begin(); it != s.devices.end(); ++it)
    if (*it == device) {
      s.devices.erase(it);
      break;
    }
  delete device;
  testing::released(Resource::SoundDevice);
  return 0;
}

SoundResult buffer_lock(SoundBuffer* buffer, uint32_t offset, uint32_t bytes, void** part1, uint32_t* length1,
                        void** part2, uint32_t* length2, uint32_t flags) {
  if (part1) *part1 = nullptr;
  if (length1) *length1 = 0;
  if (part2) *part2 = nullptr;
  if (length2) *length2 = 0;
  if (testing::should_fail(Call::Lock)) return kSoundErrBufferLost;
  State& s = state();
  std::lock_guard g(s.lock);
  if (!known(s, buffer)) return kSoundErrInvalidCall;
  if (!part1 || !length1) return kSoundErrInvalidParam;
  advance(s, buffer);
  const auto size = static_cast<uint32_t>(buffer->bytes.size());
  if (flags & kLockFromWriteCursor) offset = write_cursor(buffer);
  if (flags & kLockEntireBuffer) bytes = size;
  if (offset >= size || bytes == 0 || bytes > size) return kSoundErrInvalidParam;
  const uint32_t first = bytes < size - offset ? bytes : size - offset;
  if (first < bytes && (!part2 || !length2)) return kSoundErrInvalidParam;
  *part1 = buffer->bytes.data() + offset;
  *length1 = first;
  if (first < bytes) {
    *part2 = buffer->bytes.data();
    *length2 = bytes - first;
  }
  ++buffer->locks;
  return kSoundOk;
}

SoundResult buffer_unlock(SoundBuffer* buffer, void* part1, uint32_t length1, void* part2, uint32_t length2) {
  if (testing::should_fail(Call::Unlock)) return kSoundErrInvalidCall;
  State& s = state();
  std::lock_guard g(s.lock);
  if (!known(s, buffer)) return kSoundErrInvalidCall;
  const uint8_t* begin = buffer->bytes.data();
  const uint8_t* end = begin + buffer->bytes.size();
  const auto* p1 = static_cast<const uint8_t*>(part1);
  if (!p1 || p1 < begin || p1 >= end || length1 > static_cast<std::size_t>(end - p1))
    return kSoundErrInvalidParam;
  if (part2 && (part2 != begin || length2 > buffer->bytes.size())) return kSoundErrInvalidParam;
  if (buffer->locks > 0) --buffer->locks;
  return kSoundOk;
}

SoundResult buffer_play(SoundBuffer* buffer, uint32_t reserved, uint32_t priority, uint32_t flags) {
  if (testing::should_fail(Call::Play)) return kSoundErrGeneric;
  State& s = state();
  std::lock_guard g(s.lock);
  if (!known(s, buffer)) return kSoundErrInvalidCall;
  if (reserved != 0 || priority != 0 || (flags & ~kPlayLooping) != 0) return kSoundErrInvalidParam;
  advance(s, buffer);
  if (!buffer->playing) {
    buffer->playing = true;
    buffer->start_ns = posix::media_now_ns();
    buffer->frames_done = 0;
    buffer->segment = -1;
    if (s.recording && s.recorded < kRecordCap) {
      s.segments.push_back(
          {buffer->serial, buffer->channels, buffer->rate, buffer->bits, buffer->start_ns, {}});
      buffer->segment = static_cast<long>(s.segments.size() - 1);
    }
  }
  buffer->looping = (flags & kPlayLooping) != 0;
  return kSoundOk;
}

SoundResult buffer_stop(SoundBuffer* buffer) {
  if (testing::should_fail(Call::Stop)) return kSoundErrGeneric;
  State& s = state();
  std::lock_guard g(s.lock);
  if (!known(s, buffer)) return kSoundErrInvalidCall;
  advance(s, buffer);
  buffer->playing = false;
  buffer->segment = -1;
  return kSoundOk;
}

SoundResult buffer_get_current_position(SoundBuffer* buffer, uint32_t* play, uint32_t* write) {
  if (testing::should_fail(Call::GetCurrentPosition)) return kSoundErrGeneric;
  State& s = state();
  std::lock_guard g(s.lock);
  if (!known(s, buffer)) return kSoundErrInvalidCall;
  advance(s, buffer);
  if (play) *play = buffer->position;
  if (write) *write = write_cursor(buffer);
  return kSoundOk;
}

SoundResult buffer_set_current_position(SoundBuffer* buffer, uint32_t position) {
  if (testing::should_fail(Call::SetCurrentPosition)) return kSoundErrGeneric;
  State& s = state();
  std::lock_guard g(s.lock);
  if (!known(s, buffer)) return kSoundErrInvalidCall;
  if (position >= buffer->bytes.size()) return kSoundErrInvalidParam;
  advance(s, buffer);
  buffer->position = position - position % buffer->block;
  return kSoundOk;
}

SoundResult buffer_get_status(SoundBuffer* buffer, uint32_t* status) {
  if (testing::should_fail(Call::GetStatus)) return kSoundErrGeneric;
  State& s = state();
  std::lock_guard g(s.lock);
  if (!known(s, buffer)) return kSoundErrInvalidCall;
  if (!status) return kSoundErrInvalidParam;
  advance(s, buffer);
  *status = buffer->playing ? kStatusPlaying | (buffer->looping ? kStatusLooping : 0) : 0;
  return kSoundOk;
}

uint32_t buffer_release(SoundBuffer* buffer) {
  testing::note_call(Call::IDirectSoundBuffer_Release);
  State& s = state();
  std::lock_guard g(s.lock);
  if (known(s, buffer)) destroy(s, buffer);
  return 0;
}

// ---- test controls ----

namespace testing {
namespace {

int16_t frame_value(const PlayedSegment& seg, uint64_t frame) {
  const uint16_t width = seg.bits / 8;
  const uint8_t* p = seg.bytes.data() + frame * seg.channels * width;
  int32_t sum = 0;
  for (uint16_t c = 0; c < seg.channels; ++c) {
    if (seg.bits == 8) {
      sum += (int32_t{p[c]} - 128) * 256;
    } else {
      int16_t v;
      std::memcpy(&v, p + 2 * c, 2);
      sum += v;
    }
  }
  return static_cast<int16_t>(sum / seg.channels);
}

void put16(std::FILE* f, uint16_t v) {
  const uint8_t b[2] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)};
  std::fwrite(b, 1, 2, f);
}
void put32(std::FILE* f, uint32_t v) {
  put16(f, static_cast<uint16_t>(v));
  put16(f, static_cast<uint16_t>(v >> 16));
}

}  // namespace

void set_sound_device_present(bool present) {
  State& s = state();
  std::lock_guard g(s.lock);
  s.device_present = present;
}

void set_host_window(bool present) {
  State& s = state();
  std::lock_guard g(s.lock);
  s.host_window = present;
}

std::vector<SoundBuffer*> live_sound_buffers() {
  State& s = state();
  std::lock_guard g(s.lock);
  return s.buffers;
}

bool sound_buffer_state(const SoundBuffer* buffer, SoundBufferState* out) {
  State& s = state();
  std::lock_guard g(s.lock);
  if (!known(s, buffer) || !out) return false;
  auto* b = const_cast<SoundBuffer*>(buffer);
  advance(s, b);
  *out = {b->serial,   static_cast<uint32_t>(b->bytes.size()),
          b->position, b->playing,
          b->looping,  b->flags,
          b->channels, b->rate,
          b->bits,     b->block,
          b->locks};
  return true;
}

std::vector<uint8_t> sound_buffer_contents(const SoundBuffer* buffer) {
  State& s = state();
  std::lock_guard g(s.lock);
  if (!known(s, buffer)) return {};
  return buffer->bytes;
}

int64_t sound_buffers_released_with_device() {
  State& s = state();
  std::lock_guard g(s.lock);
  return s.orphans;
}

void set_sound_recording(bool on) {
  State& s = state();
  std::lock_guard g(s.lock);
  advance_all(s);
  s.recording = on;
  if (!on)
    for (SoundBuffer* b : s.buffers) b->segment = -1;
}

void clear_sound_recording() {
  State& s = state();
  std::lock_guard g(s.lock);
  advance_all(s);
  s.segments.clear();
  s.recorded = 0;
  const uint64_t now = posix::media_now_ns();
  start_recording_at(s, now);
  // A buffer still playing goes on in a new segment from now.
  for (SoundBuffer* b : s.buffers) {
    b->segment = -1;
    if (!b->playing || !s.recording) continue;
    const uint64_t at = b->start_ns + (b->frames_done * 1000000000u + b->rate - 1) / b->rate;
    s.segments.push_back({b->serial, b->channels, b->rate, b->bits, at > now ? at : now, {}});
    b->segment = static_cast<long>(s.segments.size() - 1);
  }
}

std::vector<PlayedSegment> sound_recording() {
  State& s = state();
  std::lock_guard g(s.lock);
  advance_all(s);
  return s.segments;
}

std::vector<uint8_t> sound_played_bytes(uint32_t buffer_serial) {
  State& s = state();
  std::lock_guard g(s.lock);
  advance_all(s);
  std::vector<uint8_t> out;
  for (const PlayedSegment& seg : s.segments)
    if (seg.buffer == buffer_serial) out.insert(out.end(), seg.bytes.begin(), seg.bytes.end());
  return out;
}

std::vector<int16_t> sound_mix(uint32_t rate) {
  if (rate == 0) return {};
  std::vector<PlayedSegment> segments;
  uint64_t origin;
  {
    State& s = state();
    std::lock_guard g(s.lock);
    advance_all(s);
    segments = s.segments;
    origin = s.origin_ns;
  }
  std::vector<int32_t> sum;
  for (const PlayedSegment& seg : segments) {
    const uint64_t frames = seg.bytes.size() / (seg.channels * (seg.bits / 8u));
    if (frames == 0 || seg.rate == 0) continue;
    const uint64_t from = seg.start_ns > origin ? seg.start_ns - origin : 0;
    const uint64_t end_ns = from + static_cast<uint64_t>(u128{frames} * 1000000000u / seg.rate);
    const auto first = static_cast<uint64_t>((u128{from} * rate + 999999999u) / 1000000000u);
    const auto last = static_cast<uint64_t>(u128{end_ns} * rate / 1000000000u);
    if (sum.size() < last + 1) sum.resize(last + 1, 0);
    for (uint64_t j = first; j <= last; ++j) {
      const auto t = static_cast<uint64_t>(u128{j} * 1000000000u / rate);
      const uint64_t into = t > from ? t - from : 0;
      const auto k = static_cast<uint64_t>(u128{into} * seg.rate / 1000000000u);
      if (k >= frames) break;
      sum[j] += frame_value(seg, k);
    }
  }
  std::vector<int16_t> out(sum.size());
  for (std::size_t i = 0; i < sum.size(); ++i) {
    out[i] = static_cast<int16_t>(sum[i] > 32767 ? 32767 : sum[i] < -32768 ? -32768 : sum[i]);
  }
  return out;
}

bool write_sound_mix_wav(const char* path, uint32_t rate) {
  const std::vector<int16_t> mix = sound_mix(rate);
  std::FILE* f = std::fopen(path, "wb");
  if (!f) return false;
  const auto data = static_cast<uint32_t>(mix.size() * 2);
  std::fwrite("RIFF", 1, 4, f);
  put32(f, 36 + data);
  std::fwrite("WAVEfmt ", 1, 8, f);
  put32(f, 16);
  put16(f, 1);
  put16(f, 1);
  put32(f, rate);
  put32(f, rate * 2);
  put16(f, 2);
  put16(f, 16);
  std::fwrite("data", 1, 4, f);
  put32(f, data);
  for (int16_t v : mix) put16(f, static_cast<uint16_t>(v));
  return std::fclose(f) == 0;
}

}  // namespace testing
}  // namespace platform
