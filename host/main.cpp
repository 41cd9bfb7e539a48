// panelhost: the simulator's part for gauge modules, on the command line.
//
// Each subcommand is one entry of kCommands: its options and its run. `render` and `cockpit`
// share one option set and one run path (a render is a cockpit of one gauge that may be clicked).
#include <CLI/CLI.hpp>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "host/args.h"
#include "host/cockpit.h"
#include "host/exit_codes.h"
#include "host/host.h"
#include "host/report.h"

namespace {

// Everything any subcommand takes from the command line.
struct Options {
  std::vector<std::string> modules, settings, clicks;
  std::string output;
  std::string out_dir = ".";
  int frames = 1;
  int scale = 1;
  bool night = false;
  bool link = false;
};

// A failure that ends the run: one line and an exit code.
struct Failure {
  int code;
  std::string message;
};

void fail(int code, const std::string& message) { throw Failure{code, message}; }

std::vector<host::Setting> parse_settings(const Options& o) {
  std::vector<host::Setting> out;
  for (const auto& s : o.settings) {
    std::string why;
    auto v = host::parse_setting(s, why);
    if (!v) fail(host::kExitUsage, "--set '" + s + "': " + why);
    out.push_back(*v);
  }
  return out;
}

std::vector<host::Point> parse_clicks(const Options& o) {
  std::vector<host::Point> out;
  for (const auto& c : o.clicks) {
    std::string why;
    auto p = host::parse_point(c, why);
    if (!p) fail(host::kExitUsage, "--click '" + c + "': " + why);
    out.push_back(*p);
  }
  return out;
}

int finish(const host::Host& h) {
  for (const auto& v : h.violations()) std::printf("contract violation: %s\n", v.c_str());
  return h.violations().empty() ? host::kExitSuccess : host::kExitContract;
}

// Prints the key events and panel-window requests since the last call, in order, and forgets
// them and the service calls: a run of any length keeps nothing per frame.
void drain_events(host::Host& h) {
  if (!h.events().empty()) std::fputs(host::describe_events(h).c_str(), stdout);
  h.clear_events();
}

std::string file_stem(std::string name) {
  for (char& c : name)
    if (c == ' ' || c == '/' || c == '\\') c = '_';
  if (name.size() > 4 && name.ends_with(".gau")) name.resize(name.size() - 4);
  return name;
}

void write_picture(const host::Host& h, const host::Gauge& g, const Options& o, const std::string& png) {
  host::Image img;
  std::string why;
  if (!h.render(g, o.night, img, why)) fail(host::kExitError, "cannot render " + why);
  if (!host::write_png(host::scaled(img, o.scale), png, why))
    fail(host::kExitError, "cannot write " + png + ": " + why);
  std::printf("%s: %dx%d -> %s\n", g.name().c_str(), img.width, img.height, png.c_str());
}

// Loads every module, starts them in order, runs the frames (then, for a render, the clicks),
// writes the pictures and prints what happened.
int run_panels(const Options& o, bool single) {
  const auto values = parse_settings(o);
  const auto clicks = parse_clicks(o);
  std::error_code ec;
  if (!single && !std::filesystem::is_directory(o.out_dir, ec)) {
    std::filesystem::create_directories(o.out_dir, ec);
    if (ec) fail(host::kExitError, "cannot create folder " + o.out_dir + ": " + ec.message());
  }

  host::Host h;
  std::vector<host::Gauge*> gauges;
  for (const auto& p : o.modules) {
    host::Gauge* g = h.load(p);
    if (!g) fail(host::kExitError, h.error());
    gauges.push_back(g);
  }
  for (const auto& v : values) h.set(v.token, v.value);
  for (host::Gauge* g : gauges) h.start(*g);
  drain_events(h);
  for (int i = 0; i < o.frames; ++i) {
    for (host::Gauge* g : gauges) h.frame(*g);
    drain_events(h);
  }
  for (const auto& c : clicks) {
    const host::ClickResult r = h.click(*gauges[0], c.x, c.y);
    std::printf("click %d,%d: %s\n", c.x, c.y,
                r.key_event         ? "key-event area"
                : r.called_function ? "mouse function"
                                    : "no area");
    h.frame(*gauges[0]);
    drain_events(h);
  }
  for (host::Gauge* g : gauges)
    write_picture(h, *g, o, single ? o.output : o.out_dir + "/" + file_stem(g->name()) + ".png");
  if (o.link) std::fputs(host::describe_cockpit_link().c_str(), stdout);
  if (single) std::fputs(host::describe_power(o.night).c_str(), stdout);
  for (auto it = gauges.rbegin(); it != gauges.rend(); ++it) h.unload(**it);
  drain_events(h);
  return finish(h);
}

int run_info(const Options& o) {
  host::Host h;
  host::Gauge* g = h.load(o.modules.at(0));
  if (!g) fail(host::kExitError, h.error());
  h.start(*g);  // the mouse list is handed over at install
  h.frame(*g);
  std::fputs(host::describe_gauge(*g).c_str(), stdout);
  h.unload(*g);
  return finish(h);
}

constexpr char kNightNote[] =
    "the power overlay shows only in the night view (--night), as in the simulator: by day an "
    "unpowered panel looks the same as a powered one";

// The options that render and cockpit share; single is render's one module, -o and --click.
void add_panel_options(CLI::App& c, Options& o, bool single) {
  if (single) {
    c.add_option("module", o.modules, "the .gau file")->required()->expected(1);
  } else {
    c.add_option("modules", o.modules, "the .gau files, in installation order")->required();
  }
  c.add_option("--set", o.settings, "TOKEN=VALUE, a simulation value (repeatable); unset tokens read 0");
  c.add_option("--frames", o.frames, single ? "frames before the clicks" : "frames of every gauge")
      ->check(CLI::Range(1, 100000000))
      ->capture_default_str();
  c.add_option("--scale", o.scale, "enlarge the PNG by this whole factor")
      ->check(CLI::Range(1, 16))
      ->capture_default_str();
  c.add_flag("--night", o.night, std::string("night view: elements not marked lit are dimmed; ") + kNightNote)
      ->capture_default_str();
  c.add_flag("--link", o.link, "print the decoded cockpit link after the run")->capture_default_str();
  if (single) {
    c.add_option("--click", o.clicks, "X,Y in gauge pixels (repeatable); a frame follows each click");
    c.add_option("-o,--output", o.output, "PNG file to write")->required();
  } else {
    c.add_option("--out-dir", o.out_dir, "folder for one PNG per gauge")->capture_default_str();
  }
}

struct Command {
  const char* name;
  const char* about;
  void (*options)(CLI::App&, Options&);
  int (*run)(const Options&);
};

// One line per subcommand.
const Command kCommands[] = {
    {"render", "Start a gauge, apply values and clicks, render it to PNG, say whether it is powered",
     [](CLI::App& c, Options& o) { add_panel_options(c, o, true); },
     [](const Options& o) { return run_panels(o, true); }},
    {"cockpit",
     "Load several gauges into one cockpit (one process, one shared section), start them in order, run "
     "frames, render each",
     [](CLI::App& c, Options& o) { add_panel_options(c, o, false); },
     [](const Options& o) { return run_panels(o, false); }},
    {"info",
     "Print a module's records: gauge header, element tree, mouse list with cursors, tokens with roles, "
     "key events with EV_ names",
     [](CLI::App& c, Options& o) {
       c.add_option("module", o.modules, "the .gau file")->required()->expected(1);
     },
     &run_info},
};

int run(int argc, char** argv) {
  CLI::App app{"panelhost: loads FS98/2000 panel gauge modules, drives them and renders them"};
  app.footer(host::kExitCodesHelp);
  app.require_subcommand(1);
  Options o;
  std::vector<std::pair<CLI::App*, const Command*>> subs;
  for (const Command& c : kCommands) {
    CLI::App* sub = app.add_subcommand(c.name, c.about);
    c.options(*sub, o);
    subs.emplace_back(sub, &c);
  }
  if (argc > 1 && argv[1][0] != '-') {
    std::string known;
    bool found = false;
    for (const Command& c : kCommands) {
      found = found || argv[1] == std::string(c.name);
      known += known.empty() ? c.name : std::string(", ") + c.name;
    }
    if (!found)
      fail(host::kExitUsage, std::string("no subcommand '") + argv[1] + "' (there are " + known + ")");
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    fail(host::kExitUsage, e.what());
  }
  for (const auto& [sub, command] : subs)
    if (*sub) return command->run(o);
  return host::kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  // No input ends in an abort: every failure is one line and a documented exit code.
  try {
    return run(argc, argv);
  } catch (const Failure& f) {
    std::fflush(stdout);
    std::fprintf(stderr, "panelhost: %s\n", f.message.c_str());
    return f.code;
  } catch (const std::exception& e) {
    std::fflush(stdout);
    std::fprintf(stderr, "panelhost: %s\n", e.what());
    return host::kExitError;
  } catch (...) {
    std::fflush(stdout);
    std::fputs("panelhost: unexpected failure\n", stderr);
    return host::kExitError;
  }
}
