// Radio panel lettering: grey legends on black, nothing else. The gauge
// draws the displays and knobs over it.
#include <utility>

#include "font.h"
#include "navs/layout.h"
#include "panels.h"

namespace art {

namespace {

constexpr std::uint8_t kInk = ink::light_grey;

// Tall "( )" between two words: the selector knob's pointer sits in the gap.
constexpr const char* kParen[] = {"..#", ".#.", ".#.", "#..", "#..", "#..", "#..", ".#.", ".#.", "..#"};
constexpr int kParenW = 3;
constexpr int kParenH = 10;
constexpr int kWordGap = 2;
constexpr int kInside = 8;

void paren(Canvas& c, int x, int y, bool closing) {
  for (int row = 0; row < kParenH; ++row)
    for (int col = 0; col < kParenW; ++col)
      if (kParen[row][closing ? kParenW - 1 - col : col] == '#') c.set(x + col, y + row, kInk);
}

int selector_width(const char* left, const char* right) {
  return text_width(left, Font::regular) + 2 * (kWordGap + kParenW) + kInside +
         text_width(right, Font::regular);
}

void selector(Canvas& c, int x, int y, const char* left, const char* right) {
  const int text_y = y + (kParenH - font_height(Font::regular)) / 2;
  x += draw_text(c, x, text_y, left, Font::regular, kInk) + kWordGap;
  paren(c, x, y, false);
  x += kParenW + kInside;
  paren(c, x, y, true);
  x += kParenW + kWordGap;
  draw_text(c, x, text_y, right, Font::regular, kInk);
}

void label(Canvas& c, int x0, int x1, int y, const char* text, Font font = Font::regular) {
  draw_text_centred(c, x0, x1, y, text, font, kInk);
}

void left_column(Canvas& c) {
  constexpr int x0 = 2;  // the column's legends centre on x 2..38
  constexpr int x1 = 38;
  selector(c, x0 + (x1 - x0 + 1 - selector_width("IN", "HP")) / 2, 0, "IN", "HP");
  label(c, x0, x1, 16, "BAROSET");
  label(c, 2, 10, 23, "QFE");
  label(c, 28, 38, 23, "QNH");
  label(c, x0, x1, 42, "PULL STD");
  label(c, x0, x1, 54, "MINIMUMS");
  label(c, 2, 8, 61, "RA");
  label(c, 28, 38, 61, "BAR");
  label(c, x0, x1, 80, "PUSH RST");
}

void middle_column(Canvas& c) {
  const char* const names[] = {"TR", "DA", "PT", "VR", "AR"};
  int y = 13;
  for (const char* name : names) {
    label(c, 47, 53, y, name);
    y += 16;
  }
  // "]" grouping the five, with a tick pointing across at the course side.
  line(c, 60, 7, 68, 7, kInk);
  line(c, 60, 86, 68, 86, kInk);
  line(c, 68, 7, 68, 86, kInk);
  line(c, 69, 28, 76, 28, kInk);
}

void right_column(Canvas& c) {
  selector(c, 81, 0, "MAG", "TRU");
  label(c, 84, 91, 18, "MP", Font::small);
  label(c, 114, 120, 18, "FD", Font::small);
  label(c, 85, 91, 35, "PL", Font::small);
  label(c, 115, 121, 35, "AP", Font::small);
  label(c, 99, 112, 51, "CRS");
  for (auto [y, text] : {std::pair{62, "INC"}, std::pair{78, "DEC"}}) {
    arrow(c, {78, y, 8, 4}, Dir::left, kInk);
    label(c, 86, 126, y, text, Font::small);
    arrow(c, {127, y, 8, 4}, Dir::right, kInk);
  }
}

void navs(Canvas& c) {
  left_column(c);
  middle_column(c);
  right_column(c);
}

constexpr BitmapDef kBitmaps[] = {
    {navs::layout::kPanelBitmap, navs::layout::kPanelWidth, navs::layout::kPanelHeight, navs},
};

}  // namespace

std::span<const BitmapDef> navs_bitmaps() { return kBitmaps; }

}  // namespace art
