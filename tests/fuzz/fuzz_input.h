#pragma once
// The layout of a wave_fuzz input, shared by the target and the seed generator.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace fuzzinput {

// [0] fault selector, [1..4] seed of the request sizes (little-endian), then the file.
inline constexpr std::size_t kHeaderSize = 5;
// A selector v below kFaults fails the (1 + v / 10)th call of platform call v % 10.
inline constexpr uint8_t kFaults = 40;
inline constexpr uint8_t kNoFault = 0xFF;

struct Header {
  uint8_t fault;
  uint32_t seed;
};

inline bool split(const uint8_t* input, std::size_t size, Header& header) {
  if (size < kHeaderSize) return false;
  header.fault = input[0];
  header.seed = static_cast<uint32_t>(input[1]) | static_cast<uint32_t>(input[2]) << 8 |
                static_cast<uint32_t>(input[3]) << 16 | static_cast<uint32_t>(input[4]) << 24;
  return true;
}

inline std::vector<uint8_t> join(uint8_t fault, uint32_t seed, const std::vector<uint8_t>& file) {
  std::vector<uint8_t> out{fault, static_cast<uint8_t>(seed), static_cast<uint8_t>(seed >> 8),
                           static_cast<uint8_t>(seed >> 16), static_cast<uint8_t>(seed >> 24)};
  out.insert(out.end(), file.begin(), file.end());
  return out;
}

}  // namespace fuzzinput
