#pragma once
// Texts for people: a module's records, the key events sent.
#include <cstdio>
#include <string>

#include "host/host.h"

namespace host {

// printf-style formatting onto the end of out; the compiler checks the arguments.
void appendf(std::string& out, const char* fmt, ...) __attribute__((format(printf, 2, 3)));

std::string describe_gauge(const Gauge& g);
std::string describe_events(const Host& h);
}  // namespace host
