#include "host/gauge_facts.h"

#include "autopilot/layout.h"
#include "gear/layout.h"
#include "hsi_switch/layout.h"
#include "light_switch/layout.h"
#include "navs/layout.h"

namespace host {
namespace {

// One line per gauge: the deliverable and its layout namespace.
#define HOST_FACTS(deliverable, ns) \
  GaugeFacts { deliverable, ns::layout::kTokens, ns::layout::kEvents }
constexpr GaugeFacts kFacts[] = {
    HOST_FACTS("Tarvex.Autopilot-Q90", autopilot),
    HOST_FACTS("Tarvex.Navs-Q90", navs),
    HOST_FACTS("j4gear", gear),
    HOST_FACTS("Nordel_HSI_Switch", hsi_switch),
    HOST_FACTS("Lumet.LightSwitch", light_switch),
};
#undef HOST_FACTS

std::string_view stem(std::string_view path) {
  const auto slash = path.find_last_of("/\\");
  if (slash != std::string_view::npos) path.remove_prefix(slash + 1);
  if (path.size() > 4 && path.ends_with(".gau")) path.remove_suffix(4);
  return path;
}

const frame::KeyEventName* find_event(uint32_t id) {
  for (const GaugeFacts& f : all_gauge_facts())
    for (const frame::KeyEventName& e : f.events)
      if (e.id == id) return &e;
  return nullptr;
}

}  // namespace

std::span<const GaugeFacts> all_gauge_facts() { return kFacts; }

const GaugeFacts* facts_for(std::string_view deliverable_or_path) {
  const std::string_view name = stem(deliverable_or_path);
  for (const GaugeFacts& f : all_gauge_facts())
    if (name == f.deliverable) return &f;
  return nullptr;
}

const char* event_name(uint32_t id) {
  // A gauge may list an event without a name while another names it: take the first name.
  for (const GaugeFacts& f : all_gauge_facts())
    for (const frame::KeyEventName& e : f.events)
      if (e.id == id && e.name) return e.name;
  return nullptr;
}

const char* event_role(uint32_t id) {
  const frame::KeyEventName* e = find_event(id);
  return e ? e->role : nullptr;
}

}  // namespace host
