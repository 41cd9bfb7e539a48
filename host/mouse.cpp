// Mouse hit-testing: a click at gauge pixel (x, y) finds the first child area that contains it
// inside the open parents, and the host sends its key event or calls its function.
#include <algorithm>
#include <vector>

#include "host/host.h"

namespace host {

ClickResult Host::click(Gauge& g, int x, int y) {
  ClickResult r;
  if (g.phase_ != Phase::Initialized || !g.mouse_registered_ || !g.mouse_list_) return r;
  // Parents bound their children; a parent whose box is empty bounds nothing.
  struct Open {
    bool inside;
  };
  std::vector<Open> open;
  auto inside = [x, y](const frame::MouseArea& a) {
    return x >= a.x && y >= a.y && x < a.x + a.width && y < a.y + a.height;
  };
  for (const frame::MouseArea* a = g.mouse_list_; a->type != frame::kAreaEndList; ++a) {
    if (open.size() > 64 || a - g.mouse_list_ > 4096) break;  // a list without its end
    const bool parents_ok = std::all_of(open.begin(), open.end(), [](Open o) { return o.inside; });
    if (a->type == frame::kAreaParent) {
      const bool empty = a->width == 0 && a->height == 0;
      open.push_back({empty || inside(*a)});
    } else if (a->type == frame::kAreaEndParent) {
      if (!open.empty()) open.pop_back();
    } else if (a->type == frame::kAreaChild && parents_ok && inside(*a)) {
      r.hit = true;
      if (a->key_event) {
        r.key_event = a->key_event;
        key_event(&g, a->key_event, 0, true);
      } else if (a->function) {
        r.called_function = true;
        const frame::MouseFunction fn = a->function;
        call_into(g, "mouse",
                  [&] { r.function_result = fn(uint32_t(x) | uint32_t(y) << 16, a->click_flags); });
      }
      return r;
    }
  }
  return r;
}

}  // namespace host
