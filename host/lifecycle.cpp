// Loading a module and driving its gauge through the lifecycle, in contract order.
#include <algorithm>
#include <cstring>
#include <string>

#include "host/host.h"
#include "host/host_internal.h"
#include "host/module.h"
#include "host/sim_model.h"

namespace host {

namespace detail {
Host* g_host = nullptr;
}  // namespace detail

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
      const size_t n = buf.bytes.size() - detail::kGuardBytes;
      return std::string(buf.bytes.data(), strnlen(buf.bytes.data(), n));
    }
  return "";
}

namespace {
// Depth-first, the element before its children, children in array order. Guarded against
// cycles and runaway trees, which a broken module could build.
void walk(frame::ElementHeader* e, std::vector<frame::ElementHeader*>& out) {
  if (!e || out.size() > 4096 || std::find(out.begin(), out.end(), e) != out.end()) return;
  out.push_back(e);
  if (!e->children) return;
  for (frame::ElementHeader* const* c = e->children; *c; ++c) walk(*c, out);
}
}  // namespace

void Gauge::walk_tree() {
  tree_.clear();
  walk(top(), tree_);
}

std::optional<Image> Gauge::bitmap(int id) const { return module_->bitmap(id); }

// ---- Host ----

Host::Host() {
  if (detail::g_host) report("a second Host was created while one is alive");
  detail::g_host = this;
}

Host::~Host() {
  for (auto& g : gauges_)
    if (g->phase_ != Phase::Unloaded) unload(*g);
  if (detail::g_host == this) detail::g_host = nullptr;
}

Host* Host::current() { return detail::g_host; }

void Host::report(const std::string& what) { violations_.push_back(what); }

void Host::clear_log() {
  clear_events();
  violations_.clear();
}

void Host::clear_events() {
  calls_.clear();
  key_events_.clear();
  panel_windows_.clear();
  events_.clear();
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

void Host::key_event(Gauge* g, uint32_t id, uint32_t value, bool from_area) {
  const std::string_view gauge = g ? std::string_view(g->name()) : std::string_view();
  key_events_.push_back(KeyEvent{id, value, gauge, from_area});
  events_.push_back(HostEvent{HostEvent::Kind::key_event, id, value, gauge, from_area});
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
  g->imports_->entries[0].services = detail::services_table();
  g->walk_tree();
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

#define HOST_REQUIRE(cond, step)                                                   \
  if (!(cond)) {                                                                   \
    report(g.name() + ": " step " refused: the gauge is " + phase_name(g.phase_)); \
    return false;                                                                  \
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

}  // namespace host
