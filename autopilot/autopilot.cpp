// Tarvex.Autopilot-Q90: the autopilot flight-control panel of the airliner. Four digit windows
// and ten mode lights that follow the simulator's tokens while the cockpit link says the cockpit
// is powered; knobs and buttons that become key events; a disconnect chime on the AUTO FLIGHT
// bar. The level-off alert and the vertical sequencer (sequencer.cpp) run in its update.
#include "autopilot/autopilot.h"

#include <array>
#include <cstddef>
#include <utility>

#include "autopilot/layout.h"
#include "frame/cockpit_link.h"
#include "frame/elements.h"
#include "frame/lifecycle.h"
#include "frame/numeric.h"
#include "frame/window_text.h"
#include "sound/player.h"

namespace autopilot {

using namespace frame;
namespace L = layout;

TokenVar module_tokens[kTokenSlots] = {
    token_var(L::kTokenSpeedKnots), token_var(L::kTokenMach),      token_var(L::kTokenEngaged),
    token_var(L::kTokenApprLand),   token_var(L::kTokenGround),    token_var(L::kTokenAltitude),
    token_var(L::kTokenCommandEnd), token_var(L::kTokenHoldValue), token_var(L::kTokenSetting),
    token_var(L::kTokenReference),  token_var(L::kTokenCancel),    token_var(L::kTokenAt),
    token_var(L::kTokenAlt),
};

double read_token(TokenSlot slot) {
  host_call<Slot::refresh_token_var>(&module_tokens[slot]);
  return module_tokens[slot].value;
}

CockpitLinkState link;
int32_t mach_mode = 0;
int32_t engaged_seen = 0;
int32_t selected_altitude_ft = 0;
int32_t sound_enabled = 0;
int32_t sound_started = 0;

namespace {

void send(uint32_t event) { host_call<Slot::send_key_event>(event, 0u); }

// ---- element routines ----

double GAUGE_CALL light_value(TokenVar* var) { return link.powered == 0 ? -1.0 : var->value - 1.0; }

double GAUGE_CALL auto_flight_light_value(TokenVar* var) {
  if (link.powered == 0) return -1.0;
  engaged_seen = var->value != 0.0 ? 1 : 0;
  return var->value - 1.0;
}

extern StringElement speed_window, heading_window, altitude_window, vs_window;

// Numbers are clamped to what their window can show, so the text is never cut.
int32_t clamp(int32_t n, int32_t low, int32_t high) { return n < low ? low : (n > high ? high : n); }

double GAUGE_CALL speed_mode_value(TokenVar* var) {
  mach_mode = var->value != 0.0 ? 1 : 0;
  return var->value;
}

double GAUGE_CALL speed_window_text(double value) {
  if (link.powered == 0) {
    window_clear(speed_window);
  } else if (mach_mode == 0) {
    const int32_t knots = to_int32(read_token(kVarSpeedKnots) + 0.5);
    window_number(speed_window, clamp(knots, -99, 999), kDigits3);
  } else {
    const int32_t hundredths = to_int32((read_token(kVarMach) + 0.005) * 100.0);
    window_number(speed_window, clamp(hundredths, 0, 99), kFraction2);
  }
  return value;
}

double GAUGE_CALL heading_window_text(TokenVar* var) {
  int32_t n = to_int32(var->value + 0.5);
  if (n == 0) n = 360;
  if (link.powered != 0)
    window_number(heading_window, clamp(n, -99, 999), kDigits3);
  else
    window_clear(heading_window);
  return n;
}

bool sequencer_holds_windows() { return stage_250 != 0 || stage_at_off != 0; }

double GAUGE_CALL altitude_window_text(TokenVar* var) {
  if (link.powered == 0) {
    window_clear(altitude_window);
    return var->value;
  }
  if (sequencer_holds_windows()) {
    window_write(altitude_window, "-----");
    return var->value;
  }
  const int32_t n = clamp(to_int32((var->value + 50.0) * 0.01), -99, 999) * 100;
  selected_altitude_ft = n;
  window_number(altitude_window, n, kDigits5);
  return n;
}

double GAUGE_CALL vs_window_text(TokenVar* var) {
  if (link.powered == 0) {
    window_clear(vs_window);
    return var->value;
  }
  if (sequencer_holds_windows()) {
    window_write(vs_window, "-----");
    return var->value;
  }
  const double v = var->value;
  const int32_t n = clamp(to_int32(v < 0.0 ? v - 0.5 : v + 0.5), -9999, 9999);
  window_number(vs_window, n, kSigned5);
  return n;
}

// ---- mouse routines ----

uint32_t GAUGE_CALL speed_decrease(uint32_t, uint32_t) {
  if (link.powered != 0) send(mach_mode != 0 ? L::EV_MACH_DEC : L::EV_SPEED_DEC);
  return 1;
}

uint32_t GAUGE_CALL speed_increase(uint32_t, uint32_t) {
  if (link.powered != 0) send(mach_mode != 0 ? L::EV_MACH_INC : L::EV_SPEED_INC);
  return 1;
}

uint32_t GAUGE_CALL spd_button(uint32_t, uint32_t) {
  if (link.powered != 0 && engaged_seen != 0) send(L::EV_SPD);
  return 1;
}

uint32_t GAUGE_CALL mac_button(uint32_t, uint32_t) {
  if (link.powered != 0 && engaged_seen != 0) send(L::EV_MAC);
  return 1;
}

uint32_t GAUGE_CALL auto_flight_button(uint32_t, uint32_t) {
  if (link.powered == 0) return 1;
  if (read_token(kVarEngaged) != 0.0 && sound_enabled != 0)
    sound_started = sound::sound_play(L::kDisconnectSound);
  send(L::EV_AUTO_FLIGHT);
  return 1;
}

// ---- records ----

extern GaugeHeader gauge_header;

constexpr IconElement light(const L::Light& l, IconCallback callback = &light_value) {
  return icon(L::kLightBitmap, 1, l.x, l.y, &gauge_header, nullptr, L::kLightFlags, l.token, callback);
}

constexpr StringElement window(const Box& box, uint32_t chars, uint32_t token, ValueCallback value,
                               TextCallback text = nullptr, uint32_t token2 = 0, uint32_t token3 = 0) {
  StringElement s{};
  s.header = element_header(kStringWindow, -1, box.x, box.y, &gauge_header, nullptr, L::kWindowFlags);
  s.tokens[0] = token_var(token);
  s.tokens[1] = token_var(token2);
  s.tokens[2] = token_var(token3);
  s.value_callback = value;
  s.text_callback = text;
  s.width = static_cast<uint32_t>(box.width);
  s.height = static_cast<uint32_t>(box.height);
  s.text_colour = L::kWindowTextColour;
  s.background_colour = L::kWindowBackgroundColour;
  s.third_colour = L::kWindowThirdColour;
  for (std::size_t i = 0; i < sizeof L::kWindowFont; ++i) s.font_face[i] = L::kWindowFont[i];
  s.font_weight = L::kWindowFontWeight;
  s.charset = L::kWindowCharset;
  s.draw_flags = L::kWindowTextFlags;
  s.char_count = chars;
  return s;
}

StaticImageElement power_overlay =
    static_image(L::kPanelBitmap, 0, 0, &gauge_header, nullptr, L::kOverlayFlags);
IconElement auto_flight_light = light(L::kAutoFlightLight, &auto_flight_light_value);
IconElement at_light = light(L::kAtLight);
StringElement speed_window = window(L::kSpeedWindow, L::kSpeedChars, L::kTokenMachMode, &speed_mode_value,
                                    &speed_window_text, L::kTokenSpeedKnots, L::kTokenMach);
IconElement spd_light = light(L::kSpdLight);
IconElement mac_light = light(L::kMacLight);
StringElement heading_window =
    window(L::kHeadingWindow, L::kHeadingChars, L::kTokenHeading, &heading_window_text);
IconElement hdg_light = light(L::kHdgLight);
IconElement nav_light = light(L::kNavLight);
StringElement altitude_window =
    window(L::kAltitudeWindow, L::kAltitudeChars, L::kTokenSelectedAltitude, &altitude_window_text);
IconElement alt_light = light(L::kAltLight);
IconElement lvl_light = light(L::kLvlLight);
StringElement vs_window = window(L::kVsWindow, L::kVsChars, L::kTokenVerticalSpeed, &vs_window_text);
IconElement appr_land_light = light(L::kApprLandLight);
IconElement bc_light = light(L::kBcLight);

// Drawing order.
ElementHeader* const background_children[] = {
    &power_overlay.header, &auto_flight_light.header, &at_light.header,       &speed_window.header,
    &spd_light.header,     &mac_light.header,         &heading_window.header, &hdg_light.header,
    &nav_light.header,     &altitude_window.header,   &alt_light.header,      &lvl_light.header,
    &vs_window.header,     &appr_land_light.header,   &bc_light.header,       nullptr};
StaticImageElement panel_background = static_image(L::kPanelBitmap, 0, 0, &gauge_header, background_children,
                                                   L::kBackgroundFlags, L::kBackgroundFlags2);
ElementHeader* const elements[] = {&panel_background.header, nullptr};

constexpr MouseFunction routine(L::Routine r) {
  switch (r) {
    case L::Routine::auto_flight_button: return &auto_flight_button;
    case L::Routine::speed_decrease: return &speed_decrease;
    case L::Routine::speed_increase: return &speed_increase;
    case L::Routine::spd_button: return &spd_button;
    case L::Routine::mac_button: return &mac_button;
    case L::Routine::none: break;
  }
  return nullptr;
}

constexpr MouseArea area(const L::Area& a) {
  if (a.routine != L::Routine::none)
    return function_area(a.box.x, a.box.y, a.box.width, a.box.height, a.cursor, a.flags, routine(a.routine));
  return key_area(a.box.x, a.box.y, a.box.width, a.box.height, a.cursor, a.flags, a.event);
}

template <std::size_t... I>
constexpr auto make_mouse_list(std::index_sequence<I...>) {
  return std::array<MouseArea, L::kAreaCount + 3>{parent_area(), area(L::kAreas[I])..., end_parent(),
                                                  end_list()};
}

std::array<MouseArea, L::kAreaCount + 3> mouse_areas =
    make_mouse_list(std::make_index_sequence<L::kAreaCount>());

struct Autopilot {
  static constexpr GaugeHeader* header = &gauge_header;
  static constexpr MouseArea* mouse_list = mouse_areas.data();

  static void install_before() {
    open_cockpit_link(link);
    sound_enabled = sound::sound_open();
  }

  static void initialize_before() {
    for (TokenVar& t : module_tokens) host_call<Slot::initialize_token_var>(&t);
  }

  static void update_before() {
    follow_power(link, &power_overlay.header, &panel_background.header);
    if (sound::sound_is_finished() != 0 && sound_started != 0) {
      sound::sound_stop(1);
      sound_started = 0;
    }
    if (link.powered != 0) run_alert_and_sequencer();
  }

  static void kill_before() {
    close_cockpit_link(link);
    sound::sound_close();
  }
};

GaugeHeader gauge_header =
    make_gauge_header<Autopilot>("Tarvex.Autopilot-Q90.gau", elements, L::kHorizontalSize);

}  // namespace
}  // namespace autopilot

GAUGE_LINKAGE(&autopilot::gauge_header, &frame::empty_module_function, &frame::empty_module_function)
