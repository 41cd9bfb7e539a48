#include "host/cockpit_run.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "host/cockpit.h"
#include "host/config_text.h"
#include "host/exit_codes.h"
#include "host/font.h"
#include "host/report.h"
#include "host/stb.h"
#include "platform/shared_section.h"
#if !defined(_WIN32)
#include <unistd.h>

#include "platform/posix/media_clock.h"
#include "platform/posix/paths.h"
#include "platform/posix/sound_device_control.h"
#include "platform/posix/timer_control.h"
#else
#include <io.h>
#include <windows.h>
#endif

namespace host {
namespace {

namespace fs = std::filesystem;
using text::iequal;

const Rgb kPanelGrey{58, 62, 66};
const Rgb kSheetGround{24, 26, 28};
constexpr int kWindowGap = 6;

bool ends_with_icase(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && iequal(s.substr(s.size() - tail.size()), tail);
}

// The module file's stem: "gauges/j4gear.gau" -> "j4gear".
std::string stem(std::string_view file) {
  const auto slash = file.find_last_of("/\\");
  if (slash != std::string_view::npos) file = file.substr(slash + 1);
  if (ends_with_icase(file, ".gau")) file.remove_suffix(4);
  return std::string(file);
}

// An existing file at that path, letter case aside (as the simulator's folders are read).
std::optional<std::string> existing(const std::string& path) {
#if defined(_WIN32)
  std::error_code ec;
  if (fs::is_regular_file(path, ec)) return path;
  return std::nullopt;
#else
  char found[4096];
  if (!platform::posix::resolve_path(path.c_str(), found, sizeof found)) return std::nullopt;
  std::error_code ec;
  if (!fs::is_regular_file(found, ec)) return std::nullopt;
  return std::string(found);
#endif
}

std::string join(const std::string& dir, const std::string& file) {
  if (dir.empty() || file.empty() || file[0] == '/' || (file.size() > 1 && file[1] == ':')) return file;
  return dir + "/" + file;
}

// The picture of a gauge at its drawn size.
Image resized(const Image& img, int width, int height) {
  if (img.width == 0 || (width == 0 && height == 0)) return img;
  if (height == 0) height = std::max(1, int(std::lround(double(width) * img.height / img.width)));
  if (width == 0) width = std::max(1, int(std::lround(double(height) * img.width / img.height)));
  if (width == img.width && height == img.height) return img;
  Image out(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      out.at(x, y) = img.at(int(int64_t(x) * img.width / width), int(int64_t(y) * img.height / height));
  return out;
}

void paste(Image& dst, const Image& src, int x0, int y0) {
  for (int y = 0; y < src.height; ++y)
    for (int x = 0; x < src.width; ++x)
      if (dst.contains(x0 + x, y0 + y)) dst.at(x0 + x, y0 + y) = src.at(x, y);
}

bool on_terminal() {
#if defined(_WIN32)
  return _isatty(_fileno(stderr));
#else
  return isatty(fileno(stderr));
#endif
}

}  // namespace

// ---- Cockpit ----

Cockpit::Cockpit(Host& h, int frame_rate) : host_(h), frame_rate_(std::clamp(frame_rate, 1, 1000)) {
#if !defined(_WIN32)
  // The substitute sound device and timers run by the cockpit's clock from here on, and record
  // from its first frame. (Windows plays on the real device in real time.)
  sound_clock_ = platform::testing::use_manual_clock();
  platform::testing::clear_sound_recording();
#endif
}

Cockpit::~Cockpit() {
  for (auto it = placed_.rbegin(); it != placed_.rend(); ++it)
    if (it->gauge->phase() != Phase::Unloaded) host_.unload(*it->gauge);
}

int Cockpit::frames_for(double seconds) const { return int(std::lround(seconds * frame_rate_)); }

PlacedGauge* Cockpit::load(const std::string& file, const std::string& base_dir, const std::string& label,
                           int x, int y, int width, int height, std::string& error) {
  const std::string name = ends_with_icase(file, ".gau") ? file : file + ".gau";
  std::optional<std::string> path = existing(join(base_dir, name));
  const bool bare = name.find_first_of("/\\") == std::string::npos;
  for (size_t i = 0; !path && bare && i < gauge_dirs_.size(); ++i)
    path = existing(join(gauge_dirs_[i], name));
  if (!path) {
    error = name + ": no such gauge module" +
            (bare && !gauge_dirs_.empty() ? " here or in " + gauge_dirs_[0] : "");
    return nullptr;
  }
  for (const PlacedGauge& p : placed_) {
    std::error_code ec;
    if (fs::equivalent(p.gauge->path(), *path, ec)) {
      error = name + ": the module is already on the panel (as " + p.label + "); a module holds one gauge";
      return nullptr;
    }
  }
  Gauge* g = host_.load(*path);
  if (!g) {
    error = host_.error();
    return nullptr;
  }
  if (!host_.start(*g)) {
    error = name + ": the gauge did not start";
    host_.unload(*g);
    return nullptr;
  }
  if (windows_.empty()) windows_.push_back(Window{"cockpit", 0, 0});
  placed_.push_back(
      PlacedGauge{label.empty() ? stem(file) : label, "", windows_.size() - 1, x, y, width, height, g});
  return &placed_.back();
}

void Cockpit::load_panel(const PanelConfig& config, const std::string& base_dir,
                         std::vector<std::string>& failures) {
  for (const PanelWindow& w : config.windows) {
    windows_.push_back(Window{w.title, w.width, w.height});
    for (const PanelGauge& pg : w.gauges) {
      std::string error;
      PlacedGauge* p = load(pg.file, base_dir, "", pg.x, pg.y, pg.width, pg.height, error);
      const std::string where = config.name + ":" + std::to_string(pg.line) + ": " + pg.key + ": ";
      if (!p) {
        failures.push_back(where + error);
        continue;
      }
      p->key = pg.key;
      // The simulator finds the gauge by the name after '!'.
      if (!pg.gauge.empty() && !iequal(text::trim(p->gauge->name()), pg.gauge)) {
        failures.push_back(where + pg.file + ".gau holds the gauge \"" + p->gauge->name() + "\", not \"" +
                           pg.gauge + "\"");
        host_.unload(*p->gauge);
        placed_.pop_back();
      }
    }
  }
}

PlacedGauge* Cockpit::find(std::string_view name) {
  for (PlacedGauge& p : placed_)
    if (iequal(p.label, name) || iequal(p.key, name) || iequal(p.gauge->name(), name)) return &p;
  return nullptr;
}

void Cockpit::collect() {
  const auto& events = host_.key_events();
  for (; seen_events_ < events.size(); ++seen_events_) {
    const KeyEvent& e = events[seen_events_];
    timeline_.push_back(TimelineEvent{frame_, seconds(), Flight::height_ft(host_), e.id, e.value,
                                      std::string(e.gauge), e.from_area});
    if (on_event) on_event(timeline_.back());
  }
}

void Cockpit::run(int frames) {
  for (int i = 0; i < frames; ++i) {
    ++frame_;
    flight_.step(host_, 1.0 / frame_rate_);
    // Whole milliseconds, spread so that a second of frames is exactly a second of sound.
    const uint64_t now_ms = uint64_t(frame_) * 1000 / uint64_t(frame_rate_);
    advance_sound(uint32_t(now_ms - sound_ms_));
    sound_ms_ = now_ms;
    for (PlacedGauge& p : placed_)
      if (p.gauge->phase() == Phase::Initialized) host_.frame(*p.gauge);
    collect();
  }
}

void Cockpit::advance_sound(uint32_t ms) {
#if !defined(_WIN32)
  // The timers fire at their due times on the way, as the streaming player's refills do.
  if (sound_clock_) platform::testing::run_clock(uint64_t(ms) * 1000);
#else
  (void)ms;
#endif
}

bool Cockpit::write_sound(const std::string& wav, std::string& why) const {
#if !defined(_WIN32)
  if (!sound_clock_) {
    why = "the sound device was not on the cockpit's clock";
    return false;
  }
  if (!platform::testing::write_sound_mix_wav(wav.c_str(), kSoundRate)) {
    why = "the recording could not be written";
    return false;
  }
  return true;
#else
  (void)wav;
  why = "the Windows build plays on the real sound device and keeps no recording";
  return false;
#endif
}

ClickResult Cockpit::click(PlacedGauge& g, int x, int y) {
  const ClickResult r = host_.click(*g.gauge, x, y);
  collect();
  return r;
}

Image Cockpit::render() const {
  struct Drawn {
    const PlacedGauge* p;
    Image img;
  };
  std::vector<Drawn> drawn;
  std::vector<std::pair<int, int>> sizes(windows_.size(), {0, 0});
  for (const PlacedGauge& p : placed_) {
    drawn.push_back(Drawn{&p, resized(host_.render(*p.gauge), p.width, p.height)});
    auto& [w, h] = sizes[p.window];
    w = std::max(w, p.x + drawn.back().img.width);
    h = std::max(h, p.y + drawn.back().img.height);
  }
  int width = 1, height = 0;
  for (size_t i = 0; i < windows_.size(); ++i) {
    if (windows_[i].width) sizes[i] = {windows_[i].width, windows_[i].height};
    width = std::max(width, sizes[i].first);
    height += sizes[i].second + (i ? kWindowGap : 0);
  }
  Image out(width, std::max(height, 1), kSheetGround);
  int top = 0;
  for (size_t i = 0; i < windows_.size(); ++i) {
    paste(out, Image(sizes[i].first, sizes[i].second, kPanelGrey), 0, top);
    for (const Drawn& d : drawn)
      if (d.p->window == i) {
        // Clipped to its window, as the simulator draws a panel.
        Image clip = d.img;
        const int room_w = sizes[i].first - d.p->x, room_h = sizes[i].second - d.p->y;
        if (room_w <= 0 || room_h <= 0) continue;
        if (clip.width > room_w || clip.height > room_h) {
          Image cut(std::min(clip.width, room_w), std::min(clip.height, room_h));
          for (int y = 0; y < cut.height; ++y)
            for (int x = 0; x < cut.width; ++x) cut.at(x, y) = clip.at(x, y);
          clip = cut;
        }
        paste(out, clip, d.p->x, top + d.p->y);
      }
    top += sizes[i].second + kWindowGap;
  }
  return out;
}

// ---- Cockpit link, timeline ----

std::optional<frame::CockpitLink> read_cockpit_link() {
  platform::SectionHandle section = platform::open_section_for_write(frame::kCockpitLinkName);
  if (!section) return std::nullopt;
  void* view = platform::map_whole_view_for_write(section, sizeof(frame::CockpitLink));
  std::optional<frame::CockpitLink> link;
  if (view) {
    link.emplace();
    std::memcpy(&*link, view, sizeof(frame::CockpitLink));
    platform::unmap_view(view);
  }
  platform::close_section(section);
  return link;
}

std::string timeline_line(const TimelineEvent& e) {
  std::string out;
  const std::string name = event_label(e.id);
  appendf(out, "%6d %8.2f %7.0f  %-21s %6u %11d  %s%s\n", e.frame, e.seconds, e.height_ft,
          name.empty() ? "-" : name.c_str(), e.id, int32_t(e.value), e.gauge.c_str(),
          e.from_area ? " (mouse area)" : "");
  return out;
}

std::string timeline_text(const std::vector<TimelineEvent>& events) {
  std::string out = " frame     time  height  event                     id       value  sent by\n";
  for (const TimelineEvent& e : events) out += timeline_line(e);
  return out;
}

// ---- Contact sheet ----

namespace {

// Light text on the sheet; without the font the label is left out, the pictures still show.
void draw_label(Image& dst, int x0, int y0, int px, const std::string& s) {
  const TrueTypeFont& font = label_font();
  if (!font.ok) return;
  const float scale = stbtt_ScaleForPixelHeight(&font.info, float(px));
  int ascent = 0, descent = 0, gap = 0;
  stbtt_GetFontVMetrics(&font.info, &ascent, &descent, &gap);
  float pen = float(x0);
  const int baseline = y0 + int(std::lround(ascent * scale));
  for (unsigned char ch : s) {
    int advance = 0, lsb = 0, bw = 0, bh = 0, xo = 0, yo = 0;
    stbtt_GetCodepointHMetrics(&font.info, ch, &advance, &lsb);
    unsigned char* glyph = stbtt_GetCodepointBitmap(&font.info, scale, scale, ch, &bw, &bh, &xo, &yo);
    for (int gy = 0; gy < bh; ++gy)
      for (int gx = 0; gx < bw; ++gx) {
        const int x = int(pen) + xo + gx, y = baseline + yo + gy;
        const int a = glyph[gy * bw + gx];
        if (!a || !dst.contains(x, y)) continue;
        Rgb& p = dst.at(x, y);
        auto m = [a](uint8_t under, uint8_t over) { return uint8_t((under * (255 - a) + over * a) / 255); };
        p = Rgb{m(p.r, 235), m(p.g, 235), m(p.b, 220)};
      }
    stbtt_FreeBitmap(glyph, nullptr);
    pen += float(advance) * scale;
  }
}

// Halved by averaging 2 x 2 blocks, which keeps thin lettering readable.
Image halved(const Image& img) {
  Image out(std::max(1, img.width / 2), std::max(1, img.height / 2));
  for (int y = 0; y < out.height; ++y)
    for (int x = 0; x < out.width; ++x) {
      int r = 0, g = 0, b = 0, n = 0;
      for (int dy = 0; dy < 2; ++dy)
        for (int dx = 0; dx < 2; ++dx)
          if (img.contains(2 * x + dx, 2 * y + dy)) {
            const Rgb p = img.at(2 * x + dx, 2 * y + dy);
            r += p.r, g += p.g, b += p.b, ++n;
          }
      out.at(x, y) = Rgb{uint8_t(r / n), uint8_t(g / n), uint8_t(b / n)};
    }
  return out;
}

}  // namespace

Image contact_sheet(const std::vector<std::pair<std::string, Image>>& pictures, int columns) {
  if (pictures.empty() || columns < 1) return {};
  constexpr int kPad = 10, kLabel = 22, kMaxThumb = 700;
  std::vector<Image> thumbs;
  int cell_w = 0, cell_h = 0;
  for (const auto& [label, img] : pictures) {
    Image t = img;
    while (t.width > kMaxThumb) t = halved(t);
    cell_w = std::max(cell_w, t.width);
    cell_h = std::max(cell_h, t.height);
    thumbs.push_back(std::move(t));
  }
  columns = std::min<int>(columns, int(pictures.size()));
  const int rows = (int(pictures.size()) + columns - 1) / columns;
  Image sheet(kPad + columns * (cell_w + kPad), kPad + rows * (cell_h + kLabel + kPad), kSheetGround);
  for (size_t i = 0; i < thumbs.size(); ++i) {
    const int x = kPad + int(i % columns) * (cell_w + kPad),
              y = kPad + int(i / columns) * (cell_h + kLabel + kPad);
    paste(sheet, thumbs[i], x, y);
    draw_label(sheet, x, y + cell_h + 4, 15, std::to_string(i + 1) + "  " + pictures[i].first);
  }
  return sheet;
}

// ---- Scenario runs ----

namespace {

std::string file_label(std::string_view label) {
  std::string out;
  for (char c : label)
    out += (std::isalnum(static_cast<unsigned char>(c)) || c == '-') ? char(std::tolower(c)) : '_';
  return out;
}

std::string event_text(uint32_t id) {
  const std::string name = event_label(id);
  return name.empty() ? std::to_string(id) : name + " (" + std::to_string(id) + ")";
}

bool same(double a, double b) { return std::abs(a - b) <= 1e-9 * std::max(1.0, std::abs(b)); }

std::string number_text(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.10g", v);
  return buf;
}

class Runner {
 public:
  Runner(Host& h, const Scenario& s, const RunOptions& o,
         const std::vector<std::pair<std::string, std::string_view>>& builtin)
      : host_(h), s_(s), o_(o), builtin_(builtin), cockpit_(h, o.frame_rate) {
    for (const auto& d : o.gauge_dirs) cockpit_.add_gauge_folder(d);
    progress_ = o.progress && on_terminal();
    if (o.echo_events && !progress_)
      cockpit_.on_event = [](const TimelineEvent& e) {
        std::fputs(("event " + timeline_line(e)).c_str(), stdout);
      };
  }

