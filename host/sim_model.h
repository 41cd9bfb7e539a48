#pragma once
// The host's small simulation model: what the simulator itself would do with the key events the
// cockpit's gauges send, and an aircraft on a glide path. Table-driven: each key event it knows
// toggles a token, steps one, or moves the gear lever; everything else is only logged. It keeps
// its state in the host's simulation values, so a frame loop and a single click both see it.
#include <cstdint>

namespace host {
class Host;

// Carries out one key event (the host calls this for every event it is sent).
void apply_key_event(Host& h, uint32_t id, uint32_t value);

// The aircraft and the gear over time. Descends at the rate a scenario asks until it touches the
// ground, where it stays and reports being on the ground (token 60); moves the gear positions
// toward the lever through transit.
class Flight {
 public:
  // Rate of descent in ft/min; 0 holds the height, a negative rate climbs.
  void set_descent(double feet_per_minute) { descent_fpm_ = feet_per_minute; }
  double descent() const { return descent_fpm_; }
  void step(Host& h, double seconds) const;

  // Height of the aircraft above the ground, feet (altitude token in metres less the ground
  // elevation token in 1/256 m).
  static double height_ft(const Host& h);

 private:
  double descent_fpm_ = 0;
};

}  // namespace host
