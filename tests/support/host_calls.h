#pragma once
// Reading the host's service-call log in tests.
#include <string>
#include <vector>

#include "host/host.h"

namespace host {

// Service calls made during one routine of one gauge, by slot name, in order.
inline std::vector<std::string> calls_in(const Host& h, const std::string& routine) {
  std::vector<std::string> out;
  for (const auto& c : h.calls())
    if (c.routine == routine) out.emplace_back(c.name);
  return out;
}

}  // namespace host
