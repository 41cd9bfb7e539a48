// Lumet.LightSwitch through the host: switch images follow tokens 14 and 10, clicks send events.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "host/host.h"
#include "tests/support/gauges.h"

namespace {

class LightSwitch : public testing::Test {
 protected:
  void SetUp() override {
    g = host.load(testsupport::gauge_path("Lumet.LightSwitch"));
    ASSERT_NE(g, nullptr) << host.error();
    ASSERT_TRUE(host.start(*g));
    host.set_simulation(false);
  }
  double shown(int which) {
    EXPECT_TRUE(host.frame(*g));
    return g->icon_result(g->elements()[size_t(which)]).value_or(-99.0);
  }
  host::Host host;
  host::Gauge* g = nullptr;
};

TEST_F(LightSwitch, AnythingButZeroIsOn) {
  const double values[] = {0.0, -0.0, 1.0, -1.0, 0.25, 65535.0};
  for (double v : values) {
    host.set(14, v);
    host.set(10, v == 0.0 ? 1.0 : 0.0);  // the other switch the other way, to catch crossed tokens
    const double a = v == 0.0 ? 0.0 : 1.0;
    EXPECT_EQ(shown(1), a) << "token 14 at " << v;
    EXPECT_EQ(shown(2), 1.0 - a) << "token 10 opposite";
  }
}

TEST_F(LightSwitch, ClicksSendTheSwitchEventsAndNothingElsewhere) {
  struct Click {
    int x, y;
    uint32_t event;  // 0: none
  };
  const Click clicks[] = {
      {30, 20, 65751}, {110, 20, 65750}, {23, 15, 65751}, {77, 31, 65751}, {105, 9, 65750}, {124, 38, 65750},
      {78, 20, 0},     {22, 20, 0},      {30, 14, 0},     {30, 32, 0},     {104, 20, 0},    {125, 20, 0},
      {110, 8, 0},     {110, 39, 0},     {5, 5, 0},       {200, 20, 0},    {289, 39, 0},
  };
  for (const Click& c : clicks) {
    host.clear_log();
    const host::ClickResult r = host.click(*g, c.x, c.y);
    EXPECT_FALSE(r.called_function);
    if (c.event) {
      ASSERT_EQ(host.key_events().size(), 1u) << c.x << "," << c.y;
      EXPECT_EQ(host.key_events()[0].id, c.event) << c.x << "," << c.y;
    } else {
      EXPECT_THAT(host.key_events(), testing::IsEmpty()) << c.x << "," << c.y;
    }
  }
}

TEST_F(LightSwitch, TheSwitchesAreAChainUnderTheBackground) {
  const auto els = g->elements();
  ASSERT_EQ(els.size(), 3u);
  ASSERT_NE(testsupport::field(els[0]->children), nullptr);
  EXPECT_EQ(els[0]->children[0], els[1]);
  EXPECT_EQ(els[0]->children[1], nullptr);
  ASSERT_NE(testsupport::field(els[1]->children), nullptr);
  EXPECT_EQ(els[1]->children[0], els[2]);
  EXPECT_EQ(testsupport::field(els[2]->children), nullptr);
}

}  // namespace
