#pragma once
// j4gear's numbers, once: the module, its art, the host's simulation model and `panelhost info`
// read them here.
#include <cstdint>

#include "frame/layout.h"

namespace gear::layout {

// Bitmaps: an icon's image i is its first id + 3 * i.
inline constexpr int32_t kPanelBitmap = 4096;
inline constexpr int32_t kPanelWidth = 120, kPanelHeight = 250;
inline constexpr int32_t kLeverBitmap = 20480;     // images: handle down, handle up
inline constexpr int32_t kNoseLightBitmap = 8192;  // images: down (blue), no light, in transit
inline constexpr int32_t kLeftLightBitmap = 12288;
inline constexpr int32_t kRightLightBitmap = 16384;
inline constexpr int32_t kNoLightSize = 2;  // the "no light" images are 2 x 2 and black

// Where the icons sit on the panel, and the size of their full images.
inline constexpr frame::Box kLever{25, 97, 42, 153};
inline constexpr frame::Box kNoseLight{48, 28, 25, 8};
inline constexpr frame::Box kLeftLight{24, 57, 25, 37};
inline constexpr frame::Box kRightLight{73, 57, 25, 37};
inline constexpr int32_t kLightBar = 8;    // height of one lamp bar
inline constexpr int32_t kAftBarTop = 29;  // the lower bar of a main-gear image

inline constexpr uint32_t kTokenLever = 331;
inline constexpr uint32_t kTokenNoseGear = 332;
inline constexpr uint32_t kTokenLeftGear = 333;
inline constexpr uint32_t kTokenRightGear = 334;
inline constexpr double kGearDown = 16383.0;  // gear position: 0 up, 16383 down, else in transit

inline constexpr uint32_t kEventGearLever = 65570;

// The inner mouse parent and its one child cover more than the panel: a click anywhere sends
// the gear-lever event.
inline constexpr frame::Box kClickBox{0, 0, 225, 779};
inline constexpr uint32_t kHelpId = 0xA432;

inline constexpr frame::TokenRole kTokens[] = {
    {kTokenLever, "gear lever: 0 up, anything else down"},
    {kTokenNoseGear, "nose gear position: 0 up, 16383 down, else in transit"},
    {kTokenLeftGear, "left main gear position"},
    {kTokenRightGear, "right main gear position"},
};

inline constexpr frame::KeyEventName kEvents[] = {
    {kEventGearLever, nullptr, "gear lever (a click anywhere on the panel)"},
};

}  // namespace gear::layout