  int run() {
    for (const Command& c : s_.commands) {
      line_ = c.line;
      if (!step(c)) {
        end_progress();
        return kExitError;
      }
    }
    end_progress();
    const bool wrote = write_outputs();
    std::printf("%s: %d frames (%.1f s at %d frames/s), %zu key events, %d failed expectations\n",
                s_.name.c_str(), cockpit_.frame(), cockpit_.seconds(), cockpit_.frame_rate(),
                cockpit_.timeline().size(), failed_);
    for (const auto& v : host_.violations()) std::printf("contract violation: %s\n", v.c_str());
    if (!wrote || load_failures_) return kExitError;
    if (!host_.violations().empty()) return kExitContract;
    return failed_ ? kExitExpectation : kExitSuccess;
  }

 private:
  std::string where() const { return s_.name + ":" + std::to_string(line_) + ": "; }

  bool error(const std::string& what) {
    end_progress();
    std::fprintf(stderr, "panelhost: %s%s\n", where().c_str(), what.c_str());
    return false;
  }

  void failed(const std::string& what) {
    end_progress();
    std::printf("FAILED %s%s\n", where().c_str(), what.c_str());
    ++failed_;
  }

  void show_progress() {
    if (!progress_ || cockpit_.frame() % 9) return;
    std::fprintf(stderr, "\r  frame %5d  %6.1f s  height %6.0f ft  %4zu key events  ", cockpit_.frame(),
                 cockpit_.seconds(), Flight::height_ft(host_), cockpit_.timeline().size());
    std::fflush(stderr);
    progress_shown_ = true;
  }

