// The switch's click, heard through the substitute sound device: what the click buffer holds, when
// a move clicks, how each failure leaves the switch silent but working, and that every device and
// buffer is given back at kill. The device plays by a clock only the test moves.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "art/sounds.h"
#include "art/wav.h"
#include "host/host.h"
#include "platform/posix/media_clock.h"
#include "platform/posix/sound_device_control.h"
#include "tests/support/gauges.h"
#include "tests/support/platform_hooks.h"
#include "tests/support/temp_folder.h"
#include "tests/wave/wav_builder.h"

namespace {

namespace control = platform::testing;
using hooks::Call;
using hooks::Resource;
using wavtest::Bytes;

constexpr const char* kClickFile = "Sound/Nordel_HSI_Switch.wav";
constexpr uint64_t kMs = 1000;  // microseconds

Bytes pcm_click(uint16_t channels, uint32_t rate, uint16_t bits, const Bytes& samples) {
  return wavtest::wave({wavtest::pcm_fmt(channels, rate, bits), wavtest::chunk("data", samples)});
}

// 16-bit mono at 22050 samples a second: 44100 bytes a second, so a buffer of 4410.
Bytes good_click() { return pcm_click(1, 22050, 16, wavtest::samples(4000)); }

class ClickSound : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(control::use_manual_clock());
    control::clear_sound_recording();
  }
  void TearDown() override {
    control::set_sound_device_present(true);
    control::set_host_window(true);
    control::use_real_clock();
  }

  void write_click(const Bytes& file) { folder.write(kClickFile, file); }

  // Loads and starts the gauge, which loads its click from the current folder.
  void start() {
    g = host.load(testsupport::gauge_path("Nordel_HSI_Switch"));
    ASSERT_NE(g, nullptr) << host.error();
    ASSERT_TRUE(host.start(*g));
  }
  void left() { host.click(*g, 5, 10); }
  void right() { host.click(*g, 17, 10); }
  double position() const { return *static_cast<const double*>(host.named("SWITCH_FLAG")->address); }
  // Clicks heard so far: each run of the buffer from a Play is one.
  size_t clicks() const { return control::sound_recording().size(); }

  // The one buffer the gauge holds, if it holds one.
  std::optional<control::SoundBufferState> click_buffer() const {
    const auto live = control::live_sound_buffers();
    if (live.size() != 1) return std::nullopt;
    control::SoundBufferState s{};
    if (!control::sound_buffer_state(live[0], &s)) return std::nullopt;
    return s;
  }

  testsupport::CurrentFolder folder{"hsi_click"};
  hooks::Failures failures;
  const hooks::LiveCounts before = hooks::LiveCounts::now();
  host::Host host;
  host::Gauge* g = nullptr;
};

struct Layout {
  const char* what;
  uint16_t channels;
  uint32_t rate;
  uint16_t bits;
  size_t sample_bytes;
  uint32_t buffer_bytes;
  uint8_t silence;
};

// A tenth of a second of the file's average bytes per second; what the file lacks is silence.
const Layout kLayouts[] = {
    {"16-bit mono 22050, short", 1, 22050, 16, 1000, 4410, 0x00},
    {"8-bit mono 22050, short", 1, 22050, 8, 1001, 2205, 0x80},
    {"16-bit stereo 44100, long: cut", 2, 44100, 16, 20000, 17640, 0x00},
    {"8-bit stereo 11025, empty data", 2, 11025, 8, 0, 2205, 0x80},
};

