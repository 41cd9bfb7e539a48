// j4gear: the landing-gear panel. A pure instance of the frame: four icon callbacks, no own work.
#include "frame/elements.h"
#include "frame/lifecycle.h"

namespace {

using namespace frame;

constexpr uint32_t kTokenGearLever = 331;
constexpr uint32_t kTokenNoseGear = 332;
constexpr uint32_t kTokenLeftGear = 333;
constexpr uint32_t kTokenRightGear = 334;
constexpr uint32_t kEventGearLever = 65570;
constexpr double kGearDown = 16383.0;

// Exact comparisons on purpose: only a lever at exactly 0 is up, only 16383 is fully down.
double GAUGE_CALL gear_lever_image(TokenVar* var) { return var->value == 0.0 ? 1.0 : 0.0; }

double GAUGE_CALL gear_light_image(TokenVar* var) {
  if (var->value == 0.0) return 1.0;
  if (var->value == kGearDown) return 0.0;
  return 2.0;
}

void GAUGE_CALL module_init() {}
void GAUGE_CALL module_deinit() {}

extern GaugeHeader gauge_header;

const FailureEntry panel_failures[] = {{1, 3}, {0, 0}};

IconElement nose_gear_light = icon(8192, 3, 48, 28, &gauge_header, nullptr, 0x7, kTokenNoseGear,
                                   &gear_light_image, panel_failures);
IconElement left_gear_light = icon(12288, 3, 24, 57, &gauge_header, nullptr, 0x7, kTokenLeftGear,
                                   &gear_light_image, panel_failures);
IconElement right_gear_light = icon(16384, 3, 73, 57, &gauge_header, nullptr, 0x7,
                                    kTokenRightGear, &gear_light_image, panel_failures);
ElementHeader* const gear_lever_children[] = {&nose_gear_light.header, &left_gear_light.header,
                                              &right_gear_light.header, nullptr};
IconElement gear_lever = icon(20480, 2, 25, 97, &gauge_header, gear_lever_children, 0x3,
                              kTokenGearLever, &gear_lever_image, panel_failures);
ElementHeader* const background_children[] = {&gear_lever.header, nullptr};
StaticImageElement gear_panel_background =
    static_image(4096, 0, 0, &gauge_header, background_children, 0x0);
ElementHeader* const elements[] = {&gear_panel_background.header, nullptr};

// The inner parent and its child are larger than the panel, so a click anywhere sends the event.
MouseArea gear_panel_mouse_list[] = {
    parent_area(),
    parent_area(0, 0, 225, 779, 0xA432),
    key_area(0, 0, 225, 779, kCursorHand, kClickDown, kEventGearLever),
    end_parent(),
    end_parent(),
    end_list(),
};

struct Gear {
  static constexpr GaugeHeader* header = &gauge_header;
  static constexpr MouseArea* mouse_list = gear_panel_mouse_list;
};

GaugeHeader gauge_header = make_gauge_header<Gear>("j4gear", elements, 100);

}  // namespace

GAUGE_LINKAGE(&gauge_header, &module_init, &module_deinit)
