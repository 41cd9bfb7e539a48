// Tarvex.Autopilot-Q90 through the host: its records, the window texts and lights, power from the
// cockpit link, and the controls.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <span>
#include <string>

#include "tests/autopilot/autopilot_support.h"
#include "tests/autopilot/window_text_table.h"
#include "tests/support/host_calls.h"

#if defined(_WIN32) && defined(__i386__)
#include <float.h>
#endif

using testing::ElementsAre;
using testing::ElementsAreArray;
using testing::IsEmpty;

namespace {

using aptest::Autopilot;
using aptest::Event;
using namespace aptest;

// ---- records ----

struct ElementRow {
  Element e;
  uint32_t type;
  int32_t bitmap, x, y;
  uint32_t flags;
  uint32_t tokens[3];
};

const ElementRow kElementRows[] = {
    {kOverlay, frame::kStaticImage, 100, 0, 0, 0x1, {0, 0, 0}},
    {kAutoFlightLight, frame::kIcon, 200, 158, 54, 0x6, {103, 0, 0}},
    {kAtLight, frame::kIcon, 200, 7, 77, 0x6, {123, 0, 0}},
    {kSpeedWindow, frame::kStringWindow, -1, 15, 13, 0x6, {117, 116, 118}},
    {kSpdLight, frame::kIcon, 200, 22, 77, 0x6, {115, 0, 0}},
    {kMacLight, frame::kIcon, 200, 37, 77, 0x6, {117, 0, 0}},
    {kHeadingWindow, frame::kStringWindow, -1, 74, 13, 0x6, {107, 0, 0}},
    {kHdgLight, frame::kIcon, 200, 74, 77, 0x6, {106, 0, 0}},
    {kNavLight, frame::kIcon, 200, 89, 77, 0x6, {105, 0, 0}},
    {kAltitudeWindow, frame::kStringWindow, -1, 221, 13, 0x6, {109, 0, 0}},
    {kAltLight, frame::kIcon, 200, 251, 77, 0x6, {108, 0, 0}},
    {kLvlLight, frame::kIcon, 200, 266, 77, 0x6, {104, 0, 0}},
    {kVsWindow, frame::kStringWindow, -1, 286, 13, 0x6, {120, 0, 0}},
    {kApprLandLight, frame::kIcon, 200, 158, 28, 0x6, {112, 0, 0}},
    {kBcLight, frame::kIcon, 200, 281, 77, 0x6, {113, 0, 0}},
};

TEST_F(Autopilot, TheElementTreeIsTheBackgroundAndFifteenChildrenInDrawingOrder) {
  start();
  const frame::GaugeHeader* h = g->header();
  EXPECT_STREQ(h->name, "Tarvex.Autopilot-Q90.gau");
  EXPECT_EQ(h->horizontal_size, 100u);
  const frame::ElementHeader* top = element(kBackground);
  EXPECT_EQ(top->type, frame::kStaticImage);
  EXPECT_EQ(top->bitmap_id, 100);
  EXPECT_EQ(top->image_flags, 0x5u);
  EXPECT_EQ(top->flags2, 0x3u);
  ASSERT_EQ(g->elements().size(), size_t{kElementCount});
  for (int i = 0; i < 15; ++i) EXPECT_EQ(testsupport::field(top->children[i]), element(Element(i + 1)));
  EXPECT_EQ(testsupport::field(top->children[15]), nullptr);
  for (const ElementRow& r : kElementRows) {
    SCOPED_TRACE("element " + std::to_string(r.e));
    const frame::ElementHeader* e = element(r.e);
    EXPECT_EQ(e->type, r.type);
    EXPECT_EQ(e->bitmap_id, r.bitmap);
    EXPECT_EQ(e->x, r.x);
    EXPECT_EQ(e->y, r.y);
    EXPECT_EQ(e->image_flags, r.flags);
    EXPECT_EQ(testsupport::field(e->gauge), g->header());
    EXPECT_EQ(testsupport::field(e->children), nullptr);
    if (r.type == frame::kIcon) {
      auto* icon = reinterpret_cast<const frame::IconElement*>(e);
      EXPECT_EQ(icon->token.id, r.tokens[0]);
      EXPECT_EQ(icon->image_count, 1u);
    } else if (r.type == frame::kStringWindow) {
      auto* w = reinterpret_cast<const frame::StringElement*>(e);
      for (int t = 0; t < 3; ++t) EXPECT_EQ(w->tokens[t].id, r.tokens[t]);
      EXPECT_STREQ(w->font_face, "Courier New");
      EXPECT_EQ(w->font_weight, 400u);
      EXPECT_EQ(w->charset, 1u);
      EXPECT_EQ(w->draw_flags, 0x25u);
      EXPECT_EQ(w->text_colour, 0xFFFF00u);
      EXPECT_EQ(w->background_colour, 0x080808u);
      EXPECT_EQ(w->third_colour, 0x5C5C5Cu);
      EXPECT_EQ(testsupport::field(w->text_callback) != nullptr, r.e == kSpeedWindow);
    }
  }
  auto chars = [&](Element e) {
    return reinterpret_cast<const frame::StringElement*>(element(e))->char_count;
  };
  auto size = [&](Element e) {
    auto* w = reinterpret_cast<const frame::StringElement*>(element(e));
    return std::pair{w->width, w->height};
  };
  EXPECT_EQ(chars(kSpeedWindow), 3u);
  EXPECT_EQ(chars(kHeadingWindow), 3u);
  EXPECT_EQ(chars(kAltitudeWindow), 5u);
  EXPECT_EQ(chars(kVsWindow), 5u);
  EXPECT_EQ(size(kSpeedWindow), (std::pair{24u, 12u}));
  EXPECT_EQ(size(kHeadingWindow), (std::pair{24u, 12u}));
  EXPECT_EQ(size(kAltitudeWindow), (std::pair{40u, 12u}));
  EXPECT_EQ(size(kVsWindow), (std::pair{40u, 12u}));
}

TEST_F(Autopilot, TheLifecycleBindsThirteenTokensAndHoldsTheLinkFromInstallToKill) {
  ASSERT_TRUE(host.query(*g));
  host.clear_log();
  ASSERT_TRUE(host.install(*g));
  EXPECT_THAT(host::calls_in(host, "install"),
              ElementsAre("install_elements", "install_mouse_list", "register_mouse_list"));
  EXPECT_TRUE(linktest::section_exists());
  host.clear_log();
  ASSERT_TRUE(host.initialize(*g));
  std::vector<uint32_t> ids;
  for (const host::ServiceCall& c : host.calls())
    if (c.slot == frame::Slot::initialize_token_var)
      ids.push_back(reinterpret_cast<const frame::TokenVar*>(c.args[0])->id);
  EXPECT_THAT(ids, ElementsAre(116u, 118u, 103u, 112u, 2u, 73u, 60u, 81u, 65u, 318u, 128u, 123u, 108u));
  EXPECT_EQ(host::calls_in(host, "initialize").back(), "initialize_elements");
  host.clear_log();
  update();
  EXPECT_THAT(host::calls_in(host, "update"), ElementsAre("update_elements")) << "unpowered: elements only";
  host.clear_log();
  ASSERT_TRUE(host.kill(*g));
  EXPECT_THAT(host::calls_in(host, "kill"), ElementsAre("unregister_mouse_list", "kill_elements"));
  EXPECT_FALSE(linktest::section_exists()) << "the autopilot was the only holder";
  EXPECT_THAT(host.violations(), IsEmpty());
}

// ---- window texts ----

class WindowTexts : public Autopilot {
 protected:
  // Each row from a powered panel with no stage set; every buffer's guard is checked by the host,
  // which reports a write past a window's character count + 1 bytes as a violation.
  void expect_rows(std::span<const TextRow> rows) {
    for (const TextRow& r : rows) {
      SCOPED_TRACE(std::to_string(r.token) + " = " + std::to_string(r.value));
      host.set(117, r.mach_mode);
      host.set(r.token, r.value);
      host.clear_log();
      update();
      EXPECT_EQ(text(r.window), r.text);
      for (Element w : kWindows) {
        auto* s = reinterpret_cast<const frame::StringElement*>(element(w));
        EXPECT_LE(std::strlen(testsupport::field(s->text_buffer)), s->char_count);
      }
      EXPECT_THAT(host.violations(), IsEmpty());
      host.set(r.token, 0.0);
    }
  }
};

TEST_F(WindowTexts, SampleValuesShowAsTheWindowsFormatThem) {
  start_powered();
  expect_rows(kTextRows);
}

TEST_F(WindowTexts, ValuesThatDoNotFitAreClampedAndNeverWrittenPastTheBuffer) {
  start_powered();
  expect_rows(kClampedRows);
}

#if defined(_WIN32) && defined(__i386__)
// The host process may run the x87 unit at any precision; the module's arithmetic is SSE2, so the
// texts do not move (at 64-bit x87 precision .825 would show as .82).
TEST_F(WindowTexts, EveryX87PrecisionGivesTheSameTexts) {
  start_powered();
  const unsigned saved = _controlfp(0, 0);
  for (unsigned precision : {unsigned(_PC_24), unsigned(_PC_53), unsigned(_PC_64)}) {
    SCOPED_TRACE("precision control " + std::to_string(precision));
    _controlfp(precision, _MCW_PC);
    expect_rows(kTextRows);
    expect_rows(kClampedRows);
  }
  _controlfp(saved, _MCW_PC);
}
#endif

TEST_F(WindowTexts, TheSpeedWindowFollowsTheMachModeItReadLast) {
  start_powered();
  host.set(116, 250.0);
  host.set(118, 0.78);
  for (double mode : {1.0, 0.0, -1.0, 0.0}) {
    host.set(117, mode);
    update();
    EXPECT_EQ(text(kSpeedWindow), mode != 0.0 ? ".78" : "250");
  }
}

// ---- power ----

TEST_F(Autopilot, UnpoweredEveryWindowIsEmptyAndEveryLightDark) {
  start();
  for (uint32_t t : {103u, 104u, 105u, 106u, 108u, 112u, 113u, 115u, 117u, 123u}) host.set(t, 1.0);
  host.set(107, 90.0);
  host.set(109, 5000.0);
  host.set(120, 700.0);
  host.set(116, 250.0);
  for (uint32_t power : {0u, 1u, 0u}) {
    SCOPED_TRACE("power " + std::to_string(power));
    set_power(power);
    update();
    EXPECT_EQ(overlay_hidden(), power != 0);
    for (Element l : kLights) EXPECT_EQ(icon(l), power ? 0.0 : -1.0) << "light " << l;
    for (Element w : kWindows) EXPECT_EQ(text(w).empty(), power == 0) << "window " << w;
  }
  // With power the lights show their token less one: dark for 0.
  host.set(123, 0.0);
  set_power(1);
  update();
  EXPECT_EQ(icon(kAtLight), -1.0);
  EXPECT_EQ(icon(kSpdLight), 0.0);
  EXPECT_THAT(host.violations(), IsEmpty());
}

TEST_F(Autopilot, AChangeOfPowerBetweenNonZeroValuesIsAChange) {
  start();
  struct Step {
    uint32_t power;
    bool applied;
  };
  for (const Step& s : {Step{1, true}, Step{1, false}, Step{2, true}, Step{0, true}, Step{0, false}}) {
    SCOPED_TRACE("power " + std::to_string(s.power));
    set_power(s.power);
    host.clear_log();
    update();
    std::vector<frame::ElementHeader*> applied;
    for (const host::ServiceCall& c : host.calls())
      if (c.routine == "update" && c.slot == frame::Slot::apply_image_flags)
        applied.push_back(reinterpret_cast<frame::ElementHeader*>(c.args[0]));
    if (s.applied)
      EXPECT_THAT(applied, ElementsAre(element(kOverlay), element(kBackground)));
    else
      EXPECT_THAT(applied, IsEmpty());
    EXPECT_EQ(overlay_hidden(), s.power != 0);
    EXPECT_EQ(element(kOverlay)->image_flags & ~kHiddenBit, 0x1u);
  }
}

TEST_F(Autopilot, MachModeFollowsToken117WhileUnpowered) {
  start();
  host.set(116, 250.0);
  host.set(118, 0.8);
  for (double mode : {1.0, 0.0, 1.0}) {
    host.set(117, mode);
    update();
    EXPECT_EQ(text(kSpeedWindow), "");
    host.clear_log();
    click(10, 15, 17, 12);
    EXPECT_THAT(events(), IsEmpty()) << "unpowered";
  }
  set_power(1);
  update();
  EXPECT_EQ(text(kSpeedWindow), ".80");
  host.clear_log();
  click(10, 15, 17, 12);
  EXPECT_THAT(events(), ElementsAre(Event{65917, 0}));
}

// ---- controls ----

struct Control {
  const char* name;
  int x, y, w, h;
};
const Control kSpeedDec[] = {{"speed window left", 10, 15, 17, 12}, {"speed knob left", 15, 36, 10, 18}};
const Control kSpeedInc[] = {{"speed window right", 27, 15, 17, 12}, {"speed knob right", 25, 36, 10, 18}};
const Control kSpd = {"SPD", 17, 71, 15, 10};
const Control kMac = {"MAC", 32, 71, 15, 10};
const Control kAutoFlight = {"AUTO FLIGHT", 130, 42, 65, 18};

TEST_F(Autopilot, UnpoweredTheRoutineControlsSendNothingButEventAreasStillSend) {
  start();
  host.set(103, 1.0);
  update();
  for (const Control& c : {kSpeedDec[0], kSpeedDec[1], kSpeedInc[0], kSpeedInc[1], kSpd, kMac, kAutoFlight}) {
    SCOPED_TRACE(c.name);
    host.clear_log();
    const host::ClickResult r = click(c.x, c.y, c.w, c.h);
    EXPECT_TRUE(r.called_function);
    EXPECT_EQ(r.function_result, 1u);
    EXPECT_THAT(events(), IsEmpty());
  }
  host.clear_log();
  click(70, 71, 15, 10);  // HDG
  ASSERT_EQ(host.key_events().size(), 1u);
  EXPECT_EQ(host.key_events()[0].id, 65798u);
  EXPECT_TRUE(host.key_events()[0].from_area);
}

TEST_F(Autopilot, SpeedStepsFollowTheMode) {
  start_powered();
  for (double mode : {0.0, 1.0}) {
    host.set(117, mode);
    update();
    for (const Control& c : kSpeedDec) {
      host.clear_log();
      click(c.x, c.y, c.w, c.h);
      EXPECT_THAT(events(), ElementsAre(Event{mode != 0.0 ? 65917u : 65897u, 0})) << c.name;
    }
    for (const Control& c : kSpeedInc) {
      host.clear_log();
      click(c.x, c.y, c.w, c.h);
      EXPECT_THAT(events(), ElementsAre(Event{mode != 0.0 ? 65916u : 65896u, 0})) << c.name;
    }
  }
}

// SPD and MAC act only while the AUTO FLIGHT light was last seen engaged with power on.
TEST_F(Autopilot, SpdAndMacWaitForTheEngagedLight) {
  start();
  host.set(103, 1.0);
  update();  // unpowered: the light routine does not look
  auto press_both = [&] {
    host.clear_log();
    click(kSpd.x, kSpd.y, kSpd.w, kSpd.h);
    click(kMac.x, kMac.y, kMac.w, kMac.h);
    return events();
  };
  struct Step {
    uint32_t power;
    double engaged;
    bool sends;
  };
  const Step steps[] = {{1, 1.0, true},  {1, 0.0, false},
                        {1, 2.0, true},  {0, 0.0, false},  // seen stays set, but unpowered
                        {1, 0.0, false}, {1, -1.0, true}};
  for (const Step& s : steps) {
    SCOPED_TRACE("power " + std::to_string(s.power) + ", token 103 " + std::to_string(s.engaged));
    set_power(s.power);
    host.set(103, s.engaged);
    update();
    if (s.sends)
      EXPECT_THAT(press_both(), ElementsAre(Event{65859, 0}, Event{65918, 0}));
    else
      EXPECT_THAT(press_both(), IsEmpty());
  }
}

TEST_F(Autopilot, AutoFlightSendsItsEventWhateverTheToken) {
  start_powered();
  for (double engaged : {0.0, 1.0}) {
    host.set(103, engaged);
    update();
    host.clear_log();
    const host::ClickResult r = click(kAutoFlight.x, kAutoFlight.y, kAutoFlight.w, kAutoFlight.h);
    EXPECT_EQ(r.function_result, 1u);
    EXPECT_THAT(events(), ElementsAre(Event{65580, 0}));
    EXPECT_FALSE(host.key_events()[0].from_area);
    // The routine reads the token afresh, through the module's own variable.
    int refreshed_103 = 0;
    for (const host::ServiceCall& c : host.calls())
      if (c.routine == "mouse" && c.slot == frame::Slot::refresh_token_var &&
          reinterpret_cast<const frame::TokenVar*>(c.args[0])->id == 103)
        ++refreshed_103;
    EXPECT_EQ(refreshed_103, 1);
  }
}

// ---- mouse list ----

struct AreaRow {
  int x, y, w, h, cursor;
  uint32_t flags, event;
};

// The 24 areas in order; event 0 where a routine of the module decides.
const AreaRow kAreaRows[] = {
    {130, 42, 65, 18, 5, 0x20000000, 0},     {2, 71, 15, 10, 5, 0x20000000, 65860},
    {10, 15, 17, 12, 2, 0x20200000, 0},      {27, 15, 17, 12, 1, 0x20200000, 0},
    {15, 36, 10, 18, 2, 0x20200000, 0},      {25, 36, 10, 18, 1, 0x20200000, 0},
    {17, 71, 15, 10, 5, 0x20000000, 0},      {32, 71, 15, 10, 5, 0x20000000, 0},
    {70, 15, 17, 12, 2, 0x20200000, 65880},  {87, 15, 17, 12, 1, 0x20200000, 65879},
    {70, 71, 15, 10, 5, 0x20000000, 65798},  {85, 71, 15, 10, 5, 0x20000000, 65729},
    {214, 15, 25, 12, 2, 0x20200000, 65893}, {239, 15, 25, 12, 1, 0x20200000, 65892},
    {228, 36, 10, 18, 2, 0x20200000, 65893}, {238, 36, 10, 18, 1, 0x20200000, 65892},
    {246, 71, 15, 10, 5, 0x20000000, 65799}, {261, 71, 15, 10, 5, 0x20000000, 65727},
    {287, 15, 20, 12, 2, 0x20200000, 65895}, {307, 15, 20, 12, 1, 0x20200000, 65894},
    {302, 36, 10, 14, 2, 0x20200000, 65895}, {302, 50, 10, 14, 1, 0x20200000, 65894},
    {141, 21, 42, 10, 5, 0x20000000, 65724}, {276, 71, 15, 10, 5, 0x20000000, 65728},
};

TEST_F(Autopilot, TheMouseListHoldsTheTwentyFourAreasInOrder) {
  start();
  const frame::MouseArea* a = g->mouse_list();
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a[0].type, frame::kAreaParent);
  EXPECT_EQ(a[0].x | a[0].y | a[0].width | a[0].height, 0);
  EXPECT_EQ(a[0].cursor, -1);
  for (int i = 0; i < 24; ++i) {
    SCOPED_TRACE("area " + std::to_string(i + 1));
    const frame::MouseArea& m = a[i + 1];
    const AreaRow& r = kAreaRows[i];
    EXPECT_EQ(m.type, frame::kAreaChild);
    EXPECT_EQ(m.x, r.x);
    EXPECT_EQ(m.y, r.y);
    EXPECT_EQ(m.width, r.w);
    EXPECT_EQ(m.height, r.h);
    EXPECT_EQ(m.cursor, r.cursor);
    EXPECT_EQ(m.click_flags, r.flags);
    EXPECT_EQ(m.help_id, 0u);
    EXPECT_EQ(m.key_event, r.event);
    EXPECT_EQ(testsupport::field(m.function) != nullptr, r.event == 0);
  }
  EXPECT_EQ(a[25].type, frame::kAreaEndParent);
  EXPECT_EQ(a[26].type, frame::kAreaEndList);
}

// Every event area is served by the host alone, powered or not.
TEST_F(Autopilot, EventAreasSendTheirEventPoweredOrNot) {
  start();
  for (uint32_t power : {0u, 1u}) {
    set_power(power);
    update();
    for (const AreaRow& r : kAreaRows) {
      if (r.event == 0) continue;
      SCOPED_TRACE(std::to_string(r.event) + (power ? " powered" : " unpowered"));
      host.clear_log();
      const host::ClickResult c = click(r.x, r.y, r.w, r.h);
      EXPECT_FALSE(c.called_function);
      EXPECT_THAT(events(), ElementsAre(Event{r.event, 0}));
      EXPECT_THAT(host.calls(), IsEmpty());
    }
  }
}

}  // namespace
