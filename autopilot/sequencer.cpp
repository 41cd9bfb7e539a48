// The level-off alert and the vertical sequencer of the autopilot: on every powered frame, in a
// fixed order of steps, each of which sees the flags the steps before it set in the same frame.
// The sequencer flies the last 250 ft of an automatic approach by key events alone.
#include "autopilot/autopilot.h"
#include "autopilot/layout.h"
#include "frame/numeric.h"
#include "frame/services.h"
#include "sound/player.h"

namespace autopilot {

int32_t level_alert_armed = 0;
int32_t stage_250 = 0;
int32_t stage_140 = 0;
int32_t stage_at_off = 0;
int32_t stage_55 = 0;
double hold_reference = 0.0;
double last_command = 0.0;

namespace {

namespace L = layout;

constexpr double kFeetPerMetre = 3.28084;
constexpr double kGroundUnit = 0.00390625;  // token 2 counts 1/256 m
constexpr double kHeightOffset = 8.0;
constexpr double kArmDistance = 1000.0;
constexpr double kFireDistance = 750.0;
constexpr double kCancelAbove = 14745.6;  // nine tenths of 16384
constexpr double kCaptureHeight = 250.0;
constexpr double kFlareHeight = 140.0;
constexpr double kCommandHeight = 55.0;

// Negative values go to the host in two's complement.
void send(uint32_t event, double value) {
  frame::host_call<frame::Slot::send_key_event>(event, static_cast<uint32_t>(frame::to_int32(value)));
}

// Feet above the ground less 8, from fresh altitude and ground tokens.
double height() {
  const double altitude_m = read_token(kVarAltitude);
  const double ground_m = read_token(kVarGround) * kGroundUnit;
  return (altitude_m - ground_m) * kFeetPerMetre - kHeightOffset;
}

void level_off_alert() {
  const double d = read_token(kVarAltitude) * kFeetPerMetre - selected_altitude_ft;
  if (d < -kArmDistance || d > kArmDistance) level_alert_armed = 1;
  if (d > -kFireDistance && d < kFireDistance && level_alert_armed != 0) {
    level_alert_armed = 0;
    if (read_token(kVarAlt) != 0.0 && sound_enabled != 0)
      sound_started = sound::sound_play(L::kLevelOffSound);
  }
}

void cancel() {
  if (stage_at_off == 0 && stage_55 == 0) return;
  if (read_token(kVarCancel) > kCancelAbove) {
    send(L::EV_SEQ_TRIGGER_55, 0);
    send(L::EV_SEQ_TARGET_A, 0);
    send(L::EV_SEQ_TARGET_B, 0);
    stage_at_off = 0;
    stage_55 = 0;
  }
}

void capture_or_disengage() {
  if (engaged_seen != 0) {
    if (read_token(kVarApprLand) != 0.0 && height() < kCaptureHeight) {
      stage_250 = 1;
      send(L::EV_SEQ_HOLD, read_token(kVarHoldValue) + 0.5);
      send(L::EV_SEQ_TARGET_A, read_token(kVarSetting) + 180.0);
      send(L::EV_SEQ_TARGET_B, -5000);
      send(L::EV_SEQ_TRIGGER_1, 0);
      send(L::EV_SEQ_TRIGGER_2, 0);
      send(L::EV_SEQ_TRIGGER_3, 0);
    }
  } else if (stage_250 != 0 || stage_at_off != 0) {
    // The flare and command stages are left to finish on their own.
    send(L::EV_SEQ_TARGET_A, 0);
    send(L::EV_SEQ_TARGET_B, 0);
    stage_250 = 0;
    stage_at_off = 0;
  }
}

void flare_step() {
  if (stage_250 == 0 || !(height() < kFlareHeight)) return;
  send(L::EV_SEQ_TARGET_A, read_token(kVarSetting) + 220.0);
  send(L::EV_SEQ_TRIGGER_140, 0);
  send(L::EV_AT, 0);
  stage_250 = 0;
  stage_140 = 1;
}

void at_off_step() {
  if (stage_140 == 0 || read_token(kVarAt) != 0.0) return;
  send(L::EV_SEQ_TRIGGER_AT_OFF, 0);
  stage_140 = 0;
  stage_at_off = 1;
}

void command_height_step() {
  if (stage_at_off == 0) return;
  if (height() < kCommandHeight) {
    send(L::EV_SEQ_TRIGGER_55, 0);
    send(L::EV_SEQ_TARGET_B, 0);
    send(L::EV_SEQ_TARGET_A, 0);
    stage_at_off = 0;
    stage_55 = 1;
  } else {
    hold_reference = read_token(kVarReference);
  }
}

void command_step() {
  if (stage_55 == 0) return;
  if (read_token(kVarCommandEnd) != 0.0) {
    send(L::EV_SEQ_COMMAND, last_command * 0.5);
    stage_55 = 0;
  } else {
    last_command = (-read_token(kVarSetting) - 200.0) * 2.3 + hold_reference;
    send(L::EV_SEQ_COMMAND, last_command);
  }
}

}  // namespace

void run_alert_and_sequencer() {
  level_off_alert();
  cancel();
  capture_or_disengage();
  flare_step();
  at_off_step();
  command_height_step();
  command_step();
}

}  // namespace autopilot
