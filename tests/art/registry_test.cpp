#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "ink.h"
#include "panels.h"

namespace {

using Entry = std::tuple<std::string, int, int, int>;  // panel, id, width, height

// The gauges load these ids and place them assuming these sizes.
const std::vector<Entry> kExpected = {
    {"gear", 4096, 120, 250},
    {"gear", 20480, 42, 153},
    {"gear", 20483, 42, 153},
    {"gear", 8192, 25, 8},
    {"gear", 8195, 2, 2},
    {"gear", 8198, 25, 8},
    {"gear", 12288, 25, 37},
    {"gear", 12291, 2, 2},
    {"gear", 12294, 25, 37},
    {"gear", 16384, 25, 37},
    {"gear", 16387, 2, 2},
    {"gear", 16390, 25, 37},
    {"light_switch", 4096, 290, 40},
    {"light_switch", 8192, 100, 21},
    {"light_switch", 8195, 100, 21},
    {"light_switch", 8448, 35, 21},
    {"light_switch", 8451, 34, 21},
    {"navs", 100, 142, 87},
    {"autopilot", 100, 337, 88},
    {"autopilot", 200, 9, 5},
    {"hsi_switch", 2, 23, 22},
    {"hsi_switch", 3, 23, 22},
    {"hsi_switch", 6, 23, 22},
    {"hsi_switch", 9, 23, 22},
};

TEST(Registry, PanelsHoldExactlyTheExpectedBitmaps) {
  std::vector<Entry> actual;
  for (const art::Panel& p : art::all_panels())
    for (const art::BitmapDef& d : p.bitmaps)
      actual.emplace_back(std::string(p.name), d.id, d.width, d.height);
  std::vector<Entry> expected = kExpected;
  std::sort(actual.begin(), actual.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(actual, expected);
}

TEST(Registry, LooksUpPanelsByName) {
  for (const char* name : {"gear", "light_switch", "navs", "autopilot", "hsi_switch"}) {
    const art::Panel* p = art::find_panel(name);
    ASSERT_NE(p, nullptr) << name;
    EXPECT_EQ(p->name, name);
  }
  EXPECT_EQ(art::find_panel("Gear"), nullptr);
  EXPECT_EQ(art::find_panel(""), nullptr);
}

// Every image renders at its declared size, nothing is drawn off its edge
// (a sign of a misplaced element), and only the "all dark" placeholders are
// blank.
TEST(Registry, EveryBitmapRendersInsideItsFrame) {
  for (const art::Panel& p : art::all_panels())
    for (const art::BitmapDef& d : p.bitmaps) {
      SCOPED_TRACE(std::string(p.name) + " " + std::to_string(d.id));
      const art::Canvas c = art::render(d);
      EXPECT_EQ(c.width(), d.width);
      EXPECT_EQ(c.height(), d.height);
      EXPECT_EQ(c.clipped_writes(), 0);
      const bool placeholder = d.width == 2 && d.height == 2;
      EXPECT_EQ(art_test::ink_box(c).empty(), placeholder);
    }
}

}  // namespace
