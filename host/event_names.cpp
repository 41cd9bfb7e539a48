#include <string>

#include "autopilot/layout.h"
#include "host/config_text.h"
#include "host/scenario.h"

namespace host {

std::optional<uint32_t> event_id(std::string_view word) {
  const auto n = text::to_int(word);
  if (n && *n > 0) return uint32_t(*n);
  for (const auto& e : autopilot::layout::kEvents)
    if (e.name && word == e.name) return e.id;
  return std::nullopt;
}

std::string event_label(uint32_t id) {
  for (const auto& e : autopilot::layout::kEvents)
    if (e.name && e.id == id) return e.name;
  return "";
}

}  // namespace host