TEST_F(ClickSound, BufferHoldsTheFirstTenthOfASecondThenSilence) {
  for (const Layout& l : kLayouts) {
    SCOPED_TRACE(l.what);
    const Bytes samples = wavtest::samples(l.sample_bytes, l.rate);
    write_click(pcm_click(l.channels, l.rate, l.bits, samples));
    start();
    const auto state = click_buffer();
    ASSERT_TRUE(state);
    EXPECT_EQ(state->size, l.buffer_bytes);
    EXPECT_EQ(state->flags, 0xE0u);
    EXPECT_EQ(state->rate, l.rate);
    EXPECT_EQ(state->bits, l.bits);
    EXPECT_EQ(state->channels, l.channels);
    EXPECT_EQ(state->outstanding_locks, 0);
    EXPECT_FALSE(state->playing);

    Bytes expected(samples.begin(), samples.begin() + std::min<size_t>(samples.size(), l.buffer_bytes));
    expected.resize(l.buffer_bytes, l.silence);
    EXPECT_EQ(control::sound_buffer_contents(control::live_sound_buffers()[0]), expected);
    EXPECT_ADDED(before, Resource::RiffFile, 0) << "the file is closed once the buffer is filled";
    EXPECT_ADDED(before, Resource::GlobalMemory, 0) << "and its format record freed";

    // One click plays the whole buffer once, and only once.
    control::clear_sound_recording();
    left();
    control::advance_clock(300 * kMs);
    EXPECT_EQ(control::sound_played_bytes(state->serial), expected);
    EXPECT_EQ(clicks(), 1u);
    ASSERT_TRUE(host.unload(*g));
  }
}

TEST_F(ClickSound, AMoveWhileTheClickSoundsDoesNotRestartIt) {
  write_click(good_click());
  start();
  const uint64_t play_calls = hooks::calls(Call::Play);
  left();
  control::advance_clock(50 * kMs);
  left();
  EXPECT_EQ(position(), 0.0) << "the switch moves all the same";
  EXPECT_EQ(hooks::calls(Call::Play) - play_calls, 1);
  control::advance_clock(60 * kMs);  // the first click has played out by now
  right();
  EXPECT_EQ(position(), 1.0);
  EXPECT_EQ(hooks::calls(Call::Play) - play_calls, 2);
  control::advance_clock(200 * kMs);
  const auto runs = control::sound_recording();
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].bytes.size(), 4410u) << "the first click ran to its end, not restarted";
  EXPECT_EQ(runs[1].bytes, runs[0].bytes) << "the second starts again from the beginning";
}

// The click the cockpit folder ships is found where the gauge looks for it, and is heard.
TEST_F(ClickSound, TheCockpitsOwnClickLoadsAndSounds) {
  const auto sounds = art::cockpit_sounds();
  const auto shipped =
      std::find_if(sounds.begin(), sounds.end(), [](const art::SoundDef& d) { return d.path == kClickFile; });
  ASSERT_NE(shipped, sounds.end());
  write_click(art::encode_wav(shipped->make(), art::kSoundRate));
  start();
  const auto state = click_buffer();
  ASSERT_TRUE(state);
  EXPECT_EQ(state->size, 4410u) << "16-bit mono at 22050: a tenth of a second";
  left();
  control::advance_clock(200 * kMs);
  const Bytes played = control::sound_played_bytes(state->serial);
  ASSERT_EQ(played.size(), 4410u);
  int peak = 0;
  for (size_t i = 0; i + 1 < played.size(); i += 2)
    peak = std::max(peak, std::abs(int(int16_t(played[i] | played[i + 1] << 8))));
  EXPECT_GT(peak, 8000) << "the click is audible";
}

// Each move clicks once; a click at an end moves nothing and clicks nothing.
TEST_F(ClickSound, EveryMoveClicksAndOnlyAMove) {
  write_click(good_click());
  start();
  struct Step {
    bool left;
    double position;
    size_t clicks;
  };
  const Step steps[] = {{false, 2, 0}, {true, 1, 1},  {true, 0, 2}, {true, 0, 2},
                        {false, 1, 3}, {false, 2, 4}, {false, 2, 4}};
  for (const Step& s : steps) {
    s.left ? left() : right();
    control::advance_clock(200 * kMs);  // each click has played out before the next move
    EXPECT_EQ(position(), s.position);
    EXPECT_EQ(clicks(), s.clicks) << "after moving to " << s.position;
  }
}

// A click that cannot be had: the switch works silently, and nothing is left open.

