#include "host/sim_model.h"

#include <algorithm>
#include <cmath>

#include "autopilot/layout.h"
#include "gear/layout.h"
#include "host/host.h"
#include "light_switch/layout.h"

namespace host {
namespace {

namespace ap = autopilot::layout;
namespace gl = gear::layout;
namespace ls = light_switch::layout;

constexpr double kFeetPerMetre = 3.28084;
constexpr double kGroundUnitsPerMetre = 256.0;

enum class Action {
  Toggle,  // token flips between 0 and 1
  Step,    // token moves by step, kept within [low, high]; wraps from one end to the other if wrap
  Lever,   // the gear lever flips between up (0) and down; the gear follows in Flight::step
  Clear,   // token goes to 0
};

struct Rule {
  uint32_t event;
  Action action;
  uint32_t token;
  double step = 0, low = 0, high = 0;
  bool wrap = false;
};

constexpr Rule kRules[] = {
    {gl::kEventGearLever, Action::Lever, gl::kTokenLever},
    {ls::kEventSwitchA, Action::Toggle, ls::kTokenSwitchA},
    {ls::kEventSwitchB, Action::Toggle, ls::kTokenSwitchB},
    // The autopilot's mode buttons light their own lamp.
    {ap::EV_AUTO_FLIGHT, Action::Toggle, ap::kTokenEngaged},
    {ap::EV_AT, Action::Toggle, ap::kTokenAt},
    {ap::EV_SPD, Action::Toggle, ap::kTokenSpd},
    {ap::EV_MAC, Action::Toggle, ap::kTokenMachMode},
    {ap::EV_HDG, Action::Toggle, ap::kTokenHdg},
    {ap::EV_NAV, Action::Toggle, ap::kTokenNav},
    {ap::EV_ALT, Action::Toggle, ap::kTokenAlt},
    {ap::EV_LVL, Action::Toggle, ap::kTokenLvl},
    {ap::EV_APPR_LAND, Action::Toggle, ap::kTokenApprLand},
    {ap::EV_BC, Action::Toggle, ap::kTokenBc},
    // Knobs: heading by degrees round the compass, altitude by hundreds of feet, and so on.
    {ap::EV_HEADING_INC, Action::Step, ap::kTokenHeading, 1, 1, 360, true},
    {ap::EV_HEADING_DEC, Action::Step, ap::kTokenHeading, -1, 1, 360, true},
    {ap::EV_ALTITUDE_INC, Action::Step, ap::kTokenSelectedAltitude, 100, 0, 49000},
    {ap::EV_ALTITUDE_DEC, Action::Step, ap::kTokenSelectedAltitude, -100, 0, 49000},
    {ap::EV_VS_INC, Action::Step, ap::kTokenVerticalSpeed, 100, -6000, 6000},
    {ap::EV_VS_DEC, Action::Step, ap::kTokenVerticalSpeed, -100, -6000, 6000},
    {ap::EV_SPEED_INC, Action::Step, ap::kTokenSpeedKnots, 1, 100, 399},
    {ap::EV_SPEED_DEC, Action::Step, ap::kTokenSpeedKnots, -1, 100, 399},
    {ap::EV_MACH_INC, Action::Step, ap::kTokenMach, 0.01, 0.40, 0.99},
    {ap::EV_MACH_DEC, Action::Step, ap::kTokenMach, -0.01, 0.40, 0.99},
    // The sequencer's capture hands the approach over to the land mode: the APPR/LAND lamp goes
    // out, so the capture is not repeated on every frame below 250 ft.
    {ap::EV_SEQ_TRIGGER_1, Action::Clear, ap::kTokenApprLand},
};

// Gear positions and how long each leg takes to travel all the way, seconds.
struct Leg {
  uint32_t token;
  double seconds;
};
constexpr Leg kLegs[] = {
    {gl::kTokenNoseGear, 4.0},
    {gl::kTokenLeftGear, 5.0},
    {gl::kTokenRightGear, 5.5},
};

}  // namespace

void apply_key_event(Host& h, uint32_t id, uint32_t /*value*/) {
  for (const Rule& r : kRules) {
    if (r.event != id) continue;
    const double now = h.value(r.token);
    switch (r.action) {
      case Action::Toggle: h.set(r.token, now == 0.0 ? 1.0 : 0.0); break;
      case Action::Lever: h.set(r.token, now == 0.0 ? gl::kGearDown : 0.0); break;
      case Action::Clear: h.set(r.token, 0.0); break;
      case Action::Step: {
        // Rounded to the step, so a knob never drifts by fractions.
        double next = std::round((now + r.step) / std::abs(r.step)) * std::abs(r.step);
        if (r.wrap && next > r.high) next = r.low;
        if (r.wrap && next < r.low) next = r.high;
        h.set(r.token, std::clamp(next, r.low, r.high));
        break;
      }
    }
  }
}

double Flight::height_ft(const Host& h) {
  return (h.value(ap::kTokenAltitude) - h.value(ap::kTokenGround) / kGroundUnitsPerMetre) * kFeetPerMetre;
}

void Flight::step(Host& h, double seconds) const {
  const double target = h.value(gl::kTokenLever) == 0.0 ? 0.0 : gl::kGearDown;
  for (const Leg& leg : kLegs) {
    const double now = h.value(leg.token);
    const double travel = gl::kGearDown * seconds / leg.seconds;
    h.set(leg.token, now < target ? std::min(target, now + travel) : std::max(target, now - travel));
  }

  // Holding the height leaves the flight tokens to the scenario.
  if (descent_fpm_ == 0.0) return;
  const double ground_m = h.value(ap::kTokenGround) / kGroundUnitsPerMetre;
  double altitude_m = h.value(ap::kTokenAltitude) - descent_fpm_ / kFeetPerMetre * seconds / 60.0;
  const bool on_ground = altitude_m <= ground_m;
  if (on_ground) altitude_m = ground_m;
  h.set(ap::kTokenAltitude, altitude_m);
  h.set(ap::kTokenCommandEnd, on_ground ? 1.0 : 0.0);
}

}  // namespace host
