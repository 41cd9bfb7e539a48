#include "font.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "canvas.h"
#include "ink.h"

namespace {

struct FontCase {
  art::Font font;
  const char* name;
  int height;
};

const FontCase kFonts[] = {{art::Font::regular, "regular", 5}, {art::Font::small, "small", 4}};

TEST(Font, CoversTheCharactersLabelsUse) {
  const std::string needed = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789()/.-";
  for (const FontCase& f : kFonts) {
    EXPECT_EQ(art::font_height(f.font), f.height) << f.name;
    for (char ch : needed)
      EXPECT_NE(art::font_charset(f.font).find(ch), std::string_view::npos) << f.name << " " << ch;
  }
}

// Each glyph draws ink that spans exactly its advertised width (no blank
// edge columns that would throw off centring) and stays within the height.
TEST(Font, EveryGlyphInksItsWholeCell) {
  for (const FontCase& f : kFonts)
    for (char ch : art::font_charset(f.font)) {
      SCOPED_TRACE(std::string(f.name) + " '" + ch + "'");
      art::Canvas c(12, 12);
      const int w = art::draw_text(c, 2, 3, std::string(1, ch), f.font, art::ink::white);
      EXPECT_EQ(w, art::glyph_width(f.font, ch));
      const art_test::Box b = art_test::ink_box(c);
      ASSERT_FALSE(b.empty());
      EXPECT_EQ(b.x0, 2);
      EXPECT_EQ(b.x1, 2 + w - 1);
      EXPECT_GE(b.y0, 3);
      EXPECT_LE(b.y1, 3 + f.height - 1);
    }
}

TEST(Font, TextWidthMatchesInkAtEachScale) {
  struct Case {
    const char* text;
    art::Font font;
    int scale;
  };
  const Case cases[] = {
      {"QNH", art::Font::regular, 1},         {"PUSH RST", art::Font::regular, 1},
      {"IN(2)/4.5-9", art::Font::regular, 1}, {"EXTERIOR LIGHTS", art::Font::regular, 2},
      {"MP FD", art::Font::small, 1},         {"DEC", art::Font::small, 3},
  };
  for (const Case& tc : cases) {
    SCOPED_TRACE(tc.text);
    const int w = art::text_width(tc.text, tc.font, tc.scale);
    art::Canvas c(w + 10, 20);
    EXPECT_EQ(art::draw_text(c, 5, 2, tc.text, tc.font, art::ink::white, tc.scale), w);
    const art_test::Box b = art_test::ink_box(c);
    EXPECT_EQ(b.x0, 5);
    EXPECT_EQ(b.x1, 5 + w - 1);
    EXPECT_LE(b.y1 - b.y0 + 1, art::font_height(tc.font) * tc.scale);
  }
}

TEST(Font, CentringSplitsTheSpareColumns) {
  art::Canvas c(40, 8);
  art::draw_text_centred(c, 10, 30, 1, "TR", art::Font::regular, art::ink::white);  // 7 wide in 21
  const art_test::Box b = art_test::ink_box(c);
  EXPECT_EQ(b.x0, 17);
  EXPECT_EQ(b.x1, 23);
}

TEST(Font, RejectsMissingGlyphsBeforeDrawingAnything) {
  for (const char* text : {"lower", "OK?", "A\tB"}) {
    art::Canvas c(60, 8);
    EXPECT_THROW(art::draw_text(c, 0, 0, text, art::Font::regular, art::ink::white), std::invalid_argument)
        << text;
    EXPECT_TRUE(art_test::ink_box(c).empty()) << text;
  }
}

}  // namespace
