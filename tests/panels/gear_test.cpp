// j4gear through the host: what the lever and lights show for each gear value, and clicks.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "host/host.h"
#include "tests/support/gauges.h"

namespace {

constexpr uint32_t kLever = 331;
constexpr uint32_t kLights[] = {332, 333, 334};

class Gear : public testing::Test {
 protected:
  void SetUp() override {
    g = host.load(testsupport::gauge_path("j4gear"));
    ASSERT_NE(g, nullptr) << host.error();
    ASSERT_TRUE(host.start(*g));
    host.set_simulation(false);  // the values below are the test's, not the model's
  }
  // The icon of the given token after one frame.
  double shown(uint32_t token) {
    EXPECT_TRUE(host.frame(*g));
    for (frame::ElementHeader* e : g->elements())
      if (e->type == frame::kIcon && reinterpret_cast<frame::IconElement*>(e)->token.id == token)
        return g->icon_result(e).value_or(-99.0);
    ADD_FAILURE() << "no icon reads token " << token;
    return -99.0;
  }
  host::Host host;
  host::Gauge* g = nullptr;
};

struct Case {
  double value;
  double lever_image;
  double light_image;
};

// Exact equality: only 0 (either sign) is up / dark, only 16383 is blue.
const Case kCases[] = {
    {0.0, 1, 1},      {-0.0, 1, 1},
    {16383.0, 0, 0},  {16382.0, 0, 2},
    {16383.5, 0, 2},  {1.0, 0, 2},
    {0.5, 0, 2},      {-1.0, 0, 2},
    {-16383.0, 0, 2}, {std::numeric_limits<double>::quiet_NaN(), 0, 2},
};

TEST_F(Gear, LeverAndLightsFollowTheirTokensExactly) {
  for (const Case& c : kCases) {
    host.set(kLever, c.value);
    for (uint32_t t : kLights) host.set(t, c.value);
    EXPECT_EQ(shown(kLever), c.lever_image) << "lever at " << c.value;
    for (uint32_t t : kLights) EXPECT_EQ(shown(t), c.light_image) << "token " << t << " at " << c.value;
  }
  EXPECT_THAT(host.violations(), testing::IsEmpty());
}

TEST_F(Gear, EachLightReadsItsOwnToken) {
  host.set(332, 16383.0);
  host.set(333, 0.0);
  host.set(334, 8000.0);
  EXPECT_EQ(shown(332), 0.0);
  EXPECT_EQ(shown(333), 1.0);
  EXPECT_EQ(shown(334), 2.0);
}

TEST_F(Gear, AClickAnywhereOnThePanelSendsTheLeverEventOnce) {
  const int points[][2] = {{0, 0}, {119, 0}, {0, 249}, {119, 249}, {60, 125}, {48, 28}, {30, 200}};
  for (const auto& p : points) {
    host.clear_log();
    const host::ClickResult r = host.click(*g, p[0], p[1]);
    EXPECT_TRUE(r.hit);
    EXPECT_FALSE(r.called_function) << "the gear panel runs no code on a click";
    ASSERT_EQ(host.key_events().size(), 1u) << p[0] << "," << p[1];
    EXPECT_EQ(host.key_events()[0].id, 65570u);
    EXPECT_TRUE(host.key_events()[0].from_area);
    EXPECT_THAT(host.calls(), testing::IsEmpty()) << "no module code runs on a click";
  }
}

TEST_F(Gear, TheMouseListNestsTwoParents) {
  const frame::MouseArea* a = g->mouse_list();
  ASSERT_NE(a, nullptr);
  const uint32_t types[] = {1, 1, 2, 3, 3, 0};
  for (size_t i = 0; i < std::size(types); ++i) EXPECT_EQ(a[i].type, types[i]) << "record " << i;
  EXPECT_EQ(a[1].help_id, 0xA432u);
  EXPECT_EQ(a[2].click_flags, 0x20000000u);
  EXPECT_EQ(testsupport::field(a[2].function), nullptr);
  for (int i : {0, 1, 3, 4, 5}) EXPECT_EQ(a[i].cursor, -1);
}

TEST_F(Gear, LeverAndLightsShareTheFailureListAndTheBackgroundHasNone) {
  const auto els = g->elements();
  ASSERT_EQ(els.size(), 5u);
  EXPECT_EQ(testsupport::field(els[0]->failures), nullptr);
  const frame::FailureEntry* f = els[1]->failures;
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f[0].key, 1u);
  EXPECT_EQ(f[0].action, 3u);
  EXPECT_EQ(f[1].key, 0u);
  for (size_t i = 2; i < els.size(); ++i) EXPECT_EQ(testsupport::field(els[i]->failures), f);
}

}  // namespace
