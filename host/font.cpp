#include "host/font.h"

#include <fstream>
#include <iterator>

namespace host {
namespace {

#if defined(_WIN32)
constexpr const char* kFontFolder = "Z:/usr/share/fonts/truetype/liberation/";
#else
constexpr const char* kFontFolder = "/usr/share/fonts/truetype/liberation/";
#endif

TrueTypeFont load(const char* file) {
  TrueTypeFont f;
  std::ifstream in(std::string(kFontFolder) + file, std::ios::binary);
  f.data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  f.ok = !f.data.empty() &&
         stbtt_InitFont(&f.info, f.data.data(), stbtt_GetFontOffsetForIndex(f.data.data(), 0));
  return f;
}

}  // namespace

const TrueTypeFont& window_font() {
  static const TrueTypeFont f = load("LiberationMono-Regular.ttf");
  return f;
}

const TrueTypeFont& label_font() {
  static const TrueTypeFont f = load("LiberationSans-Bold.ttf");
  return f;
}

}  // namespace host
