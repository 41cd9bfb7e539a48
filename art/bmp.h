// 8-bit palettised Windows bitmap, the only kind the panel loader expects:
// BITMAPFILEHEADER, 40-byte BITMAPINFOHEADER, 256 RGBQUADs, bottom-up rows
// padded to 4 bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "canvas.h"

namespace art {

std::vector<std::uint8_t> encode_bmp(const Canvas& c);
// Throws std::runtime_error when the file cannot be written.
void write_bmp(const std::string& path, const Canvas& c);

}  // namespace art
