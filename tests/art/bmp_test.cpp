#include "bmp.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "canvas.h"
#include "ink.h"

namespace {

using art_test::Bytes;
using art_test::le;

// Just enough of a reader to check what a Windows loader would see.
struct Bmp {
  std::uint32_t file_size, reserved, pixel_offset;
  std::uint32_t info_size;
  std::int32_t width, height;
  std::uint32_t planes, bits, compression, image_size, colours_used;
  art::Palette palette;
  std::vector<std::uint8_t> pad_bytes;  // every padding byte, in file order
  std::vector<std::uint8_t> pixels;     // top-down, width*height
};

Bmp parse(const Bytes& b) {
  Bmp m{};
  EXPECT_EQ(b.at(0), 'B');
  EXPECT_EQ(b.at(1), 'M');
  m.file_size = le(b, 2, 4);
  m.reserved = le(b, 6, 4);
  m.pixel_offset = le(b, 10, 4);
  m.info_size = le(b, 14, 4);
  m.width = static_cast<std::int32_t>(le(b, 18, 4));
  m.height = static_cast<std::int32_t>(le(b, 22, 4));
  m.planes = le(b, 26, 2);
  m.bits = le(b, 28, 2);
  m.compression = le(b, 30, 4);
  m.image_size = le(b, 34, 4);
  m.colours_used = le(b, 46, 4);
  for (std::size_t i = 0; i < 256; ++i) {
    const std::size_t at = 14 + m.info_size + 4 * i;
    m.palette[i] = {b.at(at + 2), b.at(at + 1), b.at(at)};
    EXPECT_EQ(b.at(at + 3), 0) << "RGBQUAD reserved byte " << i;
  }
  const int w = m.width;
  const int h = m.height;
  const std::size_t stride = (static_cast<std::size_t>(w) + 3) / 4 * 4;
  m.pixels.resize(static_cast<std::size_t>(w * h));
  for (int row = 0; row < h; ++row) {
    const std::size_t at = m.pixel_offset + static_cast<std::size_t>(row) * stride;
    const int y = h - 1 - row;  // bottom-up
    for (int x = 0; x < w; ++x)
      m.pixels[static_cast<std::size_t>(y * w + x)] = b.at(at + static_cast<std::size_t>(x));
    for (std::size_t x = static_cast<std::size_t>(w); x < stride; ++x) m.pad_bytes.push_back(b.at(at + x));
  }
  return m;
}

// A pattern that differs between rows and columns and contains 0x0a, which a
// text-mode stream on Windows would mangle.
art::Canvas pattern(int w, int h) {
  art::Canvas c(w, h);
  for (std::size_t i = 0; i < 256; ++i)
    c.palette()[i] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                      static_cast<std::uint8_t>(i * 7)};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) c.set(x, y, static_cast<std::uint8_t>(10 + x * 3 + y * 29));
  return c;
}

struct Size {
  int w, h;
};

void PrintTo(const Size& s, std::ostream* os) { *os << s.w << "x" << s.h; }

class BmpSizes : public ::testing::TestWithParam<Size> {};

TEST_P(BmpSizes, RoundTripsHeaderPaletteAndRows) {
  const auto [w, h] = GetParam();
  const art::Canvas c = pattern(w, h);
  const Bytes bytes = art::encode_bmp(c);
  const Bmp m = parse(bytes);

  const std::uint32_t stride = (static_cast<std::uint32_t>(w) + 3) / 4 * 4;
  EXPECT_EQ(m.file_size, bytes.size());
  EXPECT_EQ(m.reserved, 0u);
  EXPECT_EQ(m.pixel_offset, 14u + 40u + 1024u);
  EXPECT_EQ(m.info_size, 40u);
  EXPECT_EQ(m.width, w);
  EXPECT_EQ(m.height, h);  // positive: bottom-up
  EXPECT_EQ(m.planes, 1u);
  EXPECT_EQ(m.bits, 8u);
  EXPECT_EQ(m.compression, 0u);
  EXPECT_EQ(m.image_size, stride * static_cast<std::uint32_t>(h));
  EXPECT_EQ(bytes.size(), m.pixel_offset + m.image_size);
  EXPECT_EQ(m.colours_used, 256u);
  EXPECT_EQ(m.palette, c.palette());
  EXPECT_EQ(m.pixels, c.pixels());
  EXPECT_EQ(m.pad_bytes.size(), (stride - static_cast<std::uint32_t>(w)) * static_cast<std::uint32_t>(h));
  for (std::uint8_t pad : m.pad_bytes) EXPECT_EQ(pad, 0);
}

// 25 and 35 are the odd light and switch widths; 1..4 cover every padding amount.
INSTANTIATE_TEST_SUITE_P(Widths, BmpSizes,
                         ::testing::Values(Size{1, 1}, Size{2, 3}, Size{3, 2}, Size{4, 2}, Size{5, 4},
                                           Size{25, 8}, Size{35, 21}, Size{34, 21}),
                         [](const ::testing::TestParamInfo<Size>& info) {
                           return std::to_string(info.param.w) + "x" + std::to_string(info.param.h);
                         });

TEST(BmpFile, WritesExactlyTheEncodedBytes) {
  const art::Canvas c = pattern(35, 21);
  const auto path = std::filesystem::temp_directory_path() / "art_bmp_test.bmp";
  art::write_bmp(path.string(), c);
  std::ifstream f(path, std::ios::binary);
  const Bytes read((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  f.close();
  std::filesystem::remove(path);
  EXPECT_EQ(read, art::encode_bmp(c));
}

TEST(BmpFile, ReportsAnUnwritablePath) {
  const auto path = std::filesystem::temp_directory_path() / "no_such_dir_for_art" / "x.bmp";
  EXPECT_THROW(art::write_bmp(path.string(), art::Canvas(2, 2)), std::runtime_error);
}

}  // namespace
