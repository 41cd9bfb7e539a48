#pragma once
// The cabin-announcement choice of the radio panel: at install it looks for the announcement
// sound files of each category and, if the cockpit link is there, picks one file per category
// (or none) at random and writes its suffix into the link's slot for that category.
#include <cstdint>

#include "frame/cockpit_link.h"

namespace navs {

inline constexpr int kNumbers = 10;  // file numbers 0..9 per category

// The files found by the last scan, per category in slot order.
extern uint8_t present[frame::kAnnouncementSlots][kNumbers];
extern uint32_t count[frame::kAnnouncementSlots];

// The generator: a 32-bit state, 1 at module load.
void seed_generator(uint32_t seed);
uint32_t draw();  // 0..32767

// "Sound\" + prefix + digit + ".wav" into out (at least 32 bytes).
void announcement_path(int category, int number, char* out);

// One file search per category and number, in slot order and ascending numbers.
void scan_announcements();

// The number picked for one category from draw r, or -1 for none. present holds the category's
// ten entries, count how many of them are set.
int pick_number(uint32_t r, const uint8_t* present, uint32_t count);

// Seeds the generator with seed, draws once per category (whether it has files or not) and
// writes the six slot texts into link.
void pick_announcements_seeded(uint32_t seed, frame::CockpitLink& link);
// The same, seeded with the tick count.
void pick_announcements(frame::CockpitLink& link);

}  // namespace navs
