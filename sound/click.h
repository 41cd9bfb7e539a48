#pragma once
// A one-shot click held whole in one small sound buffer: the first tenth of a second of
// kClickSoundPath, loaded once at install and started from its beginning at each click. Module
// state of the one module that clicks; every call is made on the gauge thread. Each failure leaves
// the module silent and nothing open.
namespace sound {

// Relative to the host's current folder.
inline constexpr char kClickSoundPath[] = "Sound\\Nordel_HSI_Switch.wav";

// Makes the sound device and fills the click buffer from the file (silence after its end).
void click_sound_load();
// Starts the click from its beginning, unless there is none or it is still sounding.
void click_sound_play();
// Gives back the click buffer and the device.
void click_sound_release();

}  // namespace sound
