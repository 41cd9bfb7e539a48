#pragma once
// What each gauge of the panel reads and sends, for people: its tokens with their roles and its
// key events with their EV_ names, taken from each gauge's layout header. One registry, shared by
// `panelhost info`, the event printout and the scenario runner.
#include <cstdint>
#include <span>
#include <string_view>

#include "frame/layout.h"

namespace host {

struct GaugeFacts {
  const char* deliverable;  // the library's name without ".gau", e.g. "j4gear"
  std::span<const frame::TokenRole> tokens;
  std::span<const frame::KeyEventName> events;
};

// Every gauge whose layout header is part of this build.
std::span<const GaugeFacts> all_gauge_facts();

// The facts of a deliverable, found by its name or by a module path ("build/gauges/j4gear.gau"),
// or nullptr if the build has none for it.
const GaugeFacts* facts_for(std::string_view deliverable_or_path);

// The EV_ name of a key event that some gauge gives one, else nullptr.
const char* event_name(uint32_t id);

// The role of a key event (what it does), else nullptr.
const char* event_role(uint32_t id);

}  // namespace host
