// Lumet.LightSwitch: two exterior-light switches that show tokens 14 and 10; clicks are key events
// the host sends by itself.
#include "frame/elements.h"
#include "frame/lifecycle.h"

namespace {

using namespace frame;

constexpr uint32_t kTokenSwitchA = 14;
constexpr uint32_t kTokenSwitchB = 10;
constexpr uint32_t kEventSwitchA = 65751;
constexpr uint32_t kEventSwitchB = 65750;

// Image 0 is off, image 1 on; anything but exactly 0 (negative, fractional) is on.
double GAUGE_CALL switch_image(TokenVar* var) { return var->value != 0.0 ? 1.0 : 0.0; }

extern GaugeHeader gauge_header;

IconElement switch_b = icon(8448, 2, 101, 14, &gauge_header, nullptr, 0x3, kTokenSwitchB,
                            &switch_image);
ElementHeader* const switch_a_children[] = {&switch_b.header, nullptr};
IconElement switch_a = icon(8192, 2, 19, 13, &gauge_header, switch_a_children, 0x3, kTokenSwitchA,
                            &switch_image);
ElementHeader* const background_children[] = {&switch_a.header, nullptr};
StaticImageElement background = static_image(4096, 0, 0, &gauge_header, background_children, 0x5);
ElementHeader* const elements[] = {&background.header, nullptr};

MouseArea switch_mouse_list[] = {
    parent_area(),
    key_area(23, 15, 55, 17, kCursorHand, kClickDown, kEventSwitchA),
    key_area(105, 9, 20, 30, kCursorHand, kClickDown, kEventSwitchB),
    end_parent(),
    end_list(),
};

struct LightSwitch {
  static constexpr GaugeHeader* header = &gauge_header;
  static constexpr MouseArea* mouse_list = switch_mouse_list;
};

GaugeHeader gauge_header = make_gauge_header<LightSwitch>("Lumet.LightSwitch  by Ostrel", elements, 290);

}  // namespace

GAUGE_LINKAGE(&gauge_header, &frame::empty_module_function, &frame::empty_module_function)
