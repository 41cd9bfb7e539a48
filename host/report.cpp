#include "host/report.h"

#include <cstdarg>
#include <cstdio>

#include "host/gauge_facts.h"

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

// Cursor codes by their use in the mouse lists.
const char* cursor_name(int32_t c) {
  switch (c) {
    case -1: return "none";
    case 1: return "step up";
    case 2: return "step down";
    case 5: return "push";
  }
  return "unknown";
}

void describe_event_id(std::string& out, uint32_t id) {
  appendf(out, "%u (0x%X)", id, id);
  if (const char* name = event_name(id)) appendf(out, " %s", name);
}

}  // namespace

std::string describe_gauge(const Gauge& g) {
  std::string out;
  const frame::GaugeHeader* h = g.header();
  appendf(out, "gauge \"%s\": version %u, horizontal size %u\n", g.name().c_str(), h->version,
          h->horizontal_size);
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
    appendf(out, "  area (%d, %d, %d x %d) cursor %d (%s): ", a->x, a->y, a->width, a->height, a->cursor,
            cursor_name(a->cursor));
    if (a->key_event) {
      out += "key event ";
      describe_event_id(out, a->key_event);
      out += "\n";
    } else {
      out += "module function\n";
    }
  }
  if (!g.mouse_list()) out += "  (mouse list not yet handed over)\n";
  if (const GaugeFacts* f = facts_for(g.path())) {
    // Id 0 is "none": a gauge that reads no token or sends no event has that one row.
    for (const frame::TokenRole& t : f->tokens)
      if (t.id != 0) appendf(out, "  token %u: %s\n", t.id, t.role);
    for (const frame::KeyEventName& e : f->events)
      if (e.id != 0)
        appendf(out, "  key event %u (0x%X) %s: %s\n", e.id, e.id, e.name ? e.name : "(no EV_ name)",
                e.role ? e.role : "");
  }
  return out;
}

std::string describe_events(const Host& h) {
  std::string out;
  for (const HostEvent& e : h.events()) {
    const std::string gauge(e.gauge);
    if (e.kind == HostEvent::Kind::panel_window) {
      appendf(out, "panel window %u toggled by %s\n", e.id, gauge.c_str());
      continue;
    }
    out += "key event ";
    describe_event_id(out, e.id);
    appendf(out, " value %u from %s%s\n", e.value, gauge.c_str(), e.from_area ? " (mouse area)" : "");
  }
  return out;
}

}  // namespace host
