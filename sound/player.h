#pragma once
// The streaming player: one sound device, at most one sound at a time, streamed from a wave file
// through a looping buffer of 1.2 s that a 50 ms timer refills behind the play position. Module
// state of the one module that plays through it; every call below is made on the gauge thread.
namespace sound {

// Opens the default sound device for the active window: 1 when it is ready, else 0.
int sound_open();
// Plays "sound\" + name from its first sample, stopping whatever plays now: 1 when it started,
// 0 without a device or when the file cannot be prepared (nothing is then loaded).
int sound_play(const char* name);
// Nonzero once the sound has played out, or a stop has begun.
int sound_is_finished();
// release 1: stop and unload; anything else: stop and go back to the first sample.
void sound_stop(int release);
// Stops and unloads any sound, then gives the device back.
void sound_close();

}  // namespace sound
