#include "host/host.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>

#include "host/module.h"
#include "host/sim_model.h"

namespace host {
namespace {

Host* g_host = nullptr;

constexpr uint32_t kTokenBound = 0x484F5354;  // marks a TokenVar the host has bound ("HOST")
constexpr char kGuardByte = '\x5A';
constexpr size_t kGuardBytes = 8;

using frame::slot_name;

// Depth-first, the element before its children, children in array order. Guarded against
// cycles, which a broken module could build.
void walk(frame::ElementHeader* e, std::vector<frame::ElementHeader*>& out) {
  if (!e || out.size() > 4096 || std::find(out.begin(), out.end(), e) != out.end()) return;
  out.push_back(e);
  if (!e->children) return;
  for (frame::ElementHeader* const* c = e->children; *c; ++c) walk(*c, out);
}

}  // namespace

// The PanelServices slots. Each logs its call, checks it against the contract, and acts.
struct Services {
  static Host& host() { return *g_host; }

  static Gauge* log(frame::Slot s, Gauge* g, uintptr_t a = 0, uintptr_t b = 0, uintptr_t c = 0) {
    Host& h = host();
    if (!g) g = h.active_;
    ServiceCall call{g ? g->name() : std::string("?"), h.routine_, s, slot_name(s), {a, b, c}};
    h.calls_.push_back(call);
    if (!h.active_) h.report(std::string(slot_name(s)) + " called while no gauge code is running");
    return g;
  }

  // The element must be the gauge's top-level element.
  static Gauge* top_call(frame::Slot s, frame::ElementHeader* e, uintptr_t arg = 0) {
    Host& h = host();
    Gauge* g = log(s, h.gauge_of(e), reinterpret_cast<uintptr_t>(e), arg);
    if (!g || e != g->top()) {
      h.report(std::string(slot_name(s)) + " called with an element that is not a top-level element");
      return nullptr;
    }
    if (g != h.active_) h.report(std::string(slot_name(s)) + " called for another gauge");
    return g;
  }

  static bool require_installed(Gauge* g, frame::Slot s) {
    if (g->elements_installed_) return true;
    host().report(g->name() + ": " + slot_name(s) + " before install_elements");
    return false;
  }

  static uint32_t GAUGE_CALL query_elements(frame::ElementHeader* e) {
    top_call(frame::Slot::query_elements, e);
    return 0;
  }

  static uint32_t GAUGE_CALL install_elements(frame::ElementHeader* e, uint32_t arg) {
    Gauge* g = top_call(frame::Slot::install_elements, e, arg);
    if (!g) return 0;
    if (g->elements_installed_) host().report(g->name() + ": install_elements twice");
    auto* top = reinterpret_cast<frame::StaticImageElement*>(e);
    top->host_word = reinterpret_cast<uintptr_t>(&g->install_block_[0]);
    g->flags_.clear();
    g->icon_results_.clear();
    g->text_buffers_.clear();
    for (frame::ElementHeader* el : g->elements()) {
      g->flags_[el] = el->image_flags;
      if (el->type == frame::kStringWindow) {
        auto* s = reinterpret_cast<frame::StringElement*>(el);
        const size_t n = std::min<size_t>(s->char_count, 256) + 1;
        Gauge::TextBuffer buf{s, std::vector<char>(n + kGuardBytes, kGuardByte)};
        buf.bytes[0] = '\0';
        g->text_buffers_.push_back(std::move(buf));
      }
    }
    for (auto& buf : g->text_buffers_) buf.element->text_buffer = buf.bytes.data();
    g->elements_installed_ = true;
    return 0;
  }

  static uint32_t GAUGE_CALL initialize_elements(frame::ElementHeader* e) {
    if (Gauge* g = top_call(frame::Slot::initialize_elements, e))
      require_installed(g, frame::Slot::initialize_elements);
    return 0;
  }

  static void refresh(frame::TokenVar* v) { v->value = v->id ? host().value(v->id) : 0.0; }

