#include "host/sim_model.h"

#include "host/host.h"

namespace host {
namespace {

enum class Action { Toggle, Set };

struct Rule {
  uint32_t event;
  Action action;
  uint32_t token;
  double on;      // value when toggled on (or the value set)
  uint32_t follow[3];  // further tokens that take the gear position with the lever
};

constexpr double kGearDown = 16383.0;

// Gear lever: the lever token flips between up (0) and down (1), and the three gear positions
// follow at once (no transit in this model). Light switches flip their token.
constexpr Rule kRules[] = {
    {65570, Action::Toggle, 331, 1.0, {332, 333, 334}},
    {65751, Action::Toggle, 14, 1.0, {0, 0, 0}},
    {65750, Action::Toggle, 10, 1.0, {0, 0, 0}},
};

}  // namespace

void apply_key_event(Host& h, uint32_t id, uint32_t /*value*/) {
  for (const Rule& r : kRules) {
    if (r.event != id) continue;
    const bool now_on = r.action == Action::Set || h.value(r.token) == 0.0;
    h.set(r.token, now_on ? r.on : 0.0);
    for (uint32_t t : r.follow)
      if (t) h.set(t, now_on ? kGearDown : 0.0);
  }
}

}  // namespace host
