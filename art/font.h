// Our own pixel font: upper-case letters, digits and ( ) / . - in two
// heights. Glyphs are mostly 3 pixels wide; M, W, N and G are wider so they
// stay readable. Letters are separated by one blank column per scale step.
#pragma once

#include <cstdint>
#include <string_view>

#include "canvas.h"

namespace art {

enum class Font {
  regular,  // 5 rows
  small,    // 4 rows, for the cramped labels
};

int font_height(Font font);
// Every character the font can draw (space aside, which has no ink).
std::string_view font_charset(Font font);

// Unscaled width of one glyph; throws std::invalid_argument for characters
// the font lacks, so a typo in a label fails the build instead of a blank.
int glyph_width(Font font, char ch);
int text_width(std::string_view text, Font font, int scale = 1);

// Draws with the top-left of the first glyph at (x, y); returns the width.
int draw_text(Canvas& c, int x, int y, std::string_view text, Font font, std::uint8_t index, int scale = 1);
// Centres the text horizontally between columns x0 and x1 (inclusive).
int draw_text_centred(Canvas& c, int x0, int x1, int y, std::string_view text, Font font, std::uint8_t index,
                      int scale = 1);

}  // namespace art