  static void check_guard(Gauge* g, const Gauge::TextBuffer& buf) {
    const size_t n = buf.bytes.size() - kGuardBytes;
    for (size_t i = n; i < buf.bytes.size(); ++i)
      if (buf.bytes[i] != kGuardByte) {
        host().report(g->name() + ": text written past the end of a " +
                      std::to_string(buf.element->char_count) + "-character window buffer");
        return;
      }
    if (std::memchr(buf.bytes.data(), '\0', n) == nullptr)
      host().report(g->name() + ": window text without its terminating zero");
  }

  static uint32_t GAUGE_CALL update_elements(frame::ElementHeader* e) {
    Gauge* g = top_call(frame::Slot::update_elements, e);
    if (!g || !require_installed(g, frame::Slot::update_elements)) return 0;
    Host& h = host();
    const std::string outer = h.routine_;
    for (frame::ElementHeader* el : g->elements()) {
      if (el->type == frame::kIcon) {
        auto* icon = reinterpret_cast<frame::IconElement*>(el);
        refresh(&icon->token);
        if (icon->callback) {
          h.routine_ = "callback";
          g->icon_results_[el] = icon->callback(&icon->token);
          h.routine_ = outer;
        }
      } else if (el->type == frame::kStringWindow) {
        auto* s = reinterpret_cast<frame::StringElement*>(el);
        for (auto& t : s->tokens) refresh(&t);
        h.routine_ = "callback";
        double v = s->tokens[0].value;
        if (s->value_callback) v = s->value_callback(&s->tokens[0]);
        if (s->text_callback) s->text_callback(v);
        h.routine_ = outer;
        for (const auto& buf : g->text_buffers_)
          if (buf.element == s) check_guard(g, buf);
      }
    }
    return 0;
  }

  static uint32_t GAUGE_CALL generate_elements(frame::ElementHeader* e, uint32_t arg) {
    if (Gauge* g = top_call(frame::Slot::generate_elements, e, arg))
      require_installed(g, frame::Slot::generate_elements);
    return 0;
  }

  static uint32_t GAUGE_CALL draw_elements(frame::ElementHeader* e) {
    if (Gauge* g = top_call(frame::Slot::draw_elements, e))
      require_installed(g, frame::Slot::draw_elements);
    return 0;
  }

  static uint32_t GAUGE_CALL kill_elements(frame::ElementHeader* e) {
    Gauge* g = top_call(frame::Slot::kill_elements, e);
    if (!g || !require_installed(g, frame::Slot::kill_elements)) return 0;
    if (g->mouse_registered_) host().report(g->name() + ": kill_elements while its mouse list is registered");
    g->elements_installed_ = false;
    return 0;
  }

  static uint32_t GAUGE_CALL apply_image_flags(frame::ElementHeader* e) {
    Host& h = host();
    Gauge* g = log(frame::Slot::apply_image_flags, h.gauge_of(e), reinterpret_cast<uintptr_t>(e));
    if (!g || !g->flags_.count(e)) {
      h.report("apply_image_flags on an element that is not in an installed tree");
      return 0;
    }
    g->flags_[e] = e->image_flags;
    return 0;
  }

  static Gauge* mouse_call(frame::Slot s, frame::MouseArea* list, frame::GaugeHeader* gh, uintptr_t addr = 0) {
    Host& h = host();
    Gauge* g = log(s, h.gauge_of(gh), reinterpret_cast<uintptr_t>(list), reinterpret_cast<uintptr_t>(gh), addr);
    if (!g) {
      h.report(std::string(slot_name(s)) + " with an unknown gauge header");
      return nullptr;
    }
    if (!list) {
      h.report(g->name() + ": " + slot_name(s) + " without a mouse list");
      return nullptr;
    }
    return g;
  }

  static uint32_t GAUGE_CALL install_mouse_list(frame::MouseArea* list, frame::GaugeHeader* gh, uintptr_t addr) {
    Gauge* g = mouse_call(frame::Slot::install_mouse_list, list, gh, addr);
    if (!g) return 0;
    if (!g->elements_installed_) host().report(g->name() + ": install_mouse_list before install_elements");
    const uintptr_t expected = reinterpret_cast<uintptr_t>(&g->install_block_[0]) + 4;
    if (addr != expected)
      host().report(g->name() + ": install_mouse_list with an address other than the install word + 4");
    g->mouse_list_ = list;
    g->mouse_installed_ = true;
    return 0;
  }

