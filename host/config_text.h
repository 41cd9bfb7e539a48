#pragma once
// Small strict readers shared by the panel configuration and scenario parsers: a number is the
// whole field or nothing, so "12x" or "" never passes for 12 or 0.
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace host::text {

// The whole of a text file, or nullopt with "<path>: cannot read the <what>" in error.
inline std::optional<std::string> read_file(const std::string& path, const char* what, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = path + ": cannot read the " + what;
    return std::nullopt;
  }
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

inline std::string_view trim(std::string_view s) {
  const auto first = s.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(" \t\r\n");
  return s.substr(first, last - first + 1);
}

inline std::vector<std::string_view> split(std::string_view s, char sep) {
  std::vector<std::string_view> out;
  size_t start = 0;
  for (;;) {
    const size_t at = s.find(sep, start);
    out.push_back(trim(s.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start)));
    if (at == std::string_view::npos) return out;
    start = at + 1;
  }
}

// Fields separated by blanks.
inline std::vector<std::string_view> words(std::string_view s) {
  std::vector<std::string_view> out;
  size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    const size_t start = i;
    while (i < s.size() && s[i] != ' ' && s[i] != '\t') ++i;
    if (i > start) out.push_back(s.substr(start, i - start));
  }
  return out;
}

inline bool iequal(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

inline std::optional<int> to_int(std::string_view s) {
  int v = 0;
  const char* end = s.data() + s.size();
  if (s.empty()) return std::nullopt;
  const auto [p, ec] = std::from_chars(s.data() + (s[0] == '+' ? 1 : 0), end, v);
  if (ec != std::errc() || p != end) return std::nullopt;
  return v;
}

// A finite decimal number (strtod's grammar, without hex, infinity or NaN).
inline std::optional<double> to_double(std::string_view s) {
  if (s.empty() || s.size() > 64) return std::nullopt;
  for (char c : s)
    if (!(c >= '0' && c <= '9') && c != '.' && c != '-' && c != '+' && c != 'e' && c != 'E')
      return std::nullopt;
  const std::string copy(s);
  char* end = nullptr;
  const double v = std::strtod(copy.c_str(), &end);
  if (end != copy.c_str() + copy.size() || !std::isfinite(v)) return std::nullopt;
  return v;
}

// Calls f(line, number) for each line (numbered from 1) until it returns false.
template <class F>
bool for_each_line(std::string_view s, F&& f) {
  int number = 0;
  size_t start = 0;
  for (;;) {
    const size_t end = s.find('\n', start);
    if (!f(s.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start), ++number))
      return false;
    if (end == std::string_view::npos) return true;
    start = end + 1;
  }
}

}  // namespace host::text
