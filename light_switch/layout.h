#pragma once
// Lumet.LightSwitch's numbers, once: the module, its art, the host's simulation model and
// `panelhost info` read them here.
#include <cstdint>

#include "frame/layout.h"

namespace light_switch::layout {

inline constexpr int32_t kStripBitmap = 4096;
inline constexpr int32_t kStripWidth = 290, kStripHeight = 40;
// Each switch: image 0 off, image 1 on (ids first, first + 3).
inline constexpr int32_t kSwitchABitmap = 8192;
inline constexpr int32_t kSwitchBBitmap = 8448;
inline constexpr frame::Box kSwitchA{19, 13, 100, 21};  // position and size of both images
inline constexpr frame::Box kSwitchB{101, 14, 35, 21};  // "off"; the "on" image is 34 wide
inline constexpr int32_t kSwitchBOnWidth = 34;

inline constexpr uint32_t kTokenSwitchA = 14;
inline constexpr uint32_t kTokenSwitchB = 10;
inline constexpr uint32_t kEventSwitchA = 65751;
inline constexpr uint32_t kEventSwitchB = 65750;

// The mouse areas over the two switches.
inline constexpr frame::Box kAreaA{23, 15, 55, 17};
inline constexpr frame::Box kAreaB{105, 9, 20, 30};

inline constexpr frame::TokenRole kTokens[] = {
    {kTokenSwitchA, "light switch A (left): 0 off, anything else on"},
    {kTokenSwitchB, "light switch B (right): 0 off, anything else on"},
};

inline constexpr frame::KeyEventName kEvents[] = {
    {kEventSwitchA, nullptr, "toggles light switch A"},
    {kEventSwitchB, nullptr, "toggles light switch B"},
};

}  // namespace light_switch::layout
