#pragma once
#include <cstdint>

namespace host {
class Host;

// Carries out the key events the demo panels need, by a table of token changes.
void apply_key_event(Host& h, uint32_t id, uint32_t value);
}  // namespace host
