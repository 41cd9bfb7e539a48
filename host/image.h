#pragma once
// RGB images: decoded module bitmaps and rendered panels.
#include <cstdint>
#include <string>
#include <vector>

namespace host {

struct Rgb {
  uint8_t r, g, b;
  bool operator==(const Rgb&) const = default;
};

struct Image {
  int width = 0;
  int height = 0;
  std::vector<Rgb> pixels;  // row-major, top row first

  Image() = default;
  Image(int w, int h, Rgb fill = {0, 0, 0}) : width(w), height(h), pixels(size_t(w) * h, fill) {}
  Rgb at(int x, int y) const { return pixels[size_t(y) * width + x]; }
  Rgb& at(int x, int y) { return pixels[size_t(y) * width + x]; }
  bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

// Decodes a Windows device-independent bitmap (BITMAPINFOHEADER, palette, rows), as a resource
// holds it, or a .bmp file (the same behind a 14-byte file header). 8 bits per pixel with a
// palette, rows bottom-up or top-down. Returns an empty image for anything else.
Image decode_dib(const uint8_t* data, size_t size);
Image decode_bmp_file(const std::vector<uint8_t>& bytes);

// Bits per pixel and palette size of a DIB, for checks of a module's resources.
struct DibInfo {
  int width = 0, height = 0, bits = 0, colours_used = 0;
};
DibInfo dib_info(const uint8_t* data, size_t size);

// Each pixel as a factor x factor block.
Image scaled(const Image& img, int factor);

bool write_png(const Image& img, const std::string& path);
// The same, or false with the reason (the system's, e.g. "No space left on device") in why.
bool write_png(const Image& img, const std::string& path, std::string& why);

}  // namespace host
