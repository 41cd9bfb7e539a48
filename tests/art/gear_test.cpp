#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ink.h"
#include "panels.h"

namespace {

constexpr art::Rgb kBlack{0, 0, 0};
constexpr art::Rgb kLampBlue{33, 140, 189};

bool reddish(art::Rgb c) { return c.r >= 150 && c.g < 80 && c.b < 80; }

enum class Lamp { lit, transit };

struct LightCase {
  int id;
  Lamp lamp;
  std::vector<int> bar_tops;  // each bar is 8 rows
};

const LightCase kLights[] = {
    {8192, Lamp::lit, {0}},          {8198, Lamp::transit, {0}},  {12288, Lamp::lit, {0, 29}},
    {12294, Lamp::transit, {0, 29}}, {16384, Lamp::lit, {0, 29}}, {16390, Lamp::transit, {0, 29}},
};

bool in_bar(const LightCase& lc, int y) {
  for (int top : lc.bar_tops)
    if (y >= top && y < top + 8) return true;
  return false;
}

TEST(GearLights, BarsSitInTheirRowsWithBlackElsewhere) {
  for (const LightCase& lc : kLights) {
    SCOPED_TRACE(lc.id);
    const art::Canvas c = art::render(art_test::bitmap("gear", lc.id));
    for (int y = 0; y < c.height(); ++y) {
      SCOPED_TRACE("row " + std::to_string(y));
      bool red = false;
      bool black = false;
      for (int x = 0; x < c.width(); ++x) {
        const art::Rgb px = c.rgb(x, y);
        if (!in_bar(lc, y)) {
          EXPECT_EQ(px, kBlack);
        } else if (lc.lamp == Lamp::lit) {
          EXPECT_EQ(px, kLampBlue);
        } else {
          EXPECT_TRUE(px == kBlack || reddish(px));
          red = red || reddish(px);
          black = black || px == kBlack;
        }
      }
      if (in_bar(lc, y) && lc.lamp == Lamp::transit) {
        EXPECT_TRUE(red);  // hatching needs both in every row
        EXPECT_TRUE(black);
      }
    }
  }
}

TEST(GearLights, DarkImagesAreTwoByTwoBlack) {
  for (int id : {8195, 12291, 16387}) {
    const art::Canvas c = art::render(art_test::bitmap("gear", id));
    ASSERT_EQ(c.width(), 2);
    ASSERT_EQ(c.height(), 2);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 2; ++x) EXPECT_EQ(c.rgb(x, y), kBlack) << id;
  }
}

// Image 0 is the lever down, image 1 up: the handle's ink must be in the
// matching half, with black all around it.
TEST(GearLever, HandleSitsAtTheSelectedEndOfTheSlot) {
  struct Case {
    int id;
    bool down;
  };
  for (const Case tc : {Case{20480, true}, Case{20483, false}}) {
    SCOPED_TRACE(tc.id);
    const art::Canvas c = art::render(art_test::bitmap("gear", tc.id));
    const art_test::Box b = art_test::ink_box(c);
    ASSERT_FALSE(b.empty());
    const int mid = c.height() / 2;
    if (tc.down) {
      EXPECT_GT(b.y0, mid);
    } else {
      EXPECT_LT(b.y1, mid);
    }
    EXPECT_GT(b.x0, 0);
    EXPECT_LT(b.x1, c.width() - 1);
    EXPECT_GT(b.y0, 0);
    EXPECT_LT(b.y1, c.height() - 1);
  }
}

// The light and lever images are drawn over the panel; the panel must have
// labels where the gauge's layout says and leave the lamp windows dark
// (the frame's edge pixels are kept out of the regions).
TEST(GearPanel, LabelsAndLampWindowsWhereTheOverlaysGo) {
  const art::Canvas c = art::render(art_test::bitmap("gear", 4096));
  struct Region {
    const char* what;
    int x0, y0, x1, y1;
    bool inked;
  };
  const Region regions[] = {
      {"NOSE label", 48, 1, 72, 25, true},        {"nose lamp", 48, 28, 72, 35, false},
      {"left FORE lamp", 24, 57, 48, 64, false},  {"left AFT lamp", 24, 86, 48, 93, false},
      {"right FORE lamp", 73, 57, 97, 64, false}, {"right AFT lamp", 73, 86, 97, 93, false},
      {"FORE label", 51, 57, 70, 64, true},       {"AFT label", 51, 86, 70, 93, true},
      {"UP mark", 1, 97, 24, 140, true},          {"DN mark", 1, 210, 24, 248, true},
      {"lamp outlines", 70, 100, 118, 248, true},
  };
  for (const Region& r : regions)
    EXPECT_EQ(art_test::ink_box(c, r.x0, r.y0, r.x1, r.y1).empty(), !r.inked) << r.what;
}

}  // namespace
