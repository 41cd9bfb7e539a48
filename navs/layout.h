#pragma once
// Tarvex.Navs-Q90's numbers, once: the module, its art, the host's simulation model and
// `panelhost info` read them here.
#include <cstdint>

#include "frame/layout.h"

namespace navs::layout {

inline constexpr int32_t kPanelBitmap = 100;
inline constexpr int32_t kPanelWidth = 142, kPanelHeight = 87;

// Start-up tokens, in the order of the link's unit flags.
inline constexpr uint32_t kStartupTokens[] = {130, 165, 200};

inline constexpr uint32_t kWindowMp = 50;
inline constexpr uint32_t kWindowPl = 51;

inline constexpr uint32_t kEventStd = 66040;
inline constexpr uint32_t kStdValue = 16209;
inline constexpr uint32_t kEventBaroDec = 65884;
inline constexpr uint32_t kEventBaroInc = 65883;
inline constexpr uint32_t kEventIncRowDec = 65662;
inline constexpr uint32_t kEventIncRowInc = 65663;
inline constexpr uint32_t kEventDecRowDec = 65664;
inline constexpr uint32_t kEventDecRowInc = 65665;

// Mouse boxes, in list order.
inline constexpr frame::Box kAreaMp{81, 17, 12, 10};
inline constexpr frame::Box kAreaPl{81, 33, 12, 10};
inline constexpr frame::Box kAreaBaroDec{2, 25, 12, 15};
inline constexpr frame::Box kAreaStd{14, 25, 11, 15};
inline constexpr frame::Box kAreaBaroInc{25, 25, 12, 15};
inline constexpr frame::Box kAreaIncRowDec{77, 60, 12, 10};
inline constexpr frame::Box kAreaIncRowInc{125, 60, 12, 10};
inline constexpr frame::Box kAreaDecRowDec{77, 76, 12, 10};
inline constexpr frame::Box kAreaDecRowInc{125, 76, 12, 10};
inline constexpr frame::Box kAreaVr{44, 58, 18, 14};
inline constexpr frame::Box kAreaAr{44, 74, 18, 14};
inline constexpr frame::Box kAreaFd{112, 17, 18, 14};

inline constexpr frame::TokenRole kTokens[] = {
    {kStartupTokens[0], "start-up check: unit 1 running (powers the cockpit at the first update)"},
    {kStartupTokens[1], "start-up check: unit 2 running (powers the cockpit at the first update)"},
    {kStartupTokens[2], "start-up check: unit 3 running (powers the cockpit at the first update)"},
};

inline constexpr frame::KeyEventName kEvents[] = {
    {kEventStd, nullptr, "BAROSET pushed: standard pressure (value 16209)"},
    {kEventBaroDec, nullptr, "BAROSET knob, QFE side: decrease"},
    {kEventBaroInc, nullptr, "BAROSET knob, QNH side: increase"},
    {kEventIncRowDec, nullptr, "CRS INC row, left arrow"},
    {kEventIncRowInc, nullptr, "CRS INC row, right arrow"},
    {kEventDecRowDec, nullptr, "CRS DEC row, left arrow"},
    {kEventDecRowInc, nullptr, "CRS DEC row, right arrow"},
};

}  // namespace navs::layout
