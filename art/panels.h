// Registry of every bitmap artgen can draw. A panel is one source file with
// one drawing function per bitmap and a table of {id, width, height, draw};
// adding a panel means adding that file and one line to the table in
// panels.cpp.
#pragma once

#include <span>
#include <string_view>

#include "canvas.h"
#include "frame/layout.h"

namespace art {

using DrawFn = void (*)(Canvas&);

struct BitmapDef {
  int id;  // resource id the gauge loads it by
  int width;
  int height;
  DrawFn draw;
};

struct Panel {
  std::string_view name;
  std::span<const BitmapDef> bitmaps;
};

std::span<const BitmapDef> autopilot_bitmaps();
std::span<const BitmapDef> gear_bitmaps();
std::span<const BitmapDef> hsi_switch_bitmaps();
std::span<const BitmapDef> light_switch_bitmaps();
std::span<const BitmapDef> navs_bitmaps();

std::span<const Panel> all_panels();
const Panel* find_panel(std::string_view name);  // nullptr if unknown

// A box of a gauge's layout as a drawing rectangle.
constexpr Rect to_rect(frame::Box b) { return {b.x, b.y, b.width, b.height}; }

// A black canvas of the bitmap's size with its drawing applied.
Canvas render(const BitmapDef& def);

}  // namespace art
