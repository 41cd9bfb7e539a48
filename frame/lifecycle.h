#pragma once
// The common body of the seven gauge routines, written once. A module names its records and, where
// it has own work, static hooks of its gauge type G:
//   G::header      GaugeHeader*   (its element array's first entry is the top-level element)
//   G::mouse_list  MouseArea*
//   optional: install_before(), install_after(), initialize_before(), update_before(),
//             kill_before(), kill_after()
#include "frame/services.h"

namespace frame {

template <class G>
struct Lifecycle {
  static ElementHeader* top() { return G::header->elements[0]; }

  static void GAUGE_CALL query() { host_call<Slot::query_elements>(top()); }

  static void GAUGE_CALL install(uint32_t arg) {
    if constexpr (requires { G::install_before(); }) G::install_before();
    host_call<Slot::install_elements>(top(), arg);
    // The host fills this word while installing the elements, so it is read only now.
    const uintptr_t word = reinterpret_cast<StaticImageElement*>(top())->host_word;
    host_call<Slot::install_mouse_list>(G::mouse_list, G::header, word + 4);
    host_call<Slot::register_mouse_list>(G::mouse_list, G::header);
    if constexpr (requires { G::install_after(); }) G::install_after();
  }

  static void GAUGE_CALL initialize() {
    if constexpr (requires { G::initialize_before(); }) G::initialize_before();
    host_call<Slot::initialize_elements>(top());
  }

  // Own update work returns normally on every path, so update_elements always ends the routine.
  static void GAUGE_CALL update() {
    if constexpr (requires { G::update_before(); }) G::update_before();
    host_call<Slot::update_elements>(top());
  }

  static void GAUGE_CALL generate(uint32_t arg) { host_call<Slot::generate_elements>(top(), arg); }

  static void GAUGE_CALL draw() { host_call<Slot::draw_elements>(top()); }

  static void GAUGE_CALL kill() {
    if constexpr (requires { G::kill_before(); }) G::kill_before();
    host_call<Slot::unregister_mouse_list>(G::mouse_list, G::header);
    host_call<Slot::kill_elements>(top());
    if constexpr (requires { G::kill_after(); }) G::kill_after();
  }
};

// A gauge header whose routines are the common body over G.
template <class G>
constexpr GaugeHeader make_gauge_header(const char* name, ElementHeader* const* elements,
                                        uint32_t horizontal_size) {
  using L = Lifecycle<G>;
  return GaugeHeader{610,        name,         elements, &L::query, &L::install, &L::initialize,
                     &L::update, &L::generate, &L::draw, &L::kill,  0,           horizontal_size,
                     0,          {},           0,        0};
}

void GAUGE_CALL empty_module_function();

}  // namespace frame

// Defines the exported Linkage of a module with its one gauge header.
#define GAUGE_LINKAGE(header_ptr, init_fn, deinit_fn)              \
  extern "C" {                                                     \
  GAUGE_EXPORT constinit frame::Linkage Linkage = {                \
      0x13, init_fn, deinit_fn, {0, 0, 0}, {header_ptr, nullptr}}; \
  }
