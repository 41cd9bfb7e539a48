#pragma once
// Module state of Tarvex.Autopilot-Q90 shared by its display routines (autopilot.cpp) and its
// level-off alert and vertical sequencer (sequencer.cpp). Plain module-level variables, zero at
// load, never reset by kill or install.
#include <cstdint>

#include "frame/cockpit_link.h"
#include "frame/records.h"

namespace autopilot {

// The module's own token variables, in the order initialize binds them.
enum TokenSlot : int {
  kVarSpeedKnots,
  kVarMach,
  kVarEngaged,
  kVarApprLand,
  kVarGround,
  kVarAltitude,
  kVarCommandEnd,
  kVarHoldValue,
  kVarSetting,
  kVarReference,
  kVarCancel,
  kVarAt,
  kVarAlt,
  kTokenSlots
};
extern frame::TokenVar module_tokens[kTokenSlots];

// Refreshes one module token variable and reads it.
double read_token(TokenSlot slot);

// The cockpit link; its powered copy of the power word gates every display and control.
extern frame::CockpitLinkState link;
extern int32_t mach_mode;
extern int32_t engaged_seen;
extern int32_t selected_altitude_ft;
extern int32_t sound_enabled;
extern int32_t sound_started;

// Sequencer state.
extern int32_t level_alert_armed;
extern int32_t stage_250;
extern int32_t stage_140;
extern int32_t stage_at_off;
extern int32_t stage_55;
extern double hold_reference;
extern double last_command;

// The level-off alert and the vertical sequencer, run on every powered update before the
// elements are refreshed.
void run_alert_and_sequencer();

}  // namespace autopilot
