#pragma once
// The host's panel services: slot numbers, their signatures, and the one helper through which a
// module calls them.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "frame/records.h"

// Every slot a module calls, once: name, byte offset in the table, the arguments it passes.
// Slot ids, signatures, printable names and the host's table are all made from this list, so a
// new slot is one line here (and, in the host, one service function of the same name).
#define FRAME_SERVICE_SLOTS(X)                                     \
  X(apply_image_flags, 0x44, ElementHeader*)                       \
  X(query_elements, 0x60, ElementHeader*)                          \
  X(install_elements, 0x64, ElementHeader*, uint32_t)              \
  X(initialize_elements, 0x68, ElementHeader*)                     \
  X(update_elements, 0x6C, ElementHeader*)                         \
  X(generate_elements, 0x70, ElementHeader*, uint32_t)             \
  X(draw_elements, 0x74, ElementHeader*)                           \
  X(kill_elements, 0x7C, ElementHeader*)                           \
  X(install_mouse_list, 0x80, MouseArea*, GaugeHeader*, uintptr_t) \
  X(register_mouse_list, 0x84, MouseArea*, GaugeHeader*)           \
  X(unregister_mouse_list, 0x88, MouseArea*, GaugeHeader*)         \
  X(toggle_panel_window, 0x8C, uint32_t)                           \
  X(send_key_event, 0x90, uint32_t, uint32_t)                      \
  X(register_named_variable, 0x94, void*, uint32_t, const char*)   \
  X(initialize_token_var, 0x98, TokenVar*)                         \
  X(refresh_token_var, 0xA0, TokenVar*)                            \
  X(unregister_named_variables, 0xA8)

namespace frame {

// Slot index = byte offset in the table / 4, on every target.
enum class Slot : uint32_t {
#define FRAME_SLOT_ID(name, offset, ...) name = (offset) / 4,
  FRAME_SERVICE_SLOTS(FRAME_SLOT_ID)
#undef FRAME_SLOT_ID
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
#define FRAME_SLOT_SIGNATURE(name, offset, ...)      \
  template <>                                        \
  struct SlotSignature<Slot::name> {                 \
    using type = uint32_t(GAUGE_CALL*)(__VA_ARGS__); \
  };
FRAME_SERVICE_SLOTS(FRAME_SLOT_SIGNATURE)
#undef FRAME_SLOT_SIGNATURE

template <Slot S>
using SlotFn = typename SlotSignature<S>::type;

struct SlotInfo {
  Slot slot;
  const char* name;
  uint32_t offset;
};

inline constexpr SlotInfo kSlots[] = {
#define FRAME_SLOT_INFO(name, offset, ...) {Slot::name, #name, (offset)},
    FRAME_SERVICE_SLOTS(FRAME_SLOT_INFO)
#undef FRAME_SLOT_INFO
};

// The slot's name as the table lists it, e.g. "install_mouse_list"; "?" for a number no slot has.
constexpr const char* slot_name(Slot s) {
  for (const SlotInfo& i : kSlots)
    if (i.slot == s) return i.name;
  return "?";
}

// The names by slot index ("" where no slot is listed), for logs that keep names without copying
// or measuring them.
inline constexpr auto kSlotNames = [] {
  std::array<std::string_view, kServiceSlotCount> names{};
  for (const SlotInfo& i : kSlots) names[i.offset / 4] = i.name;
  return names;
}();

// The table is what the binary contract says it is: word-aligned offsets in ascending order,
// inside the table.
constexpr bool slots_well_formed() {
  uint32_t last = 0;
  for (const SlotInfo& i : kSlots) {
    if (i.offset % 4 != 0 || i.offset <= last || i.offset / 4 >= kServiceSlotCount) return false;
    last = i.offset;
  }
  return true;
}
static_assert(slots_well_formed());

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
