// The autopilot's two sounds through the host and the substitute sound device, on the clock the
// test steps: the disconnect chime of the AUTO FLIGHT bar, the level-off alert, and the poll that
// unloads a sound once it has played. A sound started is a sound buffer made by the device; each
// test's sound folder holds only the file it may play.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/autopilot/autopilot_support.h"
#include "tests/support/platform_hooks.h"
#include "tests/wave/wav_builder.h"

using testing::ElementsAre;
using testing::IsEmpty;

namespace {

using aptest::Event;
using hooks::Call;
using hooks::Resource;

class Sounds : public aptest::Autopilot {
 protected:
  void SetUp() override {
    if (!hooks::kHooks) GTEST_SKIP() << "needs the substitute device and a stepped clock";
    ASSERT_TRUE(clock.ok());
    Autopilot::SetUp();
  }
  // The module gone (and with it its timer) before the clock goes back to real time.
  void TearDown() override {
    if (g) {
      ASSERT_TRUE(host.unload(*g));
    }
    g = nullptr;
    EXPECT_LIVE(Resource::SoundBuffer, 0);
    EXPECT_LIVE(Resource::SoundDevice, 0);
    EXPECT_LIVE(Resource::RiffFile, 0);
    EXPECT_LIVE(Resource::Timer, 0);
  }
  // A sound file in the test's sound folder: 0.2 s of 16-bit mono at 22050 samples per second.
  wavtest::Bytes provide(const std::string& name) {
    const wavtest::Bytes samples = wavtest::samples(8820, static_cast<uint32_t>(name.size()));
    folder.write("Sound/" + name,
                 wavtest::wave({wavtest::pcm_fmt(1, 22050, 16), wavtest::chunk("data", samples)}));
    return samples;
  }
  // Sounds started since the test began.
  int64_t started() const { return hooks::calls(Call::CreateSoundBuffer) - buffers_before; }

