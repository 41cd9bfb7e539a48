#include "canvas.h"

#include <algorithm>
#include <stdexcept>

namespace art {

namespace {

Palette make_standard_palette() {
  Palette p{};  // unused slots stay black
  p[ink::black] = {0, 0, 0};
  p[ink::white] = {255, 255, 255};
  p[ink::light_grey] = {204, 204, 204};
  p[ink::grey] = {128, 128, 128};
  p[ink::dark_grey] = {72, 72, 72};
  p[ink::charcoal] = {36, 36, 36};
  p[ink::blue] = {33, 140, 189};
  p[ink::red] = {214, 32, 24};
  p[ink::plate] = {58, 60, 62};
  p[ink::amber] = {240, 160, 16};
  p[ink::green] = {40, 200, 64};
  return p;
}

}  // namespace

const Palette& standard_palette() {
  static const Palette p = make_standard_palette();
  return p;
}

Canvas::Canvas(int width, int height, std::uint8_t fill)
    : width_(width), height_(height), palette_(standard_palette()) {
  if (width <= 0 || height <= 0) throw std::invalid_argument("canvas needs a positive size");
  pixels_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill);
}

void Canvas::set(int x, int y, std::uint8_t index) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) {
    ++clipped_;
    return;
  }
  pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)] =
      index;
}

std::uint8_t Canvas::at(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) throw std::out_of_range("pixel outside canvas");
  return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                 static_cast<std::size_t>(x)];
}

void fill_rect(Canvas& c, Rect r, std::uint8_t index) {
  for (int y = r.y; y < r.y + r.h; ++y)
    for (int x = r.x; x < r.x + r.w; ++x) c.set(x, y, index);
}

void rect_outline(Canvas& c, Rect r, std::uint8_t index) {
  if (r.w <= 0 || r.h <= 0) return;
  const int x1 = r.x + r.w - 1;
  const int y1 = r.y + r.h - 1;
  for (int x = r.x; x <= x1; ++x) {
    c.set(x, r.y, index);
    if (y1 != r.y) c.set(x, y1, index);
  }
  for (int y = r.y + 1; y < y1; ++y) {
    c.set(r.x, y, index);
    if (x1 != r.x) c.set(x1, y, index);
  }
}

void line(Canvas& c, int x0, int y0, int x1, int y1, std::uint8_t index) {
  // Bresenham, all octants.
  const int dx = x1 > x0 ? x1 - x0 : x0 - x1;
  const int dy = y1 > y0 ? y0 - y1 : y1 - y0;
  const int sx = x0 < x1 ? 1 : -1;
  const int sy = y0 < y1 ? 1 : -1;
  int err = dx + dy;
  for (;;) {
    c.set(x0, y0, index);
    if (x0 == x1 && y0 == y1) break;
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x0 += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y0 += sy;
    }
  }
}

void circle(Canvas& c, int cx, int cy, int radius, std::uint8_t index) {
  // Midpoint circle; points plotted twice at the octant seams are harmless.
  int x = radius;
  int y = 0;
  int err = 1 - radius;
  while (x >= y) {
    c.set(cx + x, cy + y, index);
    c.set(cx + y, cy + x, index);
    c.set(cx - y, cy + x, index);
    c.set(cx - x, cy + y, index);
    c.set(cx - x, cy - y, index);
    c.set(cx - y, cy - x, index);
    c.set(cx + y, cy - x, index);
    c.set(cx + x, cy - y, index);
    ++y;
    if (err < 0) {
      err += 2 * y + 1;
    } else {
      --x;
      err += 2 * (y - x) + 1;
    }
  }
}

void fill_circle(Canvas& c, int cx, int cy, int radius, std::uint8_t index) {
  // r*r + r rather than r*r keeps the rim in step with circle()'s outline.
  const int limit = radius * radius + radius;
  for (int dy = -radius; dy <= radius; ++dy)
    for (int dx = -radius; dx <= radius; ++dx)
      if (dx * dx + dy * dy <= limit) c.set(cx + dx, cy + dy, index);
}

void hatch(Canvas& c, Rect r, std::uint8_t a, std::uint8_t b, int period, int band) {
  if (period <= 0) throw std::invalid_argument("hatch period must be positive");
  for (int y = 0; y < r.h; ++y)
    for (int x = 0; x < r.w; ++x) c.set(r.x + x, r.y + y, (x + y) % period < band ? a : b);
}

void arrow(Canvas& c, Rect r, Dir dir, std::uint8_t index) {
  const bool vertical = dir == Dir::up || dir == Dir::down;
  const int length = vertical ? r.h : r.w;
  const int breadth = vertical ? r.w : r.h;
  if (length <= 0 || breadth <= 0) return;

  const int head = (breadth + 1) / 2;
  int shaft = std::max(1, breadth / 3);
  if (shaft % 2 != breadth % 2) ++shaft;  // keeps the shaft centred
  const int shaft_lo = (breadth - shaft) / 2;
  const int shaft_hi = shaft_lo + shaft - 1;

  for (int along = 0; along < length; ++along) {
    int lo = shaft_lo;
    int hi = shaft_hi;
    if (along < head) {
      lo = std::max(0, (breadth - 1) / 2 - along);
      hi = std::min(breadth - 1, breadth / 2 + along);
    }
    for (int across = lo; across <= hi; ++across) {
      switch (dir) {
        case Dir::up: c.set(r.x + across, r.y + along, index); break;
        case Dir::down: c.set(r.x + across, r.y + r.h - 1 - along, index); break;
        case Dir::left: c.set(r.x + along, r.y + across, index); break;
        case Dir::right: c.set(r.x + r.w - 1 - along, r.y + across, index); break;
      }
    }
  }
}

}  // namespace art
