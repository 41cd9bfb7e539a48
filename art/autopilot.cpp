// Autopilot panel: light-grey captions, brackets, scales and knob outlines on black, placed from
// the gauge's own layout so that every caption sits over its window or button; and the green
// mode light the gauge draws over its buttons.
#include <cmath>
#include <numbers>
#include <utility>

#include "autopilot/layout.h"
#include "font.h"
#include "panels.h"

namespace art {

namespace {

namespace L = autopilot::layout;

constexpr std::uint8_t kInk = ink::light_grey;
constexpr std::uint8_t kFrame = ink::dark_grey;
constexpr std::uint8_t kLightRim = 11;  // a darker green than ink::green, set in the light's palette

constexpr int kCaptionY = 4;    // over the four windows
constexpr int kButtonTop = 70;  // bracket tops of the bottom row of buttons

void caption(Canvas& c, int x0, int x1, int y, const char* text, Font font = Font::regular) {
  draw_text_centred(c, x0, x1, y, text, font, kInk);
}

// A window's caption centred over it and a thin frame round the box the host fills.
void window(Canvas& c, const frame::Box& w, const char* text) {
  caption(c, w.x - 6, w.x + w.width + 5, kCaptionY, text);
  rect_outline(c, {w.x - 1, w.y - 1, w.width + 2, w.height + 2}, kFrame);
}

// A bracketed push button whose light sits inside it, with its caption above.
void button(Canvas& c, const frame::Box& area, const char* text) {
  const Rect r{area.x, kButtonTop, area.width, 13};
  rect_outline(c, r, kInk);
  caption(c, r.x, r.x + r.w - 1, kButtonTop - 7, text, Font::small);
}

void knob(Canvas& c, const frame::Box& left, const frame::Box& right) {
  const int cx = (left.x + right.x + right.width) / 2;
  const int cy = left.y + left.height / 2;
  circle(c, cx, cy, left.height / 2, kInk);
  circle(c, cx, cy, left.height / 2 - 3, kFrame);
  line(c, cx, cy - left.height / 2 + 1, cx, cy - left.height / 2 + 4, kInk);  // pointer
}

void speed_column(Canvas& c) {
  window(c, L::kSpeedWindow, "IAS(  )MACH");
  knob(c, L::kAreas[4].box, L::kAreas[5].box);
  button(c, L::kAreas[1].box, "A/T");
  button(c, L::kAreas[6].box, "SPD");
  button(c, L::kAreas[7].box, "MAC");
}

// The bank-angle selector below the heading window: a knob with its scale fanned over the top,
// from AUTO on the left round to 25 on the right.
void bank_selector(Canvas& c) {
  constexpr int cx = 94;
  constexpr int cy = 48;
  circle(c, cx, cy, 6, kInk);
  line(c, cx - 4, cy, cx - 2, cy, kInk);  // pointer at AUTO
  const char* const marks[] = {"AUTO", "5", "10", "15", "20", "25"};
  constexpr int kMarks = 6;
  for (int i = 0; i < kMarks; ++i) {
    const double a = std::numbers::pi * (1.0 + static_cast<double>(i) / (kMarks - 1));
    auto at = [&](double r) {
      return std::pair{cx + static_cast<int>(std::lround(r * std::cos(a))),
                       cy + static_cast<int>(std::lround(r * std::sin(a)))};
    };
    const auto [x0, y0] = at(8.0);
    const auto [x1, y1] = at(10.0);
    line(c, x0, y0, x1, y1, kInk);
    const auto [lx, ly] = at(15.0);
    const int w = text_width(marks[i], Font::small);
    const int x = i == 0 ? lx - w + 2 : (i == kMarks - 1 ? lx - 1 : lx - w / 2);
    draw_text(c, x, ly - 2, marks[i], Font::small, kInk);
  }
}

void heading_column(Canvas& c) {
  window(c, L::kHeadingWindow, "HDG(  )TRK");
  bank_selector(c);
  button(c, L::kAreas[10].box, "HDG");
  button(c, L::kAreas[11].box, "NAV");
}

void middle(Canvas& c) {
  const frame::Box appr = L::kAreas[22].box;
  caption(c, appr.x, appr.x + appr.width - 1, appr.y - 8, "APPR/LAND");
  rect_outline(c, {appr.x, appr.y - 1, appr.width, appr.height + 4}, kInk);
  const frame::Box bar = L::kAreas[0].box;
  caption(c, bar.x, bar.x + bar.width - 1, bar.y - 6, "AUTO FLIGHT");
  rect_outline(c, {bar.x, bar.y, bar.width, bar.height}, kInk);
  rect_outline(c, {bar.x + 2, bar.y + 2, bar.width - 4, bar.height - 4}, kFrame);
  // The bracket of the two autopilot channels below them.
  const int y = bar.y + bar.height + 4;
  const int x0 = bar.x + 6;
  const int x1 = bar.x + bar.width - 7;
  line(c, x0, y, x1, y, kInk);
  line(c, x0, y, x0, y + 3, kInk);
  line(c, x1, y, x1, y + 3, kInk);
  line(c, (x0 + x1) / 2, y, (x0 + x1) / 2, y - 2, kInk);
  caption(c, x0 - 3, x0 + 3, y + 6, "1");
  caption(c, x1 - 3, x1 + 3, y + 6, "2");
}

void altitude_column(Canvas& c) {
  window(c, L::kAltitudeWindow, "FEET(  )METER");
  knob(c, L::kAreas[14].box, L::kAreas[15].box);
  button(c, L::kAreas[16].box, "ALT");
  button(c, L::kAreas[17].box, "LVL");
  button(c, L::kAreas[23].box, "B/C");
}

// The vertical thumbwheel: a slot with the wheel's ribs showing through.
void vs_column(Canvas& c) {
  window(c, L::kVsWindow, "V/S(  )FPA");
  const frame::Box up = L::kAreas[20].box;
  const frame::Box down = L::kAreas[21].box;
  const Rect slot{up.x, up.y, up.width, down.y + down.height - up.y};
  rect_outline(c, slot, kInk);
  for (int y = slot.y + 3; y < slot.y + slot.h - 2; y += 3)
    line(c, slot.x + 2, y, slot.x + slot.w - 3, y, kFrame);
  arrow(c, {slot.x + slot.w + 2, slot.y + 2, 5, 5}, Dir::up, kInk);
  arrow(c, {slot.x + slot.w + 2, slot.y + slot.h - 7, 5, 5}, Dir::down, kInk);
}

void panel(Canvas& c) {
  speed_column(c);
  heading_column(c);
  middle(c);
  altitude_column(c);
  vs_column(c);
}

void mode_light(Canvas& c) {
  c.palette()[kLightRim] = {16, 104, 32};
  fill_rect(c, {0, 0, c.width(), c.height()}, kLightRim);
  fill_rect(c, {1, 1, c.width() - 2, c.height() - 2}, ink::green);
}

constexpr BitmapDef kBitmaps[] = {
    {L::kPanelBitmap, L::kPanelWidth, L::kPanelHeight, panel},
    {L::kLightBitmap, L::kLightWidth, L::kLightHeight, mode_light},
};

}  // namespace

std::span<const BitmapDef> autopilot_bitmaps() { return kBitmaps; }

}  // namespace art
