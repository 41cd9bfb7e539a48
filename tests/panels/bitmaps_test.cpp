// The modules' bitmaps as the host finds them (DLL resources on Windows), and the panels rendered.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "host/host.h"
#include "host/module.h"
#include "tests/support/gauges.h"

namespace {

struct BitmapRow {
  const char* deliverable;
  int id, width, height;
};

const BitmapRow kBitmaps[] = {
    {"j4gear", 4096, 120, 250},
    {"j4gear", 20480, 42, 153},
    {"j4gear", 20483, 42, 153},
    {"j4gear", 8192, 25, 8},
    {"j4gear", 8195, 2, 2},
    {"j4gear", 8198, 25, 8},
    {"j4gear", 12288, 25, 37},
    {"j4gear", 12291, 2, 2},
    {"j4gear", 12294, 25, 37},
    {"j4gear", 16384, 25, 37},
    {"j4gear", 16387, 2, 2},
    {"j4gear", 16390, 25, 37},
    {"Lumet.LightSwitch", 4096, 290, 40},
    {"Lumet.LightSwitch", 8192, 100, 21},
    {"Lumet.LightSwitch", 8195, 100, 21},
    {"Lumet.LightSwitch", 8448, 35, 21},
    {"Lumet.LightSwitch", 8451, 34, 21},
};

TEST(Bitmaps, EveryResourceHasItsIdSizeAndEightBitPalette) {
  for (const BitmapRow& r : kBitmaps) {
    host::Host host;
    host::Gauge* g = host.load(testsupport::gauge_path(r.deliverable));
    ASSERT_NE(g, nullptr) << host.error();
    auto bytes = g->module().bitmap_bytes(r.id);
    ASSERT_TRUE(bytes) << r.deliverable << " has no bitmap " << r.id;
    const host::DibInfo info = host::dib_info(reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size());
    EXPECT_EQ(info.width, r.width) << r.id;
    EXPECT_EQ(info.height, r.height) << r.id;
    EXPECT_EQ(info.bits, 8) << r.id;
    EXPECT_EQ(info.colours_used, 256) << r.id;
    EXPECT_TRUE(g->bitmap(r.id)) << "bitmap " << r.id << " does not decode";
  }
}

constexpr host::Rgb kBlue{33, 140, 189};
constexpr host::Rgb kBlack{0, 0, 0};

bool is_red(host::Rgb p) { return p.r > 150 && p.g < 80 && p.b < 80; }

TEST(Bitmaps, GearLightsAreBlueBarsHatchedBarsOrBlack) {
  host::Host host;
  host::Gauge* g = host.load(testsupport::gauge_path("j4gear"));
  ASSERT_NE(g, nullptr) << host.error();
  for (int base : {8192, 12288, 16384}) {
    const host::Image blue = *g->bitmap(base), dark = *g->bitmap(base + 3), hatched = *g->bitmap(base + 6);
    auto in_bar = [&](int y) { return base == 8192 ? y < 8 : (y < 8 || y >= 29); };
    bool red = false, black_in_bar = false;
    for (int y = 0; y < blue.height; ++y)
      for (int x = 0; x < blue.width; ++x) {
        EXPECT_EQ(blue.at(x, y), in_bar(y) ? kBlue : kBlack) << base << " at " << x << "," << y;
        if (!in_bar(y)) {
          EXPECT_EQ(hatched.at(x, y), kBlack) << base + 6 << " between the bars";
        }
        if (in_bar(y)) {
          red |= is_red(hatched.at(x, y));
          black_in_bar |= hatched.at(x, y) == kBlack;
        }
      }
    EXPECT_TRUE(red && black_in_bar) << base + 6 << " must be hatched red and black";
    for (const host::Rgb& p : dark.pixels) EXPECT_EQ(p, kBlack) << base + 3;
  }
}

// Compares a rendered region with a bitmap drawn there with black as transparent.
void expect_drawn(const host::Image& out, const host::Image& img, int x0, int y0, const char* what) {
  int differing = 0;
  for (int y = 0; y < img.height; ++y)
    for (int x = 0; x < img.width; ++x)
      if (img.at(x, y) != kBlack && out.at(x0 + x, y0 + y) != img.at(x, y)) ++differing;
  EXPECT_EQ(differing, 0) << what;
}

// A started gauge whose token values are the test's alone.
host::Gauge* started(host::Host& host, const char* deliverable) {
  host::Gauge* g = host.load(testsupport::gauge_path(deliverable));
  EXPECT_NE(g, nullptr) << host.error();
  if (!g || !host.start(*g)) return nullptr;
  host.set_simulation(false);
  return g;
}

TEST(Render, GearLightsShowTheirImageOrTheBackground) {
  host::Host host;
  host::Gauge* g = started(host, "j4gear");
  ASSERT_NE(g, nullptr);
  const host::Image panel = *g->bitmap(4096);

  host.set(332, 16383.0);  // nose down: blue
  host.set(333, 8000.0);   // left in transit: hatched
  host.set(334, 0.0);      // right up: nothing over the panel
  ASSERT_TRUE(host.frame(*g));
  const host::Image out = host.render(*g);
  ASSERT_EQ(out.width, 120);
  ASSERT_EQ(out.height, 250);
  expect_drawn(out, *g->bitmap(8192), 48, 28, "nose light blue");
  expect_drawn(out, *g->bitmap(12294), 24, 57, "left light hatched");
  for (int y = 57; y < 57 + 37; ++y)
    for (int x = 73; x < 73 + 25; ++x) ASSERT_EQ(out.at(x, y), panel.at(x, y)) << "right light dark";
  expect_drawn(out, *g->bitmap(20483), 25, 97, "lever up");

  host.set(331, 1.0);
  ASSERT_TRUE(host.frame(*g));
  expect_drawn(host.render(*g), *g->bitmap(20480), 25, 97, "lever down");
}

TEST(Render, LightSwitchesShowOnAndOffImages) {
  host::Host host;
  host::Gauge* g = started(host, "Lumet.LightSwitch");
  ASSERT_NE(g, nullptr);
  host.set(14, 1.0);
  host.set(10, 0.0);
  ASSERT_TRUE(host.frame(*g));
  const host::Image out = host.render(*g);
  ASSERT_EQ(out.width, 290);
  ASSERT_EQ(out.height, 40);
  expect_drawn(out, *g->bitmap(8195), 19, 13, "switch A on");
  expect_drawn(out, *g->bitmap(8448), 101, 14, "switch B off");
}

TEST(Render, ClickThroughTheModelFlipsTheSwitchShown) {
  host::Host host;
  host::Gauge* g = host.load(testsupport::gauge_path("Lumet.LightSwitch"));
  ASSERT_NE(g, nullptr) << host.error();
  ASSERT_TRUE(host.start(*g));
  ASSERT_TRUE(host.frame(*g));
  EXPECT_EQ(g->icon_result(g->elements()[2]), 0.0);
  host.click(*g, 110, 20);
  ASSERT_TRUE(host.frame(*g));
  EXPECT_EQ(g->icon_result(g->elements()[2]), 1.0) << "the host carried out 65750 and token 10 changed";
}

}  // namespace
