#pragma once
// A panel configuration in the simulator's own format (panel.cfg): [WindowNN] sections holding
// gauge lines, either "gaugeNN=file!gauge, x, y[, w, h]" or the short "gaugeNN=file, x, y";
// "//" starts a comment; [Window Titles] names the windows; every other key and section is
// carried by the simulator for its own use and ignored here.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace host {

struct PanelGauge {
  std::string key;    // "gauge00"
  std::string file;   // module file as written, without ".gau" ("j4gear")
  std::string gauge;  // the gauge name after '!', empty in the short form
  int x = 0, y = 0;
  int width = 0, height = 0;  // 0: the gauge's own size (a width alone keeps its proportions)
  int line = 0;               // where it stands in the file
};

struct PanelWindow {
  std::string section;        // "Window00"
  std::string title;          // from [Window Titles], else the section name
  int width = 0, height = 0;  // size_mm: the window's drawing area; 0 if not given
  std::vector<PanelGauge> gauges;
};

struct PanelConfig {
  std::string name;  // the file, as messages name it
  std::vector<PanelWindow> windows;
};

// Parses the text of a panel configuration. On a malformed line returns nothing and sets error
// to "<name>:<line>: <what is wrong>".
std::optional<PanelConfig> parse_panel_config(std::string_view text, const std::string& name,
                                              std::string& error);
// The same from a file; error names the file when it cannot be read.
std::optional<PanelConfig> read_panel_config(const std::string& path, std::string& error);

}  // namespace host
