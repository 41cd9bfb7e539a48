// Exterior-light switch strip: a landing-light slide switch (A) and a
// taxi-light rocker (B) on a plate. Black in the switch images is see-through.
#include "font.h"
#include "light_switch/layout.h"
#include "panels.h"

namespace art {

namespace {

namespace layout = light_switch::layout;

constexpr Rect kSwitchA = to_rect(layout::kSwitchA);  // where the gauge draws the switch images
constexpr Rect kSwitchB = to_rect(layout::kSwitchB);
constexpr int kTrackLen = 75;  // slide A only uses the left of its image; B overlaps the rest
constexpr int kKnobW = 16;

void screw(Canvas& c, int cx, int cy) {
  fill_circle(c, cx, cy, 3, ink::grey);
  circle(c, cx, cy, 3, ink::dark_grey);
  line(c, cx - 2, cy + 2, cx + 2, cy - 2, ink::charcoal);
}

void bezel(Canvas& c, Rect r) {
  fill_rect(c, r, ink::black);
  rect_outline(c, r, ink::grey);
  rect_outline(c, {r.x - 1, r.y - 1, r.w + 2, r.h + 2}, ink::charcoal);
}

void strip(Canvas& c) {
  fill_rect(c, {0, 0, c.width(), c.height()}, ink::plate);
  rect_outline(c, {0, 0, c.width(), c.height()}, ink::grey);
  screw(c, 7, c.height() / 2);
  screw(c, c.width() - 8, c.height() / 2);

  const Rect a{kSwitchA.x - 2, kSwitchA.y - 1, kTrackLen + 4, kSwitchA.h + 2};
  const Rect b{kSwitchB.x - 1, kSwitchB.y - 1, kSwitchB.w + 2, kSwitchB.h + 2};
  bezel(c, a);
  bezel(c, b);

  const int label_y = 4;
  draw_text(c, a.x + 2, label_y, "OFF", Font::regular, ink::white);
  draw_text_centred(c, a.x, a.x + a.w - 1, label_y, "LAND", Font::regular, ink::white);
  draw_text(c, a.x + a.w - 2 - text_width("ON", Font::regular), label_y, "ON", Font::regular, ink::white);
  draw_text_centred(c, b.x, b.x + b.w - 1, label_y, "TAXI", Font::regular, ink::white);

  draw_text_centred(c, b.x + b.w + 4, c.width() - 16, 15, "EXTERIOR LIGHTS", Font::regular, ink::light_grey,
                    2);
}

void slide(Canvas& c, bool on) {
  const Rect track{0, 7, kTrackLen, 7};
  fill_rect(c, track, ink::charcoal);
  rect_outline(c, track, ink::dark_grey);

  const Rect knob{on ? kTrackLen - 1 - kKnobW : 1, 1, kKnobW, c.height() - 2};
  fill_rect(c, knob, ink::light_grey);
  fill_rect(c, {knob.x, knob.y, knob.w, 1}, ink::white);  // lit from above left
  fill_rect(c, {knob.x, knob.y, 1, knob.h}, ink::white);
  fill_rect(c, {knob.x + 1, knob.y + knob.h - 1, knob.w - 1, 1}, ink::grey);
  fill_rect(c, {knob.x + knob.w - 1, knob.y + 1, 1, knob.h - 1}, ink::grey);
  for (int dx : {5, 7, 9}) fill_rect(c, {knob.x + dx + 1, knob.y + 4, 1, knob.h - 8}, ink::grey);  // grip
}

// Rocker: the pressed half is dark and sunk, the other stands proud.
void rocker(Canvas& c, bool on) {
  const Rect body{1, 1, 32, c.height() - 2};
  const Rect off_half{body.x, body.y, body.w / 2, body.h};
  const Rect on_half{body.x + body.w / 2, body.y, body.w / 2, body.h};
  const Rect& pressed = on ? on_half : off_half;
  const Rect& proud = on ? off_half : on_half;

  fill_rect(c, pressed, ink::dark_grey);
  fill_rect(c, proud, ink::light_grey);
  fill_rect(c, {proud.x, proud.y, proud.w, 1}, ink::white);
  fill_rect(c, {proud.x, proud.y + proud.h - 1, proud.w, 1}, ink::grey);
  rect_outline(c, body, ink::grey);

  const std::uint8_t off_mark = on ? ink::charcoal : ink::light_grey;
  const std::uint8_t on_mark = on ? ink::green : ink::charcoal;
  const int mark_y = body.y + (body.h - font_height(Font::regular)) / 2;
  draw_text_centred(c, off_half.x, off_half.x + off_half.w - 1, mark_y, "O", Font::regular, off_mark);
  draw_text_centred(c, on_half.x, on_half.x + on_half.w - 1, mark_y, "I", Font::regular, on_mark);
}

void switch_a_off(Canvas& c) { slide(c, false); }
void switch_a_on(Canvas& c) { slide(c, true); }
void switch_b_off(Canvas& c) { rocker(c, false); }
void switch_b_on(Canvas& c) { rocker(c, true); }

constexpr BitmapDef kBitmaps[] = {
    {layout::kStripBitmap, layout::kStripWidth, layout::kStripHeight, strip},
    {layout::kSwitchABitmap, kSwitchA.w, kSwitchA.h, switch_a_off},
    {layout::kSwitchABitmap + 3, kSwitchA.w, kSwitchA.h, switch_a_on},
    {layout::kSwitchBBitmap, kSwitchB.w, kSwitchB.h, switch_b_off},
    // One pixel narrower than "off"; the rocker body fits both.
    {layout::kSwitchBBitmap + 3, layout::kSwitchBOnWidth, kSwitchB.h, switch_b_on},
};

}  // namespace

std::span<const BitmapDef> light_switch_bitmaps() { return kBitmaps; }

}  // namespace art
