// Helpers shared by the art tests: where a canvas has ink (anything not black).
#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "canvas.h"
#include "panels.h"

namespace art_test {

using Bytes = std::vector<std::uint8_t>;

// The n-byte little-endian number at offset at of an encoded file.
inline std::uint32_t le(const Bytes& b, std::size_t at, int n) {
  std::uint32_t v = 0;
  for (int i = n - 1; i >= 0; --i) v = (v << 8) | b.at(at + static_cast<std::size_t>(i));
  return v;
}

struct Box {
  int x0 = INT_MAX;
  int y0 = INT_MAX;
  int x1 = INT_MIN;
  int y1 = INT_MIN;
  bool empty() const { return x0 > x1; }
};

inline bool is_ink(const art::Canvas& c, int x, int y) { return c.rgb(x, y) != art::Rgb{0, 0, 0}; }

// Bounding box of the ink within the inclusive region, clipped to the canvas.
inline Box ink_box(const art::Canvas& c, int rx0, int ry0, int rx1, int ry1) {
  Box b;
  for (int y = std::max(ry0, 0); y <= std::min(ry1, c.height() - 1); ++y)
    for (int x = std::max(rx0, 0); x <= std::min(rx1, c.width() - 1); ++x)
      if (is_ink(c, x, y)) {
        b.x0 = std::min(b.x0, x);
        b.y0 = std::min(b.y0, y);
        b.x1 = std::max(b.x1, x);
        b.y1 = std::max(b.y1, y);
      }
  return b;
}

inline Box ink_box(const art::Canvas& c) { return ink_box(c, 0, 0, c.width() - 1, c.height() - 1); }

inline const art::BitmapDef& bitmap(const char* panel, int id) {
  const art::Panel* p = art::find_panel(panel);
  if (p != nullptr)
    for (const art::BitmapDef& d : p->bitmaps)
      if (d.id == id) return d;
  throw std::invalid_argument(std::string("no bitmap ") + std::to_string(id) + " in " + panel);
}

}  // namespace art_test
