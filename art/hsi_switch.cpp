// HSI / flight-director mode switch: a rotary lever on a small plate, pointing left, up or right.
// Black in the lever images is see-through, so each lever lies over the plate's marks.
#include "hsi_switch/layout.h"
#include "panels.h"

namespace art {

namespace {

namespace L = hsi_switch::layout;

constexpr int kHubX = L::kWidth / 2;  // the middle column, between the two click halves
constexpr int kHubY = 13;
constexpr int kLeverLength = 7;

// A position mark: two pixels at the plate's edge, in the lever's direction.
Rect mark(int position) {
  switch (position) {
    case 0: return {1, kHubY - 1, 2, 2};
    case 1: return {kHubX, 1, 1, 3};
    default: return {L::kWidth - 3, kHubY - 1, 2, 2};
  }
}

void plate(Canvas& c) {
  fill_rect(c, {0, 0, c.width(), c.height()}, ink::plate);
  rect_outline(c, {0, 0, c.width(), c.height()}, ink::grey);
  for (int p = 0; p < 3; ++p) fill_rect(c, mark(p), ink::light_grey);
  circle(c, kHubX, kHubY, 5, ink::charcoal);  // the lever's well
}

// The lever from the hub towards position's mark, with a knob at its tip and that mark lit.
void lever(Canvas& c, int position) {
  const int dx = position == 0 ? -1 : position == 2 ? 1 : 0;
  const int dy = position == 1 ? -1 : 0;
  const int tip_x = kHubX + dx * kLeverLength;
  const int tip_y = kHubY + dy * kLeverLength;
  // Three pixels wide across the lever's direction, lit from above left like the other panels.
  const int across_x = dy != 0 ? 1 : 0;
  const int across_y = dx != 0 ? 1 : 0;
  for (int side = -1; side <= 1; ++side) {
    const std::uint8_t shade = side < 0 ? ink::white : side > 0 ? ink::grey : ink::light_grey;
    line(c, kHubX + across_x * side, kHubY + across_y * side, tip_x + across_x * side,
         tip_y + across_y * side, shade);
  }
  fill_circle(c, tip_x, tip_y, 1, ink::white);
  fill_circle(c, kHubX, kHubY, 2, ink::dark_grey);
  fill_rect(c, mark(position), ink::amber);
}

template <int Position>
void lever_at(Canvas& c) {
  lever(c, Position);
}

constexpr BitmapDef kBitmaps[] = {
    {L::kBackgroundBitmap, L::kWidth, L::kHeight, plate},
    {L::switch_bitmap(0), L::kWidth, L::kHeight, lever_at<0>},
    {L::switch_bitmap(1), L::kWidth, L::kHeight, lever_at<1>},
    {L::switch_bitmap(2), L::kWidth, L::kHeight, lever_at<2>},
};

}  // namespace

std::span<const BitmapDef> hsi_switch_bitmaps() { return kBitmaps; }

}  // namespace art
