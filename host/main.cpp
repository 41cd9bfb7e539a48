// panelhost: the simulator's part for gauge modules, on the command line.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "host/host.h"
#include "host/report.h"

namespace {

struct Setting {
  uint32_t token;
  double value;
};

bool parse_setting(const std::string& s, Setting& out) {
  const auto eq = s.find('=');
  if (eq == std::string::npos) return false;
  try {
    out.token = uint32_t(std::stoul(s.substr(0, eq), nullptr, 0));
    out.value = std::stod(s.substr(eq + 1));
  } catch (...) {
    return false;
  }
  return true;
}

bool parse_point(const std::string& s, int& x, int& y) { return std::sscanf(s.c_str(), "%d,%d", &x, &y) == 2; }

int finish(const host::Host& h) {
  for (const auto& v : h.violations()) std::printf("contract violation: %s\n", v.c_str());
  return h.violations().empty() ? 0 : 3;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"panelhost: loads FS98/2000 panel gauge modules, drives them and renders them"};
  app.require_subcommand(1);

  std::vector<std::string> modules, settings, clicks;
  std::string out;
  int frames = 1;
  int scale = 1;

  auto* render = app.add_subcommand("render", "Start a gauge, apply values and clicks, render it to PNG");
  render->add_option("module", modules, "the .gau file")->required()->expected(1);
  render->add_option("--set", settings, "TOKEN=VALUE, a simulation value (repeatable)");
  render->add_option("--click", clicks, "X,Y in gauge pixels (repeatable); a frame follows each click");
  render->add_option("--frames", frames, "frames before the clicks")->check(CLI::Range(1, 100000));
  render->add_option("--scale", scale, "enlarge the PNG by this whole factor")->check(CLI::Range(1, 16));
  render->add_option("-o,--output", out, "PNG file to write")->required();

  auto* info = app.add_subcommand("info", "Print a module's records: gauge header, element tree, mouse list");
  info->add_option("module", modules, "the .gau file")->required()->expected(1);

  CLI11_PARSE(app, argc, argv);

  host::Host h;
  std::vector<Setting> values;
  for (const auto& s : settings) {
    Setting v;
    if (!parse_setting(s, v)) {
      std::fprintf(stderr, "panelhost: --set wants TOKEN=VALUE, not '%s'\n", s.c_str());
      return 2;
    }
    values.push_back(v);
  }
  host::Gauge* g = h.load(modules[0]);
  if (!g) {
    std::fprintf(stderr, "panelhost: %s\n", h.error().c_str());
    return 1;
  }

  if (*info) {
    h.start(*g);  // the mouse list is handed over at install
    h.frame(*g);
    std::fputs(host::describe_gauge(*g).c_str(), stdout);
    return finish(h);
  }

  for (const auto& v : values) h.set(v.token, v.value);
  h.start(*g);
  for (int i = 0; i < frames; ++i) h.frame(*g);
  for (const auto& c : clicks) {
    int x = 0, y = 0;
    if (!parse_point(c, x, y)) {
      std::fprintf(stderr, "panelhost: --click wants X,Y, not '%s'\n", c.c_str());
      return 2;
    }
    const host::ClickResult r = h.click(*g, x, y);
    std::printf("click %d,%d: %s\n", x, y,
                r.key_event ? "key-event area" : r.called_function ? "mouse function" : "no area");
    h.frame(*g);
  }
  const host::Image img = h.render(*g);
  if (!host::write_png(host::scaled(img, scale), out)) {
    std::fprintf(stderr, "panelhost: cannot render %s to %s\n", g->name().c_str(), out.c_str());
    return 1;
  }
  std::printf("%s: %dx%d -> %s\n", g->name().c_str(), img.width, img.height, out.c_str());
  std::fputs(host::describe_events(h).c_str(), stdout);
  h.unload(*g);
  return finish(h);
}
