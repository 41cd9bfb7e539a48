#include "host/scenario.h"

#include "host/config_text.h"

namespace host {
namespace {

using text::iequal;
using text::trim;
using Words = std::vector<std::string_view>;

class Parser {
 public:
  Parser(const std::string& name, std::string& error) : name_(name), error_(error) {}

  bool line(std::string_view raw, int number) {
    line_ = number;
    std::string_view s = raw;
    // A '#' inside a quoted text is part of the text.
    bool quoted = false;
    for (size_t i = 0; i < s.size(); ++i) {
      if (s[i] == '"') quoted = !quoted;
      if (s[i] == '#' && !quoted) {
        s = s.substr(0, i);
        break;
      }
    }
    s = trim(s);
    if (s.empty()) return true;
    Command c{};
    c.line = number;
    const Words w = text::words(s);
    const std::string_view verb = w[0];
    bool ok = false;
    if (verb == "panel")
      ok = path(c, Op::Panel, s, w);
    else if (verb == "load")
      ok = load(c, w);
    else if (verb == "set")
      ok = set(c, w);
    else if (verb == "descend")
      ok = descend(c, w);
    else if (verb == "run")
      ok = run(c, w);
    else if (verb == "click")
      ok = click(c, w);
    else if (verb == "expect")
      ok = expect(c, s, w);
    else if (verb == "snapshot")
      ok = snapshot(c, s, w);
    else if (verb == "print" && w.size() == 2 && w[1] == "link") {
      c.op = Op::PrintLink;
      ok = true;
    } else
      return fail(std::string("unknown command '") + std::string(verb) + "'");
    if (ok) commands_.push_back(std::move(c));
    return ok;
  }

  std::vector<Command> take() { return std::move(commands_); }

 private:
  bool fail(const std::string& what) {
    error_ = name_ + ":" + std::to_string(line_) + ": " + what;
    return false;
  }

  static std::string str(std::string_view s) { return std::string(s); }

  bool point(std::string_view s, int& x, int& y, const char* what) {
    std::string why;
    const auto p = parse_point(s, why);
    if (!p || p->x < -8192 || p->x > 8192 || p->y < -8192 || p->y > 8192)
      return fail(std::string(what) + " wants two whole numbers X,Y, not '" + str(s) + "'");
    x = p->x;
    y = p->y;
    return true;
  }

  bool number(std::string_view s, double& out, const char* what) {
    const auto v = text::to_double(s);
    if (!v) return fail(std::string(what) + " '" + str(s) + "' is not a number");
    out = *v;
    return true;
  }

  bool event(std::string_view s, uint32_t& out) {
    const auto id = event_id(s);
    if (!id)
      return fail(std::string("'") + str(s) + "' is neither a key event id nor an EV_ name the gauges know");
    out = *id;
    return true;
  }

  // The rest of the line after the verb, for a path that may hold blanks.
  bool path(Command& c, Op op, std::string_view s, const Words& w) {
    if (w.size() < 2) return fail(str(w[0]) + " wants a file");
    c.op = op;
    c.path = str(trim(s.substr(w[0].size())));
    return true;
  }

  bool load(Command& c, const Words& w) {
    c.op = Op::Load;
    if (w.size() < 2) return fail("load wants a .gau file: load FILE [at X,Y] [size W,H] [as NAME]");
    c.path = str(w[1]);
    for (size_t i = 2; i < w.size(); i += 2) {
      if (i + 1 >= w.size()) return fail(std::string("load: '") + str(w[i]) + "' wants a value after it");
      if (w[i] == "at") {
        if (!point(w[i + 1], c.x, c.y, "at")) return false;
        c.placed = true;
      } else if (w[i] == "size") {
        if (!point(w[i + 1], c.width, c.height, "size")) return false;
        if (c.width < 1 || c.height < 1) return fail("size wants a width and height of at least 1");
      } else if (w[i] == "as") {
        c.name = str(w[i + 1]);
      } else {
        return fail(std::string("load: unknown word '") + str(w[i]) + "' (at, size or as)");
      }
    }
    return true;
  }

