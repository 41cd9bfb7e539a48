#include "sound/click.h"

#include "platform/sound_device.h"
#include "sound/silence.h"
#include "sound/wave.h"

namespace sound {
namespace {

// A tenth of a second of the file: enough for a switch's click.
constexpr uint32_t kClickFraction = 10;

platform::Window* host_window = nullptr;
platform::SoundDevice* device = nullptr;
platform::SoundBuffer* click_buffer = nullptr;
uint32_t click_status = 0;

// Used only while loading.
platform::RiffFile* wave_file = nullptr;
WaveFormat* wave_format = nullptr;
platform::RiffChunk wave_outer{};
platform::RiffChunk wave_data{};

void release_buffer() {
  if (click_buffer != nullptr) platform::buffer_release(click_buffer);
  click_buffer = nullptr;
}

// Fills click_buffer from the open file: its samples, then silence to the end. False when the
// buffer cannot be locked; the caller then drops it rather than play whatever it holds.
bool fill_click_buffer(uint32_t bytes) {
  void* part1 = nullptr;
  void* part2 = nullptr;
  uint32_t length1 = 0;
  uint32_t length2 = 0;
  if (platform::buffer_lock(click_buffer, 0, bytes, &part1, &length1, &part2, &length2, 0) !=
      platform::kSoundOk)
    return false;
  if (length1 == 0) {
    platform::buffer_unlock(click_buffer, part1, 0, part2, length2);
    return false;
  }
  uint32_t got = 0;
  wave_read(wave_file, length1, part1, &wave_data, &got);  // a short read ends the samples
  fill_silence(static_cast<unsigned char*>(part1) + got, length1 - got, wave_format->bits_per_sample);
  platform::buffer_unlock(click_buffer, part1, length1, nullptr, 0);
  return true;
}

}  // namespace

void click_sound_load() {
  // A second install without a kill between must not strand the first device.
  click_sound_release();
  host_window = platform::find_window("FS98MAIN");
  if (platform::sound_create(&device) != platform::kSoundOk) {
    device = nullptr;
    return;
  }
  // Without the host window the level is asked for with none; its result changes nothing.
  platform::sound_set_cooperative_level(device, host_window, platform::kCooperativeNormal);

  if (wave_open(kClickSoundPath, &wave_file, &wave_format, &wave_outer) != WAVE_OK) return;
  if (wave_format->format_tag != kWaveFormatPcm ||
      wave_seek_data(wave_file, &wave_data, &wave_outer) != WAVE_OK) {
    wave_close(wave_file, wave_format);
    return;
  }
  const uint32_t bytes = wave_format->average_bytes_per_second / kClickFraction;
  const platform::SoundBufferDesc desc{
      platform::kSoundBufferDescSize,
      platform::kBufferCtrlFrequency | platform::kBufferCtrlPan | platform::kBufferCtrlVolume, bytes, 0,
      wave_format};
  if (platform::sound_create_buffer(device, &desc, &click_buffer) != platform::kSoundOk) {
    click_buffer = nullptr;
    wave_close(wave_file, wave_format);
    return;
  }
  if (!fill_click_buffer(bytes)) release_buffer();
  // The buffer keeps its own copy of the format.
  wave_close(wave_file, wave_format);
}

void click_sound_play() {
  if (click_buffer == nullptr) return;
  if (platform::buffer_get_status(click_buffer, &click_status) != platform::kSoundOk) click_status = 0;
  if (click_status & platform::kStatusPlaying) return;  // still sounding: not restarted
  platform::buffer_set_current_position(click_buffer, 0);
  platform::buffer_play(click_buffer, 0, 0, 0);
}

void click_sound_release() {
  release_buffer();
  // A new device is made at each install, so each kill gives its own back.
  if (device != nullptr) platform::sound_release(device);
  device = nullptr;
}

}  // namespace sound
