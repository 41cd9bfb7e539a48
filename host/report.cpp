#include "host/report.h"

#include <cstdarg>
#include <cstdio>

namespace host {

void appendf(std::string& out, const char* fmt, ...) {
  char line[512];
  va_list args;
  va_start(args, fmt);
  std::vsnprintf(line, sizeof line, fmt, args);
  va_end(args);
  out += line;
}
namespace {

const char* type_name(uint32_t t) {
  switch (t) {
    case frame::kStaticImage: return "static image";
    case frame::kIcon: return "icon";
    case frame::kStringWindow: return "text window";
  }
  return "unknown";
}

}  // namespace

std::string describe_gauge(const Gauge& g) {
  std::string out;
  const frame::GaugeHeader* h = g.header();
  appendf(out, "gauge \"%s\": version %u, horizontal size %u\n", g.name().c_str(), h->version, h->horizontal_size);
  for (const frame::ElementHeader* e : g.elements()) {
    appendf(out, "  %-12s bitmap %5d at (%d, %d) flags 0x%X", type_name(e->type), e->bitmap_id, e->x, e->y,
        e->image_flags);
    if (e->type == frame::kIcon) {
      auto* icon = reinterpret_cast<const frame::IconElement*>(e);
      appendf(out, ", token %u, %u images", icon->token.id, icon->image_count);
    }
    out += "\n";
  }
  for (const frame::MouseArea* a = g.mouse_list(); a && a->type != frame::kAreaEndList; ++a) {
    if (a->type != frame::kAreaChild) continue;
    appendf(out, "  area (%d, %d, %d x %d) cursor %d: ", a->x, a->y, a->width, a->height, a->cursor);
    if (a->key_event)
      appendf(out, "key event %u (0x%X)\n", a->key_event, a->key_event);
    else
      appendf(out, "module function\n");
  }
  if (!g.mouse_list()) out += "  (mouse list not yet handed over)\n";
  return out;
}

std::string describe_events(const Host& h) {
  std::string out;
  for (const KeyEvent& e : h.key_events())
    appendf(out, "key event %u (0x%X) value %u from %s%s\n", e.id, e.id, e.value, e.gauge.c_str(),
        e.from_area ? " (mouse area)" : "");
  for (uint32_t w : h.panel_windows()) appendf(out, "panel window %u toggled\n", w);
  return out;
}

}  // namespace host
