// Nordel_HSI_Switch through the host: its records, the position it publishes as SWITCH_FLAG, the
// two halves that move it, and what it leaves behind across kill and install.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "host/host.h"
#include "tests/support/gauges.h"
#include "tests/support/host_calls.h"

namespace {

using testing::ElementsAre;

constexpr const char* kDeliverable = "Nordel_HSI_Switch";
constexpr int kLeft[] = {5, 10};
constexpr int kRight[] = {17, 10};

class HsiSwitch : public testing::Test {
 protected:
  void SetUp() override {
    g = host.load(testsupport::gauge_path(kDeliverable));
    ASSERT_NE(g, nullptr) << host.error();
    ASSERT_TRUE(host.start(*g));
  }
  // The image the switch icon shows after a frame.
  double shown() {
    EXPECT_TRUE(host.frame(*g));
    return g->icon_result(g->elements().at(1)).value_or(-99.0);
  }
  // The published position, read where the host was told it lives.
  double published() const {
    const host::NamedVariable* v = host.named("SWITCH_FLAG");
    return v ? *static_cast<const double*>(v->address) : -99.0;
  }
  host::ClickResult click(const int (&at)[2]) { return host.click(*g, at[0], at[1]); }

  host::Host host;
  host::Gauge* g = nullptr;
};

TEST_F(HsiSwitch, RecordsCarryTheGaugesNumbers) {
  const frame::GaugeHeader* h = g->header();
  EXPECT_EQ(h->version, 610u);
  EXPECT_EQ(std::string(h->name).size(), 60u);
  EXPECT_EQ(h->horizontal_size, 23u);
  EXPECT_EQ(h->vertical_size, 0u);

  const auto els = g->elements();
  ASSERT_EQ(els.size(), 2u);
  struct Element {
    uint32_t type;
    int32_t bitmap;
    uint32_t flags;
  };
  const Element expected[] = {{frame::kStaticImage, 2, 0x4001}, {frame::kIcon, 3, 0x4003}};
  for (size_t i = 0; i < els.size(); ++i) {
    EXPECT_EQ(els[i]->type, expected[i].type) << i;
    EXPECT_EQ(els[i]->bitmap_id, expected[i].bitmap) << i;
    EXPECT_EQ(els[i]->image_flags, expected[i].flags) << i;
    EXPECT_EQ(els[i]->x, 0) << i;
    EXPECT_EQ(els[i]->y, 0) << i;
  }
  const auto* icon = reinterpret_cast<const frame::IconElement*>(els[1]);
  EXPECT_EQ(icon->image_count, 3u);
  EXPECT_EQ(icon->token.id, 0u);
  for (int id : {2, 3, 6, 9}) {
    const auto bitmap = g->bitmap(id);
    ASSERT_TRUE(bitmap) << "no bitmap " << id;
    EXPECT_EQ(bitmap->width, 23) << id;
    EXPECT_EQ(bitmap->height, 22) << id;
  }
}

TEST_F(HsiSwitch, MouseListIsTwoHalvesThatCallTheModule) {
  const frame::MouseArea* a = g->mouse_list();
  ASSERT_NE(a, nullptr);
  struct Area {
    uint32_t type;
    int32_t x, y, w, h, cursor;
    uint32_t flags;
    bool function;
  };
  const Area expected[] = {
      {1, 0, 0, 0, 0, -1, 0, false},           {2, 0, 0, 11, 22, 2, 0x20000000, true},
      {2, 12, 0, 11, 22, 1, 0x20000000, true}, {3, 0, 0, 0, 0, -1, 0, false},
      {0, 0, 0, 0, 0, -1, 0, false},
  };
  for (size_t i = 0; i < std::size(expected); ++i) {
    const Area& e = expected[i];
    EXPECT_EQ(a[i].type, e.type) << "record " << i;
    EXPECT_EQ(a[i].x, e.x) << "record " << i;
    EXPECT_EQ(a[i].y, e.y) << "record " << i;
    EXPECT_EQ(a[i].width, e.w) << "record " << i;
    EXPECT_EQ(a[i].height, e.h) << "record " << i;
    EXPECT_EQ(a[i].cursor, e.cursor) << "record " << i;
    EXPECT_EQ(a[i].help_id, 0u) << "record " << i;
    EXPECT_EQ(a[i].click_flags, e.flags) << "record " << i;
    EXPECT_EQ(a[i].key_event, 0u) << "record " << i;
    EXPECT_EQ(testsupport::field(a[i].function) != nullptr, e.function) << "record " << i;
  }
  EXPECT_NE(testsupport::field(a[1].function), testsupport::field(a[2].function));
}

TEST_F(HsiSwitch, InstallRegistersThePositionFirstAndKillWithdrawsItFirst) {
  EXPECT_THAT(host::calls_in(host, "install"), ElementsAre("register_named_variable", "install_elements",
                                                           "install_mouse_list", "register_mouse_list"));
  const host::NamedVariable* v = host.named("SWITCH_FLAG");
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(v->type, 33u);
  EXPECT_EQ(published(), 2.0);

  host.clear_log();
  ASSERT_TRUE(host.kill(*g));
  EXPECT_THAT(host::calls_in(host, "kill"),
              ElementsAre("unregister_named_variables", "unregister_mouse_list", "kill_elements"));
  EXPECT_EQ(host.named("SWITCH_FLAG"), nullptr);
  EXPECT_THAT(host.violations(), testing::IsEmpty());
}

// Each step: where to click, then the image shown and the position published.
struct Step {
  const int (*at)[2];
  double position;
  bool moved;
};

TEST_F(HsiSwitch, HalvesStepThePositionWithoutWrapping) {
  EXPECT_EQ(shown(), 2.0) << "a fresh module starts at the right";
  const Step steps[] = {
      {&kRight, 2, false}, {&kLeft, 1, true},  {&kLeft, 0, true},   {&kLeft, 0, false},
      {&kRight, 1, true},  {&kRight, 2, true}, {&kRight, 2, false},
  };
  for (const Step& s : steps) {
    const host::ClickResult r = click(*s.at);
    EXPECT_TRUE(r.called_function);
    EXPECT_EQ(r.function_result, 0u);
    EXPECT_EQ(shown(), s.position);
    EXPECT_EQ(published(), s.position);
  }
  EXPECT_THAT(host.key_events(), testing::IsEmpty());
}

TEST_F(HsiSwitch, TheMiddleColumnIsNeitherHalf) {
  const host::ClickResult r = host.click(*g, 11, 10);
  EXPECT_FALSE(r.hit);
  EXPECT_EQ(published(), 2.0);
}

TEST_F(HsiSwitch, KillAndInstallKeepThePosition) {
  click(kLeft);
  ASSERT_EQ(published(), 1.0);
  const void* address = host.named("SWITCH_FLAG")->address;
  ASSERT_TRUE(host.kill(*g));
  ASSERT_TRUE(host.start(*g));
  EXPECT_EQ(shown(), 1.0);
  ASSERT_NE(host.named("SWITCH_FLAG"), nullptr) << "registered again at the new install";
  EXPECT_EQ(host.named("SWITCH_FLAG")->address, address);
  EXPECT_EQ(published(), 1.0);
  click(kLeft);
  EXPECT_EQ(published(), 0.0);
}

TEST_F(HsiSwitch, AValueWrittenFromOutsideIsLeftAloneByBothHalves) {
  for (double outside : {5.0, 1.5, -1.0, 3.0}) {
    *static_cast<double*>(host.named("SWITCH_FLAG")->address) = outside;
    click(kLeft);
    EXPECT_EQ(published(), outside);
    click(kRight);
    EXPECT_EQ(published(), outside);
  }
}

}  // namespace

