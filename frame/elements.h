#pragma once
// Builders for the static records of a gauge, so each module's tables read as its data.
#include <cstring>

#include "frame/layout.h"
#include "frame/records.h"

namespace frame {

constexpr ElementHeader element_header(uint32_t type, int32_t bitmap, int32_t x, int32_t y,
                                       GaugeHeader* gauge, ElementHeader* const* children, uint32_t flags,
                                       const FailureEntry* failures = nullptr, uint32_t flags2 = 0) {
  return ElementHeader{type, bitmap, x, y, {}, {}, gauge, 0, children, failures, flags, flags2, 0};
}

constexpr StaticImageElement static_image(int32_t bitmap, int32_t x, int32_t y, GaugeHeader* gauge,
                                          ElementHeader* const* children, uint32_t flags,
                                          uint32_t flags2 = 0) {
  return StaticImageElement{
      element_header(kStaticImage, bitmap, x, y, gauge, children, flags, nullptr, flags2), 0, {}};
}

constexpr TokenVar token_var(uint32_t id) { return TokenVar{id, 0, 0, 0.0, {}}; }

constexpr IconElement icon(int32_t bitmap, uint32_t images, int32_t x, int32_t y, GaugeHeader* gauge,
                           ElementHeader* const* children, uint32_t flags, uint32_t token,
                           IconCallback callback, const FailureEntry* failures = nullptr) {
  return IconElement{element_header(kIcon, bitmap, x, y, gauge, children, flags, failures),
                     token_var(token),
                     callback,
                     {},
                     images,
                     {}};
}

constexpr MouseArea parent_area(int32_t x = 0, int32_t y = 0, int32_t w = 0, int32_t h = 0,
                                uint32_t help_id = 0) {
  return MouseArea{kAreaParent, x, y, w, h, kCursorNone, help_id, 0, 0, nullptr, 0};
}
constexpr MouseArea key_area(int32_t x, int32_t y, int32_t w, int32_t h, int32_t cursor, uint32_t flags,
                             uint32_t key_event) {
  return MouseArea{kAreaChild, x, y, w, h, cursor, 0, flags, key_event, nullptr, 0};
}
constexpr MouseArea function_area(int32_t x, int32_t y, int32_t w, int32_t h, int32_t cursor, uint32_t flags,
                                  MouseFunction fn) {
  return MouseArea{kAreaChild, x, y, w, h, cursor, 0, flags, 0, fn, 0};
}
constexpr MouseArea key_area(Box b, int32_t cursor, uint32_t flags, uint32_t key_event) {
  return key_area(b.x, b.y, b.width, b.height, cursor, flags, key_event);
}
constexpr MouseArea function_area(Box b, int32_t cursor, uint32_t flags, MouseFunction fn) {
  return function_area(b.x, b.y, b.width, b.height, cursor, flags, fn);
}
constexpr MouseArea end_parent() {
  return MouseArea{kAreaEndParent, 0, 0, 0, 0, kCursorNone, 0, 0, 0, nullptr, 0};
}
constexpr MouseArea end_list() {
  return MouseArea{kAreaEndList, 0, 0, 0, 0, kCursorNone, 0, 0, 0, nullptr, 0};
}

}  // namespace frame
