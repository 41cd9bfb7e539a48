#pragma once
// The streaming player's internal steps and a read-only view of its state, for its tests and
// benchmark. The autopilot uses sound/player.h only.
#include <cstdint>

#include "platform/sound_device.h"

namespace sound::internal {

// Opens "sound\" + the current name and fills the whole buffer from its first sample: 0, or -1
// with nothing left open.
int sound_prepare();
// Back to the first sample of the loaded sound and refills the whole buffer.
void sound_rewind();
// Plays the loaded buffer looping and makes the 50 ms timer.
void sound_start();
// The timer callback: refills what has been played since the last tick.
void sound_tick(void* context);

struct PlayerView {
  bool device;
  bool loaded;
  bool playing;
  bool timer_running;
  bool end_reached;
  bool finished;
  uint32_t buffer_size;
  uint32_t last_position;
  uint32_t tail_count;
  platform::SoundBuffer* buffer;
  const char* current_name;
  const char* path;
};
// The player's state now, as the gauge thread sees it.
PlayerView view();

}  // namespace sound::internal
