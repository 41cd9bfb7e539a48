#include "host/args.h"

#include <charconv>

namespace host {

std::optional<uint32_t> parse_u32(std::string_view text) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  if (text.empty()) return std::nullopt;
  uint32_t v = 0;
  // from_chars takes no sign and refuses what does not fit in 32 bits.
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v, base);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return v;
}

std::optional<double> parse_double(std::string_view text) {
  if (text.size() > 1 && text[0] == '+' && text[1] != '-') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  double v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  // Out of range (beyond a double, or below its smallest subnormal) is refused, not rounded.
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return v;
}

std::optional<Setting> parse_setting(std::string_view text, std::string& why) {
  const auto eq = text.find('=');
  if (eq == std::string_view::npos) {
    why = "wants TOKEN=VALUE";
    return std::nullopt;
  }
  const auto token = parse_u32(text.substr(0, eq));
  if (!token) {
    why = "the token is not a 32-bit unsigned number";
    return std::nullopt;
  }
  const auto value = parse_double(text.substr(eq + 1));
  if (!value) {
    why = "the value is not a number (a double, nan or inf)";
    return std::nullopt;
  }
  return Setting{*token, *value};
}

namespace {
std::optional<int32_t> parse_i32(std::string_view text) {
  if (text.empty()) return std::nullopt;
  int32_t v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return v;
}
}  // namespace

std::optional<Point> parse_point(std::string_view text, std::string& why) {
  const auto comma = text.find(',');
  if (comma == std::string_view::npos) {
    why = "wants X,Y";
    return std::nullopt;
  }
  const auto x = parse_i32(text.substr(0, comma));
  const auto y = parse_i32(text.substr(comma + 1));
  if (!x || !y) {
    why = "wants X,Y: two whole numbers and nothing else";
    return std::nullopt;
  }
  return Point{*x, *y};
}

}  // namespace host
