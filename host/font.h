#pragma once
// TrueType faces from Debian's Liberation fonts, each read from disk once per process.
#include <vector>

#include "host/stb.h"

namespace host {

struct TrueTypeFont {
  std::vector<unsigned char> data;
  stbtt_fontinfo info{};
  bool ok = false;  // false where the font file is missing: text is then left out
};

// Liberation Mono, the metric twin of the windows' "Courier New".
const TrueTypeFont& window_font();
// Liberation Sans Bold, for labels on the contact sheet.
const TrueTypeFont& label_font();

}  // namespace host
