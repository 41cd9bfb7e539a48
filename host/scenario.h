#pragma once
// Scenario files: one command per line, '#' starts a comment. A scenario loads gauges (one by one
// or from a panel configuration), sets simulation values, runs frames, clicks, and checks what
// the gauges did; the whole file is read and checked before anything runs.
//
//   panel FILE                      every gauge of a panel configuration
//   load FILE [at X,Y] [size W,H] [as NAME]
//   set TOKEN=VALUE...              simulation values
//   descend FPM                     the aircraft's rate of descent, ft/min (0 holds the height)
//   run N [frames] | run S s        frames at the frame rate, or seconds
//   run until EVENT [within S s]    frames until the event is sent (60 s at most by default)
//   run until height FT [within S s] frames until the aircraft is lower than FT above the ground
//   click NAME X,Y [xN]             a click at gauge pixels, N times, a frame after each
//   expect event EVENT [VALUE]      sent since the last matched one; EVENT is an id or EV_ name
//   expect no event EVENT           not sent since the last matched one
//   expect text NAME ELEMENT "TEXT" a window's text; ELEMENT is its place in drawing order
//   expect image NAME ELEMENT N|none the image an icon shows (0 is the background)
//   expect var NAME VALUE           a named variable's value
//   expect link FIELD VALUE         a cockpit link field (power, start_flags[i], unit_flags[i],
//                                   vr_request, ar_request, fd_request, slot[i])
//   expect token TOKEN VALUE        a simulation value
//   snapshot LABEL                  a picture of the whole cockpit
//   print link                      the cockpit link record
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/args.h"

namespace host {

enum class Op {
  Panel,
  Load,
  Set,
  Descend,
  Run,
  RunUntil,
  RunUntilHeight,
  Click,
  ExpectEvent,
  ExpectNoEvent,
  ExpectText,
  ExpectImage,
  ExpectVar,
  ExpectLink,
  ExpectToken,
  Snapshot,
  PrintLink,
};

struct Command {
  Op op;
  int line = 0;
  std::string path;  // Panel, Load: as written
  std::string name;  // the gauge (Load: its alias; Click, ExpectText/Image), variable or link field
  std::string text;  // ExpectText: the text; Snapshot: the label
  int x = 0, y = 0, width = 0, height = 0;
  bool placed = false;            // Load: a position was given
  int count = 1;                  // Click: repeats
  int frames = 0;                 // Run; RunUntil: the limit
  double seconds = -1;            // Run, RunUntil: as seconds (converted at the frame rate), else -1
  uint32_t event = 0;             // ExpectEvent, ExpectNoEvent, RunUntil
  std::optional<uint32_t> value;  // ExpectEvent: the value, if given
  int element = 0;                // ExpectText, ExpectImage: index in drawing order
  double number = 0;   // Descend, RunUntilHeight, ExpectImage (-1: none), ExpectVar, ExpectLink, ExpectToken
  uint32_t token = 0;  // ExpectToken
  std::vector<Setting> settings;  // Set
};

struct Scenario {
  std::string name;  // as messages name it
  std::string dir;   // relative paths in it are taken from here
  std::vector<Command> commands;
};

// A key event as scenarios write it: a number, or an EV_ name from the gauges' layout tables.
std::optional<uint32_t> event_id(std::string_view word);
// The EV_ name of an event, or "" where the layout tables give none.
std::string event_label(uint32_t id);

// Parses a scenario. On a malformed line returns nothing and sets error to
// "<name>:<line>: <what is wrong>".
std::optional<Scenario> parse_scenario(std::string_view text, const std::string& name, std::string& error);
std::optional<Scenario> read_scenario(const std::string& path, std::string& error);

}  // namespace host
