#pragma once
// Texts for people: a module's records, the key events sent.
#include <string>

#include "host/host.h"

namespace host {
std::string describe_gauge(const Gauge& g);
std::string describe_events(const Host& h);
}  // namespace host
