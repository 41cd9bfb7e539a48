#include "host/image.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "host/stb.h"

namespace host {
namespace {

uint32_t u32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }
uint16_t u16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

}  // namespace

DibInfo dib_info(const uint8_t* data, size_t size) {
  DibInfo info;
  if (size < 40 || u32(data) < 40) return info;
  info.width = int(u32(data + 4));
  const int32_t h = int32_t(u32(data + 8));
  info.height = h < 0 ? -h : h;
  info.bits = u16(data + 14);
  info.colours_used = int(u32(data + 32));
  if (info.colours_used == 0 && info.bits <= 8) info.colours_used = 1 << info.bits;
  return info;
}

Image decode_dib(const uint8_t* data, size_t size) {
  const DibInfo info = dib_info(data, size);
  if (info.bits != 8 || info.width <= 0 || info.height <= 0 || info.width > 8192 || info.height > 8192 ||
      info.colours_used > 256 || u32(data + 16) != 0 /* BI_RGB */)
    return {};
  const size_t header = u32(data);
  const size_t palette_bytes = size_t(info.colours_used) * 4;
  const size_t stride = (size_t(info.width) + 3) & ~size_t(3);
  if (header + palette_bytes + stride * info.height > size) return {};
  const uint8_t* palette = data + header;
  const uint8_t* rows = palette + palette_bytes;
  const bool bottom_up = int32_t(u32(data + 8)) > 0;
  Image img(info.width, info.height);
  for (int y = 0; y < info.height; ++y) {
    const uint8_t* row = rows + stride * size_t(bottom_up ? info.height - 1 - y : y);
    for (int x = 0; x < info.width; ++x) {
      const uint8_t i = row[x];
      if (i >= info.colours_used) return {};
      const uint8_t* q = palette + 4 * i;  // RGBQUAD: blue, green, red, reserved
      img.at(x, y) = Rgb{q[2], q[1], q[0]};
    }
  }
  return img;
}

Image decode_bmp_file(const std::vector<uint8_t>& bytes) {
  if (bytes.size() < 14 || bytes[0] != 'B' || bytes[1] != 'M') return {};
  return decode_dib(bytes.data() + 14, bytes.size() - 14);
}

Image scaled(const Image& img, int factor) {
  if (factor <= 1) return img;
  Image out(img.width * factor, img.height * factor);
  for (int y = 0; y < out.height; ++y)
    for (int x = 0; x < out.width; ++x) out.at(x, y) = img.at(x / factor, y / factor);
  return out;
}

bool write_png(const Image& img, const std::string& path) {
  std::string why;
  return write_png(img, path, why);
}

bool write_png(const Image& img, const std::string& path, std::string& why) {
  if (img.width <= 0 || img.height <= 0) {
    why = "nothing to write (an empty image)";
    return false;
  }
  static_assert(sizeof(Rgb) == 3);
  std::vector<unsigned char> png;
  auto append = [](void* context, void* data, int size) {
    auto* out = static_cast<std::vector<unsigned char>*>(context);
    out->insert(out->end(), static_cast<unsigned char*>(data), static_cast<unsigned char*>(data) + size);
  };
  if (!stbi_write_png_to_func(append, &png, img.width, img.height, 3, img.pixels.data(), img.width * 3)) {
    why = "cannot encode the PNG";
    return false;
  }
  // Every step checked, the close too: a full disk shows only when the buffer is flushed.
  errno = 0;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) {
    why = std::strerror(errno ? errno : EIO);
    return false;
  }
  bool ok = std::fwrite(png.data(), 1, png.size(), f) == png.size() && std::fflush(f) == 0;
  int err = ok ? 0 : errno;
  if (std::fclose(f) != 0 && ok) {
    ok = false;
    err = errno;
  }
  if (!ok) why = std::strerror(err ? err : EIO);
  return ok;
}

}  // namespace host