  static uint32_t GAUGE_CALL register_mouse_list(frame::MouseArea* list, frame::GaugeHeader* gh) {
    Gauge* g = mouse_call(frame::Slot::register_mouse_list, list, gh);
    if (!g) return 0;
    if (!g->mouse_installed_ || g->mouse_list_ != list)
      host().report(g->name() + ": register_mouse_list of a list that was not installed");
    g->mouse_registered_ = true;
    return 0;
  }

  static uint32_t GAUGE_CALL unregister_mouse_list(frame::MouseArea* list, frame::GaugeHeader* gh) {
    Gauge* g = mouse_call(frame::Slot::unregister_mouse_list, list, gh);
    if (!g) return 0;
    if (!g->mouse_registered_ || g->mouse_list_ != list)
      host().report(g->name() + ": unregister_mouse_list of a list that is not registered");
    g->mouse_registered_ = false;
    g->mouse_installed_ = false;
    return 0;
  }

  static uint32_t GAUGE_CALL toggle_panel_window(uint32_t window) {
    log(frame::Slot::toggle_panel_window, nullptr, window);
    host().panel_windows_.push_back(window);
    return 0;
  }

  static uint32_t GAUGE_CALL send_key_event(uint32_t id, uint32_t value) {
    Gauge* g = log(frame::Slot::send_key_event, nullptr, id, value);
    host().key_event(g, id, value, false);
    return 0;
  }

  static uint32_t GAUGE_CALL register_named_variable(void* var, uint32_t type, const char* name) {
    Gauge* g = log(frame::Slot::register_named_variable, nullptr, reinterpret_cast<uintptr_t>(var), type,
                   reinterpret_cast<uintptr_t>(name));
    if (!var || !name) {
      host().report("register_named_variable without a variable or a name");
      return 0;
    }
    host().named_.push_back(NamedVariable{name, type, var, g ? g->name() : ""});
    return 0;
  }

  static uint32_t GAUGE_CALL unregister_named_variables() {
    Gauge* g = log(frame::Slot::unregister_named_variables, nullptr);
    auto& named = host().named_;
    if (g) std::erase_if(named, [&](const NamedVariable& v) { return v.gauge == g->name(); });
    return 0;
  }

  static uint32_t GAUGE_CALL initialize_token_var(frame::TokenVar* v) {
    log(frame::Slot::initialize_token_var, nullptr, reinterpret_cast<uintptr_t>(v), v ? v->id : 0);
    if (!v) return 0;
    v->host_04 = kTokenBound;
    refresh(v);
    return 0;
  }

  static uint32_t GAUGE_CALL refresh_token_var(frame::TokenVar* v) {
    log(frame::Slot::refresh_token_var, nullptr, reinterpret_cast<uintptr_t>(v), v ? v->id : 0);
    if (!v) return 0;
    if (v->host_04 != kTokenBound) host().report("refresh_token_var on a token variable never initialized");
    refresh(v);
    return 0;
  }

