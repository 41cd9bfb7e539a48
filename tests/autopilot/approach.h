#pragma once
// A complete automatic approach of the autopilot, frame by frame: the token values set before
// each frame (they stay set until changed) and every key event the frame sends, in order. The
// cockpit is powered before the first frame. Ground elevation is 10 m (token 2 = 2560), so the
// sequencer height is (altitude - 10 m) in feet less 8.
#include <cstdint>
#include <vector>

namespace approach {

struct TokenValue {
  uint32_t token;
  double value;
};

struct KeyEvent {
  uint32_t id;
  int32_t value;
  bool operator==(const KeyEvent&) const = default;
};

struct Frame {
  const char* note;
  std::vector<TokenValue> set;
  std::vector<KeyEvent> events;
};

// Event ids, as the host numbers them.
inline constexpr uint32_t kSeqHold = 66042;          // EV_SEQ_HOLD
inline constexpr uint32_t kSeqTargetA = 66036;       // EV_SEQ_TARGET_A
inline constexpr uint32_t kSeqTargetB = 66124;       // EV_SEQ_TARGET_B
inline constexpr uint32_t kSeqTrigger1 = 65814;      // EV_SEQ_TRIGGER_1
inline constexpr uint32_t kSeqTrigger2 = 65807;      // EV_SEQ_TRIGGER_2
inline constexpr uint32_t kSeqTrigger3 = 65808;      // EV_SEQ_TRIGGER_3
inline constexpr uint32_t kSeqTrigger140 = 66094;    // EV_SEQ_TRIGGER_140
inline constexpr uint32_t kAt = 65860;               // EV_AT
inline constexpr uint32_t kSeqTriggerAtOff = 65604;  // EV_SEQ_TRIGGER_AT_OFF
inline constexpr uint32_t kSeqTrigger55 = 65791;     // EV_SEQ_TRIGGER_55
inline constexpr uint32_t kSeqCommand = 65706;       // EV_SEQ_COMMAND

inline const std::vector<Frame> kFrames = {
    {"powered, engaged, APPR/LAND, A/T on, 1271 ft: the light routine has not yet seen engaged",
     {{2, 2560},
      {73, 400},
      {103, 1},
      {112, 1},
      {123, 1},
      {108, 0},
      {109, 1000},
      {81, 1234.6},
      {65, -700},
      {318, 100},
      {60, 0},
      {128, 0}},
     {}},
    {"615 ft", {{73, 200}}, {}},
    {"238 ft: capture",
     {{73, 85}},
     {{kSeqHold, 1235},
      {kSeqTargetA, -520},
      {kSeqTargetB, -5000},
      {kSeqTrigger1, 0},
      {kSeqTrigger2, 0},
      {kSeqTrigger3, 0}}},
    {"156 ft, APPR/LAND out: holding", {{112, 0}, {73, 60}}, {}},
    {"130 ft: the 140-ft step", {{73, 52}}, {{kSeqTargetA, -480}, {kSeqTrigger140, 0}, {kAt, 0}}},
    {"117 ft, A/T still on", {{73, 48}}, {}},
    {"A/T light out; reference 100 held", {{123, 0}}, {{kSeqTriggerAtOff, 0}}},
    {"58 ft, still holding the reference", {{73, 30}}, {}},
    {"44 ft: the 55-ft step and the first command; 318 moves but the held reference stays 100",
     {{73, 26}, {318, 150}},
     {{kSeqTrigger55, 0}, {kSeqTargetB, 0}, {kSeqTargetA, 0}, {kSeqCommand, 1250}}},
    {"25 ft, 65 at -600: 1019.999..., truncated", {{73, 20}, {65, -600}}, {{kSeqCommand, 1019}}},
    {"8 ft, 65 at -650.5: 1136.15", {{73, 15}, {65, -650.5}}, {{kSeqCommand, 1136}}},
    {"token 60 non-zero: half the last command, and idle", {{60, 1}}, {{kSeqCommand, 568}}},
    {"idle on the ground", {{73, 10}}, {}},
};

}  // namespace approach
