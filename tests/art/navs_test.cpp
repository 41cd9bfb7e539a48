#include <gtest/gtest.h>

#include <set>
#include <tuple>
#include <vector>

#include "ink.h"
#include "panels.h"

namespace {

// Where the gauge expects each legend. slack widens a box sideways for the
// few legends a 1-px-gap font cannot fit exactly (QFE, QNH, MP).
struct Legend {
  const char* text;
  int x0, y0, x1, y1;
  int slack;
};

const Legend kLegends[] = {
    {"IN( )HP", 0, 0, 44, 9, 0},
    {"BAROSET", 0, 16, 44, 20, 0},
    {"QFE", 2, 23, 10, 27, 1},
    {"QNH", 28, 23, 38, 27, 1},
    {"PULL STD", 0, 42, 44, 46, 0},
    {"MINIMUMS", 0, 54, 44, 58, 0},
    {"RA", 2, 61, 8, 65, 0},
    {"BAR", 28, 61, 38, 65, 0},
    {"PUSH RST", 0, 80, 44, 84, 0},
    {"TR", 47, 13, 53, 17, 0},
    {"DA", 47, 29, 53, 33, 0},
    {"PT", 47, 45, 53, 49, 0},
    {"VR", 47, 61, 53, 65, 0},
    {"AR", 47, 77, 53, 81, 0},
    {"bracket", 60, 7, 76, 86, 0},
    {"MAG( )TRU", 81, 0, 123, 9, 0},
    {"MP", 84, 18, 91, 21, 1},
    {"FD", 114, 18, 120, 21, 0},
    {"PL", 85, 35, 91, 38, 0},
    {"AP", 115, 35, 121, 38, 0},
    {"CRS", 99, 51, 112, 55, 0},
    {"INC left arrow", 78, 62, 85, 65, 0},
    {"INC", 86, 62, 126, 65, 0},
    {"INC right arrow", 127, 62, 134, 65, 0},
    {"DEC left arrow", 78, 78, 85, 81, 0},
    {"DEC", 86, 78, 126, 81, 0},
    {"DEC right arrow", 127, 78, 134, 81, 0},
};

art::Canvas navs() { return art::render(art_test::bitmap("navs", 100)); }

TEST(Navs, UsesOnlyBlackAndLightGrey) {
  const art::Canvas c = navs();
  std::set<std::tuple<int, int, int>> used;
  for (int y = 0; y < c.height(); ++y)
    for (int x = 0; x < c.width(); ++x) {
      const art::Rgb p = c.rgb(x, y);
      used.insert({p.r, p.g, p.b});
    }
  EXPECT_EQ(used, (std::set<std::tuple<int, int, int>>{{0, 0, 0}, {204, 204, 204}}));
}

// Each legend fills its box's rows exactly (top and bottom rows inked) and
// no ink lies outside every box, so a legend that moved or grew shows up.
TEST(Navs, EveryLegendInksItsOwnBoxAndNothingElse) {
  const art::Canvas c = navs();
  for (const Legend& l : kLegends) {
    SCOPED_TRACE(l.text);
    const art_test::Box b = art_test::ink_box(c, l.x0 - l.slack, l.y0, l.x1 + l.slack, l.y1);
    ASSERT_FALSE(b.empty());
    EXPECT_EQ(b.y0, l.y0);
    EXPECT_EQ(b.y1, l.y1);
  }
  for (int y = 0; y < c.height(); ++y)
    for (int x = 0; x < c.width(); ++x) {
      if (!art_test::is_ink(c, x, y)) continue;
      bool boxed = false;
      for (const Legend& l : kLegends)
        boxed = boxed || (x >= l.x0 - l.slack && x <= l.x1 + l.slack && y >= l.y0 && y <= l.y1);
      EXPECT_TRUE(boxed) << "stray ink at (" << x << ", " << y << ")";
    }
}

// The bracket spans rows 7..86 and has a tick standing out at row 28.
TEST(Navs, BracketRunsTheFullHeightWithItsTick) {
  const art::Canvas c = navs();
  auto row_ink = [&c](int y) {
    int n = 0;
    for (int x = 60; x <= 76; ++x) n += art_test::is_ink(c, x, y) ? 1 : 0;
    return n;
  };
  for (int y = 7; y <= 86; ++y) EXPECT_GT(row_ink(y), 0) << "bracket broken at row " << y;
  EXPECT_GT(row_ink(28), row_ink(27));
  EXPECT_GT(row_ink(28), row_ink(29));
}

}  // namespace
