// The panel services the host hands every module: each slot logs its call, checks it against
// the contract, and acts.
#include <algorithm>
#include <cstring>
#include <string>

#include "host/host.h"
#include "host/host_internal.h"

namespace host {
namespace {

using frame::slot_name;

constexpr uint32_t kTokenBound = 0x484F5354;  // marks a TokenVar the host has bound ("HOST")

}  // namespace

// The PanelServices slots. Each logs its call, checks it against the contract, and acts.
struct Services {
  static Host& host() { return *detail::g_host; }

  static Gauge* log(frame::Slot s, Gauge* g, uintptr_t a = 0, uintptr_t b = 0, uintptr_t c = 0) {
    Host& h = host();
    if (!g) g = h.active_;
    // Views of the gauge's name and static texts: no copy per call. The log keeps only its
    // newest entries, so a long run stays flat.
    if (h.calls_.size() >= Host::kCallLogLimit)
      h.calls_.erase(h.calls_.begin(), h.calls_.begin() + Host::kCallLogLimit / 2);
    h.calls_.push_back(ServiceCall{g ? std::string_view(g->name()) : std::string_view("?"),
                                   h.routine_,
                                   s,
                                   frame::kSlotNames[static_cast<uint32_t>(s)],
                                   {a, b, c}});
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
    g->walk_tree();
    for (frame::ElementHeader* el : g->elements()) {
      g->flags_[el] = el->image_flags;
      if (el->type == frame::kStringWindow) {
        auto* s = reinterpret_cast<frame::StringElement*>(el);
        const size_t n = std::min<size_t>(s->char_count, 256) + 1;
        Gauge::TextBuffer buf{s, std::vector<char>(n + detail::kGuardBytes, detail::kGuardByte)};
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
    const size_t n = buf.bytes.size() - detail::kGuardBytes;
    for (size_t i = n; i < buf.bytes.size(); ++i)
      if (buf.bytes[i] != detail::kGuardByte) {
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
    const std::string_view outer = h.routine_;
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
    if (Gauge* g = top_call(frame::Slot::draw_elements, e)) require_installed(g, frame::Slot::draw_elements);
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

  static Gauge* mouse_call(frame::Slot s, frame::MouseArea* list, frame::GaugeHeader* gh,
                           uintptr_t addr = 0) {
    Host& h = host();
    Gauge* g =
        log(s, h.gauge_of(gh), reinterpret_cast<uintptr_t>(list), reinterpret_cast<uintptr_t>(gh), addr);
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

  static uint32_t GAUGE_CALL install_mouse_list(frame::MouseArea* list, frame::GaugeHeader* gh,
                                                uintptr_t addr) {
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
    Gauge* g = log(frame::Slot::toggle_panel_window, nullptr, window);
    host().panel_windows_.push_back(window);
    host().events_.push_back(HostEvent{HostEvent::Kind::panel_window, window, 0,
                                       g ? std::string_view(g->name()) : std::string_view(), false});
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

namespace detail {
frame::PanelServices* services_table() { return &g_table; }
}  // namespace detail

}  // namespace host