  static frame::PanelServices make_table() {
    frame::PanelServices t{};
    auto put = [&t]<frame::Slot S>(frame::SlotFn<S> fn) {
      t.slots[static_cast<uint32_t>(S)] = reinterpret_cast<frame::AnyServiceFn>(fn);
    };
#define HOST_PUT_SLOT(name, offset, ...) put.operator()<frame::Slot::name>(&name);
    FRAME_SERVICE_SLOTS(HOST_PUT_SLOT)
#undef HOST_PUT_SLOT
    return t;
  }
};

namespace {
frame::PanelServices g_table = Services::make_table();
}

// ---- Gauge ----

uint32_t Gauge::applied_flags(const frame::ElementHeader* e) const {
  auto it = flags_.find(e);
  return it == flags_.end() ? e->image_flags : it->second;
}

std::optional<double> Gauge::icon_result(const frame::ElementHeader* e) const {
  auto it = icon_results_.find(e);
  if (it == icon_results_.end()) return std::nullopt;
  return it->second;
}

std::string Gauge::window_text(const frame::ElementHeader* e) const {
  for (const auto& buf : text_buffers_)
    if (&buf.element->header == e) {
      const size_t n = buf.bytes.size() - kGuardBytes;
      return std::string(buf.bytes.data(), strnlen(buf.bytes.data(), n));
    }
  return "";
}

std::vector<frame::ElementHeader*> Gauge::elements() const {
  std::vector<frame::ElementHeader*> out;
  walk(top(), out);
  return out;
}

std::optional<Image> Gauge::bitmap(int id) const { return module_->bitmap(id); }

// ---- Host ----

Host::Host() {
  if (g_host) report("a second Host was created while one is alive");
  g_host = this;
}

Host::~Host() {
  for (auto& g : gauges_)
    if (g->phase_ != Phase::Unloaded) unload(*g);
  if (g_host == this) g_host = nullptr;
}

Host* Host::current() { return g_host; }

void Host::report(const std::string& what) { violations_.push_back(what); }

void Host::clear_log() {
  calls_.clear();
  key_events_.clear();
  panel_windows_.clear();
  violations_.clear();
}

double Host::value(uint32_t token) const {
  auto it = values_.find(token);
  return it == values_.end() ? 0.0 : it->second;
}

const NamedVariable* Host::named(const std::string& name) const {
  for (const auto& v : named_)
    if (v.name == name) return &v;
  return nullptr;
}

Gauge* Host::gauge_of(const frame::GaugeHeader* h) {
  if (!h) return nullptr;
  for (auto& g : gauges_)
    if (g->header_ == h && g->phase_ != Phase::Unloaded) return g.get();
  return nullptr;
}

Gauge* Host::gauge_of(const frame::ElementHeader* e) { return e ? gauge_of(e->gauge) : nullptr; }

template <class F>
void Host::call_into(Gauge& g, const char* routine, F&& f) {
  Gauge* saved_active = active_;
  std::string saved_routine = routine_;
  active_ = &g;
  routine_ = routine;
  f();
  active_ = saved_active;
  routine_ = saved_routine;
}

void Host::key_event(Gauge* g, uint32_t id, uint32_t value, bool from_area) {
  key_events_.push_back(KeyEvent{id, value, g ? g->name() : "", from_area});
  if (simulate_) apply_key_event(*this, id, value);
}

Gauge* Host::load(const std::string& path) {
  error_.clear();
  auto m = Module::open(path, error_);
  if (!m) return nullptr;
  frame::Linkage* link = m->linkage();
  if (link->module_id != 0x13 || !link->gauges[0]) {
    error_ = path + ": Linkage does not name a gauge";
    return nullptr;
  }
  auto g = std::make_unique<Gauge>();
  g->path_ = path;
  g->linkage_ = link;
  g->imports_ = m->imports();
  g->header_ = link->gauges[0];
  g->name_ = g->header_->name ? g->header_->name : "";
  g->module_ = std::move(m);
  if (g->imports_->entries[0].id != 0xF) {
    error_ = path + ": ImportTable entry 0 is not the panel services entry";
    return nullptr;
  }
  g->imports_->entries[0].services = &g_table;
  Gauge& ref = *g;
  gauges_.push_back(std::move(g));
  if (link->module_init) call_into(ref, "module_init", [&] { link->module_init(); });
  return &ref;
}

namespace {
const char* phase_name(Phase p) {
  switch (p) {
    case Phase::Loaded: return "loaded";
    case Phase::Queried: return "queried";
    case Phase::Installed: return "installed";
    case Phase::Initialized: return "initialized";
    case Phase::Killed: return "killed";
    case Phase::Unloaded: return "unloaded";
  }
  return "?";
}
}  // namespace

#define HOST_REQUIRE(cond, step)                                                            \
  if (!(cond)) {                                                                            \
    report(g.name() + ": " step " refused: the gauge is " + phase_name(g.phase_));          \
    return false;                                                                           \
  }

bool Host::query(Gauge& g) {
  HOST_REQUIRE(g.phase_ == Phase::Loaded || g.phase_ == Phase::Killed, "query");
  call_into(g, "query", [&] { g.header_->query(); });
  g.phase_ = Phase::Queried;
  return true;
}

bool Host::install(Gauge& g, uint32_t arg) {
  HOST_REQUIRE(g.phase_ == Phase::Queried, "install");
  call_into(g, "install", [&] { g.header_->install(arg); });
  g.phase_ = Phase::Installed;
  return true;
}

bool Host::initialize(Gauge& g) {
  HOST_REQUIRE(g.phase_ == Phase::Installed, "initialize");
  call_into(g, "initialize", [&] { g.header_->initialize(); });
  g.phase_ = Phase::Initialized;
  return true;
}

bool Host::start(Gauge& g, uint32_t arg) { return query(g) && install(g, arg) && initialize(g); }

bool Host::update(Gauge& g) {
  HOST_REQUIRE(g.phase_ == Phase::Initialized, "update");
  call_into(g, "update", [&] { g.header_->update(); });
  return true;
}

bool Host::generate(Gauge& g, uint32_t arg) {
  HOST_REQUIRE(g.phase_ == Phase::Initialized, "generate");
  call_into(g, "generate", [&] { g.header_->generate(arg); });
  return true;
}

bool Host::draw(Gauge& g) {
  HOST_REQUIRE(g.phase_ == Phase::Initialized, "draw");
  call_into(g, "draw", [&] { g.header_->draw(); });
  return true;
}

bool Host::frame(Gauge& g) { return update(g) && generate(g) && draw(g); }

bool Host::kill(Gauge& g) {
  HOST_REQUIRE(g.phase_ == Phase::Installed || g.phase_ == Phase::Initialized, "kill");
  call_into(g, "kill", [&] { g.header_->kill(); });
  g.phase_ = Phase::Killed;
  if (g.mouse_registered_) report(g.name() + ": kill left its mouse list registered");
  if (g.elements_installed_) report(g.name() + ": kill left its elements installed");
  return true;
}

bool Host::unload(Gauge& g) {
  HOST_REQUIRE(g.phase_ != Phase::Unloaded, "unload");
  if (g.phase_ == Phase::Installed || g.phase_ == Phase::Initialized) kill(g);
  frame::Linkage* link = g.linkage_;
  if (link->module_deinit) call_into(g, "module_deinit", [&] { link->module_deinit(); });
  g.phase_ = Phase::Unloaded;
  g.module_.reset();
  g.linkage_ = nullptr;
  g.imports_ = nullptr;
  g.header_ = nullptr;
  g.mouse_list_ = nullptr;
  g.text_buffers_.clear();
  g.flags_.clear();
  g.icon_results_.clear();
  return true;
}

#undef HOST_REQUIRE

ClickResult Host::click(Gauge& g, int x, int y) {
  ClickResult r;
  if (g.phase_ != Phase::Initialized || !g.mouse_registered_ || !g.mouse_list_) return r;
  // Parents bound their children; a parent whose box is empty bounds nothing.
  struct Open {
    bool inside;
  };
  std::vector<Open> open;
  auto inside = [x, y](const frame::MouseArea& a) {
    return x >= a.x && y >= a.y && x < a.x + a.width && y < a.y + a.height;
  };
  for (const frame::MouseArea* a = g.mouse_list_; a->type != frame::kAreaEndList; ++a) {
    if (open.size() > 64 || a - g.mouse_list_ > 4096) break;  // a list without its end
    const bool parents_ok = std::all_of(open.begin(), open.end(), [](Open o) { return o.inside; });
    if (a->type == frame::kAreaParent) {
      const bool empty = a->width == 0 && a->height == 0;
      open.push_back({empty || inside(*a)});
    } else if (a->type == frame::kAreaEndParent) {
      if (!open.empty()) open.pop_back();
    } else if (a->type == frame::kAreaChild && parents_ok && inside(*a)) {
      r.hit = true;
      if (a->key_event) {
        r.key_event = a->key_event;
        key_event(&g, a->key_event, 0, true);
      } else if (a->function) {
        r.called_function = true;
        const frame::MouseFunction fn = a->function;
        call_into(g, "mouse", [&] { r.function_result = fn(uint32_t(x) | uint32_t(y) << 16, a->click_flags); });
      }
      return r;
    }
  }
  return r;
}

std::vector<std::string> calls_in(const Host& h, const std::string& routine) {
  std::vector<std::string> out;
  for (const auto& c : h.calls())
    if (c.routine == routine) out.push_back(c.name);
  return out;
}

}  // namespace host