  bool set(Command& c, const Words& w) {
    c.op = Op::Set;
    if (w.size() < 2) return fail("set wants TOKEN=VALUE");
    for (size_t i = 1; i < w.size(); ++i) {
      std::string why;
      const auto v = parse_setting(w[i], why);
      if (!v) return fail(std::string("set '") + str(w[i]) + "': " + why);
      c.settings.push_back(*v);
    }
    return true;
  }

  bool descend(Command& c, const Words& w) {
    c.op = Op::Descend;
    if (w.size() != 2) return fail("descend wants a rate in ft/min");
    if (!number(w[1], c.number, "descend: rate")) return false;
    if (c.number < -20000 || c.number > 20000) return fail("descend: a rate within +-20000 ft/min");
    return true;
  }

  // "N", "N frames", "S s" or "Ss", from word i to the end.
  bool duration(const Words& w, size_t i, Command& c) {
    if (w.size() - i > 2) return fail(std::string("run: unexpected '") + str(w.back()) + "'");
    std::string_view n = w[i];
    std::string_view unit = w.size() - i == 2 ? w[i + 1] : std::string_view();
    if (unit.empty() && n.size() > 1 && n.back() == 's') {
      unit = "s";
      n.remove_suffix(1);
    }
    if (unit == "s") {
      double s = 0;
      if (!number(n, s, "run: seconds")) return false;
      if (s < 0 || s > 86400) return fail("run: seconds from 0 to 86400");
      c.seconds = s;
      return true;
    }
    if (!unit.empty() && unit != "frames" && unit != "frame") return fail("run: the unit is 'frames' or 's'");
    const auto f = text::to_int(n);
    if (!f || *f < 0 || *f > 10000000) return fail(std::string("run: '") + str(n) + "' is not a frame count");
    c.frames = *f;
    return true;
  }

  bool run(Command& c, const Words& w) {
    if (w.size() < 2) return fail("run wants frames ('run 18'), seconds ('run 2 s') or 'until EVENT'");
    if (w[1] != "until") {
      c.op = Op::Run;
      return duration(w, 1, c);
    }
    c.op = Op::RunUntil;
    if (w.size() < 3) return fail("run until wants an event or 'height FT'");
    size_t next = 3;
    if (w[2] == "height") {
      c.op = Op::RunUntilHeight;
      if (w.size() < 4 || !number(w[3], c.number, "run until height: feet"))
        return w.size() < 4 ? fail("run until height wants feet") : false;
      next = 4;
    } else if (!event(w[2], c.event)) {
      return false;
    }
    c.seconds = 60;
    if (w.size() == next) return true;
    if (w[next] != "within" || w.size() < next + 2) return fail("run until ... [within S s]");
    Command limit{};
    if (!duration(w, next + 1, limit)) return false;
    c.seconds = limit.seconds;
    c.frames = limit.frames;
    return true;
  }

  bool click(Command& c, const Words& w) {
    c.op = Op::Click;
    if (w.size() < 3 || w.size() > 4) return fail("click wants a gauge and a point: click NAME X,Y [xN]");
    c.name = str(w[1]);
    if (!point(w[2], c.x, c.y, "click")) return false;
    if (w.size() == 4) {
      const auto n = w[3].size() > 1 && w[3][0] == 'x' ? text::to_int(w[3].substr(1)) : std::nullopt;
      if (!n || *n < 1 || *n > 10000)
        return fail(std::string("click: repeats are written x1 to x10000, not '") + str(w[3]) + "'");
      c.count = *n;
    }
    return true;
  }

  bool element(std::string_view s, int& out) {
    const auto n = text::to_int(s);
    if (!n || *n < 0)
      return fail(std::string("an element is its place in drawing order (0 is the background), not '") +
                  str(s) + "'");
    out = *n;
    return true;
  }

