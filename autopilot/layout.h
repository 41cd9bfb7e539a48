#pragma once
// Tarvex.Autopilot-Q90's numbers, in one place for the module, its art and the host: bitmaps,
// element positions, windows, tokens, key events and mouse boxes.
#include <cstdint>

#include "frame/layout.h"
#include "frame/records.h"

namespace autopilot::layout {

// ---- bitmaps ----
inline constexpr int32_t kPanelBitmap = 100;
inline constexpr int32_t kPanelWidth = 337;
inline constexpr int32_t kPanelHeight = 88;
inline constexpr int32_t kLightBitmap = 200;
inline constexpr int32_t kLightWidth = 9;
inline constexpr int32_t kLightHeight = 5;

inline constexpr uint32_t kHorizontalSize = 100;

// ---- image flags ----
inline constexpr uint32_t kBackgroundFlags = frame::kImageTransparent | frame::kImageLit;
inline constexpr uint32_t kBackgroundFlags2 = 0x3;
inline constexpr uint32_t kOverlayFlags = frame::kImageTransparent;
inline constexpr uint32_t kLightFlags = frame::kImageHostFlag2 | frame::kImageLit;
inline constexpr uint32_t kWindowFlags = frame::kImageHostFlag2 | frame::kImageLit;

// ---- tokens ----
inline constexpr uint32_t kTokenGround = 2;              // ground elevation, 1/256 m
inline constexpr uint32_t kTokenCommandEnd = 60;         // ends the command stage when non-zero
inline constexpr uint32_t kTokenSetting = 65;            // input of the sequencer's settings
inline constexpr uint32_t kTokenAltitude = 73;           // aircraft altitude, m
inline constexpr uint32_t kTokenHoldValue = 81;          // value sent with EV_SEQ_HOLD
inline constexpr uint32_t kTokenEngaged = 103;           // AUTO FLIGHT light: autopilot engaged
inline constexpr uint32_t kTokenLvl = 104;               // LVL light
inline constexpr uint32_t kTokenNav = 105;               // NAV light
inline constexpr uint32_t kTokenHdg = 106;               // HDG light
inline constexpr uint32_t kTokenHeading = 107;           // selected heading
inline constexpr uint32_t kTokenAlt = 108;               // ALT light; gates the level-off tone
inline constexpr uint32_t kTokenSelectedAltitude = 109;  // selected altitude, ft
inline constexpr uint32_t kTokenApprLand = 112;          // APPR/LAND light and mode
inline constexpr uint32_t kTokenBc = 113;                // B/C light
inline constexpr uint32_t kTokenSpd = 115;               // SPD light
inline constexpr uint32_t kTokenSpeedKnots = 116;        // selected speed, knots
inline constexpr uint32_t kTokenMachMode = 117;          // MAC light and the speed window's mode
inline constexpr uint32_t kTokenMach = 118;              // selected Mach number
inline constexpr uint32_t kTokenVerticalSpeed = 120;     // selected vertical speed, ft/min
inline constexpr uint32_t kTokenAt = 123;                // A/T light
inline constexpr uint32_t kTokenCancel = 128;            // cancels the late stages when high
inline constexpr uint32_t kTokenReference = 318;         // reference held until 55 ft

inline constexpr frame::TokenRole kTokens[] = {
    {kTokenGround, "ground elevation, 1/256 m (sequencer height)"},
    {kTokenCommandEnd, "ends the 55-ft command stage when non-zero"},
    {kTokenSetting, "input of the sequencer's targets and command law"},
    {kTokenAltitude, "aircraft altitude, m (level-off alert, sequencer height)"},
    {kTokenHoldValue, "value sent with EV_SEQ_HOLD"},
    {kTokenEngaged, "AUTO FLIGHT light: autopilot engaged"},
    {kTokenLvl, "LVL light"},
    {kTokenNav, "NAV light"},
    {kTokenHdg, "HDG light"},
    {kTokenHeading, "heading window: selected heading"},
    {kTokenAlt, "ALT light; the level-off tone plays only while non-zero"},
    {kTokenSelectedAltitude, "altitude window: selected altitude, ft"},
    {kTokenApprLand, "APPR/LAND light; the sequence starts only while non-zero"},
    {kTokenBc, "B/C light"},
    {kTokenSpd, "SPD light"},
    {kTokenSpeedKnots, "speed window: selected speed, knots"},
    {kTokenMachMode, "MAC light and the speed window's Mach mode"},
    {kTokenMach, "speed window: selected Mach number"},
    {kTokenVerticalSpeed, "vertical-speed window: selected vertical speed, ft/min"},
    {kTokenAt, "A/T light; the 140-ft stage waits for it to go out"},
    {kTokenCancel, "cancels the late sequencer stages above 14745.6"},
    {kTokenReference, "reference of the command law, held until 55 ft"},
};

// ---- key events ----
inline constexpr uint32_t EV_AUTO_FLIGHT = 65580;
inline constexpr uint32_t EV_SEQ_TRIGGER_AT_OFF = 65604;
inline constexpr uint32_t EV_SEQ_COMMAND = 65706;
inline constexpr uint32_t EV_APPR_LAND = 65724;
inline constexpr uint32_t EV_LVL = 65727;
inline constexpr uint32_t EV_BC = 65728;
inline constexpr uint32_t EV_NAV = 65729;
inline constexpr uint32_t EV_SEQ_TRIGGER_55 = 65791;
inline constexpr uint32_t EV_HDG = 65798;
inline constexpr uint32_t EV_ALT = 65799;
inline constexpr uint32_t EV_SEQ_TRIGGER_2 = 65807;
inline constexpr uint32_t EV_SEQ_TRIGGER_3 = 65808;
inline constexpr uint32_t EV_SEQ_TRIGGER_1 = 65814;
inline constexpr uint32_t EV_SPD = 65859;
inline constexpr uint32_t EV_AT = 65860;
inline constexpr uint32_t EV_HEADING_INC = 65879;
inline constexpr uint32_t EV_HEADING_DEC = 65880;
inline constexpr uint32_t EV_ALTITUDE_INC = 65892;
inline constexpr uint32_t EV_ALTITUDE_DEC = 65893;
inline constexpr uint32_t EV_VS_INC = 65894;
inline constexpr uint32_t EV_VS_DEC = 65895;
inline constexpr uint32_t EV_SPEED_INC = 65896;
inline constexpr uint32_t EV_SPEED_DEC = 65897;
inline constexpr uint32_t EV_MACH_INC = 65916;
inline constexpr uint32_t EV_MACH_DEC = 65917;
inline constexpr uint32_t EV_MAC = 65918;
inline constexpr uint32_t EV_SEQ_TARGET_A = 66036;
inline constexpr uint32_t EV_SEQ_HOLD = 66042;
inline constexpr uint32_t EV_SEQ_TRIGGER_140 = 66094;
inline constexpr uint32_t EV_SEQ_TARGET_B = 66124;

inline constexpr frame::KeyEventName kEvents[] = {
    {EV_AUTO_FLIGHT, "EV_AUTO_FLIGHT", "AUTO FLIGHT bar: engage or disengage the autopilot"},
    {EV_AT, "EV_AT", "A/T button; also sent by the sequencer at 140 ft"},
    {EV_SPEED_DEC, "EV_SPEED_DEC", "speed window or knob, knots mode: decrease"},
    {EV_SPEED_INC, "EV_SPEED_INC", "speed window or knob, knots mode: increase"},
    {EV_MACH_DEC, "EV_MACH_DEC", "speed window or knob, Mach mode: decrease"},
    {EV_MACH_INC, "EV_MACH_INC", "speed window or knob, Mach mode: increase"},
    {EV_SPD, "EV_SPD", "SPD button"},
    {EV_MAC, "EV_MAC", "MAC button"},
    {EV_HEADING_DEC, "EV_HEADING_DEC", "heading window: decrease"},
    {EV_HEADING_INC, "EV_HEADING_INC", "heading window: increase"},
    {EV_HDG, "EV_HDG", "HDG button"},
    {EV_NAV, "EV_NAV", "NAV button"},
    {EV_ALTITUDE_DEC, "EV_ALTITUDE_DEC", "altitude window or knob: decrease"},
    {EV_ALTITUDE_INC, "EV_ALTITUDE_INC", "altitude window or knob: increase"},
    {EV_ALT, "EV_ALT", "ALT button"},
    {EV_LVL, "EV_LVL", "LVL button"},
    {EV_VS_DEC, "EV_VS_DEC", "vertical-speed window or thumbwheel: decrease"},
    {EV_VS_INC, "EV_VS_INC", "vertical-speed window or thumbwheel: increase"},
    {EV_APPR_LAND, "EV_APPR_LAND", "APPR/LAND button"},
    {EV_BC, "EV_BC", "B/C button"},
    {EV_SEQ_HOLD, "EV_SEQ_HOLD", "sequencer capture: hold value (token 81)"},
    {EV_SEQ_TARGET_A, "EV_SEQ_TARGET_A", "sequencer target A (token 65 + 180 or + 220, or 0)"},
    {EV_SEQ_TARGET_B, "EV_SEQ_TARGET_B", "sequencer target B (-5000 or 0)"},
    {EV_SEQ_TRIGGER_1, "EV_SEQ_TRIGGER_1", "sequencer capture trigger 1"},
    {EV_SEQ_TRIGGER_2, "EV_SEQ_TRIGGER_2", "sequencer capture trigger 2"},
    {EV_SEQ_TRIGGER_3, "EV_SEQ_TRIGGER_3", "sequencer capture trigger 3"},
    {EV_SEQ_TRIGGER_140, "EV_SEQ_TRIGGER_140", "sequencer below 140 ft"},
    {EV_SEQ_TRIGGER_AT_OFF, "EV_SEQ_TRIGGER_AT_OFF", "sequencer: A/T light went out"},
    {EV_SEQ_TRIGGER_55, "EV_SEQ_TRIGGER_55", "sequencer below 55 ft, or cancelled"},
    {EV_SEQ_COMMAND, "EV_SEQ_COMMAND", "sequencer command, every frame below 55 ft"},
};

// ---- elements ----
// Top-left corners in panel pixels; the ten lights are bitmap 200, the windows their box.
struct Light {
  int32_t x, y;
  uint32_t token;
};
inline constexpr Light kAutoFlightLight = {158, 54, kTokenEngaged};
inline constexpr Light kAtLight = {7, 77, kTokenAt};
inline constexpr Light kSpdLight = {22, 77, kTokenSpd};
inline constexpr Light kMacLight = {37, 77, kTokenMachMode};
inline constexpr Light kHdgLight = {74, 77, kTokenHdg};
inline constexpr Light kNavLight = {89, 77, kTokenNav};
inline constexpr Light kAltLight = {251, 77, kTokenAlt};
inline constexpr Light kLvlLight = {266, 77, kTokenLvl};
inline constexpr Light kApprLandLight = {158, 28, kTokenApprLand};
inline constexpr Light kBcLight = {281, 77, kTokenBc};

inline constexpr frame::Box kSpeedWindow = {15, 13, 24, 12};
inline constexpr frame::Box kHeadingWindow = {74, 13, 24, 12};
inline constexpr frame::Box kAltitudeWindow = {221, 13, 40, 12};
inline constexpr frame::Box kVsWindow = {286, 13, 40, 12};
inline constexpr uint32_t kSpeedChars = 3;
inline constexpr uint32_t kHeadingChars = 3;
inline constexpr uint32_t kAltitudeChars = 5;
inline constexpr uint32_t kVsChars = 5;

// Every window's face and colours.
inline constexpr char kWindowFont[] = "Courier New";
inline constexpr uint32_t kWindowFontWeight = 400;
inline constexpr uint32_t kWindowCharset = 1;
inline constexpr uint32_t kWindowTextFlags = 0x25;
inline constexpr uint32_t kWindowTextColour = 0xFFFF00;
inline constexpr uint32_t kWindowBackgroundColour = 0x080808;
inline constexpr uint32_t kWindowThirdColour = 0x5C5C5C;

// ---- mouse list ----
// What a click on an area does: the host sends the event by itself, or calls one routine.
enum class Routine { none, auto_flight_button, speed_decrease, speed_increase, spd_button, mac_button };

struct Area {
  frame::Box box;
  int32_t cursor;  // 2 decrease, 1 increase, 5 button
  uint32_t flags;
  uint32_t event;  // 0 where a routine decides
  Routine routine;
  const char* control;
};

inline constexpr uint32_t kButtonClick = 0x20000000;
inline constexpr uint32_t kStepClick = 0x20200000;  // repeats while held

inline constexpr Area kAreas[] = {
    {{130, 42, 65, 18}, 5, kButtonClick, 0, Routine::auto_flight_button, "AUTO FLIGHT bar"},
    {{2, 71, 15, 10}, 5, kButtonClick, EV_AT, Routine::none, "A/T button"},
    {{10, 15, 17, 12}, 2, kStepClick, 0, Routine::speed_decrease, "speed window, left half"},
    {{27, 15, 17, 12}, 1, kStepClick, 0, Routine::speed_increase, "speed window, right half"},
    {{15, 36, 10, 18}, 2, kStepClick, 0, Routine::speed_decrease, "speed knob, left half"},
    {{25, 36, 10, 18}, 1, kStepClick, 0, Routine::speed_increase, "speed knob, right half"},
    {{17, 71, 15, 10}, 5, kButtonClick, 0, Routine::spd_button, "SPD button"},
    {{32, 71, 15, 10}, 5, kButtonClick, 0, Routine::mac_button, "MAC button"},
    {{70, 15, 17, 12}, 2, kStepClick, EV_HEADING_DEC, Routine::none, "heading window, left half"},
    {{87, 15, 17, 12}, 1, kStepClick, EV_HEADING_INC, Routine::none, "heading window, right half"},
    {{70, 71, 15, 10}, 5, kButtonClick, EV_HDG, Routine::none, "HDG button"},
    {{85, 71, 15, 10}, 5, kButtonClick, EV_NAV, Routine::none, "NAV button"},
    {{214, 15, 25, 12}, 2, kStepClick, EV_ALTITUDE_DEC, Routine::none, "altitude window, left half"},
    {{239, 15, 25, 12}, 1, kStepClick, EV_ALTITUDE_INC, Routine::none, "altitude window, right half"},
    {{228, 36, 10, 18}, 2, kStepClick, EV_ALTITUDE_DEC, Routine::none, "altitude knob, left half"},
    {{238, 36, 10, 18}, 1, kStepClick, EV_ALTITUDE_INC, Routine::none, "altitude knob, right half"},
    {{246, 71, 15, 10}, 5, kButtonClick, EV_ALT, Routine::none, "ALT button"},
    {{261, 71, 15, 10}, 5, kButtonClick, EV_LVL, Routine::none, "LVL button"},
    {{287, 15, 20, 12}, 2, kStepClick, EV_VS_DEC, Routine::none, "vertical-speed window, left half"},
    {{307, 15, 20, 12}, 1, kStepClick, EV_VS_INC, Routine::none, "vertical-speed window, right half"},
    {{302, 36, 10, 14}, 2, kStepClick, EV_VS_DEC, Routine::none, "thumbwheel, upper half"},
    {{302, 50, 10, 14}, 1, kStepClick, EV_VS_INC, Routine::none, "thumbwheel, lower half"},
    {{141, 21, 42, 10}, 5, kButtonClick, EV_APPR_LAND, Routine::none, "APPR/LAND button"},
    {{276, 71, 15, 10}, 5, kButtonClick, EV_BC, Routine::none, "B/C button"},
};
inline constexpr int kAreaCount = sizeof(kAreas) / sizeof(kAreas[0]);
static_assert(kAreaCount == 24);

// ---- sounds ----
inline constexpr char kDisconnectSound[] = "-apdisco.wav";
inline constexpr char kLevelOffSound[] = "LevelWarning.wav";

}  // namespace autopilot::layout