struct Silent {
  const char* what;
  std::optional<Bytes> file;
  void (*arrange)();
  int64_t devices_while_installed;
};

const Silent kSilent[] = {
    {"no sound file", std::nullopt, [] {}, 1},
    {"no sound device", good_click(), [] { control::set_sound_device_present(false); }, 0},
    {"device creation fails", good_click(), [] { hooks::fail(Call::DirectSoundCreate); }, 0},
    {"not PCM",
     wavtest::wave({wavtest::chunk("fmt ", wavtest::format_with_extra(3, 1, 22050, 32, 2, {0, 0})),
                    wavtest::chunk("data", wavtest::samples(4000))}),
     [] {}, 1},
    {"no data chunk", wavtest::wave({wavtest::pcm_fmt(1, 22050, 16)}), [] {}, 1},
    {"not a wave file", wavtest::id_bytes("click"), [] {}, 1},
    {"buffer refused", good_click(), [] { hooks::fail(Call::CreateSoundBuffer); }, 1},
    // 5 bytes a second: a tenth of it is no buffer at all.
    {"too few bytes per second", pcm_click(1, 5, 8, wavtest::samples(10)), [] {}, 1},
    {"buffer cannot be locked", good_click(), [] { hooks::fail(Call::Lock); }, 1},
};

TEST_F(ClickSound, EachFailureLeavesTheSwitchWorkingAndNothingOpen) {
  for (const Silent& s : kSilent) {
    SCOPED_TRACE(s.what);
    std::filesystem::remove_all(folder.dir() / "Sound");
    if (s.file) write_click(*s.file);
    s.arrange();
    start();
    EXPECT_ADDED(before, Resource::SoundDevice, s.devices_while_installed);
    EXPECT_ADDED(before, Resource::SoundBuffer, 0) << "no buffer to play";
    EXPECT_ADDED(before, Resource::RiffFile, 0);
    EXPECT_ADDED(before, Resource::GlobalMemory, 0);
    hooks::clear_failures();
    control::set_sound_device_present(true);

    left();
    control::advance_clock(200 * kMs);
    EXPECT_EQ(position(), 1.0) << "the switch moves";
    EXPECT_EQ(clicks(), 0u) << "silently";
    ASSERT_TRUE(host.kill(*g));
    EXPECT_ADDED(before, Resource::SoundDevice, 0);
    ASSERT_TRUE(host.unload(*g));
    EXPECT_THAT(host.violations(), testing::IsEmpty());
  }
}

TEST_F(ClickSound, WithoutTheHostWindowItStillClicks) {
  write_click(good_click());
  control::set_host_window(false);
  start();
  left();
  control::advance_clock(200 * kMs);
  EXPECT_EQ(clicks(), 1u);
}

// Each install makes a device and a buffer; each kill gives both back, so cycles hold nothing.
TEST_F(ClickSound, InstallAndKillCyclesHoldNoDeviceOrBuffer) {
  write_click(good_click());
  start();
  const int64_t released_with_device = control::sound_buffers_released_with_device();
  for (int cycle = 0; cycle < 3; ++cycle) {
    SCOPED_TRACE(cycle);
    EXPECT_ADDED(before, Resource::SoundDevice, 1);
    EXPECT_ADDED(before, Resource::SoundBuffer, 1);
    left();
    right();  // back to 2; the click still sounds, so no second one
    ASSERT_TRUE(host.kill(*g));
    EXPECT_ADDED(before, Resource::SoundDevice, 0);
    EXPECT_ADDED(before, Resource::SoundBuffer, 0);
    ASSERT_TRUE(host.start(*g));
    control::advance_clock(200 * kMs);
  }
  EXPECT_EQ(control::sound_buffers_released_with_device(), released_with_device)
      << "the buffer is given back before its device";
  control::clear_sound_recording();
  left();
  control::advance_clock(200 * kMs);
  EXPECT_EQ(clicks(), 1u) << "a new install clicks again";
}

}  // namespace
