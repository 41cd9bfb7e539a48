#include "panels.h"

namespace art {

std::span<const Panel> all_panels() {
  static const Panel panels[] = {
      {"autopilot", autopilot_bitmaps()},
      {"gear", gear_bitmaps()},
      {"hsi_switch", hsi_switch_bitmaps()},
      {"light_switch", light_switch_bitmaps()},
      {"navs", navs_bitmaps()},
  };
  return panels;
}

const Panel* find_panel(std::string_view name) {
  for (const Panel& p : all_panels())
    if (p.name == name) return &p;
  return nullptr;
}

Canvas render(const BitmapDef& def) {
  Canvas c(def.width, def.height, ink::black);
  def.draw(c);
  return c;
}

}  // namespace art
