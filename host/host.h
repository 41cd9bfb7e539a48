#pragma once
// The substitute panel host: loads gauge modules, drives their lifecycle in contract order,
// implements the panel services, feeds simulation values, clicks, logs key events, and renders.
//
// One Host exists at a time in a process (the services carry no context, so they reach it
// through a process-wide pointer). The host calls gauges one at a time, as the simulator does.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "frame/services.h"
#include "host/image.h"

namespace host {

class Module;

// What a service call was: its slot, the routine it came from, and its arguments.
// Views into the gauge's name and static texts, which outlive the log.
struct ServiceCall {
  std::string_view gauge;    // gauge name
  std::string_view routine;  // "query", "install", ..., "callback", "mouse", or "" outside any
  frame::Slot slot;
  std::string_view name;  // the slot's name, e.g. "install_mouse_list"
  uintptr_t args[3] = {0, 0, 0};
};

struct KeyEvent {
  uint32_t id;
  uint32_t value;
  std::string_view gauge;
  bool from_area;  // sent by the host for a key-event mouse area, not by module code
};

// A key event or a panel-window request, in the order they happened.
struct HostEvent {
  enum class Kind { key_event, panel_window } kind;
  uint32_t id;  // the event id, or the window number
  uint32_t value;
  std::string_view gauge;
  bool from_area;
};

struct NamedVariable {
  std::string name;
  uint32_t type;
  void* address;
  std::string gauge;
};

enum class Phase { Loaded, Queried, Installed, Initialized, Killed, Unloaded };

// One loaded module and its one gauge.
class Gauge {
 public:
  const std::string& name() const { return name_; }
  const std::string& path() const { return path_; }
  Phase phase() const { return phase_; }
  frame::Linkage* linkage() const { return linkage_; }
  frame::ImportTable* imports() const { return imports_; }
  frame::GaugeHeader* header() const { return header_; }
  frame::ElementHeader* top() const { return header_ ? header_->elements[0] : nullptr; }
  frame::MouseArea* mouse_list() const { return mouse_list_; }
  bool mouse_registered() const { return mouse_registered_; }
  // The image flags as last taken up by the host (at install or apply_image_flags).
  uint32_t applied_flags(const frame::ElementHeader* e) const;
  // The image index the icon's callback returned at the last update, if any.
  std::optional<double> icon_result(const frame::ElementHeader* e) const;
  // The text a window holds (its host buffer), "" if none.
  std::string window_text(const frame::ElementHeader* e) const;
  // Every element of the tree, depth-first, element before children: walked at load and again
  // at install, not at every frame.
  const std::vector<frame::ElementHeader*>& elements() const { return tree_; }
  // The bitmap of the given resource id, from the module's resources.
  std::optional<Image> bitmap(int id) const;
  Module& module() const { return *module_; }

 private:
  friend class Host;
  friend struct Services;
  std::string name_, path_;
  Phase phase_ = Phase::Loaded;
  std::unique_ptr<Module> module_;
  frame::Linkage* linkage_ = nullptr;
  frame::ImportTable* imports_ = nullptr;
  frame::GaugeHeader* header_ = nullptr;
  frame::MouseArea* mouse_list_ = nullptr;
  bool elements_installed_ = false;
  bool mouse_installed_ = false;
  bool mouse_registered_ = false;
  uint32_t install_block_[4] = {0, 0, 0, 0};  // the word at 0x3C of the top element points here
  std::map<const frame::ElementHeader*, uint32_t> flags_;
  std::map<const frame::ElementHeader*, double> icon_results_;
  struct TextBuffer {
    frame::StringElement* element;
    std::vector<char> bytes;  // character count + 1, then a guard
  };
  std::vector<TextBuffer> text_buffers_;
  std::vector<frame::ElementHeader*> tree_;
  void walk_tree();
};

struct ClickResult {
  bool hit = false;        // an area contained the point
  uint32_t key_event = 0;  // the area's event, if it had one
  bool called_function = false;
  uint32_t function_result = 0;
};

class Host {
 public:
  Host();
  ~Host();
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  // Loads a module, writes the services table into its ImportTable and calls module init.
  // Returns nullptr (and sets error(), one line naming the cause) if the file is not a module
  // for this platform, or the library or its records cannot be had. A relative path is taken
  // from the current folder.
  Gauge* load(const std::string& path);
  const std::string& error() const { return error_; }

