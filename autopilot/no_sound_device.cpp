// The player's operations as they behave without a sound device, for builds whose sound library
// has no player yet: the panel works and stays silent.
#include "sound/player.h"

namespace sound {

int sound_open() { return 0; }
int sound_play(const char*) { return 0; }
int sound_is_finished() { return 0; }
void sound_stop(int) {}
void sound_close() {}

}  // namespace sound
