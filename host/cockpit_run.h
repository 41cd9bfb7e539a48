#pragma once
// The cockpit: several gauges in one process on one panel, one cockpit link and one mixed sound
// output, driven frame by frame at a simulated frame rate. The simulated clock drives the flight
// model and the substitute sound device, so a run gives the same frames, events and sound each
// time. Scenarios run on it; the built-in approach is one such scenario.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "frame/cockpit_link.h"
#include "host/host.h"
#include "host/image.h"
#include "host/panel_config.h"
#include "host/scenario.h"
#include "host/sim_model.h"

namespace host {

inline constexpr int kDefaultFrameRate = 18;

// A gauge on the cockpit panel.
struct PlacedGauge {
  std::string label;  // how scenarios name it: its alias, else the module file's stem
  std::string key;    // its gaugeNN key in a panel configuration, else ""
  size_t window = 0;  // the panel window it sits in
  int x = 0, y = 0;
  int width = 0, height = 0;  // drawn size; 0 is the gauge's own
  Gauge* gauge = nullptr;
};

// One key event as the timeline records it.
struct TimelineEvent {
  int frame;
  double seconds;
  double height_ft;
  uint32_t id;
  uint32_t value;
  std::string gauge;
  bool from_area;
};

class Cockpit {
 public:
  explicit Cockpit(Host& h, int frame_rate = kDefaultFrameRate);
  ~Cockpit();
  Cockpit(const Cockpit&) = delete;
  Cockpit& operator=(const Cockpit&) = delete;

  // Folders searched for a module named without a folder (after the given base folder).
  void add_gauge_folder(const std::string& dir) { gauge_dirs_.push_back(dir); }

  // Loads and starts a module and places it on the panel window; nullptr with the reason in error.
  PlacedGauge* load(const std::string& file, const std::string& base_dir, const std::string& label, int x,
                    int y, int width, int height, std::string& error);
  // Every gauge of a panel configuration, window by window. A gauge that cannot be had is
  // reported in failures (one line each, naming its line and reason) and the rest still run.
  void load_panel(const PanelConfig& config, const std::string& base_dir, std::vector<std::string>& failures);

  // A gauge by its label, its gaugeNN key, or its gauge name (letter case aside).
  PlacedGauge* find(std::string_view name);
  const std::vector<PlacedGauge>& gauges() const { return placed_; }

  // Frames: the flight model and the sound clock advance, then every gauge in load order gets
  // update, generate and draw. Key events sent meanwhile join the timeline.
  void run(int frames);
  ClickResult click(PlacedGauge& g, int x, int y);

  int frame() const { return frame_; }
  int frame_rate() const { return frame_rate_; }
  double seconds() const { return double(frame_) / frame_rate_; }
  int frames_for(double seconds) const;
  Flight& flight() { return flight_; }
  Host& host() { return host_; }

  // Every key event so far, with the frame it came in.
  const std::vector<TimelineEvent>& timeline() const { return timeline_; }
  // Called for each event as it joins the timeline.
  std::function<void(const TimelineEvent&)> on_event;

  // Everything the sound device played since the cockpit began, mixed, as a mono 16-bit WAV file.
  // False with the reason where there is no recording (the Windows build).
  bool write_sound(const std::string& wav, std::string& why) const;
#if defined(_WIN32)
  static constexpr bool records_sound() { return false; }
#else
  static constexpr bool records_sound() { return true; }
#endif
  static constexpr uint32_t kSoundRate = 22050;

  // The whole cockpit: each panel window's gauges at their places, windows one under another.
  Image render() const;

 private:
  void collect();
  void advance_sound(uint32_t ms);

  Host& host_;
  int frame_rate_;
  int frame_ = 0;
  uint64_t sound_ms_ = 0;     // the sound clock, in whole milliseconds of simulated time
  bool sound_clock_ = false;  // the substitute sound device runs by this cockpit's clock
  Flight flight_;
  std::vector<std::string> gauge_dirs_;
  struct Window {
    std::string name;
    int width = 0, height = 0;  // 0: as large as its gauges need
  };
  std::vector<Window> windows_;
  std::vector<PlacedGauge> placed_;
  std::vector<TimelineEvent> timeline_;
  size_t seen_events_ = 0;
};

// The cockpit link as it stands now, if any holder has the section.
std::optional<frame::CockpitLink> read_cockpit_link();

// One line per key event: frame, time, height, id, name, value, sender.
std::string timeline_text(const std::vector<TimelineEvent>& events);
std::string timeline_line(const TimelineEvent& e);

struct RunOptions {
  std::string out_dir;  // timeline, snapshots, contact sheet and sound go here; "" writes nothing
  int frame_rate = kDefaultFrameRate;
  std::vector<std::string> gauge_dirs;
  bool progress = false;    // a progress line on the terminal
  bool echo_events = true;  // print each key event as it comes
};

// Runs a scenario in a fresh cockpit on h; prints what it does and every failed expectation
// (naming the file and line and what was seen); returns an exit code of host/exit_codes.h. Built-in
// files (name, text) stand in for files of those names that a scenario loads.
int run_scenario(Host& h, const Scenario& s, const RunOptions& options,
                 const std::vector<std::pair<std::string, std::string_view>>& builtin = {});

// The files compiled into the host: the built-in approach's scenario and panel configuration.
const std::vector<std::pair<std::string, std::string_view>>& builtin_files();
inline constexpr char kBuiltinScenario[] = "scenarios/approach.scn";

// What `panelhost run` and `panelhost demo` are given.
struct CockpitArgs {
  std::string scenario;                 // a scenario file; "" flies the built-in approach
  std::string out_dir;                  // "" writes nothing
  std::vector<std::string> gauge_dirs;  // where modules named without a folder are found
  std::string folder;                   // the simulator's folder (the sounds are found from
                                        // there); "" is the first gauges folder
  int frame_rate = kDefaultFrameRate;
  bool progress = false;
};

// Resolves the folders (the gauges folder beside the host by default), moves into the
// simulator's folder, reads and runs the scenario; returns the exit code.
int run_cockpit(Host& h, CockpitArgs args);

// The folder the running program was loaded from.
std::string executable_dir();

// Pictures side by side in rows, each with its label under it, scaled down to fit.
Image contact_sheet(const std::vector<std::pair<std::string, Image>>& pictures, int columns = 3);

}  // namespace host
