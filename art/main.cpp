// artgen <panel> <outdir>: draws every bitmap of a panel as <id>.bmp and
// writes bitmaps.rc listing them for windres.
// artgen sounds <outdir>: writes the cockpit folder's sound files below outdir.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "bmp.h"
#include "file.h"
#include "panels.h"
#include "sounds.h"
#include "wav.h"

namespace {

int usage(const char* why) {
  std::fprintf(stderr, "artgen: %s\nusage: artgen <panel> <outdir> | artgen sounds <outdir>\npanels:", why);
  for (const art::Panel& p : art::all_panels())
    std::fprintf(stderr, " %.*s", static_cast<int>(p.name.size()), p.name.data());
  std::fprintf(stderr, "\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return usage("expected two arguments");
  if (std::string(argv[1]) == "sounds") {
    try {
      for (const art::SoundDef& s : art::cockpit_sounds()) {
        const std::filesystem::path file = std::filesystem::path(argv[2]) / s.path;
        std::filesystem::create_directories(file.parent_path());
        art::write_wav(file.string(), s.make(), art::kSoundRate);
      }
    } catch (const std::exception& e) {
      std::fprintf(stderr, "artgen: %s\n", e.what());
      return 1;
    }
    return 0;
  }
  const art::Panel* panel = art::find_panel(argv[1]);
  if (panel == nullptr) return usage((std::string("unknown panel '") + argv[1] + "'").c_str());

  try {
    const std::filesystem::path outdir = argv[2];
    std::filesystem::create_directories(outdir);
    std::string rc;
    for (const art::BitmapDef& def : panel->bitmaps) {
      const std::string name = std::to_string(def.id) + ".bmp";
      art::write_bmp((outdir / name).string(), art::render(def));
      rc += std::to_string(def.id) + " BITMAP \"" + name + "\"\n";
    }
    art::write_file((outdir / "bitmaps.rc").string(), std::vector<std::uint8_t>(rc.begin(), rc.end()));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "artgen: %s\n", e.what());
    return 1;
  }
  return 0;
}
