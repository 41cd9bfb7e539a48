// What the autopilot's update costs per frame in each sequencer stage, in instructions, counted by
// callgrind rather than timed:
//
//   valgrind --tool=callgrind --toggle-collect=bench_measured_update --callgrind-out-file=ap.out
//       build/native/bench/autopilot_bench <stage> build/native/gauges/Tarvex.Autopilot-Q90.gau
//   callgrind_annotate --inclusive=yes ap.out
//
// The panel services are a trivial table of functions named bench_service_*, in this program: the
// module's own work is everything counted less the self cost of this program's functions, divided
// by kFrames. The measured frames leave the elements alone unless "elements" is given; then the
// element refresh calls the element routines as the host would, and the difference between the
// two runs is what the window and light routines cost.
#include <dlfcn.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "frame/cockpit_link.h"
#include "frame/records.h"
#include "frame/services.h"

namespace {

constexpr int kFrames = 1000;
constexpr int kTokens = 400;
double values[kTokens];
char text_buffers[4][8];
int events_sent = 0;
bool refresh_elements = true;  // off for the measured frames unless asked for
frame::ElementHeader* top = nullptr;

void set(uint32_t token, double v) { values[token] = v; }

}  // namespace

extern "C" {

__attribute__((noinline)) uint32_t bench_service_refresh_token_var(frame::TokenVar* v) {
  v->value = v->id < kTokens ? values[v->id] : 0.0;
  return 0;
}
__attribute__((noinline)) uint32_t bench_service_send_key_event(uint32_t, uint32_t) {
  ++events_sent;
  return 0;
}
__attribute__((noinline)) uint32_t bench_service_element(frame::ElementHeader*) { return 0; }
__attribute__((noinline)) uint32_t bench_service_element_arg(frame::ElementHeader*, uint32_t) { return 0; }
__attribute__((noinline)) uint32_t bench_service_install_elements(frame::ElementHeader* e, uint32_t) {
  int w = 0;
  for (int i = 0; e->children[i] != nullptr; ++i)
    if (e->children[i]->type == frame::kStringWindow)
      reinterpret_cast<frame::StringElement*>(e->children[i])->text_buffer = text_buffers[w++];
  return 0;
}
// As the host refreshes the elements: each child's tokens, then its routines.
__attribute__((noinline)) uint32_t bench_service_update_elements(frame::ElementHeader* e) {
  if (!refresh_elements) return 0;
  for (int i = 0; e->children[i] != nullptr; ++i) {
    frame::ElementHeader* c = e->children[i];
    if (c->type == frame::kIcon) {
      auto* icon = reinterpret_cast<frame::IconElement*>(c);
      bench_service_refresh_token_var(&icon->token);
      icon->callback(&icon->token);
    } else if (c->type == frame::kStringWindow) {
      auto* s = reinterpret_cast<frame::StringElement*>(c);
      for (frame::TokenVar& t : s->tokens) bench_service_refresh_token_var(&t);
      const double v = s->value_callback(&s->tokens[0]);
      if (s->text_callback) s->text_callback(v);
    }
  }
  return 0;
}
__attribute__((noinline)) uint32_t bench_service_mouse(frame::MouseArea*, frame::GaugeHeader*, uintptr_t) {
  return 0;
}
__attribute__((noinline)) uint32_t bench_service_token(frame::TokenVar*) { return 0; }

__attribute__((noinline)) void bench_measured_update(frame::GaugeHeader* h) { h->update(); }

}  // extern "C"

