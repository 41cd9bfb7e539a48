#pragma once
// The shapes a gauge's layout header (<gauge>/layout.h) uses for the facts that the module, its
// art, the host's simulation model and `panelhost info` all read from there.
#include <cstdint>

namespace frame {

// A box in gauge pixels.
struct Box {
  int32_t x, y, width, height;
};

// A token the gauge reads, and what it reads it for.
struct TokenRole {
  uint32_t id;
  const char* role;
};

// A key event the gauge or its mouse areas send; name is its EV_ name where it has one, else null.
struct KeyEventName {
  uint32_t id;
  const char* name;
  const char* role;
};

}  // namespace frame
