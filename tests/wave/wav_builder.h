#pragma once
// Byte-exact RIFF files for the wave tests, the fuzz seeds and the benchmark: each chunk is
// written as given, so a file can declare sizes it does not hold.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace wavtest {

using Bytes = std::vector<uint8_t>;

inline void put16(Bytes& b, uint32_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}

inline void put32(Bytes& b, uint32_t v) {
  put16(b, v & 0xFFFF);
  put16(b, v >> 16);
}

inline void put_id(Bytes& b, const char* id) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(id[i]));
}

inline Bytes cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

// A chunk declaring `declared` bytes, holding `body` (and a pad byte after an odd body if pad).
inline Bytes chunk_declaring(const char* id, uint32_t declared, const Bytes& body, bool pad = true) {
  Bytes b;
  put_id(b, id);
  put32(b, declared);
  b.insert(b.end(), body.begin(), body.end());
  if (pad && (body.size() & 1)) b.push_back(0);
  return b;
}

inline Bytes chunk(const char* id, const Bytes& body) {
  return chunk_declaring(id, static_cast<uint32_t>(body.size()), body);
}

// "RIFF" of form type `form` declaring `declared` bytes (form type included).
inline Bytes riff_declaring(uint32_t declared, const char* form, const Bytes& content) {
  Bytes b;
  put_id(b, "RIFF");
  put32(b, declared);
  put_id(b, form);
  b.insert(b.end(), content.begin(), content.end());
  return b;
}

inline Bytes riff(const char* form, const Bytes& content) {
  return riff_declaring(static_cast<uint32_t>(content.size() + 4), form, content);
}

inline Bytes wave(std::initializer_list<Bytes> chunks) { return riff("WAVE", cat(chunks)); }

// The 16-byte format block.
inline Bytes format_block(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
  const uint16_t align = static_cast<uint16_t>(channels * ((bits + 7) / 8));
  Bytes b;
  put16(b, tag);
  put16(b, channels);
  put32(b, rate);
  put32(b, rate * align);
  put16(b, align);
  put16(b, bits);
  return b;
}

inline Bytes pcm_fmt(uint16_t channels, uint32_t rate, uint16_t bits) {
  return chunk("fmt ", format_block(1, channels, rate, bits));
}

// A format block followed by an extra-size word and the extra bytes (WAVEFORMATEX and beyond).
inline Bytes format_with_extra(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits,
                               uint16_t extra_size, const Bytes& extra) {
  Bytes b = format_block(tag, channels, rate, bits);
  put16(b, extra_size);
  b.insert(b.end(), extra.begin(), extra.end());
  return b;
}

// Sample bytes that differ from position to position, so a misplaced byte shows.
inline Bytes samples(std::size_t n, uint32_t seed = 1) {
  Bytes b(n);
  uint32_t x = seed * 2654435761u + 12345u;
  for (std::size_t i = 0; i < n; ++i) {
    x = x * 1103515245u + 12345u;
    b[i] = static_cast<uint8_t>(x >> 16);
  }
  return b;
}

inline Bytes id_bytes(const char* s) { return Bytes(s, s + std::char_traits<char>::length(s)); }

}  // namespace wavtest
