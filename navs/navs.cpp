// Tarvex.Navs-Q90: the radio panel of the airliner. It owns the cockpit link's start-up: at
// install it clears the link and picks the cabin announcements; at its first update it powers
// the cockpit if the simulator reports a unit started. Its buttons act only while powered; the
// six frequency areas are key events the host sends by itself, powered or not.
#include "frame/cockpit_link.h"
#include "frame/elements.h"
#include "frame/lifecycle.h"
#include "navs/announcements.h"

namespace {

using namespace frame;

constexpr int32_t kPanelBitmap = 100;
constexpr uint32_t kStartupTokenIds[] = {130, 165, 200};
constexpr int kStartupTokens = 3;
constexpr uint32_t kWindowMp = 50;
constexpr uint32_t kWindowPl = 51;
constexpr uint32_t kEventStd = 66040;
constexpr uint32_t kStdValue = 16209;

CockpitLinkState link;
uint32_t startup_check_pending = 1;
TokenVar startup_tokens[kStartupTokens] = {token_var(kStartupTokenIds[0]),
                                           token_var(kStartupTokenIds[1]),
                                           token_var(kStartupTokenIds[2])};

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
    function_area(81, 17, 12, 10, kCursorHand, kClickDown, &mp_button),
    function_area(81, 33, 12, 10, kCursorHand, kClickDown, &pl_button),
    key_area(2, 25, 12, 15, kCursorDown, kClickDown | kClickRepeat, 65884),
    function_area(14, 25, 11, 15, kCursorHand, kClickDown, &std_button),
    key_area(25, 25, 12, 15, kCursorUp, kClickDown | kClickRepeat, 65883),
    key_area(77, 60, 12, 10, kCursorDown, kClickDown | kClickRepeat, 65662),
    key_area(125, 60, 12, 10, kCursorUp, kClickDown | kClickRepeat, 65663),
    key_area(77, 76, 12, 10, kCursorDown, kClickDown | kClickRepeat, 65664),
    key_area(125, 76, 12, 10, kCursorUp, kClickDown | kClickRepeat, 65665),
    function_area(44, 58, 18, 14, kCursorHand, kClickDown, &vr_button),
    function_area(44, 74, 18, 14, kCursorHand, kClickDown, &ar_button),
    function_area(112, 17, 18, 14, kCursorHand, kClickDown, &fd_button),
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
      for (int i = 0; i < kStartupTokens; ++i)
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
