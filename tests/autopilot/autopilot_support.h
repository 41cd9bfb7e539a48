#pragma once
// The autopilot panel under the host: the link's turn held, a second holder of the link to power
// the cockpit as the radio panel would, and a fixture folder as the current folder (where the
// module finds its sound folder).
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/host.h"
#include "tests/link/link_support.h"
#include "tests/support/gauges.h"
#include "tests/support/temp_folder.h"

namespace aptest {

inline constexpr uint32_t kHiddenBit = 0x40000000;

// Element order in the host's depth-first list: the background, then its 15 children.
enum Element : int {
  kBackground,
  kOverlay,
  kAutoFlightLight,
  kAtLight,
  kSpeedWindow,
  kSpdLight,
  kMacLight,
  kHeadingWindow,
  kHdgLight,
  kNavLight,
  kAltitudeWindow,
  kAltLight,
  kLvlLight,
  kVsWindow,
  kApprLandLight,
  kBcLight,
  kElementCount
};

inline constexpr Element kLights[] = {kAutoFlightLight, kAtLight,  kSpdLight, kMacLight,      kHdgLight,
                                      kNavLight,        kAltLight, kLvlLight, kApprLandLight, kBcLight};
inline constexpr Element kWindows[] = {kSpeedWindow, kHeadingWindow, kAltitudeWindow, kVsWindow};

struct Event {
  uint32_t id;
  int32_t value;
  bool operator==(const Event&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Event& e) {
  return os << "{" << e.id << ", " << e.value << "}";
}

class Autopilot : public testing::Test {
 protected:
  void SetUp() override {
    host.set_simulation(false);
    g = host.load(testsupport::gauge_path("Tarvex.Autopilot-Q90"));
    ASSERT_NE(g, nullptr) << host.error();
  }

  void start() {
    ASSERT_TRUE(host.start(*g));
    other = std::make_unique<linktest::SecondHolder>();
    ASSERT_NE(other->link(), nullptr);
  }
  // Power as the radio panel sets it; the module takes it up at its next update.
  void set_power(uint32_t power) { other->link()->power = power; }
  // Started, powered and one frame run, so the element routines have seen power.
  void start_powered() {
    start();
    set_power(1);
    update();
  }
  void update() { ASSERT_TRUE(host.frame(*g)); }

  frame::ElementHeader* element(Element e) const { return g->elements().at(e); }
  std::string text(Element e) const { return g->window_text(element(e)); }
  double icon(Element e) const { return g->icon_result(element(e)).value_or(-99.0); }
  bool overlay_hidden() const { return (g->applied_flags(element(kOverlay)) & kHiddenBit) != 0; }

  // The key events sent since the log was last cleared, as id and signed value.
  std::vector<Event> events() const {
    std::vector<Event> out;
    for (const host::KeyEvent& k : host.key_events()) out.push_back({k.id, static_cast<int32_t>(k.value)});
    return out;
  }
  // One frame, and the events it sent.
  std::vector<Event> frame_events() {
    host.clear_log();
    update();
    return events();
  }

  // Clicks in the middle of a box.
  host::ClickResult click(int x, int y, int w, int h) { return host.click(*g, x + w / 2, y + h / 2); }

  // Declared first: the turn is taken before the module opens the link and given back after the
  // host has unloaded it.
  linktest::LinkTurn turn;
  testsupport::CurrentFolder folder{"autopilot"};
  host::Host host;
  host::Gauge* g = nullptr;
  std::unique_ptr<linktest::SecondHolder> other;
};

}  // namespace aptest
