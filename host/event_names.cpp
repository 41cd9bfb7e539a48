// Key events as scenarios and timelines name them, from the gauge facts registry.
#include <string>

#include "host/args.h"
#include "host/gauge_facts.h"
#include "host/scenario.h"

namespace host {

std::optional<uint32_t> event_id(std::string_view word) {
  if (const auto n = parse_u32(word); n && *n != 0) return n;
  for (const GaugeFacts& f : all_gauge_facts())
    for (const frame::KeyEventName& e : f.events)
      if (e.name && word == e.name) return e.id;
  return std::nullopt;
}

std::string event_label(uint32_t id) {
  const char* name = event_name(id);
  return name ? name : "";
}

}  // namespace host
