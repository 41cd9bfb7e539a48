#pragma once
// Texts for people: a module's records, the key events sent.
#include <cstdio>
#include <string>

#include "host/host.h"

namespace host {

// printf-style formatting onto the end of out.
template <class... A>
void appendf(std::string& out, const char* fmt, A... a) {
  char line[512];
  std::snprintf(line, sizeof line, fmt, a...);
  out += line;
}

std::string describe_gauge(const Gauge& g);
std::string describe_events(const Host& h);
}  // namespace host
