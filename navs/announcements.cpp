#include "navs/announcements.h"

#include <cstring>

#include "frame/numeric.h"
#include "platform/clock.h"
#include "platform/files.h"

namespace navs {

uint8_t present[frame::kAnnouncementSlots][kNumbers];
uint32_t count[frame::kAnnouncementSlots];

namespace {

uint32_t generator_state = 1;
// The texts of the last pick, "_" + digit or "" per slot.
char slot_texts[frame::kAnnouncementSlots][3];

// 1 / 32767: scales a draw to 0..1.
constexpr double kPerDraw = 3.051850947599719e-05;

}  // namespace

void seed_generator(uint32_t seed) { generator_state = seed; }

uint32_t draw() {
  generator_state = generator_state * 214013u + 2531011u;
  return (generator_state >> 16) & 0x7FFFu;
}

void announcement_path(int category, int number, char* out) {
  char* p = out;
  auto put = [&p](const char* s) {
    const std::size_t n = std::strlen(s);
    std::memcpy(p, s, n);
    p += n;
  };
  put("Sound\\");
  put(frame::kAnnouncementPrefixes[category]);
  *p++ = static_cast<char>('0' + number);
  put(".wav");
  *p = '\0';
}

void scan_announcements() {
  char path[32];
  for (int c = 0; c < frame::kAnnouncementSlots; ++c) {
    count[c] = 0;
    for (int d = 0; d < kNumbers; ++d) {
      announcement_path(c, d, path);
      present[c][d] = platform::file_exists(path) ? 1 : 0;
      count[c] += present[c][d];
    }
  }
}

int pick_number(uint32_t r, const uint8_t* files, uint32_t n) {
  int k = frame::to_int32(static_cast<double>(r) * static_cast<double>(n + 1) * kPerDraw + 0.5);
  if (k == 0 || n == 0) return -1;
  // The search starts after k and wraps 9 -> 0; k may come out as n + 1, up to 11, and anything
  // from 9 on steps to 0, so only entries 0..9 are read. Ten steps visit every entry once.
  for (int step = 0; step < kNumbers; ++step) {
    k = k < 9 ? k + 1 : 0;
    if (files[k]) return k;
  }
  return -1;  // count said there were files, but none is set
}

void pick_announcements_seeded(uint32_t seed, frame::CockpitLink& link) {
  seed_generator(seed);
  for (int c = 0; c < frame::kAnnouncementSlots; ++c) {
    const uint32_t r = draw();
    const int k = pick_number(r, present[c], count[c]);
    slot_texts[c][0] = k < 0 ? '\0' : '_';
    slot_texts[c][1] = k < 0 ? '\0' : static_cast<char>('0' + k);
    slot_texts[c][2] = '\0';
  }
  for (int c = 0; c < frame::kAnnouncementSlots; ++c) {
    // An empty text is its zero byte alone; the bytes after it stay as they are.
    const std::size_t n = std::strlen(slot_texts[c]) + 1;
    std::memcpy(link.announcement_slots[c], slot_texts[c], n);
  }
}

void pick_announcements(frame::CockpitLink& link) { pick_announcements_seeded(platform::tick_count(), link); }

}  // namespace navs
