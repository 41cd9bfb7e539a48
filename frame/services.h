#pragma once
// The host's panel services: slot numbers, their signatures, and the one helper through which a
// module calls them.
#include <cstddef>
#include <cstdint>

#include "frame/records.h"

namespace frame {

// Slot index = byte offset in the table / 4, on every target.
enum class Slot : uint32_t {
  apply_image_flags = 0x44 / 4,
  query_elements = 0x60 / 4,
  install_elements = 0x64 / 4,
  initialize_elements = 0x68 / 4,
  update_elements = 0x6C / 4,
  generate_elements = 0x70 / 4,
  draw_elements = 0x74 / 4,
  kill_elements = 0x7C / 4,
  install_mouse_list = 0x80 / 4,
  register_mouse_list = 0x84 / 4,
  unregister_mouse_list = 0x88 / 4,
  toggle_panel_window = 0x8C / 4,
  send_key_event = 0x90 / 4,
  register_named_variable = 0x94 / 4,
  initialize_token_var = 0x98 / 4,
  refresh_token_var = 0xA0 / 4,
  unregister_named_variables = 0xA8 / 4,
};

inline constexpr std::size_t kServiceSlotCount = 0xAC / 4;

using AnyServiceFn = void (*)();

struct PanelServices {
  AnyServiceFn slots[kServiceSlotCount];
};
#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(PanelServices) == 0xAC);
#endif

// The signature of each slot; the host fills its table with functions of exactly these types.
template <Slot S>
struct SlotSignature;
#define FRAME_SLOT(name, ...)                           \
  template <>                                           \
  struct SlotSignature<Slot::name> {                    \
    using type = uint32_t(GAUGE_CALL*)(__VA_ARGS__);    \
  };
FRAME_SLOT(apply_image_flags, ElementHeader*)
FRAME_SLOT(query_elements, ElementHeader*)
FRAME_SLOT(install_elements, ElementHeader*, uint32_t)
FRAME_SLOT(initialize_elements, ElementHeader*)
FRAME_SLOT(update_elements, ElementHeader*)
FRAME_SLOT(generate_elements, ElementHeader*, uint32_t)
FRAME_SLOT(draw_elements, ElementHeader*)
FRAME_SLOT(kill_elements, ElementHeader*)
FRAME_SLOT(install_mouse_list, MouseArea*, GaugeHeader*, uintptr_t)
FRAME_SLOT(register_mouse_list, MouseArea*, GaugeHeader*)
FRAME_SLOT(unregister_mouse_list, MouseArea*, GaugeHeader*)
FRAME_SLOT(toggle_panel_window, uint32_t)
FRAME_SLOT(send_key_event, uint32_t, uint32_t)
FRAME_SLOT(register_named_variable, void*, uint32_t, const char*)
FRAME_SLOT(initialize_token_var, TokenVar*)
FRAME_SLOT(refresh_token_var, TokenVar*)
FRAME_SLOT(unregister_named_variables)
#undef FRAME_SLOT

template <Slot S>
using SlotFn = typename SlotSignature<S>::type;

}  // namespace frame

// The module's import table, filled by the host before any routine runs.
extern "C" GAUGE_EXPORT frame::ImportTable ImportTable;

namespace frame {

// Calls a host service. The table address is read anew from ImportTable at every call (the host
// may move it); the result is never looked at.
template <Slot S, typename... Args>
inline void host_call(Args... args) {
  // Through the record itself, not a pointer to its member: the field may be under-aligned
  // where addresses are 8 bytes and the record is packed on 4.
  const volatile frame::ImportTable& imports = ::ImportTable;
  PanelServices* table = imports.entries[0].services;
  auto fn = reinterpret_cast<SlotFn<S>>(table->slots[static_cast<uint32_t>(S)]);
  fn(args...);
}

}  // namespace frame
