// The host's simulation model: what it does with the key events the cockpit sends, and the
// aircraft and gear it moves frame by frame.
#include <gtest/gtest.h>

#include "host/host.h"
#include "host/sim_model.h"

namespace {

// Literal ids on purpose: the model reads them from the layout headers, the test checks both.
constexpr uint32_t kGearLever = 65570, kLeverToken = 331, kNose = 332, kLeft = 333, kRight = 334;
constexpr double kDown = 16383.0;

class Model : public testing::Test {
 protected:
  void steps(int n, double dt = 1.0 / 18) {
    for (int i = 0; i < n; ++i) flight.step(host, dt);
  }
  host::Host host;
  host::Flight flight;
};

TEST_F(Model, GearLeverMovesTheGearThroughTransitAndBack) {
  host::apply_key_event(host, kGearLever, 0);
  EXPECT_EQ(host.value(kLeverToken), kDown);
  EXPECT_EQ(host.value(kNose), 0.0);  // the lever moves at once, the gear takes its time
  steps(18);
  for (uint32_t leg : {kNose, kLeft, kRight}) {
    EXPECT_GT(host.value(leg), 0.0) << leg;
    EXPECT_LT(host.value(leg), kDown) << leg;
  }
  steps(6 * 18);
  for (uint32_t leg : {kNose, kLeft, kRight}) EXPECT_EQ(host.value(leg), kDown) << leg;

  host::apply_key_event(host, kGearLever, 0);
  EXPECT_EQ(host.value(kLeverToken), 0.0);
  steps(1);
  EXPECT_LT(host.value(kNose), kDown);
  steps(6 * 18);
  for (uint32_t leg : {kNose, kLeft, kRight}) EXPECT_EQ(host.value(leg), 0.0) << leg;
}

TEST_F(Model, SwitchesAndModeButtonsToggleTheirTokens) {
  struct Case {
    uint32_t event, token;
  };
  const Case kCases[] = {
      {65751, 14},  {65750, 10},  {65580, 103}, {65860, 123}, {65859, 115}, {65918, 117},
      {65798, 106}, {65729, 105}, {65799, 108}, {65727, 104}, {65724, 112}, {65728, 113},
  };
  for (const Case& c : kCases) {
    host::apply_key_event(host, c.event, 0);
    EXPECT_EQ(host.value(c.token), 1.0) << c.event;
    host::apply_key_event(host, c.event, 0);
    EXPECT_EQ(host.value(c.token), 0.0) << c.event;
  }
}

TEST_F(Model, KnobsStepWithinTheirRange) {
  struct Case {
    uint32_t event, token;
    double before, after;
  };
  const Case kCases[] = {
      {65879, 107, 359, 360},    // heading increase
      {65879, 107, 360, 1},      // ... round the compass
      {65880, 107, 1, 360},      // heading decrease, round the other way
      {65880, 107, 0, 360},      // an unset heading reads 0
      {65892, 109, 2900, 3000},  // altitude increase, by hundreds
      {65893, 109, 2950, 2900},  // ... back onto the hundreds
      {65893, 109, 0, 0},        // no lower than 0
      {65894, 120, -700, -600},  // vertical speed
      {65896, 116, 399, 399},    // speed at its top
      {65917, 118, 0.78, 0.77},  // Mach
  };
  for (const Case& c : kCases) {
    host.set(c.token, c.before);
    host::apply_key_event(host, c.event, 0);
    EXPECT_DOUBLE_EQ(host.value(c.token), c.after) << c.event << " from " << c.before;
  }
}

TEST_F(Model, CaptureHandsTheApproachToTheLandMode) {
  host.set(112, 1);
  host::apply_key_event(host, 65814, 0);  // EV_SEQ_TRIGGER_1
  EXPECT_EQ(host.value(112), 0.0);
  host::apply_key_event(host, 66042, 1234);  // EV_SEQ_HOLD: only logged
  EXPECT_EQ(host.value(112), 0.0);
}

TEST_F(Model, AircraftDescendsToTheGroundAndStaysThere) {
  host.set(2, 2560);  // ground at 10 m
  host.set(73, 10 + 600 / 3.28084);
  EXPECT_NEAR(host::Flight::height_ft(host), 600, 1e-9);
  flight.set_descent(0);
  host.set(60, 7);
  steps(36);
  EXPECT_NEAR(host::Flight::height_ft(host), 600, 1e-9);
  EXPECT_EQ(host.value(60), 7.0);  // holding the height leaves the flight tokens alone

  flight.set_descent(720);  // 12 ft a second
  steps(18 * 10);
  EXPECT_NEAR(host::Flight::height_ft(host), 480, 1e-6);
  EXPECT_EQ(host.value(60), 0.0);
  steps(18 * 45);
  EXPECT_EQ(host.value(73), 10.0);
  EXPECT_EQ(host.value(60), 1.0);  // on the ground
}

}  // namespace
