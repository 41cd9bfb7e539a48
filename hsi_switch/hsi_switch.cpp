// Nordel_HSI_Switch: a three-position HSI / flight-director mode switch. It publishes its position
// as the named variable SWITCH_FLAG and clicks when it moves.
#include "frame/elements.h"
#include "frame/lifecycle.h"
#include "hsi_switch/layout.h"
#include "sound/click.h"

namespace {

using namespace frame;
namespace L = hsi_switch::layout;

// Published by address: the host and other gauges read it, and may write it, between our calls.
// It lives as long as the module is loaded, so a new install keeps it.
double switch_position = L::kStartPosition;

// The icon's token is none; the image is the position itself.
double GAUGE_CALL switch_image(TokenVar*) { return switch_position; }

// Exact comparisons: a value some other gauge wrote (anything but 0, 1 or 2) is left alone.
uint32_t GAUGE_CALL switch_down(uint32_t, uint32_t) {
  if (switch_position == 2.0) {
    sound::click_sound_play();
    switch_position = 1.0;
  } else if (switch_position == 1.0) {
    sound::click_sound_play();
    switch_position = 0.0;
  }
  return 0;
}

uint32_t GAUGE_CALL switch_up(uint32_t, uint32_t) {
  if (switch_position == 0.0) {
    sound::click_sound_play();
    switch_position = 1.0;
  } else if (switch_position == 1.0) {
    sound::click_sound_play();
    switch_position = 2.0;
  }
  return 0;
}

extern GaugeHeader gauge_header;

IconElement switch_icon =
    icon(L::kSwitchBitmap, L::kSwitchImages, 0, 0, &gauge_header, nullptr, L::kSwitchFlags, 0, &switch_image);
ElementHeader* const background_children[] = {&switch_icon.header, nullptr};
StaticImageElement background =
    static_image(L::kBackgroundBitmap, 0, 0, &gauge_header, background_children, L::kBackgroundFlags);
ElementHeader* const elements[] = {&background.header, nullptr};

constexpr MouseArea function_area(Box b, int32_t cursor, MouseFunction fn) {
  return frame::function_area(b.x, b.y, b.width, b.height, cursor, kClickDown, fn);
}

MouseArea switch_mouse_list[] = {
    parent_area(),
    function_area(L::kDownBox, kCursorDown, &switch_down),
    function_area(L::kUpBox, kCursorUp, &switch_up),
    end_parent(),
    end_list(),
};

struct HsiSwitch {
  static constexpr GaugeHeader* header = &gauge_header;
  static constexpr MouseArea* mouse_list = switch_mouse_list;

  static void install_before() {
    host_call<Slot::register_named_variable>(static_cast<void*>(&switch_position), L::kVariableType,
                                             L::kVariableName);
  }
  static void install_after() { sound::click_sound_load(); }
  static void kill_before() { host_call<Slot::unregister_named_variables>(); }
  static void kill_after() { sound::click_sound_release(); }
};

GaugeHeader gauge_header = make_gauge_header<HsiSwitch>(L::kGaugeName, elements, L::kWidth);

}  // namespace

GAUGE_LINKAGE(&gauge_header, &frame::empty_module_function, &frame::empty_module_function)
