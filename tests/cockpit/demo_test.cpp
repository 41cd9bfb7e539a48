// The built-in approach as `panelhost demo` flies it: what it writes, that the sound device heard
// the gauges at the moments the timeline says, and that two runs are the same run.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/link/link_support.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_folder.h"

namespace {

using testing::HasSubstr;

std::string read_text(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The timeline's rows as (event name, value), in order, and the frame of the first of each name.
struct Timeline {
  std::vector<std::pair<std::string, int64_t>> events;
  std::map<std::string, double> first_time;
};

Timeline parse_timeline(const std::string& text) {
  Timeline t;
  std::istringstream in(text);
  std::string line;
  std::getline(in, line);  // the heading
  while (std::getline(in, line)) {
    std::istringstream row(line);
    int frame = 0;
    double time = 0, height = 0;
    std::string name;
    uint32_t id = 0;
    int64_t value = 0;
    row >> frame >> time >> height >> name >> id >> value;
    if (!row) continue;
    t.events.emplace_back(name, value);
    t.first_time.emplace(name, time);
  }
  return t;
}

#ifndef _WIN32
// RMS of each whole second of a mono 16-bit PCM WAV as written by the cockpit.
std::vector<double> rms_per_second(const std::string& path, uint32_t& rate) {
  const std::string bytes = read_text(path);
  std::vector<double> out;
  if (bytes.size() < 44 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0) return out;
  size_t at = 12;
  uint16_t channels = 0, bits = 0;
  while (at + 8 <= bytes.size()) {
    uint32_t size = 0;
    std::memcpy(&size, bytes.data() + at + 4, 4);
    const std::string id = bytes.substr(at, 4);
    if (id == "fmt ") {
      std::memcpy(&channels, bytes.data() + at + 10, 2);
      std::memcpy(&rate, bytes.data() + at + 12, 4);
      std::memcpy(&bits, bytes.data() + at + 22, 2);
    } else if (id == "data" && channels == 1 && bits == 16 && rate > 0) {
      const size_t n = std::min<size_t>(size, bytes.size() - at - 8) / 2;
      std::vector<int16_t> s(n);
      std::memcpy(s.data(), bytes.data() + at + 8, n * 2);
      for (size_t start = 0; start < n; start += rate) {
        double sum = 0;
        const size_t end = std::min<size_t>(n, start + rate);
        for (size_t i = start; i < end; ++i) sum += double(s[i]) * s[i];
        out.push_back(std::sqrt(sum / double(end - start)));
      }
      return out;
    }
    at += 8 + size + (size & 1);
  }
  return out;
}
#endif

TEST(Demo, FliesTheApproachAndWritesTimelinePicturesAndSound) {
  linktest::LinkTurn turn;
  testsupport::TempFolder out("demo");
  const auto r = testsupport::run_program({PANELHOST, "demo", "-o", out.path("a")});
  ASSERT_EQ(r.code, 0) << r.out << r.err;
  EXPECT_THAT(r.out, HasSubstr("0 failed expectations"));

  const Timeline t = parse_timeline(read_text(out.path("a/timeline.txt")));
  // The sequencer's story, in order, with the values the scenario's tokens give.
  const std::vector<std::pair<std::string, int64_t>> story = {
      {"EV_SEQ_HOLD", 140},         {"EV_SEQ_TARGET_A", -520}, {"EV_SEQ_TARGET_B", -5000},
      {"EV_SEQ_TRIGGER_1", 0},      {"EV_SEQ_TRIGGER_140", 0}, {"EV_AT", 0},
      {"EV_SEQ_TRIGGER_AT_OFF", 0}, {"EV_SEQ_TRIGGER_55", 0},  {"EV_SEQ_COMMAND", 1250},
      {"EV_SEQ_COMMAND", 625},      {"EV_AUTO_FLIGHT", 0},
  };
  size_t at = 0;
  for (const auto& step : story) {
    while (at < t.events.size() && t.events[at] != step) ++at;
    ASSERT_LT(at, t.events.size()) << step.first << " " << step.second << " not in order";
  }

  for (const char* png : {"a/01-power_on.png", "a/10-autopilot_disconnected.png", "a/contact-sheet.png"})
    EXPECT_EQ(read_text(out.path(png)).substr(1, 3), "PNG") << png;

#ifndef _WIN32
  // Sound where the gauges made it, silence elsewhere (the Windows build plays on the real device
  // and keeps no recording): the level-off chime after the descent
  // began, the HSI switch's click with the gear down, the disconnect chime at the end.
  uint32_t rate = 0;
  const std::vector<double> rms = rms_per_second(out.path("a/sound.wav"), rate);
  ASSERT_GT(rms.size(), 60u);
  EXPECT_EQ(rate, 22050u);
  const auto loud = [&](double from, double to) {
    double most = 0;
    for (size_t s = size_t(from); s <= size_t(to) && s < rms.size(); ++s) most = std::max(most, rms[s]);
    return most;
  };
  const double engaged = t.first_time.at("EV_AUTO_FLIGHT");
  EXPECT_LT(loud(0, engaged + 5), 1.0) << "nothing sounds before the descent";
  EXPECT_GT(loud(engaged + 8, engaged + 16), 1000.0) << "the level-off chime";
  EXPECT_LT(loud(engaged + 18, t.first_time.at("EV_SEQ_HOLD")), 1000.0);
  EXPECT_GT(rms.back() + rms[rms.size() - 2], 500.0) << "the disconnect chime closes the recording";
#endif
}

TEST(Demo, TwoRunsAreTheSameRun) {
  linktest::LinkTurn turn;
  testsupport::TempFolder out("demo2");
  for (const char* dir : {"a", "b"}) {
    const auto r = testsupport::run_program({PANELHOST, "demo", "-o", out.path(dir)});
    ASSERT_EQ(r.code, 0) << r.err;
  }
  const std::string a = read_text(out.path("a/timeline.txt"));
  EXPECT_GT(a.size(), 1000u);
  EXPECT_EQ(a, read_text(out.path("b/timeline.txt")));
#ifndef _WIN32
  EXPECT_EQ(read_text(out.path("a/sound.wav")), read_text(out.path("b/sound.wav")));
#endif
  EXPECT_EQ(read_text(out.path("a/contact-sheet.png")), read_text(out.path("b/contact-sheet.png")));
}

}  // namespace