  bool expect(Command& c, std::string_view s, const Words& w) {
    if (w.size() < 2) return fail("expect wants what: event, no event, text, image, var, link or token");
    const std::string_view what = w[1];
    if (what == "event") {
      c.op = Op::ExpectEvent;
      if (w.size() < 3 || w.size() > 4) return fail("expect event EVENT [VALUE]");
      if (!event(w[2], c.event)) return false;
      if (w.size() == 4) {
        const auto v = text::to_int(w[3]);
        const auto u = v ? std::nullopt : text::to_double(w[3]);
        if (v)
          c.value = uint32_t(*v);
        else if (u && *u >= 0 && *u <= 4294967295.0 && *u == double(uint64_t(*u)))
          c.value = uint32_t(uint64_t(*u));
        else
          return fail(std::string("expect event: value '") + str(w[3]) + "' is not a 32-bit whole number");
      }
      return true;
    }
    if (what == "no") {
      c.op = Op::ExpectNoEvent;
      if (w.size() != 4 || w[2] != "event") return fail("expect no event EVENT");
      return event(w[3], c.event);
    }
    if (what == "text") {
      c.op = Op::ExpectText;
      if (w.size() < 5) return fail("expect text NAME ELEMENT \"TEXT\"");
      c.name = str(w[2]);
      if (!element(w[3], c.element)) return false;
      const auto open = s.find('"');
      const auto close = s.rfind('"');
      if (open == std::string_view::npos || close == open || trim(s.substr(close + 1)).size())
        return fail("expect text: the text goes in double quotes, last on the line");
      c.text = str(s.substr(open + 1, close - open - 1));
      return true;
    }
    if (what == "image") {
      c.op = Op::ExpectImage;
      if (w.size() != 5) return fail("expect image NAME ELEMENT INDEX|none");
      c.name = str(w[2]);
      if (!element(w[3], c.element)) return false;
      if (w[4] == "none") {
        c.number = -1;
        return true;
      }
      const auto n = text::to_int(w[4]);
      if (!n || *n < 0)
        return fail(std::string("expect image: '") + str(w[4]) + "' is neither an image index nor 'none'");
      c.number = *n;
      return true;
    }
    if (what == "var" || what == "link" || what == "token") {
      c.op = what == "var" ? Op::ExpectVar : what == "link" ? Op::ExpectLink : Op::ExpectToken;
      if (w.size() != 4) return fail(std::string("expect ") + str(what) + " NAME VALUE");
      c.name = str(w[2]);
      if (c.op == Op::ExpectToken) {
        const auto t = text::to_int(w[2]);
        if (!t || *t < 0) return fail(std::string("expect token: '") + str(w[2]) + "' is not a token id");
        c.token = uint32_t(*t);
      }
      if (c.op == Op::ExpectLink && w[3].size() >= 2 && w[3].front() == '"' && w[3].back() == '"') {
        c.text = str(w[3].substr(1, w[3].size() - 2));
        c.number = -1;
        return true;
      }
      return number(w[3], c.number, "expect: value");
    }
    return fail(std::string("expect what? '") + str(what) +
                "' (event, no event, text, image, var, link or token)");
  }

  bool snapshot(Command& c, std::string_view s, const Words& w) {
    c.op = Op::Snapshot;
    if (w.size() < 2) return fail("snapshot wants a label");
    c.text = str(trim(s.substr(w[0].size())));
    return true;
  }

  const std::string& name_;
  std::string& error_;
  int line_ = 0;
  std::vector<Command> commands_;
};

}  // namespace

std::optional<Scenario> parse_scenario(std::string_view text, const std::string& name, std::string& error) {
  Parser p(name, error);
  if (!text::for_each_line(text, [&](std::string_view line, int number) { return p.line(line, number); }))
    return std::nullopt;
  Scenario s;
  s.name = name;
  s.commands = p.take();
  return s;
}

std::optional<Scenario> read_scenario(const std::string& path, std::string& error) {
  const auto text = text::read_file(path, "scenario", error);
  if (!text) return std::nullopt;
  auto s = parse_scenario(*text, path, error);
  if (s) {
    const auto slash = path.find_last_of("/\\");
    s->dir = slash == std::string::npos ? "." : path.substr(0, slash);
  }
  return s;
}

}  // namespace host
