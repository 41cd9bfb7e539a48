#pragma once
// The radio panel under the host, with the link's turn held and a fixture folder as the current
// folder (where the module looks for its announcement files).
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "host/host.h"
#include "tests/link/link_support.h"
#include "tests/support/gauges.h"
#include "tests/support/host_calls.h"
#include "tests/support/temp_folder.h"

namespace navstest {

inline constexpr uint32_t kHiddenBit = 0x40000000;

// A fresh folder made the current folder for the test's lifetime, where the module looks for its
// announcement files.
class FixtureFolder : public testsupport::CurrentFolder {
 public:
  FixtureFolder() : CurrentFolder("navs") {}
};

class Radio : public testing::Test {
 protected:
  void SetUp() override {
    host.set_simulation(false);
    load();
  }
  void load() {
    g = host.load(testsupport::gauge_path("Tarvex.Navs-Q90"));
    ASSERT_NE(g, nullptr) << host.error();
  }
  void start() { ASSERT_TRUE(host.start(*g)); }
  // Kill, then the next start of the same module load.
  void restart() {
    ASSERT_TRUE(host.kill(*g));
    ASSERT_TRUE(host.start(*g));
  }
  void update() { ASSERT_TRUE(host.frame(*g)); }
  void set_startup(double t130, double t165, double t200) {
    host.set(130, t130);
    host.set(165, t165);
    host.set(200, t200);
  }

  frame::ElementHeader* background() const { return g->elements().at(0); }
  frame::ElementHeader* overlay() const { return g->elements().at(1); }
  // As the host has taken it up, not merely as the module has written it.
  bool overlay_hidden() const { return (g->applied_flags(overlay()) & kHiddenBit) != 0; }

  // The elements apply_image_flags was called for in one routine, in order.
  std::vector<frame::ElementHeader*> applied_in(const std::string& routine) const {
    std::vector<frame::ElementHeader*> out;
    for (const host::ServiceCall& c : host.calls())
      if (c.routine == routine && c.slot == frame::Slot::apply_image_flags)
        out.push_back(reinterpret_cast<frame::ElementHeader*>(c.args[0]));
    return out;
  }
  std::vector<uint32_t> token_ids(frame::Slot slot) const {
    std::vector<uint32_t> out;
    for (const host::ServiceCall& c : host.calls())
      if (c.slot == slot) out.push_back(static_cast<uint32_t>(c.args[1]));
    return out;
  }

  // Clicks in the middle of an area's box.
  host::ClickResult click(int x, int y, int w, int h) { return host.click(*g, x + w / 2, y + h / 2); }

  // Declared first: the turn is taken before the module opens the link and given back after the
  // host has unloaded it.
  linktest::LinkTurn turn;
  FixtureFolder folder;
  host::Host host;
  host::Gauge* g = nullptr;
};

}  // namespace navstest
