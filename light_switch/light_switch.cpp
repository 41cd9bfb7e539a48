// Lumet.LightSwitch: two exterior-light switches that show tokens 14 and 10; clicks are key events
// the host sends by itself.
#include "frame/elements.h"
#include "frame/lifecycle.h"
#include "light_switch/layout.h"

namespace {

using namespace frame;
using namespace light_switch::layout;

// Image 0 is off, image 1 on; anything but exactly 0 (negative, fractional) is on.
double GAUGE_CALL switch_image(TokenVar* var) { return var->value != 0.0 ? 1.0 : 0.0; }

extern GaugeHeader gauge_header;

constexpr uint32_t kSwitchFlags = kImageTransparent | kImageHostFlag2;

IconElement switch_b = icon(kSwitchBBitmap, 2, kSwitchB.x, kSwitchB.y, &gauge_header, nullptr, kSwitchFlags,
                            kTokenSwitchB, &switch_image);
ElementHeader* const switch_a_children[] = {&switch_b.header, nullptr};
IconElement switch_a = icon(kSwitchABitmap, 2, kSwitchA.x, kSwitchA.y, &gauge_header, switch_a_children,
                            kSwitchFlags, kTokenSwitchA, &switch_image);
ElementHeader* const background_children[] = {&switch_a.header, nullptr};
StaticImageElement background =
    static_image(kStripBitmap, 0, 0, &gauge_header, background_children, kImageTransparent | kImageLit);
ElementHeader* const elements[] = {&background.header, nullptr};

MouseArea switch_mouse_list[] = {
    parent_area(),
    key_area(kAreaA, kCursorHand, kClickDown, kEventSwitchA),
    key_area(kAreaB, kCursorHand, kClickDown, kEventSwitchB),
    end_parent(),
    end_list(),
};

struct LightSwitch {
  static constexpr GaugeHeader* header = &gauge_header;
  static constexpr MouseArea* mouse_list = switch_mouse_list;
};

GaugeHeader gauge_header =
    make_gauge_header<LightSwitch>("Lumet.LightSwitch  by Ostrel", elements, kStripWidth);

}  // namespace

GAUGE_LINKAGE(&gauge_header, &frame::empty_module_function, &frame::empty_module_function)
