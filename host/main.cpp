// panelhost: the simulator's part for gauge modules, on the command line.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "host/cockpit.h"
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

std::string file_stem(std::string name) {
  for (char& c : name)
    if (c == ' ' || c == '/' || c == '\\') c = '_';
  if (name.size() > 4 && name.ends_with(".gau")) name.resize(name.size() - 4);
  return name;
}

int run_cockpit(host::Host& h, const std::vector<std::string>& paths, int frames, bool show_link,
                const std::string& out_dir, int scale, bool night) {
  std::vector<host::Gauge*> gauges;
  for (const auto& p : paths) {
    host::Gauge* g = h.load(p);
    if (!g) {
      std::fprintf(stderr, "panelhost: %s\n", h.error().c_str());
      return 1;
    }
    gauges.push_back(g);
  }
  for (host::Gauge* g : gauges) h.start(*g);
  for (int i = 0; i < frames; ++i)
    for (host::Gauge* g : gauges) h.frame(*g);
  std::filesystem::create_directories(out_dir);
  for (host::Gauge* g : gauges) {
    const std::string png = out_dir + "/" + file_stem(g->name()) + ".png";
    const host::Image img = h.render(*g, night);
    const bool ok = host::write_png(host::scaled(img, scale), png);
    std::printf("%s: %dx%d -> %s\n", g->name().c_str(), img.width, img.height, ok ? png.c_str() : "(not written)");
  }
  std::fputs(host::describe_events(h).c_str(), stdout);
  if (show_link) std::fputs(host::describe_cockpit_link().c_str(), stdout);
  for (auto it = gauges.rbegin(); it != gauges.rend(); ++it) h.unload(**it);
  return finish(h);
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"panelhost: loads FS98/2000 panel gauge modules, drives them and renders them"};
  app.require_subcommand(1);

  std::vector<std::string> modules, settings, clicks;
  std::string out;
  int frames = 1;
  int scale = 1;
  bool night = false;

  auto* render = app.add_subcommand("render", "Start a gauge, apply values and clicks, render it to PNG");
  render->add_option("module", modules, "the .gau file")->required()->expected(1);
  render->add_option("--set", settings, "TOKEN=VALUE, a simulation value (repeatable)");
  render->add_option("--click", clicks, "X,Y in gauge pixels (repeatable); a frame follows each click");
  render->add_option("--frames", frames, "frames before the clicks")->check(CLI::Range(1, 100000));
  render->add_option("--scale", scale, "enlarge the PNG by this whole factor")->check(CLI::Range(1, 16));
  render->add_flag("--night", night, "night view: elements not marked lit are dimmed");
  render->add_option("-o,--output", out, "PNG file to write")->required();

  auto* info = app.add_subcommand("info", "Print a module's records: gauge header, element tree, mouse list");
  info->add_option("module", modules, "the .gau file")->required()->expected(1);

  std::string out_dir = ".";
  bool show_link = false;
  auto* cockpit = app.add_subcommand("cockpit", "Load several gauges into one cockpit (one process, one shared "
                                                "section), start them in order, run frames, render each");
  cockpit->add_option("modules", modules, "the .gau files, in installation order")->required();
  cockpit->add_option("--set", settings, "TOKEN=VALUE, a simulation value (repeatable)");
  cockpit->add_option("--frames", frames, "frames of every gauge")->check(CLI::Range(1, 100000));
  cockpit->add_flag("--link", show_link, "print the cockpit link record after the frames");
  cockpit->add_option("--out-dir", out_dir, "folder for one PNG per gauge");
  cockpit->add_option("--scale", scale, "enlarge the PNGs by this whole factor")->check(CLI::Range(1, 16));
  cockpit->add_flag("--night", night, "night view: elements not marked lit are dimmed");

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
  if (*cockpit) {
    for (const auto& v : values) h.set(v.token, v.value);
    return run_cockpit(h, modules, frames, show_link, out_dir, scale, night);
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
  const host::Image img = h.render(*g, night);
  if (!host::write_png(host::scaled(img, scale), out)) {
    std::fprintf(stderr, "panelhost: cannot render %s to %s\n", g->name().c_str(), out.c_str());
    return 1;
  }
  std::printf("%s: %dx%d -> %s\n", g->name().c_str(), img.width, img.height, out.c_str());
  std::fputs(host::describe_events(h).c_str(), stdout);
  h.unload(*g);
  return finish(h);
}
