#pragma once
// The one writer of window texts. The host gives each text window a buffer of its character
// count plus the terminating zero; nothing here ever writes past that, whatever it is asked to
// write. Callers clamp their numbers to what the window can show first, so a cut text is a fault
// of the caller, never an overrun.
#include <cstdint>

#include "frame/records.h"

namespace frame {

struct NumberFormat {
  char prefix = 0;    // a character before the number (".%02d"), 0 for none
  int width = 1;      // zero-padded to at least this many characters, sign included, as "%0*d"
  bool plus = false;  // a sign always, as "%+d"; a minus is always shown
};

// "%0*d"-style formats as one record each.
inline constexpr NumberFormat kDigits3 = {0, 3, false};      // "%03d"
inline constexpr NumberFormat kDigits5 = {0, 5, false};      // "%05d"
inline constexpr NumberFormat kSigned5 = {0, 5, true};       // "%+05d"
inline constexpr NumberFormat kFraction2 = {'.', 2, false};  // ".%02d"

// Copies at most char_count characters of text and a terminating zero.
inline void window_write(StringElement& w, const char* text) {
  char* out = w.text_buffer;
  if (out == nullptr) return;
  uint32_t i = 0;
  for (; i < w.char_count && text[i] != '\0'; ++i) out[i] = text[i];
  out[i] = '\0';
}

// An empty window: a zero in its first character.
inline void window_clear(StringElement& w) {
  if (w.text_buffer != nullptr) w.text_buffer[0] = '\0';
}

// Formats n as the format asks, then writes it as window_write does.
inline void window_number(StringElement& w, int32_t n, NumberFormat f) {
  char text[16];  // prefix, sign, up to 10 digits, zero
  int len = 0;
  if (f.prefix != 0) text[len++] = f.prefix;
  // In unsigned arithmetic, so that INT32_MIN has a magnitude as well.
  uint32_t magnitude = n < 0 ? 0u - static_cast<uint32_t>(n) : static_cast<uint32_t>(n);
  const bool sign = n < 0 || f.plus;
  if (sign) text[len++] = n < 0 ? '-' : '+';
  char digits[10];
  int count = 0;
  do {
    digits[count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  const int width = (f.width > 11 ? 11 : f.width) - (sign ? 1 : 0);
  for (int pad = count; pad < width; ++pad) text[len++] = '0';
  while (count > 0) text[len++] = digits[--count];
  text[len] = '\0';
  window_write(w, text);
}

}  // namespace frame