  // The lifecycle, in contract order; a step out of order is refused (returns false) and
  // reported in violations().
  bool query(Gauge& g);
  bool install(Gauge& g, uint32_t arg = 0);
  bool initialize(Gauge& g);
  bool start(Gauge& g, uint32_t arg = 0);  // query, install, initialize
  bool update(Gauge& g);
  bool generate(Gauge& g, uint32_t arg = 0);
  bool draw(Gauge& g);
  bool frame(Gauge& g);  // update, generate, draw
  bool kill(Gauge& g);
  bool unload(Gauge& g);  // module deinit, unload; kills first if still installed

  // Simulation values by token; an unknown token reads 0.0.
  void set(uint32_t token, double value) { values_[token] = value; }
  double value(uint32_t token) const;

  // A click at gauge pixel (x, y).
  ClickResult click(Gauge& g, int x, int y);

  // Renders the gauge as the host would draw it now. In the night view, elements without the
  // lit flag (0x4) are dimmed: an unpowered panel's overlay darkens it.
  Image render(const Gauge& g, bool night = false) const;
  // The same, or false with the reason (a bitmap the module does not have, and where it was
  // looked for) in why.
  bool render(const Gauge& g, bool night, Image& out, std::string& why) const;

  // The newest service calls (at most kCallLogLimit; older ones are dropped in halves).
  static constexpr size_t kCallLogLimit = size_t(1) << 14;
  const std::vector<ServiceCall>& calls() const { return calls_; }
  // Key events and panel-window requests together, in the order they happened.
  const std::vector<HostEvent>& events() const { return events_; }
  const std::vector<KeyEvent>& key_events() const { return key_events_; }
  const std::vector<uint32_t>& panel_windows() const { return panel_windows_; }  // toggled, in order
  const std::vector<NamedVariable>& named_variables() const { return named_; }
  const NamedVariable* named(const std::string& name) const;
  // Gauge calls out of contract order, bad arguments, text written past a window's buffer.
  const std::vector<std::string>& violations() const { return violations_; }
  void clear_log();     // calls, events and violations
  void clear_events();  // calls and events; violations stay

  // Carry out key events in the built-in simulation model (on by default).
  void set_simulation(bool on) { simulate_ = on; }

  static Host* current();  // the live host, for the services

 private:
  friend struct Services;
  Gauge* gauge_of(const frame::GaugeHeader* h);
  Gauge* gauge_of(const frame::ElementHeader* e);
  void report(const std::string& what);
  void key_event(Gauge* g, uint32_t id, uint32_t value, bool from_area);
  // Runs gauge code with the gauge and routine recorded for the services it calls.
  template <class F>
  void call_into(Gauge& g, const char* routine, F&& f) {
    Gauge* const saved_active = active_;
    const std::string_view saved_routine = routine_;
    active_ = &g;
    routine_ = routine;
    f();
    active_ = saved_active;
    routine_ = saved_routine;
  }

  std::vector<std::unique_ptr<Gauge>> gauges_;
  std::map<uint32_t, double> values_;
  std::vector<ServiceCall> calls_;
  std::vector<KeyEvent> key_events_;
  std::vector<uint32_t> panel_windows_;
  std::vector<HostEvent> events_;
  std::vector<NamedVariable> named_;
  std::vector<std::string> violations_;
  std::string error_;
  Gauge* active_ = nullptr;  // the gauge whose code is running
  std::string_view routine_;
  bool simulate_ = true;
};

}  // namespace host
