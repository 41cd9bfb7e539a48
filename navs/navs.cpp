// Tarvex.Navs-Q90: the radio panel of the airliner. It owns the cockpit link's start-up: at
// install it clears the link and picks the cabin announcements; at its first update it powers
// the cockpit if the simulator reports a unit started. Its buttons act only while powered; the
// six frequency areas are key events the host sends by itself, powered or not.
#include <iterator>

#include "frame/cockpit_link.h"
#include "frame/elements.h"
#include "frame/lifecycle.h"
#include "navs/announcements.h"
#include "navs/layout.h"

namespace {

using namespace frame;
using namespace navs::layout;

constexpr int kStartupCount = static_cast<int>(std::size(kStartupTokens));

CockpitLinkState link;
uint32_t startup_check_pending = 1;
TokenVar startup_tokens[kStartupCount] = {token_var(kStartupTokens[0]), token_var(kStartupTokens[1]),
                                          token_var(kStartupTokens[2])};

extern GaugeHeader gauge_header;

StaticImageElement power_overlay =
    static_image(kPanelBitmap, 0, 0, &gauge_header, nullptr, kImageTransparent);
ElementHeader* const background_children[] = {&power_overlay.header, nullptr};
StaticImageElement panel_background =
    static_image(kPanelBitmap, 0, 0, &gauge_header, background_children, kImageTransparent | kImageLit);
ElementHeader* const elements[] = {&panel_background.header, nullptr};

uint32_t GAUGE_CALL mp_button(uint32_t, uint32_t) {
  if (link.powered != 0) host_call<Slot::toggle_panel_window>(kWindowMp);
  return 1;
}

uint32_t GAUGE_CALL pl_button(uint32_t, uint32_t) {
  if (link.powered != 0) host_call<Slot::toggle_panel_window>(kWindowPl);
  return 1;
}

uint32_t GAUGE_CALL std_button(uint32_t, uint32_t) {
  if (link.powered != 0) host_call<Slot::send_key_event>(kEventStd, kStdValue);
  return 1;
}

// Other panel modules of the cockpit read the requests; this module only ever sets them.
uint32_t GAUGE_CALL vr_button(uint32_t, uint32_t) {
  if (link.link_view && link.powered != 0) link.link_view->vr_request = 1;
  return 1;
}

uint32_t GAUGE_CALL ar_button(uint32_t, uint32_t) {
  if (link.link_view && link.powered != 0) link.link_view->ar_request = 1;
  return 1;
}

uint32_t GAUGE_CALL fd_button(uint32_t, uint32_t) {
  if (link.link_view && link.powered != 0) link.link_view->fd_request = 1;
  return 1;
}

MouseArea navs_mouse_list[] = {
    parent_area(),
    function_area(kAreaMp, kCursorHand, kClickDown, &mp_button),
    function_area(kAreaPl, kCursorHand, kClickDown, &pl_button),
    key_area(kAreaBaroDec, kCursorDown, kClickDown | kClickRepeat, kEventBaroDec),
    function_area(kAreaStd, kCursorHand, kClickDown, &std_button),
    key_area(kAreaBaroInc, kCursorUp, kClickDown | kClickRepeat, kEventBaroInc),
    key_area(kAreaIncRowDec, kCursorDown, kClickDown | kClickRepeat, kEventIncRowDec),
    key_area(kAreaIncRowInc, kCursorUp, kClickDown | kClickRepeat, kEventIncRowInc),
    key_area(kAreaDecRowDec, kCursorDown, kClickDown | kClickRepeat, kEventDecRowDec),
    key_area(kAreaDecRowInc, kCursorUp, kClickDown | kClickRepeat, kEventDecRowInc),
    function_area(kAreaVr, kCursorHand, kClickDown, &vr_button),
    function_area(kAreaAr, kCursorHand, kClickDown, &ar_button),
    function_area(kAreaFd, kCursorHand, kClickDown, &fd_button),
    end_parent(),
    end_list(),
};

// Once per module load: a started unit reported by the simulator powers the cockpit and marks
// the units that are running.
void startup_check() {
  if (startup_check_pending == 0) return;
  if (CockpitLink* view = link.link_view) {
    bool any = false;
    for (TokenVar& t : startup_tokens) {
      host_call<Slot::refresh_token_var>(&t);
      any = any || t.value != 0.0;
    }
    if (any) {
      view->power = 1;
      for (uint32_t& f : view->start_flags) f = 1;
      for (int i = 0; i < kStartupCount; ++i)
        if (startup_tokens[i].value != 0.0) view->unit_flags[i] = 1;
    }
  }
  startup_check_pending = 0;
}

struct Navs {
  static constexpr GaugeHeader* header = &gauge_header;
  static constexpr MouseArea* mouse_list = navs_mouse_list;

  static void install_before() {
    open_cockpit_link(link);
    if (link.link_view) reset_cockpit_link(link);
    navs::scan_announcements();
    if (link.link_view) navs::pick_announcements(*link.link_view);
    for (TokenVar& t : startup_tokens) host_call<Slot::initialize_token_var>(&t);
  }

  static void update_before() {
    startup_check();
    follow_power(link, &power_overlay.header, &panel_background.header);
  }

  static void kill_before() { close_cockpit_link(link); }
};

GaugeHeader gauge_header = make_gauge_header<Navs>("Tarvex.Navs-Q90.gau", elements, 100);

}  // namespace

GAUGE_LINKAGE(&gauge_header, &frame::empty_module_function, &frame::empty_module_function)
