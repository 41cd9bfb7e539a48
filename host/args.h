#pragma once
// The command-line values the host takes from people and scripts: a simulation value to set
// ("TOKEN=VALUE") and a click point ("X,Y"). Parsed strictly, the same on every platform: the
// whole text must be the value, nothing before or after it.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace host {

struct Setting {
  uint32_t token;
  double value;
};

struct Point {
  int32_t x;
  int32_t y;
};

// TOKEN=VALUE. TOKEN is a 32-bit unsigned number, decimal or 0x-hex; VALUE is a decimal or
// scientific double, and also nan, inf and infinity with a sign (what a simulator can send).
// Subnormal values are kept. On refusal, why holds the reason.
std::optional<Setting> parse_setting(std::string_view text, std::string& why);

// X,Y: two signed 32-bit decimal numbers, gauge pixels.
std::optional<Point> parse_point(std::string_view text, std::string& why);

// One 32-bit unsigned number, decimal or 0x-hex, and nothing else.
std::optional<uint32_t> parse_u32(std::string_view text);

// One double, as in VALUE above, and nothing else.
std::optional<double> parse_double(std::string_view text);

}  // namespace host
