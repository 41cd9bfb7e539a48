// Drawing surface for the gauge bitmaps: 8-bit palette indices plus the
// 256-entry palette they index, with the handful of primitives the panels use.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace art {

struct Rgb {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  bool operator==(const Rgb&) const = default;
};

using Palette = std::array<Rgb, 256>;

// Palette slots shared by every panel. Index 0 stays black: the host draws
// black pixels of overlay images as transparent, so "nothing here" is 0.
namespace ink {
inline constexpr std::uint8_t black = 0;
inline constexpr std::uint8_t white = 1;
inline constexpr std::uint8_t light_grey = 2;  // (204,204,204) lettering
inline constexpr std::uint8_t grey = 3;
inline constexpr std::uint8_t dark_grey = 4;
inline constexpr std::uint8_t charcoal = 5;
inline constexpr std::uint8_t blue = 6;  // (33,140,189) gear-down lamp
inline constexpr std::uint8_t red = 7;   // gear-in-transit hatching
inline constexpr std::uint8_t plate = 8;
inline constexpr std::uint8_t amber = 9;
inline constexpr std::uint8_t green = 10;
}  // namespace ink

const Palette& standard_palette();

struct Rect {
  int x = 0;
  int y = 0;
  int w = 0;
  int h = 0;
};

class Canvas {
 public:
  Canvas(int width, int height, std::uint8_t fill = ink::black);

  int width() const { return width_; }
  int height() const { return height_; }

  // Writes outside the image are dropped but counted, so a test can tell
  // a layout that runs off the bitmap from one that fits.
  void set(int x, int y, std::uint8_t index);
  std::uint8_t at(int x, int y) const;  // throws std::out_of_range
  Rgb rgb(int x, int y) const { return palette_[at(x, y)]; }
  int clipped_writes() const { return clipped_; }

  const std::vector<std::uint8_t>& pixels() const { return pixels_; }
  const Palette& palette() const { return palette_; }
  Palette& palette() { return palette_; }

 private:
  int width_;
  int height_;
  std::vector<std::uint8_t> pixels_;
  Palette palette_;
  int clipped_ = 0;
};

enum class Dir { up, down, left, right };

void fill_rect(Canvas& c, Rect r, std::uint8_t index);
void rect_outline(Canvas& c, Rect r, std::uint8_t index);
void line(Canvas& c, int x0, int y0, int x1, int y1, std::uint8_t index);
void circle(Canvas& c, int cx, int cy, int radius, std::uint8_t index);
void fill_circle(Canvas& c, int cx, int cy, int radius, std::uint8_t index);
// Diagonal stripes: `band` pixels of a, then period-band pixels of b.
void hatch(Canvas& c, Rect r, std::uint8_t a, std::uint8_t b, int period, int band);
// Solid arrow filling r, tip on the side named by dir. The head is as long
// as half the arrow's breadth; the shaft is about a third of the breadth.
void arrow(Canvas& c, Rect r, Dir dir, std::uint8_t index);

}  // namespace art
