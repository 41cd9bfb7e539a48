#include "font.h"

#include <array>
#include <stdexcept>
#include <string>

namespace art {

namespace {

struct Glyph {
  char ch;
  std::array<const char*, 5> rows;  // '#' is ink; the small font leaves rows[4] empty
};

constexpr Glyph kRegular[] = {
    {'A', {".#.", "#.#", "###", "#.#", "#.#"}},
    {'B', {"##.", "#.#", "##.", "#.#", "##."}},
    {'C', {".##", "#..", "#..", "#..", ".##"}},
    {'D', {"##.", "#.#", "#.#", "#.#", "##."}},
    {'E', {"###", "#..", "##.", "#..", "###"}},
    {'F', {"###", "#..", "##.", "#..", "#.."}},
    {'G', {".###", "#...", "#.##", "#..#", ".###"}},
    {'H', {"#.#", "#.#", "###", "#.#", "#.#"}},
    {'I', {"###", ".#.", ".#.", ".#.", "###"}},
    {'J', {"..#", "..#", "..#", "#.#", ".#."}},
    {'K', {"#.#", "#.#", "##.", "#.#", "#.#"}},
    {'L', {"#..", "#..", "#..", "#..", "###"}},
    {'M', {"#...#", "##.##", "#.#.#", "#...#", "#...#"}},
    {'N', {"#..#", "##.#", "#.##", "#..#", "#..#"}},
    {'O', {".#.", "#.#", "#.#", "#.#", ".#."}},
    {'P', {"##.", "#.#", "##.", "#..", "#.."}},
    {'Q', {".#.", "#.#", "#.#", "#.#", ".##"}},
    {'R', {"##.", "#.#", "##.", "#.#", "#.#"}},
    {'S', {".##", "#..", ".#.", "..#", "##."}},
    {'T', {"###", ".#.", ".#.", ".#.", ".#."}},
    {'U', {"#.#", "#.#", "#.#", "#.#", "###"}},
    {'V', {"#.#", "#.#", "#.#", "#.#", ".#."}},
    {'W', {"#...#", "#...#", "#.#.#", "##.##", "#...#"}},
    {'X', {"#.#", "#.#", ".#.", "#.#", "#.#"}},
    {'Y', {"#.#", "#.#", ".#.", ".#.", ".#."}},
    {'Z', {"###", "..#", ".#.", "#..", "###"}},
    {'0', {"###", "#.#", "#.#", "#.#", "###"}},
    {'1', {".#.", "##.", ".#.", ".#.", "###"}},
    {'2', {"##.", "..#", ".#.", "#..", "###"}},
    {'3', {"##.", "..#", ".#.", "..#", "##."}},
    {'4', {"#.#", "#.#", "###", "..#", "..#"}},
    {'5', {"###", "#..", "##.", "..#", "##."}},
    {'6', {".##", "#..", "###", "#.#", "###"}},
    {'7', {"###", "..#", ".#.", ".#.", ".#."}},
    {'8', {"###", "#.#", "###", "#.#", "###"}},
    {'9', {"###", "#.#", "###", "..#", "##."}},
    {'(', {".#", "#.", "#.", "#.", ".#"}},
    {')', {"#.", ".#", ".#", ".#", "#."}},
    {'/', {"..#", "..#", ".#.", "#..", "#.."}},
    {'.', {".", ".", ".", ".", "#"}},
    {'-', {"...", "...", "###", "...", "..."}},
    {' ', {"..", "..", "..", "..", ".."}},
};

constexpr Glyph kSmall[] = {
    {'A', {".#.", "#.#", "###", "#.#", ""}},
    {'B', {"##.", "###", "#.#", "###", ""}},
    {'C', {".##", "#..", "#..", ".##", ""}},
    {'D', {"##.", "#.#", "#.#", "##.", ""}},
    {'E', {"###", "##.", "#..", "###", ""}},
    {'F', {"###", "#..", "##.", "#..", ""}},
    {'G', {".###", "#...", "#.##", ".###", ""}},
    {'H', {"#.#", "###", "#.#", "#.#", ""}},
    {'I', {"###", ".#.", ".#.", "###", ""}},
    {'J', {"..#", "..#", "#.#", ".#.", ""}},
    {'K', {"#.#", "##.", "#.#", "#.#", ""}},
    {'L', {"#..", "#..", "#..", "###", ""}},
    {'M', {"#...#", "##.##", "#.#.#", "#...#", ""}},
    {'N', {"#..#", "##.#", "#.##", "#..#", ""}},
    {'O', {".#.", "#.#", "#.#", ".#.", ""}},
    {'P', {"##.", "#.#", "##.", "#..", ""}},
    {'Q', {".#.", "#.#", "#.#", ".##", ""}},
    {'R', {"##.", "#.#", "##.", "#.#", ""}},
    {'S', {".##", "#..", "..#", "##.", ""}},
    {'T', {"###", ".#.", ".#.", ".#.", ""}},
    {'U', {"#.#", "#.#", "#.#", "###", ""}},
    {'V', {"#.#", "#.#", "#.#", ".#.", ""}},
    {'W', {"#...#", "#.#.#", "##.##", "#...#", ""}},
    {'X', {"#.#", ".#.", ".#.", "#.#", ""}},
    {'Y', {"#.#", "#.#", ".#.", ".#.", ""}},
    {'Z', {"###", "..#", "#..", "###", ""}},
    {'0', {"###", "#.#", "#.#", "###", ""}},
    {'1', {"##.", ".#.", ".#.", "###", ""}},
    {'2', {"##.", "..#", ".#.", "###", ""}},
    {'3', {"###", ".##", "..#", "###", ""}},
    {'4', {"#.#", "#.#", "###", "..#", ""}},
    {'5', {"###", "##.", "..#", "##.", ""}},
    {'6', {"#..", "###", "#.#", "###", ""}},
    {'7', {"###", "..#", ".#.", ".#.", ""}},
    {'8', {"###", ".#.", "#.#", "###", ""}},
    {'9', {"###", "#.#", "###", "..#", ""}},
    {'(', {".#", "#.", "#.", ".#", ""}},
    {')', {"#.", ".#", ".#", "#.", ""}},
    {'/', {"..#", ".#.", ".#.", "#..", ""}},
    {'.', {".", ".", ".", "#", ""}},
    {'-', {"...", "###", "...", "...", ""}},
    {' ', {"..", "..", "..", "..", ""}},
};

constexpr int length(const char* s) {
  int n = 0;
  while (s[n] != '\0') ++n;
  return n;
}

// Every row of a glyph must be as wide as its first, and the rows below the
// font's height must be empty, or drawing would read past a row's end.
template <std::size_t N>
constexpr bool well_formed(const Glyph (&glyphs)[N], int height) {
  for (const Glyph& g : glyphs) {
    const int w = length(g.rows[0]);
    if (w == 0) return false;
    for (int row = 0; row < 5; ++row) {
      const int expect = row < height ? w : 0;
      if (length(g.rows[static_cast<std::size_t>(row)]) != expect) return false;
    }
  }
  return true;
}
static_assert(well_formed(kRegular, 5));
static_assert(well_formed(kSmall, 4));

struct Face {
  const Glyph* begin;
  const Glyph* end;
  int height;
};

Face face(Font font) {
  if (font == Font::small) return {std::begin(kSmall), std::end(kSmall), 4};
  return {std::begin(kRegular), std::end(kRegular), 5};
}

const Glyph& glyph(Font font, char ch) {
  const Face f = face(font);
  for (const Glyph* g = f.begin; g != f.end; ++g)
    if (g->ch == ch) return *g;
  throw std::invalid_argument(std::string("font has no glyph for '") + ch + "'");
}

std::string make_charset(Font font) {
  std::string s;
  const Face f = face(font);
  for (const Glyph* g = f.begin; g != f.end; ++g)
    if (g->ch != ' ') s += g->ch;
  return s;
}

}  // namespace

int font_height(Font font) { return face(font).height; }

std::string_view font_charset(Font font) {
  static const std::string regular = make_charset(Font::regular);
  static const std::string small = make_charset(Font::small);
  return font == Font::small ? small : regular;
}

int glyph_width(Font font, char ch) { return length(glyph(font, ch).rows[0]); }

int text_width(std::string_view text, Font font, int scale) {
  if (text.empty()) return 0;
  int w = 0;
  for (char ch : text) w += glyph_width(font, ch) + 1;
  return (w - 1) * scale;
}

int draw_text(Canvas& c, int x, int y, std::string_view text, Font font, std::uint8_t index, int scale) {
  const int width = text_width(text, font, scale);  // rejects unknown characters before any ink
  const int height = font_height(font);
  int pen = x;
  for (char ch : text) {
    const Glyph& g = glyph(font, ch);
    const int w = length(g.rows[0]);
    for (int row = 0; row < height; ++row)
      for (int col = 0; col < w; ++col)
        if (g.rows[static_cast<std::size_t>(row)][col] == '#')
          fill_rect(c, {pen + col * scale, y + row * scale, scale, scale}, index);
    pen += (w + 1) * scale;
  }
  return width;
}

int draw_text_centred(Canvas& c, int x0, int x1, int y, std::string_view text, Font font, std::uint8_t index,
                      int scale) {
  const int w = text_width(text, font, scale);
  return draw_text(c, x0 + (x1 - x0 + 1 - w) / 2, y, text, font, index, scale);
}

}  // namespace art
