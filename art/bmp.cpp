#include "bmp.h"

#include "file.h"

namespace art {

std::vector<std::uint8_t> encode_bmp(const Canvas& c) {
  constexpr std::uint32_t file_header = 14;
  constexpr std::uint32_t info_header = 40;
  constexpr std::uint32_t palette_bytes = 256 * 4;
  constexpr std::uint32_t pixel_offset = file_header + info_header + palette_bytes;

  const auto width = static_cast<std::uint32_t>(c.width());
  const auto height = static_cast<std::uint32_t>(c.height());
  const std::uint32_t stride = (width + 3) & ~3u;
  const std::uint32_t image_bytes = stride * height;

  std::vector<std::uint8_t> out;
  out.reserve(pixel_offset + image_bytes);

  out.push_back('B');
  out.push_back('M');
  put_le32(out, pixel_offset + image_bytes);
  put_le32(out, 0);  // two reserved words
  put_le32(out, pixel_offset);

  put_le32(out, info_header);
  put_le32(out, width);
  put_le32(out, height);  // positive: rows stored bottom-up
  put_le16(out, 1);       // planes
  put_le16(out, 8);       // bits per pixel
  put_le32(out, 0);       // BI_RGB
  put_le32(out, image_bytes);
  put_le32(out, 2835);  // 72 dpi, in pixels per metre
  put_le32(out, 2835);
  put_le32(out, 256);  // colours used
  put_le32(out, 0);    // all colours important

  for (const Rgb& rgb : c.palette()) {
    out.push_back(rgb.b);
    out.push_back(rgb.g);
    out.push_back(rgb.r);
    out.push_back(0);
  }

  for (int y = c.height() - 1; y >= 0; --y) {
    for (int x = 0; x < c.width(); ++x) out.push_back(c.at(x, y));
    for (std::uint32_t pad = width; pad < stride; ++pad) out.push_back(0);
  }
  return out;
}

void write_bmp(const std::string& path, const Canvas& c) { write_file(path, encode_bmp(c)); }

}  // namespace art