namespace {

// The lever images, each alone (black is see-through): where their ink lies.
TEST(HsiSwitchArt, TheLeverPointsLeftUpAndRight) {
  host::Host host;
  host::Gauge* g = host.load(testsupport::gauge_path(kDeliverable));
  ASSERT_NE(g, nullptr) << host.error();
  struct Centre {
    double x, y;
  };
  Centre centre[3];
  for (int p = 0; p < 3; ++p) {
    const auto img = g->bitmap(3 + 3 * p);
    ASSERT_TRUE(img) << p;
    double sx = 0, sy = 0, n = 0;
    for (int y = 0; y < img->height; ++y)
      for (int x = 0; x < img->width; ++x)
        if (img->at(x, y) != host::Rgb{0, 0, 0}) sx += x, sy += y, ++n;
    ASSERT_GT(n, 10) << "image " << p << " is nearly empty";
    centre[p] = {sx / n, sy / n};
  }
  EXPECT_LT(centre[0].x, 11 - 2) << "position 0 leans left";
  EXPECT_GT(centre[2].x, 11 + 2) << "position 2 leans right";
  EXPECT_NEAR(centre[1].x, 11, 1) << "position 1 stands straight";
  EXPECT_LT(centre[1].y, centre[0].y - 2) << "position 1 stands up";
  EXPECT_NEAR(centre[0].y, centre[2].y, 0.5) << "the two ends level";
}

}  // namespace
