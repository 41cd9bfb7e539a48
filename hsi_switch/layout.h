#pragma once
// Nordel_HSI_Switch: the numbers the module, its art and the host share.
#include <cstdint>
#include <string_view>

#include "frame/layout.h"
#include "frame/records.h"

namespace hsi_switch::layout {

// The gauge's name is free text; the panel configuration only shows it.
inline constexpr char kGaugeName[] = "Nordel HSI / FD mode selector: three-position switch, clicks";
static_assert(std::string_view(kGaugeName).size() == 60);

inline constexpr int32_t kWidth = 23;  // also the gauge header's horizontal size
inline constexpr int32_t kHeight = 22;

inline constexpr int32_t kBackgroundBitmap = 2;
inline constexpr uint32_t kBackgroundFlags = frame::kImageTransparent | frame::kImageHostFlag4000;

// The switch icon covers the whole gauge; image i is bitmap kSwitchBitmap + 3 * i and shows
// position i (0 left, 1 centre, 2 right).
inline constexpr int32_t kSwitchBitmap = 3;
inline constexpr uint32_t kSwitchImages = 3;
inline constexpr uint32_t kSwitchFlags =
    frame::kImageTransparent | frame::kImageHostFlag2 | frame::kImageHostFlag4000;
inline constexpr int32_t switch_bitmap(int position) { return kSwitchBitmap + 3 * position; }

// Left half moves the switch one position down, right half one up; the middle column is neither.
inline constexpr frame::Box kDownBox{0, 0, 11, 22};
inline constexpr frame::Box kUpBox{12, 0, 11, 22};

// Where the switch starts when the module loads.
inline constexpr double kStartPosition = 2.0;

// The position is published by address under this name.
inline constexpr char kVariableName[] = "SWITCH_FLAG";
inline constexpr uint32_t kVariableType = 33;

// The switch reads no simulation value and sends no key event. A C++ array cannot be empty, so
// each list holds one row with id 0, the "none" of tokens and events.
inline constexpr frame::TokenRole kTokens[] = {{0, "none: the switch icon shows the module's own position"}};
inline constexpr frame::KeyEventName kEvents[] = {
    {0, nullptr, "none: the switch publishes SWITCH_FLAG instead"}};

}  // namespace hsi_switch::layout