  void end_progress() {
    if (!progress_shown_) return;
    std::fputs("\n", stderr);
    progress_shown_ = false;
  }

  void frames(int n) {
    for (int i = 0; i < n; ++i) {
      cockpit_.run(1);
      show_progress();
    }
  }

  std::optional<std::string> text_of(const std::string& path, std::string& name) {
    name = fs::path(join(s_.dir, path)).lexically_normal().generic_string();
    for (const auto& [file, text] : builtin_)
      if (file == name) return std::string(text);
    std::ifstream in(name, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  PlacedGauge* gauge(const std::string& name) {
    if (PlacedGauge* p = cockpit_.find(name)) return p;
    std::string known;
    for (const PlacedGauge& p : cockpit_.gauges()) known += (known.empty() ? "" : ", ") + p.label;
    // A gauge the panel could not load is reported once it is used; the rest of the run goes on.
    failed(std::string("no gauge named '") + name + "' on the panel (" +
           (known.empty() ? "none loaded" : known) + ")");
    return nullptr;
  }

  frame::ElementHeader* element(PlacedGauge& p, int index, uint32_t type, const char* kind) {
    const auto all = p.gauge->elements();
    if (index >= int(all.size())) {
      failed(p.label + " has no element #" + std::to_string(index) + " (it has " +
             std::to_string(all.size()) + ")");
      return nullptr;
    }
    if (all[index]->type != type) {
      failed(p.label + " element #" + std::to_string(index) + " is not " + kind);
      return nullptr;
    }
    return all[index];
  }

  bool step(const Command& c) {
    switch (c.op) {
      case Op::Panel: {
        std::string name, err;
        const auto text = text_of(c.path, name);
        if (!text) return error(c.path + ": cannot read the panel configuration");
        const auto config = parse_panel_config(*text, name, err);
        if (!config) return error(err);
        std::vector<std::string> failures;
        const auto dir = fs::path(name).parent_path().string();
        cockpit_.load_panel(*config, dir.empty() ? "." : dir, failures);
        for (const auto& f : failures) std::fprintf(stderr, "panelhost: %s\n", f.c_str());
        load_failures_ += int(failures.size());
        return true;
      }
      case Op::Load: {
        std::string err;
        if (!cockpit_.load(c.path, s_.dir, c.name, c.x, c.y, c.width, c.height, err)) return error(err);
        return true;
      }
      case Op::Set:
        for (const Setting& v : c.settings) host_.set(v.token, v.value);
        return true;
      case Op::Descend: cockpit_.flight().set_descent(c.number); return true;
      case Op::Run: frames(c.seconds >= 0 ? cockpit_.frames_for(c.seconds) : c.frames); return true;
      case Op::RunUntil: {
        const int limit = c.seconds >= 0 ? cockpit_.frames_for(c.seconds) : c.frames;
        const size_t from = cockpit_.timeline().size();
        for (int i = 0; i < limit; ++i) {
          frames(1);
          const auto& t = cockpit_.timeline();
          if (std::any_of(t.begin() + long(from), t.end(),
                          [&](const TimelineEvent& e) { return e.id == c.event; }))
            return true;
        }
        failed(event_text(c.event) + " was not sent within " + std::to_string(limit) + " frames (now frame " +
               std::to_string(cockpit_.frame()) + ", height " +
               number_text(std::round(Flight::height_ft(host_))) + " ft)");
        return true;
      }
      case Op::RunUntilHeight: {
        const int limit = c.seconds >= 0 ? cockpit_.frames_for(c.seconds) : c.frames;
        for (int i = 0; i < limit; ++i) {
          if (Flight::height_ft(host_) < c.number) return true;
          frames(1);
        }
        if (Flight::height_ft(host_) < c.number) return true;
        failed(std::string("the aircraft was not below ") + number_text(c.number) + " ft within " +
               std::to_string(limit) + " frames (height " +
               number_text(std::round(Flight::height_ft(host_))) + " ft)");
        return true;
      }
      case Op::Click: {
        PlacedGauge* p = gauge(c.name);
        if (!p) return true;
        for (int i = 0; i < c.count; ++i) {
          cockpit_.click(*p, c.x, c.y);
          frames(1);
        }
        return true;
      }
      case Op::ExpectEvent: {
        const auto& t = cockpit_.timeline();
        for (size_t i = cursor_; i < t.size(); ++i)
          if (t[i].id == c.event && (!c.value || t[i].value == *c.value)) {
            cursor_ = i + 1;
            return true;
          }
        std::string seen;
        for (size_t i = cursor_, n = 0; i < t.size() && n < 6; ++i, ++n)
          seen +=
              (seen.empty() ? "" : ", ") + event_text(t[i].id) + " " + std::to_string(int32_t(t[i].value));
        if (t.size() - cursor_ > 6)
          seen += std::string(", ... (") + std::to_string(t.size() - cursor_) + " in all)";
        failed(std::string("expected ") + event_text(c.event) +
               (c.value ? std::string(" value ") + std::to_string(int32_t(*c.value)) : "") +
               "; sent since the last match: " + (seen.empty() ? "nothing" : seen));
        return true;
      }
      case Op::ExpectNoEvent: {
        const auto& t = cockpit_.timeline();
        for (size_t i = cursor_; i < t.size(); ++i)
          if (t[i].id == c.event) {
            failed(std::string("expected no ") + event_text(c.event) + ", but it was sent at frame " +
                   std::to_string(t[i].frame) + " with value " + std::to_string(int32_t(t[i].value)));
            return true;
          }
        return true;
      }
      case Op::ExpectText: {
        PlacedGauge* p = gauge(c.name);
        if (!p) return true;
        if (auto* e = element(*p, c.element, frame::kStringWindow, "a text window")) {
          const std::string shown = p->gauge->window_text(e);
          if (shown != c.text)
            failed(p->label + " #" + std::to_string(c.element) + " shows \"" + shown + "\", not \"" + c.text +
                   "\"");
        }
        return true;
      }
      case Op::ExpectImage: {
        PlacedGauge* p = gauge(c.name);
        if (!p) return true;
        if (auto* e = element(*p, c.element, frame::kIcon, "an icon")) {
          const auto* icon = reinterpret_cast<const frame::IconElement*>(e);
          const auto r = p->gauge->icon_result(e);
          // As the renderer shows it: a fractional index is cut, a negative one shows nothing.
          const int shown = r && *r >= 0.0 && *r < double(icon->image_count) ? int(*r) : -1;
          if (shown != int(c.number)) {
            auto said = [](int i) {
              return i < 0 ? std::string("none") : std::string("image ") + std::to_string(i);
            };
            failed(p->label + " #" + std::to_string(c.element) + " shows " + said(shown) + ", not " +
                   said(int(c.number)));
          }
        }
        return true;
      }
      case Op::ExpectVar: {
        const NamedVariable* v = host_.named(c.name);
        if (!v) {
          failed(std::string("no named variable ") + c.name + " is registered");
          return true;
        }
        double value = 0;
        std::memcpy(&value, v->address, sizeof value);
        if (!same(value, c.number))
          failed(c.name + " is " + number_text(value) + ", not " + number_text(c.number));
        return true;
      }
      case Op::ExpectLink: return expect_link(c);
      case Op::ExpectToken: {
        const double v = host_.value(c.token);
        if (!same(v, c.number))
          failed(std::string("token ") + std::to_string(c.token) + " is " + number_text(v) + ", not " +
                 number_text(c.number));
        return true;
      }
      case Op::Snapshot: {
        snapshots_.emplace_back(c.text, cockpit_.render());
        end_progress();
        std::printf("snapshot %zu at frame %d: %s\n", snapshots_.size(), cockpit_.frame(), c.text.c_str());
        return true;
      }
      case Op::PrintLink:
        end_progress();
        std::fputs(describe_cockpit_link().c_str(), stdout);
        return true;
    }
    return true;
  }

  bool expect_link(const Command& c) {
    const auto link = read_cockpit_link();
    if (!link) {
      failed("no cockpit link: no gauge holds the section");
      return true;
    }
    // "name" or "name[i]".
    std::string field = c.name;
    int index = -1;
    if (const auto open = field.find('['); open != std::string::npos && field.back() == ']') {
      const auto i = text::to_int(std::string_view(field).substr(open + 1, field.size() - open - 2));
      if (!i) return error(std::string("link field '") + c.name + "': the index is a whole number");
      index = *i;
      field.resize(open);
    }
    auto indexed = [&](int count) {
      if (index >= 0 && index < count) return true;
      error(std::string("link field '") + c.name + "' wants an index from 0 to " + std::to_string(count - 1));
      return false;
    };
    double value = 0;
    if (field == "power" && index < 0)
      value = link->power;
    else if (field == "vr_request" && index < 0)
      value = link->vr_request;
    else if (field == "ar_request" && index < 0)
      value = link->ar_request;
    else if (field == "fd_request" && index < 0)
      value = link->fd_request;
    else if (field == "start_flags") {
      if (!indexed(7)) return false;
      value = link->start_flags[index];
    } else if (field == "unit_flags") {
      if (!indexed(3)) return false;
      value = link->unit_flags[index];
    } else if (field == "slot") {
      if (!indexed(frame::kAnnouncementSlots)) return false;
      const char* b = link->announcement_slots[index];
      const std::string shown(b, strnlen(b, 3));
      if (c.number >= 0) return error("link slot values are texts in double quotes");
      if (shown != c.text)
        failed(std::string("link slot[") + std::to_string(index) + "] holds \"" + shown + "\", not \"" +
               c.text + "\"");
      return true;
    } else
      return error(std::string("unknown link field '") + c.name +
                   "' (power, start_flags[i], unit_flags[i], vr_request, ar_request, fd_request, slot[i])");
    if (!same(value, c.number))
      failed(std::string("link ") + c.name + " is " + number_text(value) + ", not " + number_text(c.number));
    return true;
  }

  bool write_outputs() {
    if (o_.out_dir.empty()) return true;
    auto out = [&](const std::string& file) { return (fs::path(o_.out_dir) / file).string(); };
    // The first file that cannot be written ends the writing, with one line.
    auto fail = [&](const std::string& file, const std::string& why = "") {
      std::fprintf(stderr, "panelhost: cannot write %s%s\n", file.c_str(),
                   why.empty() ? "" : (": " + why).c_str());
      return false;
    };
    {
      const std::string file = out("timeline.txt");
      std::ofstream t(file, std::ios::binary);
      t << timeline_text(cockpit_.timeline());
      t.close();
      if (!t) return fail(file);
    }
    for (size_t i = 0; i < snapshots_.size(); ++i) {
      char name[160];
      std::snprintf(name, sizeof name, "%02zu-%s.png", i + 1, file_label(snapshots_[i].first).c_str());
      std::string why;
      // Twice the panel's size: the gauges' lettering is a few pixels high.
      if (!write_png(scaled(snapshots_[i].second, 2), out(name), why)) return fail(out(name), why);
    }
    if (!snapshots_.empty()) {
      std::string why;
      if (!write_png(contact_sheet(snapshots_), out("contact-sheet.png"), why))
        return fail(out("contact-sheet.png"), why);
    }
    std::string why;
    const bool sound = Cockpit::records_sound();
    if (sound && !cockpit_.write_sound(out("sound.wav"), why)) return fail(out("sound.wav"), why);
    if (!sound)
      std::printf("no sound.wav: the Windows build plays on the real sound device and keeps no recording\n");
    std::printf("wrote %s: timeline.txt, %zu snapshots%s%s\n", o_.out_dir.c_str(), snapshots_.size(),
                snapshots_.empty() ? "" : ", contact-sheet.png", sound ? ", sound.wav" : "");
    return true;
  }

  Host& host_;
  const Scenario& s_;
  const RunOptions& o_;
  const std::vector<std::pair<std::string, std::string_view>>& builtin_;
  Cockpit cockpit_;
  int line_ = 0;
  int failed_ = 0;
  int load_failures_ = 0;
  size_t cursor_ = 0;  // expect event looks from here on
  bool progress_ = false;
  bool progress_shown_ = false;
  std::vector<std::pair<std::string, Image>> snapshots_;
};

}  // namespace

int run_scenario(Host& h, const Scenario& s, const RunOptions& options,
                 const std::vector<std::pair<std::string, std::string_view>>& builtin) {
  Runner r(h, s, options, builtin);
  return r.run();
}

std::string executable_dir() {
#if defined(_WIN32)
  char path[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return ".";
  return fs::path(std::string(path, n)).parent_path().string();
#else
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? std::string(".") : exe.parent_path().string();
#endif
}

int run_cockpit(Host& h, CockpitArgs args) {
  std::error_code ec;
  auto absolute = [&](const std::string& p) {
    return p.empty() ? p : fs::absolute(p, ec).lexically_normal().string();
  };
  if (args.gauge_dirs.empty())
    args.gauge_dirs.push_back((fs::path(executable_dir()) / ".." / "gauges").string());
  for (auto& d : args.gauge_dirs) d = absolute(d);
  args.out_dir = absolute(args.out_dir);
  const std::string folder = absolute(args.folder.empty() ? args.gauge_dirs.front() : args.folder);

  std::string error;
  std::optional<Scenario> scenario;
  const bool builtin = args.scenario.empty();
  if (builtin) {
    for (const auto& [file, text] : builtin_files())
      if (file == kBuiltinScenario) scenario = parse_scenario(text, file, error);
    if (scenario) scenario->dir = fs::path(kBuiltinScenario).parent_path().string();
  } else {
    scenario = read_scenario(absolute(args.scenario), error);
  }
  if (!scenario) {
    std::fprintf(stderr, "panelhost: %s\n",
                 error.empty() ? "the built-in approach is missing" : error.c_str());
    return kExitError;
  }
  if (!args.out_dir.empty()) {
    fs::create_directories(args.out_dir, ec);
    if (ec || !fs::is_directory(args.out_dir)) {
      std::fprintf(stderr, "panelhost: cannot create folder %s: %s\n", args.out_dir.c_str(),
                   ec ? ec.message().c_str() : "a file of that name is in the way");
      return kExitError;
    }
  }
  // The gauges find their sound files from the current folder, as in the simulator's own.
  fs::current_path(folder, ec);
  if (ec) {
    std::fprintf(stderr, "panelhost: cannot work in the simulator folder %s: %s\n", folder.c_str(),
                 ec.message().c_str());
    return kExitError;
  }
  RunOptions o;
  o.out_dir = args.out_dir;
  o.frame_rate = args.frame_rate;
  o.gauge_dirs = args.gauge_dirs;
  o.progress = args.progress;
  o.echo_events = !builtin;
  static const std::vector<std::pair<std::string, std::string_view>> none;
  return run_scenario(h, *scenario, o, builtin ? builtin_files() : none);
}

}  // namespace host