  hooks::ManualClock clock;
  int64_t buffers_before = hooks::calls(Call::CreateSoundBuffer);
  int64_t opens_before = hooks::calls(Call::mmioOpenA);
};

TEST_F(Sounds, AutoFlightPlaysTheDisconnectChimeOnlyWhileEngaged) {
  const wavtest::Bytes samples = provide("-apdisco.wav");
  start();
  set_power(1);
  host.set(103, 0.0);
  update();
  host.clear_log();
  click(130, 42, 65, 18);
  EXPECT_THAT(events(), ElementsAre(Event{65580, 0}));
  EXPECT_EQ(started(), 0) << "token 103 zero: the event only";
  host.set(103, 1.0);
  update();
  host.clear_log();
  click(130, 42, 65, 18);
  EXPECT_THAT(events(), ElementsAre(Event{65580, 0}));
  ASSERT_EQ(started(), 1);
  hooks::SoundBufferState state{};
  ASSERT_TRUE(hooks::sound_buffer_state(hooks::newest_sound_buffer(), &state));
  EXPECT_TRUE(state.playing);
  hooks::run_clock_ms(300);
  const wavtest::Bytes played = hooks::sound_played_bytes(state.serial);
  ASSERT_GE(played.size(), samples.size());
  EXPECT_TRUE(std::equal(samples.begin(), samples.end(), played.begin()))
      << "the file's samples, from the first";
  ASSERT_TRUE(host.kill(*g));
  EXPECT_LIVE(Resource::SoundBuffer, 0) << "kill closes the device with its sound";
  EXPECT_LIVE(Resource::SoundDevice, 0);
}

// The poll of each update unloads a sound once the player reports it finished, and only then.
TEST_F(Sounds, TheUpdateUnloadsASoundThatHasPlayedOut) {
  provide("-apdisco.wav");
  start();
  set_power(1);
  host.set(103, 1.0);
  update();
  click(130, 42, 65, 18);
  ASSERT_EQ(started(), 1);
  hooks::run_clock_ms(100);
  update();
  EXPECT_LIVE(Resource::SoundBuffer, 1) << "still playing";
  EXPECT_LIVE(Resource::RiffFile, 1);
  hooks::run_clock_ms(400);
  EXPECT_LIVE(Resource::SoundBuffer, 1) << "finished, but only the update unloads it";
  update();
  EXPECT_LIVE(Resource::SoundBuffer, 0);
  EXPECT_LIVE(Resource::RiffFile, 0);
  EXPECT_LIVE(Resource::Timer, 0);
  // Unpowered, the poll still runs.
  click(130, 42, 65, 18);
  ASSERT_EQ(started(), 2);
  set_power(0);
  hooks::run_clock_ms(500);
  update();
  EXPECT_LIVE(Resource::SoundBuffer, 0);
}

TEST_F(Sounds, WithoutADeviceTheChimeIsSkippedAndTheEventStillSent) {
  provide("-apdisco.wav");
  {
    hooks::Failures failures;
    hooks::fail(Call::DirectSoundCreate);
    start();
  }
  set_power(1);
  host.set(103, 1.0);
  update();
  host.clear_log();
  click(130, 42, 65, 18);
  EXPECT_THAT(events(), ElementsAre(Event{65580, 0}));
  EXPECT_EQ(started(), 0);
  EXPECT_EQ(hooks::calls(Call::mmioOpenA) - opens_before, 0) << "no device: the file is not even opened";
}

// ---- the level-off alert ----

// Aircraft altitudes in metres whose products with 3.28084 are exact in doubles, so that D lands
// exactly on the alert's bounds against a selected altitude of 4000 ft.
constexpr double kAt5000ft = 1523.9999512320016;  // D = +1000
constexpr double kAt3000ft = 914.399970739201;    // D = -1000
constexpr double kAt4750ft = 1447.7999536704015;  // D = +750
constexpr double kAt3250ft = 990.599968300801;    // D = -750
constexpr double kAt4000ft = 4000.0 / 3.28084;    // D about 0
constexpr double kAt6000ft = 6000.0 / 3.28084;    // D about +2000

class Alert : public Sounds {
 protected:
  // Powered, 108 lit, 4000 ft selected and shown, not armed (the first frame is at 4000 ft).
  void ready() {
    provide("LevelWarning.wav");
    start();
    set_power(1);
    host.set(108, 1.0);
    host.set(109, 4000.0);
    host.set(73, 0.0);  // D 0 against the 0 selected before the window first shows
    update();
    ASSERT_EQ(text(aptest::kAltitudeWindow), "04000");
  }
  // A frame at this altitude; whether it started the alert.
  bool fires_at(double altitude_m) {
    const int64_t before = started();
    host.set(73, altitude_m);
    update();
    return started() > before;
  }
};

TEST_F(Alert, ArmsBeyondAThousandFeetAndFiresOnceInsideSevenHundredFifty) {
  ready();
  for (double m : {kAt5000ft, kAt3000ft, kAt4000ft})
    EXPECT_FALSE(fires_at(m)) << "exactly 1000 ft does not arm";
  EXPECT_FALSE(fires_at(kAt6000ft));  // armed
  EXPECT_FALSE(fires_at(kAt4750ft)) << "exactly +750 does not fire";
  EXPECT_FALSE(fires_at(kAt3250ft)) << "exactly -750 does not fire";
  EXPECT_TRUE(fires_at(kAt4000ft));
  EXPECT_FALSE(fires_at(kAt4000ft)) << "once per arming";
  EXPECT_FALSE(fires_at(kAt3250ft));
  EXPECT_FALSE(fires_at(kAt3000ft - 0.01));  // armed below
  EXPECT_TRUE(fires_at(kAt4750ft - 0.01));
  EXPECT_EQ(started(), 2);
}

TEST_F(Alert, WithTheAltLightOutTheAlertDisarmsSilently) {
  ready();
  EXPECT_FALSE(fires_at(kAt6000ft));
  host.set(108, 0.0);
  EXPECT_FALSE(fires_at(kAt4000ft));
  host.set(108, 1.0);
  EXPECT_FALSE(fires_at(kAt4000ft)) << "disarmed by the silent pass";
  EXPECT_FALSE(fires_at(kAt6000ft));
  EXPECT_TRUE(fires_at(kAt4000ft));
}

// The selected altitude starts at 0: a first powered frame above 1000 ft arms against it, and the
// value the window then shows fires the alert at the next frame.
TEST_F(Alert, TheFirstPoweredFrameArmsAgainstNoSelectedAltitude) {
  provide("LevelWarning.wav");
  start();
  set_power(1);
  host.set(108, 1.0);
  host.set(109, 4000.0);
  EXPECT_FALSE(fires_at(kAt4000ft));
  EXPECT_TRUE(fires_at(kAt4000ft));
}

// While the sequencer holds the windows the selected altitude is frozen, and the alert measures
// against the frozen value.
TEST_F(Alert, ComparesWithTheFrozenAltitudeWhileTheWindowsAreHeld) {
  ready();
  // High ground: 188 ft above it at 5249 ft, engaged with APPR/LAND: the sequencer captures.
  auto over_ground = [&](double altitude_m) {
    host.set(73, altitude_m);
    host.set(2, (altitude_m - 60.0) * 256.0);
  };
  host.set(103, 1.0);
  host.set(112, 1.0);
  host.set(123, 1.0);
  over_ground(1600.0);
  update();  // armed (D 1249); the AUTO FLIGHT light seen engaged
  const int64_t before = started();
  host.clear_log();
  update();  // capture
  ASSERT_FALSE(events().empty());
  ASSERT_EQ(text(aptest::kAltitudeWindow), "-----");
  host.set(112, 0.0);
  host.set(109, 5000.0);  // D against 5000 would be 249: inside
  update();
  EXPECT_EQ(started(), before) << "still 1249 ft from the frozen 4000";
  over_ground(1230.0);  // 4035 ft: inside against 4000, -965 against 5000
  update();
  EXPECT_EQ(started(), before + 1);
}

TEST_F(Alert, WithoutADeviceTheAlertArmsAndDisarmsSilently) {
  provide("LevelWarning.wav");
  {
    hooks::Failures failures;
    hooks::fail(Call::DirectSoundCreate);
    start();
  }
  set_power(1);
  host.set(108, 1.0);
  host.set(109, 4000.0);
  for (double m : {kAt4000ft, kAt6000ft, kAt4000ft, kAt6000ft, kAt4000ft}) EXPECT_FALSE(fires_at(m));
  EXPECT_EQ(hooks::calls(Call::mmioOpenA) - opens_before, 0);
}

}  // namespace
