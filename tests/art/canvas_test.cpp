#include "canvas.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "ink.h"

namespace {

using art::Canvas;

TEST(Canvas, CountsWritesOffTheEdgeAndKeepsThemOut) {
  Canvas c(4, 3);
  c.set(-1, 0, art::ink::white);
  c.set(4, 0, art::ink::white);
  c.set(0, 3, art::ink::white);
  c.set(3, 2, art::ink::white);
  EXPECT_EQ(c.clipped_writes(), 3);
  EXPECT_EQ(c.at(3, 2), art::ink::white);
  EXPECT_EQ(art_test::ink_box(c).x0, 3);
  EXPECT_THROW(c.at(4, 0), std::out_of_range);
}

TEST(Canvas, CircleReachesItsRadiusAndIsSymmetric) {
  for (int r : {1, 3, 8, 21}) {
    SCOPED_TRACE(r);
    Canvas c(2 * r + 5, 2 * r + 5);
    const int cx = r + 2;
    art::circle(c, cx, cx, r, art::ink::white);
    const art_test::Box b = art_test::ink_box(c);
    EXPECT_EQ(b.x0, cx - r);
    EXPECT_EQ(b.x1, cx + r);
    EXPECT_EQ(b.y0, cx - r);
    EXPECT_EQ(b.y1, cx + r);
    for (int y = 0; y < c.height(); ++y)
      for (int x = 0; x < c.width(); ++x) {
        EXPECT_EQ(c.at(x, y), c.at(2 * cx - x, y));
        EXPECT_EQ(c.at(x, y), c.at(y, x));
      }
    EXPECT_FALSE(art_test::is_ink(c, cx, cx));  // an outline, not a disc
  }
}

TEST(Canvas, LineJoinsItsEndsWithOnePixelPerStep) {
  struct Case {
    int x0, y0, x1, y1;
  };
  for (const Case l : {Case{1, 1, 9, 4}, Case{9, 4, 1, 1}, Case{2, 9, 5, 0}, Case{0, 5, 9, 5},
                       Case{4, 0, 4, 9}, Case{0, 9, 9, 0}}) {
    SCOPED_TRACE(std::to_string(l.x0) + "," + std::to_string(l.y0) + " -> " + std::to_string(l.x1) + "," +
                 std::to_string(l.y1));
    Canvas c(10, 10);
    art::line(c, l.x0, l.y0, l.x1, l.y1, art::ink::white);
    EXPECT_TRUE(art_test::is_ink(c, l.x0, l.y0));
    EXPECT_TRUE(art_test::is_ink(c, l.x1, l.y1));
    int count = 0;
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 10; ++x) count += art_test::is_ink(c, x, y) ? 1 : 0;
    EXPECT_EQ(count, std::max(std::abs(l.x1 - l.x0), std::abs(l.y1 - l.y0)) + 1);
  }
}

// Ink across the arrow at a given distance from where its tip should be.
int breadth_at(const Canvas& c, art::Dir d, int along) {
  int n = 0;
  const bool vertical = d == art::Dir::up || d == art::Dir::down;
  const int length = vertical ? c.height() : c.width();
  const int across = vertical ? c.width() : c.height();
  const int pos = (d == art::Dir::up || d == art::Dir::left) ? along : length - 1 - along;
  for (int i = 0; i < across; ++i) n += art_test::is_ink(c, vertical ? i : pos, vertical ? pos : i) ? 1 : 0;
  return n;
}

TEST(Canvas, ArrowPointsTheWayAskedAndFillsItsBox) {
  for (art::Dir d : {art::Dir::up, art::Dir::down, art::Dir::left, art::Dir::right}) {
    for (int breadth : {4, 9}) {
      SCOPED_TRACE(std::to_string(static_cast<int>(d)) + " breadth " + std::to_string(breadth));
      const bool vertical = d == art::Dir::up || d == art::Dir::down;
      const int length = 14;
      Canvas c(vertical ? breadth : length, vertical ? length : breadth);
      art::arrow(c, {0, 0, c.width(), c.height()}, d, art::ink::white);
      const art_test::Box b = art_test::ink_box(c);
      EXPECT_EQ(b.x0, 0);
      EXPECT_EQ(b.y0, 0);
      EXPECT_EQ(b.x1, c.width() - 1);
      EXPECT_EQ(b.y1, c.height() - 1);
      const int head = (breadth + 1) / 2;
      EXPECT_LE(breadth_at(c, d, 0), 2);                 // sharp tip
      EXPECT_EQ(breadth_at(c, d, head - 1), breadth);    // full-width barbs
      EXPECT_LT(breadth_at(c, d, length - 1), breadth);  // narrower shaft
      EXPECT_GT(breadth_at(c, d, length - 1), 0);
    }
  }
}

// Every row and column of a hatched area shows both colours, so a thin
// lamp bar still reads as striped; nothing spills past the rectangle.
TEST(Canvas, HatchStripesEveryRowAndColumn) {
  Canvas c(12, 6, art::ink::white);
  const art::Rect r{1, 1, 10, 4};
  art::hatch(c, r, art::ink::red, art::ink::black, 4, 2);
  for (int y = 0; y < c.height(); ++y)
    for (int x = 0; x < c.width(); ++x) {
      const bool inside = x >= r.x && x < r.x + r.w && y >= r.y && y < r.y + r.h;
      const std::uint8_t p = c.at(x, y);
      if (!inside)
        EXPECT_EQ(p, art::ink::white) << x << "," << y;
      else
        EXPECT_TRUE(p == art::ink::red || p == art::ink::black) << x << "," << y;
    }
  auto both = [&c](int x0, int y0, int dx, int dy, int n) {
    bool red = false, black = false;
    for (int i = 0; i < n; ++i) {
      red = red || c.at(x0 + i * dx, y0 + i * dy) == art::ink::red;
      black = black || c.at(x0 + i * dx, y0 + i * dy) == art::ink::black;
    }
    return red && black;
  };
  for (int y = r.y; y < r.y + r.h; ++y) EXPECT_TRUE(both(r.x, y, 1, 0, r.w)) << "row " << y;
  for (int x = r.x; x < r.x + r.w; ++x) EXPECT_TRUE(both(x, r.y, 0, 1, r.h)) << "column " << x;
}

}  // namespace
