#include "host/panel_config.h"

#include <map>

#include "host/config_text.h"

namespace host {
namespace {

using text::iequal;
using text::trim;

bool starts_with_icase(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && iequal(s.substr(0, prefix.size()), prefix);
}

// "WindowNN": a window section (as opposed to [Window Titles] and the simulator's other sections).
bool is_window_section(std::string_view name) {
  if (!starts_with_icase(name, "window") || name.size() == 6) return false;
  for (char c : name.substr(6))
    if (c < '0' || c > '9') return false;
  return true;
}

bool is_gauge_key(std::string_view key) {
  if (!starts_with_icase(key, "gauge") || key.size() == 5) return false;
  for (char c : key.substr(5))
    if (c < '0' || c > '9') return false;
  return true;
}

class Parser {
 public:
  Parser(const std::string& name, std::string& error) : error_(error) { config_.name = name; }

  bool line(std::string_view raw, int number) {
    line_ = number;
    std::string_view s = raw;
    if (const auto comment = s.find("//"); comment != std::string_view::npos) s = s.substr(0, comment);
    s = trim(s);
    if (s.empty()) return true;
    if (s.front() == '[') {
      if (s.back() != ']') return fail("a section header needs its closing ']'");
      return section(trim(s.substr(1, s.size() - 2)));
    }
    const auto eq = s.find('=');
    if (eq == std::string_view::npos) return fail("expected key=value, a [section] or a // comment");
    const std::string_view key = trim(s.substr(0, eq)), value = trim(s.substr(eq + 1));
    if (key.empty()) return fail("a key is missing before '='");
    if (kind_ == Section::None)
      return fail(std::string("'") + std::string(key) + "' stands outside any [section]");
    if (kind_ == Section::Titles) {
      titles_[lower(key)] = std::string(value);
      return true;
    }
    if (kind_ != Section::Window) return true;
    PanelWindow& w = config_.windows.back();
    if (iequal(key, "size_mm")) return size(w, value);
    if (is_gauge_key(key)) return gauge(w, key, value);
    return true;  // file, position, visible, ident, ...: the simulator's window settings
  }

  std::optional<PanelConfig> finish() {
    for (PanelWindow& w : config_.windows) {
      auto it = titles_.find(lower(w.section));
      w.title = it != titles_.end() ? it->second : w.section;
    }
    return std::move(config_);
  }

 private:
  enum class Section { None, Window, Titles, Other };

  static std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
      if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return out;
  }

  bool fail(const std::string& what) {
    error_ = config_.name + ":" + std::to_string(line_) + ": " + what;
    return false;
  }

  bool section(std::string_view name) {
    if (name.empty()) return fail("a section needs a name");
    if (is_window_section(name)) {
      for (const PanelWindow& w : config_.windows)
        if (iequal(w.section, name))
          return fail(std::string("section [") + std::string(name) + "] appears twice");
      kind_ = Section::Window;
      config_.windows.push_back(PanelWindow{std::string(name), "", 0, 0, {}});
    } else if (iequal(name, "Window Titles")) {
      kind_ = Section::Titles;
    } else {
      kind_ = Section::Other;
    }
    return true;
  }

  bool size(PanelWindow& w, std::string_view value) {
    const auto parts = text::split(value, ',');
    const auto width = parts.size() == 2 ? text::to_int(parts[0]) : std::nullopt;
    const auto height = parts.size() == 2 ? text::to_int(parts[1]) : std::nullopt;
    if (!width || !height || *width <= 0 || *height <= 0 || *width > 8192 || *height > 8192)
      return fail(std::string("size_mm wants two whole numbers W,H from 1 to 8192, not '") +
                  std::string(value) + "'");
    w.width = *width;
    w.height = *height;
    return true;
  }

  bool gauge(PanelWindow& w, std::string_view key, std::string_view value) {
    const std::string k(key);
    for (const PanelGauge& g : w.gauges)
      if (iequal(g.key, key))
        return fail(k + " appears twice in [" + w.section + "] (first on line " + std::to_string(g.line) +
                    ")");
    const auto parts = text::split(value, ',');
    if (parts.size() < 3 || parts.size() > 5)
      return fail(k + " wants 'file!gauge, x, y[, w, h]' or 'file, x, y', not '" + std::string(value) + "'");
    PanelGauge g;
    g.key = k;
    g.line = line_;
    const std::string_view target = parts[0];
    const auto bang = target.find('!');
    g.file = std::string(trim(target.substr(0, bang)));
    if (bang != std::string_view::npos) {
      g.gauge = std::string(trim(target.substr(bang + 1)));
      if (g.gauge.empty()) return fail(k + ": a gauge name is missing after '!'");
    }
    if (g.file.empty()) return fail(k + ": the gauge file is missing");
    static constexpr const char* kField[] = {"x", "y", "width", "height"};
    int* fields[] = {&g.x, &g.y, &g.width, &g.height};
    for (size_t i = 1; i < parts.size(); ++i) {
      const auto v = text::to_int(parts[i]);
      if (!v)
        return fail(k + ": " + kField[i - 1] + " '" + std::string(parts[i]) + "' is not a whole number");
      if (*v < (i <= 2 ? -8192 : 1) || *v > 8192)
        return fail(k + ": " + kField[i - 1] + " " + std::to_string(*v) + " is out of range");
      *fields[i - 1] = *v;
    }
    w.gauges.push_back(std::move(g));
    return true;
  }

  PanelConfig config_;
  std::string& error_;
  Section kind_ = Section::None;
  int line_ = 0;
  std::map<std::string, std::string> titles_;
};

}  // namespace

std::optional<PanelConfig> parse_panel_config(std::string_view text, const std::string& name,
                                              std::string& error) {
  Parser p(name, error);
  if (!text::for_each_line(text, [&](std::string_view line, int number) { return p.line(line, number); }))
    return std::nullopt;
  return p.finish();
}

std::optional<PanelConfig> read_panel_config(const std::string& path, std::string& error) {
  const auto text = text::read_file(path, "panel configuration", error);
  if (!text) return std::nullopt;
  return parse_panel_config(*text, path, error);
}

}  // namespace host
