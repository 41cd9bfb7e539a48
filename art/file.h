#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace art {

// Both file formats are little-endian whatever the host.
inline void put_le16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v & 0xff));
  out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xff));
}

inline void put_le32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  put_le16(out, v & 0xffff);
  put_le16(out, v >> 16);
}

// Binary mode matters: the Windows build would otherwise turn 0x0a into CR LF.
// Throws std::runtime_error when the file cannot be written.
void write_file(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace art
