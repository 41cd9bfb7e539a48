// A broken gauge for the host's own checks: it hands its mouse list over before its elements are
// installed, with a made-up address, and its kill forgets to end the mouse list.
#include "frame/elements.h"
#include "frame/lifecycle.h"

namespace {
using namespace frame;

extern GaugeHeader gauge_header;
StaticImageElement background = static_image(1, 0, 0, &gauge_header, nullptr, 0x1);
ElementHeader* const elements[] = {&background.header, nullptr};
MouseArea areas[] = {parent_area(), end_parent(), end_list()};

void GAUGE_CALL query() { host_call<Slot::query_elements>(&background.header); }
void GAUGE_CALL install(uint32_t arg) {
  host_call<Slot::install_mouse_list>(areas, &gauge_header, uintptr_t(0x1234));
  host_call<Slot::install_elements>(&background.header, arg);
  host_call<Slot::register_mouse_list>(areas, &gauge_header);
}
void GAUGE_CALL initialize() { host_call<Slot::initialize_elements>(&background.header); }
void GAUGE_CALL update() {
  static TokenVar never_initialized = token_var(7);
  host_call<Slot::refresh_token_var>(&never_initialized);
  host_call<Slot::update_elements>(&background.header);
}
void GAUGE_CALL generate(uint32_t arg) { host_call<Slot::generate_elements>(&background.header, arg); }
void GAUGE_CALL draw() { host_call<Slot::draw_elements>(&background.header); }
void GAUGE_CALL kill() { host_call<Slot::kill_elements>(&background.header); }

GaugeHeader gauge_header = {610,   "misordered", elements, &query, &install, &initialize, &update, &generate,
                            &draw, &kill,        0,        1,      0,        {},          0,       0};
}  // namespace

GAUGE_LINKAGE(&gauge_header, &frame::empty_module_function, &frame::empty_module_function)
