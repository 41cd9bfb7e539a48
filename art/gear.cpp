// Landing-gear panel: three gear lights (nose, left and right main), the
// gear lever in its slot, and two round lamp outlines.
#include "font.h"
#include "gear/layout.h"
#include "panels.h"

namespace art {

namespace {

namespace layout = gear::layout;

// Where the gauge draws its overlay images on the panel.
constexpr Rect kNoseLight = to_rect(layout::kNoseLight);
constexpr Rect kLeftMain = to_rect(layout::kLeftLight);
constexpr Rect kRightMain = to_rect(layout::kRightLight);
constexpr Rect kLever = to_rect(layout::kLever);

constexpr int kBar = layout::kLightBar;
constexpr int kAftBarTop = layout::kAftBarTop;
constexpr int kHatchPeriod = 4;  // red/black stripes for "in transit"

// Box drawn one pixel clear of a lamp bar.
void lamp_box(Canvas& c, int x, int y, int w) { rect_outline(c, {x - 2, y - 2, w + 4, kBar + 4}, ink::grey); }

void panel(Canvas& c) {
  rect_outline(c, {0, 0, c.width(), c.height()}, ink::dark_grey);

  // Nose gear.
  draw_text_centred(c, kNoseLight.x, kNoseLight.x + kNoseLight.w - 1, 18, "NOSE", Font::regular, ink::white);
  lamp_box(c, kNoseLight.x, kNoseLight.y, kNoseLight.w);

  // Main gear: each column's image spans both its boxes.
  for (const Rect& m : {kLeftMain, kRightMain}) {
    lamp_box(c, m.x, m.y, m.w);
    lamp_box(c, m.x, m.y + kAftBarTop, m.w);
  }
  const int between_x0 = kLeftMain.x + kLeftMain.w + 2;
  const int between_x1 = kRightMain.x - 3;
  const int label_dy = (kBar - font_height(Font::regular)) / 2;
  draw_text_centred(c, between_x0, between_x1, kLeftMain.y + label_dy, "FORE", Font::regular, ink::white);
  draw_text_centred(c, between_x0, between_x1, kLeftMain.y + kAftBarTop + label_dy, "AFT", Font::regular,
                    ink::white);

  // Lever slot, centred under the lever image; the handle image covers it.
  const int slot_w = 12;
  const int slot_x = kLever.x + (kLever.w - slot_w) / 2;
  const Rect slot{slot_x, kLever.y + 4, slot_w, kLever.h - 8};
  fill_rect(c, slot, ink::charcoal);
  rect_outline(c, slot, ink::grey);

  // Position marks left of the slot.
  const int mark_x1 = kLever.x - 1;
  draw_text_centred(c, 0, mark_x1, kLever.y + 7, "UP", Font::regular, ink::white);
  arrow(c, {8, kLever.y + 15, 9, 14}, Dir::up, ink::white);
  arrow(c, {8, c.height() - 30, 9, 14}, Dir::down, ink::white);
  draw_text_centred(c, 0, mark_x1, c.height() - 12, "DN", Font::regular, ink::white);

  // Two round lamp outlines to the right of the lever.
  for (int cy : {140, 202}) {
    circle(c, 95, cy, 21, ink::grey);
    circle(c, 95, cy, 20, ink::dark_grey);
  }
}

// Wheel-shaped knob seen edge on, with its stem running towards the pivot.
void lever(Canvas& c, int knob_top, int stem_top, int stem_bottom) {
  const int cx0 = c.width() / 2 - 3;
  fill_rect(c, {cx0, stem_top, 6, stem_bottom - stem_top + 1}, ink::grey);
  fill_rect(c, {cx0, stem_top, 1, stem_bottom - stem_top + 1}, ink::light_grey);
  fill_rect(c, {cx0 + 5, stem_top, 1, stem_bottom - stem_top + 1}, ink::dark_grey);

  const Rect knob{4, knob_top, c.width() - 8, 24};
  fill_rect(c, knob, ink::light_grey);
  for (int y = knob.y + 3; y < knob.y + knob.h - 2; y += 3)
    fill_rect(c, {knob.x + 2, y, knob.w - 4, 1}, ink::grey);  // tread
  rect_outline(c, knob, ink::white);
  fill_rect(c, {knob.x + 1, knob.y + knob.h - 1, knob.w - 1, 1}, ink::grey);  // shaded lower rim
  fill_rect(c, {knob.x + knob.w - 1, knob.y + 1, 1, knob.h - 1}, ink::grey);
  for (int x : {knob.x, knob.x + knob.w - 1})  // rounded corners
    for (int y : {knob.y, knob.y + knob.h - 1}) c.set(x, y, ink::black);
}

void lever_down(Canvas& c) { lever(c, c.height() - 31, c.height() - 61, c.height() - 32); }
void lever_up(Canvas& c) { lever(c, 7, 31, 60); }

void lit_bar(Canvas& c, int y) { fill_rect(c, {0, y, c.width(), kBar}, ink::blue); }
void transit_bar(Canvas& c, int y) {
  hatch(c, {0, y, c.width(), kBar}, ink::red, ink::black, kHatchPeriod, 2);
}

void nose_down(Canvas& c) { lit_bar(c, 0); }
void nose_transit(Canvas& c) { transit_bar(c, 0); }
void main_down(Canvas& c) {
  lit_bar(c, 0);
  lit_bar(c, kAftBarTop);
}
void main_transit(Canvas& c) {
  transit_bar(c, 0);
  transit_bar(c, kAftBarTop);
}
void dark(Canvas&) {}  // gear up and locked: nothing lit

constexpr BitmapDef kBitmaps[] = {
    {layout::kPanelBitmap, layout::kPanelWidth, layout::kPanelHeight, panel},
    {layout::kLeverBitmap, kLever.w, kLever.h, lever_down},
    {layout::kLeverBitmap + 3, kLever.w, kLever.h, lever_up},
    {layout::kNoseLightBitmap, kNoseLight.w, kNoseLight.h, nose_down},
    {layout::kNoseLightBitmap + 3, layout::kNoLightSize, layout::kNoLightSize, dark},
    {layout::kNoseLightBitmap + 6, kNoseLight.w, kNoseLight.h, nose_transit},
    {layout::kLeftLightBitmap, kLeftMain.w, kLeftMain.h, main_down},
    {layout::kLeftLightBitmap + 3, layout::kNoLightSize, layout::kNoLightSize, dark},
    {layout::kLeftLightBitmap + 6, kLeftMain.w, kLeftMain.h, main_transit},
    {layout::kRightLightBitmap, kRightMain.w, kRightMain.h, main_down},
    {layout::kRightLightBitmap + 3, layout::kNoLightSize, layout::kNoLightSize, dark},
    {layout::kRightLightBitmap + 6, kRightMain.w, kRightMain.h, main_transit},
};

}  // namespace

std::span<const BitmapDef> gear_bitmaps() { return kBitmaps; }

}  // namespace art
