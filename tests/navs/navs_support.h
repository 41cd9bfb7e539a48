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

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace navstest {

inline constexpr uint32_t kHiddenBit = 0x40000000;

// A fresh folder made the current folder for the test's lifetime; the old one is restored.
class FixtureFolder {
 public:
  FixtureFolder() {
    static int serial = 0;
#ifdef _WIN32
    const long pid = _getpid();
#else
    const long pid = getpid();
#endif
    old_ = std::filesystem::current_path();
    dir_ = std::filesystem::temp_directory_path() /
           ("gauges_navs_" + std::to_string(pid) + "_" + std::to_string(++serial));
    std::filesystem::create_directories(dir_);
    std::filesystem::current_path(dir_);
  }
  ~FixtureFolder() {
    std::error_code ec;
    std::filesystem::current_path(old_, ec);
    std::filesystem::remove_all(dir_, ec);
  }
  FixtureFolder(const FixtureFolder&) = delete;
  FixtureFolder& operator=(const FixtureFolder&) = delete;

  // An empty file at a path relative to the folder ('/' separated).
  void touch(const std::string& rel) const {
    const std::filesystem::path p = dir_ / rel;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary).put('\0');
  }

 private:
  std::filesystem::path old_, dir_;
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
