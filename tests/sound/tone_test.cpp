// A short tone through the build's own sound device on real time: under Wine DirectSound itself and
// the multimedia timer (the win32 build), natively the substitute device and its timer thread. The
// player must see the tone play out and raise finished. Where DirectSound finds no device (Wine
// without a configured ALSA device gives DSERR_NODRIVER) the test is skipped: the silent path.
//
// Under Wine the ALSA null sink plays about 4 times too fast, so only the order of events is
// checked, never how long the tone took.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>

#include "platform/timer.h"
#include "sound/player.h"
#include "tests/support/temp_folder.h"
#include "tests/wave/wav_builder.h"

namespace {

// 0.3 s of a 440 Hz sine, 16-bit mono at 22050 samples a second.
wavtest::Bytes tone() {
  wavtest::Bytes samples;
  for (int i = 0; i < 6615; ++i) {
    const auto v = static_cast<int16_t>(8000.0 * std::sin(2.0 * 3.14159265358979 * 440.0 * i / 22050.0));
    wavtest::put16(samples, static_cast<uint16_t>(v));
  }
  return wavtest::wave({wavtest::pcm_fmt(1, 22050, 16), wavtest::chunk("data", samples)});
}

TEST(Tone, AShortTonePlaysOutOnTheRealDeviceAndTimer) {
  testsupport::CurrentFolder folder("sound_tone");
  folder.write("sound/tone.wav", tone());
  if (sound::sound_open() != 1) {
    sound::sound_close();
    GTEST_SKIP() << "no sound device here: the player stays silent";
  }
  ASSERT_EQ(sound::sound_play("tone.wav"), 1);
  EXPECT_EQ(sound::sound_is_finished(), 0);
  const auto start = std::chrono::steady_clock::now();
  while (!sound::sound_is_finished() && std::chrono::steady_clock::now() - start < std::chrono::seconds(10)) {
    platform::sleep_ms(20);  // the gauge's frames
  }
  EXPECT_NE(sound::sound_is_finished(), 0) << "finished rises once the tone has played";
  sound::sound_stop(1);
  sound::sound_close();
}

}  // namespace