namespace {

template <class F>
frame::AnyServiceFn slot(F f) {
  return reinterpret_cast<frame::AnyServiceFn>(f);
}

frame::PanelServices make_services() {
  frame::PanelServices s{};
  using frame::Slot;
  auto at = [&](Slot x) -> frame::AnyServiceFn& { return s.slots[static_cast<uint32_t>(x)]; };
  at(Slot::apply_image_flags) = slot(&bench_service_element);
  at(Slot::query_elements) = slot(&bench_service_element);
  at(Slot::install_elements) = slot(&bench_service_install_elements);
  at(Slot::initialize_elements) = slot(&bench_service_element);
  at(Slot::update_elements) = slot(&bench_service_update_elements);
  at(Slot::generate_elements) = slot(&bench_service_element_arg);
  at(Slot::draw_elements) = slot(&bench_service_element);
  at(Slot::kill_elements) = slot(&bench_service_element);
  at(Slot::install_mouse_list) = slot(&bench_service_mouse);
  at(Slot::register_mouse_list) = slot(&bench_service_mouse);
  at(Slot::unregister_mouse_list) = slot(&bench_service_mouse);
  at(Slot::send_key_event) = slot(&bench_service_send_key_event);
  at(Slot::initialize_token_var) = slot(&bench_service_token);
  at(Slot::refresh_token_var) = slot(&bench_service_refresh_token_var);
  return s;
}

frame::PanelServices services = make_services();

struct Stage {
  const char* name;
  // Values for the measured frames, after the common approach set-up below.
  double altitude_m, appr_land, at_light;
  int setup_frames;  // frames that lead into the stage, not measured
};

// Ground at 0: height = altitude_m x 3.28084 - 8 ft.
const Stage kStages[] = {
    {"idle", 1000, 0, 1, 1},        // engaged, no approach: alert and the engaged check
    {"stage_250", 60, 0, 1, 2},     // captured, holding at 189 ft
    {"stage_140", 40, 0, 1, 4},     // waiting for the A/T light at 123 ft
    {"stage_at_off", 30, 0, 0, 5},  // holding the reference at 90 ft
    {"stage_55", 10, 0, 0, 7},      // a command every frame at 25 ft
    {"every_step", 10, 1, 0, 2},    // APPR/LAND kept lit below 55 ft: all steps in every frame
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && !(argc == 4 && std::strcmp(argv[3], "elements") == 0)) {
    std::fprintf(stderr, "usage: autopilot_bench <stage> <Tarvex.Autopilot-Q90.gau> [elements]\nstages:");
    for (const Stage& s : kStages) std::fprintf(stderr, " %s", s.name);
    std::fprintf(stderr, "\n");
    return 2;
  }
  const Stage* stage = nullptr;
  for (const Stage& s : kStages)
    if (std::strcmp(s.name, argv[1]) == 0) stage = &s;
  if (!stage) return 2;
  void* lib = dlopen(argv[2], RTLD_NOW | RTLD_LOCAL);
  if (!lib) {
    std::fprintf(stderr, "%s\n", dlerror());
    return 1;
  }
  auto* linkage = static_cast<frame::Linkage*>(dlsym(lib, "Linkage"));
  auto* imports = static_cast<frame::ImportTable*>(dlsym(lib, "ImportTable"));
  if (!linkage || !imports) return 1;
  imports->entries[0].services = &services;
  frame::GaugeHeader* h = linkage->gauges[0];
  top = h->elements[0];

  // Power, as the radio panel gives it.
  frame::CockpitLinkState radio;
  frame::open_cockpit_link(radio);
  if (!radio.link_view) return 1;

  linkage->module_init();
  h->query();
  h->install(0);
  h->initialize();
  radio.link_view->power = 1;
  set(103, 1);
  set(112, 1);
  set(123, 1);
  set(65, -700);
  set(318, 100);
  set(109, 1000);
  set(73, 1000);
  h->update();  // power taken up; the AUTO FLIGHT light seen engaged
  // Down through the stages in the ordinary course, then the stage's own values.
  const double path[][3] = {{65, 1, 1}, {60, 0, 1}, {40, 0, 1}, {40, 0, 0}, {30, 0, 0}, {10, 0, 0}};
  for (int i = 0; i < stage->setup_frames - 1; ++i) {
    set(73, path[i][0]);
    set(112, path[i][1]);
    set(123, path[i][2]);
    h->update();
  }
  set(73, stage->altitude_m);
  set(112, stage->appr_land);
  set(123, stage->at_light);
  events_sent = 0;
  refresh_elements = argc == 4;
  for (int i = 0; i < kFrames; ++i) bench_measured_update(h);
  std::printf("%s: %d frames, %d key events (%.1f per frame)\n", stage->name, kFrames, events_sent,
              static_cast<double>(events_sent) / kFrames);

  h->kill();
  linkage->module_deinit();
  frame::close_cockpit_link(radio);
  dlclose(lib);
  return 0;
}
