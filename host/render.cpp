// Draws a gauge as the host shows it: the top-level bitmap, then the tree in order.
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "host/host.h"
#include "host/module.h"

#include "host/font.h"

namespace host {
namespace {

// Colour words are Windows COLORREFs: 0x00BBGGRR.
Rgb colour(uint32_t c) { return Rgb{uint8_t(c & 0xFF), uint8_t(c >> 8 & 0xFF), uint8_t(c >> 16 & 0xFF)}; }

Rgb mix(Rgb a, Rgb b, int alpha) {
  auto m = [alpha](uint8_t x, uint8_t y) { return uint8_t((x * (255 - alpha) + y * alpha) / 255); };
  return Rgb{m(a.r, b.r), m(a.g, b.g), m(a.b, b.b)};
}

// How bright an unlit element is in the night view.
constexpr int kNightDim = 80;

void blit(Image& dst, const Image& src, int x0, int y0, bool black_transparent, bool dim) {
  for (int y = 0; y < src.height; ++y)
    for (int x = 0; x < src.width; ++x) {
      const Rgb p = src.at(x, y);
      if (black_transparent && p == Rgb{0, 0, 0}) continue;
      if (dst.contains(x0 + x, y0 + y)) dst.at(x0 + x, y0 + y) = dim ? mix(Rgb{0, 0, 0}, p, kNightDim) : p;
    }
}

void draw_window(Image& dst, const frame::StringElement& s, const std::string& text) {
  const int x0 = s.header.x, y0 = s.header.y, w = int(s.width), h = int(s.height);
  const Rgb bg = colour(s.background_colour), fg = colour(s.text_colour);
  for (int y = y0; y < y0 + h; ++y)
    for (int x = x0; x < x0 + w; ++x)
      if (dst.contains(x, y)) dst.at(x, y) = bg;
  const TrueTypeFont& f = window_font();
  if (!f.ok || text.empty()) return;
  const float scale = stbtt_ScaleForPixelHeight(&f.info, float(h));
  int ascent = 0, descent = 0, gap = 0;
  stbtt_GetFontVMetrics(&f.info, &ascent, &descent, &gap);
  int advance = 0, lsb = 0;
  stbtt_GetCodepointHMetrics(&f.info, 'M', &advance, &lsb);
  const float cell = float(advance) * scale;  // monospace
  const float text_w = cell * float(text.size());
  float pen = float(x0) + (float(w) - text_w) / 2.0f;
  const int baseline =
      y0 + int(std::lround((float(h) - float(ascent - descent) * scale) / 2.0f + float(ascent) * scale));
  for (char ch : text) {
    int bw = 0, bh = 0, xo = 0, yo = 0;
    unsigned char* glyph = stbtt_GetCodepointBitmapSubpixel(&f.info, scale, scale, pen - std::floor(pen),
                                                            0.0f, (unsigned char)ch, &bw, &bh, &xo, &yo);
    for (int gy = 0; gy < bh; ++gy)
      for (int gx = 0; gx < bw; ++gx) {
        const int px = int(std::floor(pen)) + xo + gx, py = baseline + yo + gy;
        const int a = glyph[gy * bw + gx];
        // Clipped to the window's box, as the host's text drawing is.
        if (a && px >= x0 && px < x0 + w && py >= y0 && py < y0 + h && dst.contains(px, py))
          dst.at(px, py) = mix(dst.at(px, py), fg, a);
      }
    stbtt_FreeBitmap(glyph, nullptr);
    pen += cell;
  }
}

}  // namespace

Image Host::render(const Gauge& g, bool night) const {
  Image out;
  std::string why;
  return render(g, night, out, why) ? out : Image{};
}

bool Host::render(const Gauge& g, bool night, Image& out, std::string& why) const {
  frame::ElementHeader* top = g.top();
  if (!top) {
    why = g.name() + " is not loaded";
    return false;
  }
  // Decoded once per module and kept, not read from disk at every render.
  auto bitmap = [&](int id) -> const Image* {
    const Image* img = g.module().cached_bitmap(id);
    if (!img)
      why = g.name() + ": bitmap " + std::to_string(id) + " not found (looked for " +
            g.module().bitmap_place(id) + ")";
    return img;
  };
  const Image* background = bitmap(top->bitmap_id);
  if (!background) return false;
  out = Image(background->width, background->height);
  for (frame::ElementHeader* e : g.elements()) {
    const uint32_t flags = g.applied_flags(e);
    if (flags & frame::kImageHidden) continue;
    const bool transparent = flags & frame::kImageTransparent;
    const bool dim = night && !(flags & frame::kImageLit);
    if (e->type == frame::kStaticImage) {
      const Image* img = bitmap(e->bitmap_id);
      if (!img) return false;
      blit(out, *img, e->x, e->y, transparent, dim);
    } else if (e->type == frame::kIcon) {
      auto* icon = reinterpret_cast<frame::IconElement*>(e);
      auto index = g.icon_result(e);
      if (!index || !(*index >= 0.0) || *index >= double(icon->image_count)) continue;
      const int i = int(std::trunc(*index));  // a fractional result is cut
      const Image* img = bitmap(e->bitmap_id + 3 * i);
      if (!img) return false;
      blit(out, *img, e->x, e->y, transparent, dim);
    } else if (e->type == frame::kStringWindow) {
      draw_window(out, *reinterpret_cast<frame::StringElement*>(e), g.window_text(e));
    }
  }
  return true;
}

}  // namespace host
