// j4gear: the landing-gear panel. A pure instance of the frame: four icon callbacks, no own work.
#include "frame/elements.h"
#include "frame/lifecycle.h"
#include "gear/layout.h"

namespace {

using namespace frame;
using namespace gear::layout;

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

constexpr uint32_t kLightFlags = kImageTransparent | kImageHostFlag2 | kImageLit;

IconElement nose_gear_light = icon(kNoseLightBitmap, 3, kNoseLight.x, kNoseLight.y, &gauge_header, nullptr,
                                   kLightFlags, kTokenNoseGear, &gear_light_image, panel_failures);
IconElement left_gear_light = icon(kLeftLightBitmap, 3, kLeftLight.x, kLeftLight.y, &gauge_header, nullptr,
                                   kLightFlags, kTokenLeftGear, &gear_light_image, panel_failures);
IconElement right_gear_light = icon(kRightLightBitmap, 3, kRightLight.x, kRightLight.y, &gauge_header,
                                    nullptr, kLightFlags, kTokenRightGear, &gear_light_image, panel_failures);
ElementHeader* const gear_lever_children[] = {&nose_gear_light.header, &left_gear_light.header,
                                              &right_gear_light.header, nullptr};
IconElement gear_lever =
    icon(kLeverBitmap, 2, kLever.x, kLever.y, &gauge_header, gear_lever_children,
         kImageTransparent | kImageHostFlag2, kTokenLever, &gear_lever_image, panel_failures);
ElementHeader* const background_children[] = {&gear_lever.header, nullptr};
StaticImageElement gear_panel_background =
    static_image(kPanelBitmap, 0, 0, &gauge_header, background_children, 0);
ElementHeader* const elements[] = {&gear_panel_background.header, nullptr};

// The inner parent and its child are larger than the panel, so a click anywhere sends the event.
MouseArea gear_panel_mouse_list[] = {
    parent_area(),
    parent_area(kClickBox.x, kClickBox.y, kClickBox.width, kClickBox.height, kHelpId),
    key_area(kClickBox, kCursorHand, kClickDown, kEventGearLever),
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
