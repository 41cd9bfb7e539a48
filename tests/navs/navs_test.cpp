// Tarvex.Navs-Q90 through the host: the start-up check, power following, the buttons and the
// key-event areas, and the cockpit link it shares with a second holder.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "host/cockpit.h"
#include "tests/navs/navs_support.h"

using testing::ElementsAre;
using testing::HasSubstr;
using testing::IsEmpty;

namespace {

using navstest::Radio;

// ---- start-up check ----

struct StartupRow {
  const char* name;
  double t130, t165, t200;
  bool powers;
  uint32_t units[3];
};

const StartupRow kStartupRows[] = {
    {"165 alone", 0.0, 1.0, 0.0, true, {0, 1, 0}},
    {"all zero", 0.0, 0.0, 0.0, false, {0, 0, 0}},
    {"negative zeros are zero", -0.0, -0.0, -0.0, false, {0, 0, 0}},
    {"130 and a negative 200", 1.0, 0.0, -0.5, true, {1, 0, 1}},
    {"all three", 2.0, 0.25, 16383.0, true, {1, 1, 1}},
    {"NaN is not zero", 0.0, 0.0, std::numeric_limits<double>::quiet_NaN(), true, {0, 0, 1}},
};

TEST_F(Radio, TheFirstUpdatePowersTheCockpitIfAUnitIsStarted) {
  for (const StartupRow& r : kStartupRows) {
    SCOPED_TRACE(r.name);
    set_startup(r.t130, r.t165, r.t200);
    start();
    linktest::SecondHolder other;
    ASSERT_NE(other.link(), nullptr);
    const frame::CockpitLink& l = *other.link();
    EXPECT_EQ(l.power, 0u) << "nothing is written before the first update";
    host.clear_log();
    update();

    EXPECT_EQ(l.power, r.powers ? 1u : 0u);
    for (uint32_t f : l.start_flags) EXPECT_EQ(f, r.powers ? 1u : 0u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(l.unit_flags[i], r.units[i]) << "unit " << i;
    EXPECT_EQ(l.vr_request + l.ar_request + l.fd_request, 0u);
    EXPECT_THAT(token_ids(frame::Slot::refresh_token_var), ElementsAre(130u, 165u, 200u));
    // The overlay switches in the same update, the overlay applied before the panel.
    EXPECT_EQ(overlay_hidden(), r.powers);
    if (r.powers)
      EXPECT_THAT(applied_in("update"), ElementsAre(overlay(), background()));
    else
      EXPECT_THAT(applied_in("update"), IsEmpty());
    EXPECT_THAT(host.violations(), IsEmpty());

    ASSERT_TRUE(host.unload(*g));
    load();  // the next row starts from a fresh module load
  }
}

TEST_F(Radio, TheStartUpCheckRunsOnceAndItsTokensAreBoundAtInstall) {
  start();
  EXPECT_THAT(token_ids(frame::Slot::initialize_token_var), ElementsAre(130u, 165u, 200u));
  update();  // all zero: nothing written, the check is done
  linktest::SecondHolder other;
  host.clear_log();
  set_startup(1.0, 1.0, 1.0);
  for (int i = 0; i < 3; ++i) update();
  EXPECT_EQ(other.link()->power, 0u);
  EXPECT_FALSE(overlay_hidden());
  EXPECT_THAT(token_ids(frame::Slot::refresh_token_var), IsEmpty());
  // The update always ends with the elements, powered or not.
  EXPECT_THAT(host::calls_in(host, "update"),
              ElementsAre("update_elements", "update_elements", "update_elements"));
}

TEST_F(Radio, ASecondInstallClearsPowerAndTheCheckDoesNotComeBack) {
  set_startup(0.0, 1.0, 0.0);
  start();
  update();
  ASSERT_TRUE(overlay_hidden());
  linktest::SecondHolder other;  // keeps the section across the kill
  ASSERT_EQ(other.link()->power, 1u);
  ASSERT_TRUE(host.kill(*g));
  EXPECT_EQ(other.link()->power, 1u) << "kill leaves the link alone";
  host.clear_log();
  ASSERT_TRUE(host.start(*g));
  EXPECT_EQ(other.link()->power, 0u) << "install resets the record";
  for (uint32_t f : other.link()->start_flags) EXPECT_EQ(f, 0u);
  EXPECT_EQ(other.link()->unit_flags[1], 0u);
  update();
  EXPECT_EQ(other.link()->power, 0u) << "token 165 is still 1.0, but the check ran already";
  EXPECT_FALSE(overlay_hidden()) << "powered was 1, the link says 0: a change";
  EXPECT_THAT(applied_in("update"), ElementsAre(overlay(), background()));
  EXPECT_THAT(host.violations(), IsEmpty());
}

// ---- power following ----

TEST_F(Radio, TheOverlayFollowsEveryChangeOfPower) {
  start();
  update();
  linktest::SecondHolder other;
  struct Step {
    uint32_t power;
    bool hidden;
    bool applied;
  };
  const Step steps[] = {{1, true, true},         {1, true, false},  {2, true, true},
                        {0, false, true},        {0, false, false}, {0xFFFFFFFF, true, true},
                        {0x40000000, true, true}};
  for (const Step& s : steps) {
    SCOPED_TRACE("power " + std::to_string(s.power));
    other.link()->power = s.power;
    host.clear_log();
    update();
    EXPECT_EQ(overlay_hidden(), s.hidden);
    // Only the one bit moves; the others are the module's own.
    EXPECT_EQ(overlay()->image_flags & ~navstest::kHiddenBit, 0x1u);
    EXPECT_EQ(background()->image_flags, 0x5u);
    if (s.applied)
      EXPECT_THAT(applied_in("update"), ElementsAre(overlay(), background()));
    else
      EXPECT_THAT(applied_in("update"), IsEmpty());
  }
}

// ---- buttons and areas ----

enum class Button { MP, PL, STD, VR, AR, FD };

struct FunctionArea {
  const char* name;
  Button button;
  int x, y, w, h;
};

const FunctionArea kButtons[] = {
    {"MP", Button::MP, 81, 17, 12, 10},   {"PL", Button::PL, 81, 33, 12, 10},
    {"STD", Button::STD, 14, 25, 11, 15}, {"VR", Button::VR, 44, 58, 18, 14},
    {"AR", Button::AR, 44, 74, 18, 14},   {"FD", Button::FD, 112, 17, 18, 14},
};

struct KeyArea {
  const char* name;
  int x, y, w, h, cursor;
  uint32_t event;
};

const KeyArea kKeyAreas[] = {
    {"QFE down", 2, 25, 12, 15, 2, 65884},   {"QFE up", 25, 25, 12, 15, 1, 65883},
    {"NAV1 down", 77, 60, 12, 10, 2, 65662}, {"NAV1 up", 125, 60, 12, 10, 1, 65663},
    {"NAV2 down", 77, 76, 12, 10, 2, 65664}, {"NAV2 up", 125, 76, 12, 10, 1, 65665},
};

// What one click did, read from the host's log and the link.
struct Effect {
  std::vector<uint32_t> windows;
  std::vector<host::KeyEvent> keys;
  uint32_t vr = 0, ar = 0, fd = 0;
};

class Buttons : public Radio {
 protected:
  Effect press(const FunctionArea& b, const frame::CockpitLink* l) {
    host.clear_log();
    const host::ClickResult r = click(b.x, b.y, b.w, b.h);
    EXPECT_TRUE(r.called_function) << b.name;
    EXPECT_EQ(r.function_result, 1u) << b.name;
    Effect e{host.panel_windows(), host.key_events()};
    if (l) {
      e.vr = l->vr_request;
      e.ar = l->ar_request;
      e.fd = l->fd_request;
    }
    return e;
  }
  void expect_effect(const FunctionArea& b, const Effect& e, bool powered, bool linked) {
    SCOPED_TRACE(b.name);
    const bool on = powered;
    std::vector<uint32_t> windows;
    if (on && b.button == Button::MP) windows = {50};
    if (on && b.button == Button::PL) windows = {51};
    EXPECT_EQ(e.windows, windows);
    if (b.button == Button::STD && on) {
      ASSERT_EQ(e.keys.size(), 1u);
      EXPECT_EQ(e.keys[0].id, 66040u);
      EXPECT_EQ(e.keys[0].value, 16209u);
      EXPECT_FALSE(e.keys[0].from_area) << "sent by the module, not by the area";
    } else {
      EXPECT_THAT(e.keys, IsEmpty());
    }
    const bool writes = on && linked;
    EXPECT_EQ(e.vr, b.button == Button::VR && writes ? 1u : 0u);
    EXPECT_EQ(e.ar, b.button == Button::AR && writes ? 1u : 0u);
    EXPECT_EQ(e.fd, b.button == Button::FD && writes ? 1u : 0u);
  }
  void clear_requests(frame::CockpitLink* l) {
    if (l) l->vr_request = l->ar_request = l->fd_request = 0;
  }
};

TEST_F(Buttons, ButtonsActOnlyWhilePowered) {
  start();
  update();
  linktest::SecondHolder other;
  frame::CockpitLink* l = other.link();
  for (bool powered : {false, true}) {
    SCOPED_TRACE(powered ? "powered" : "unpowered");
    l->power = powered ? 1 : 0;
    update();
    for (const FunctionArea& b : kButtons) {
      clear_requests(l);
      expect_effect(b, press(b, l), powered, true);
    }
  }
  EXPECT_THAT(host.violations(), IsEmpty());
}

// Power survives kill and re-install; a re-install without a link keeps the panel buttons
// working but has nowhere to write requests.
TEST_F(Buttons, WithoutALinkPowerIsWhatItWasAndRequestsGoNowhere) {
  set_startup(0.0, 1.0, 0.0);
  start();
  update();
  ASSERT_TRUE(overlay_hidden());
  ASSERT_TRUE(host.kill(*g));
  ASSERT_FALSE(linktest::section_exists()) << "the radio was the only holder";
  {
    linktest::LinkUnavailable unavailable;
    ASSERT_TRUE(unavailable.armed());
    ASSERT_TRUE(host.start(*g));
  }
  for (int i = 0; i < 2; ++i) update();
  EXPECT_TRUE(overlay_hidden()) << "nothing to follow";
  for (const FunctionArea& b : kButtons) expect_effect(b, press(b, nullptr), true, false);
  EXPECT_FALSE(linktest::section_exists()) << "no request made a section";
}

TEST_F(Buttons, AnUnlinkedPanelFromTheStartIsUnpowered) {
  set_startup(1.0, 1.0, 1.0);
  {
    linktest::LinkUnavailable unavailable;
    ASSERT_TRUE(unavailable.armed());
    start();
  }
  update();
  EXPECT_FALSE(overlay_hidden());
  EXPECT_THAT(applied_in("update"), IsEmpty());
  for (const FunctionArea& b : kButtons) expect_effect(b, press(b, nullptr), false, false);
  // The check was used up without a link: a link that comes with a re-install is not powered.
  ASSERT_TRUE(host.kill(*g));
  ASSERT_TRUE(host.start(*g));
  update();
  linktest::SecondHolder other;
  ASSERT_NE(other.link(), nullptr);
  EXPECT_EQ(other.link()->power, 0u);
  EXPECT_FALSE(overlay_hidden());
}

TEST_F(Buttons, MpOpensItsWindowAndSendsNothing) {
  set_startup(0.0, 1.0, 0.0);
  start();
  update();
  const Effect e = press(kButtons[0], nullptr);
  EXPECT_THAT(e.windows, ElementsAre(50u));
  EXPECT_THAT(e.keys, IsEmpty());
  EXPECT_THAT(host::calls_in(host, "mouse"), ElementsAre("toggle_panel_window"));
}

TEST_F(Buttons, ARequestStaysSetUntilSomeoneElseClearsIt) {
  start();
  update();
  linktest::SecondHolder other;
  frame::CockpitLink* l = other.link();
  const FunctionArea& fd = kButtons[5];
  press(fd, l);
  EXPECT_EQ(l->fd_request, 0u) << "unpowered: nothing written";
  l->power = 1;
  update();
  press(fd, l);
  for (int i = 0; i < 3; ++i) update();
  EXPECT_EQ(l->fd_request, 1u);
  press(fd, l);
  EXPECT_EQ(l->fd_request, 1u);
  EXPECT_EQ(l->vr_request, 0u);
  EXPECT_EQ(l->ar_request, 0u);
  l->fd_request = 0;  // the autopilot took it
  update();
  EXPECT_EQ(l->fd_request, 0u) << "the radio does not set it again by itself";
}

TEST_F(Buttons, KeyEventAreasSendPoweredOrNot) {
  start();
  update();
  linktest::SecondHolder other;
  for (uint32_t power : {0u, 1u}) {
    other.link()->power = power;
    update();
    for (const KeyArea& a : kKeyAreas) {
      SCOPED_TRACE(std::string(a.name) + (power ? " powered" : " unpowered"));
      host.clear_log();
      const host::ClickResult r = click(a.x, a.y, a.w, a.h);
      EXPECT_FALSE(r.called_function);
      ASSERT_EQ(host.key_events().size(), 1u);
      EXPECT_EQ(host.key_events()[0].id, a.event);
      EXPECT_TRUE(host.key_events()[0].from_area);
      EXPECT_THAT(host.calls(), IsEmpty()) << "no module code runs for a key-event area";
    }
  }
}

// Every area reaches exactly its box: each corner inside acts, each neighbour pixel outside
// does not act as this area.
TEST_F(Buttons, EachAreaCoversExactlyItsBox) {
  set_startup(0.0, 1.0, 0.0);
  start();
  update();
  linktest::SecondHolder other;
  frame::CockpitLink* l = other.link();
  auto what = [&](int x, int y) -> std::string {
    clear_requests(l);
    host.clear_log();
    const host::ClickResult r = host.click(*g, x, y);
    if (r.key_event) return "event " + std::to_string(r.key_event);
    if (!r.called_function) return "none";
    if (!host.panel_windows().empty()) return host.panel_windows()[0] == 50 ? "MP" : "PL";
    if (!host.key_events().empty()) return "STD";
    if (l->vr_request) return "VR";
    if (l->ar_request) return "AR";
    if (l->fd_request) return "FD";
    return "function without effect";
  };
  struct Box {
    std::string label;
    int x, y, w, h;
  };
  std::vector<Box> boxes;
  for (const FunctionArea& b : kButtons) boxes.push_back({b.name, b.x, b.y, b.w, b.h});
  for (const KeyArea& a : kKeyAreas)
    boxes.push_back({"event " + std::to_string(a.event), a.x, a.y, a.w, a.h});
  for (const Box& b : boxes) {
    SCOPED_TRACE(b.label);
    const int right = b.x + b.w - 1, bottom = b.y + b.h - 1;
    for (auto [x, y] : {std::pair{b.x, b.y}, {right, b.y}, {b.x, bottom}, {right, bottom}})
      EXPECT_EQ(what(x, y), b.label) << x << "," << y;
    for (auto [x, y] : {std::pair{b.x - 1, b.y}, {right + 1, b.y}, {b.x, b.y - 1}, {b.x, bottom + 1}})
      EXPECT_NE(what(x, y), b.label) << x << "," << y;
  }
  EXPECT_EQ(what(0, 0), "none");
  EXPECT_EQ(what(70, 45), "none");
}

// The host reads these fields of the list without acting on them.
TEST_F(Buttons, TheListCarriesCursorsAndClickFlags) {
  start();
  const frame::MouseArea* a = g->mouse_list();
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a[0].type, frame::kAreaParent);
  EXPECT_EQ(a[0].cursor, -1);
  EXPECT_EQ(a[0].click_flags, 0u);
  for (int i = 1; i <= 12; ++i) {
    SCOPED_TRACE("area " + std::to_string(i));
    EXPECT_EQ(a[i].type, frame::kAreaChild);
    EXPECT_EQ(a[i].help_id, 0u);
    const bool key = a[i].key_event != 0;
    EXPECT_NE(key, a[i].function != nullptr) << "an event or a function, never both";
    EXPECT_EQ(a[i].click_flags, key ? 0x20200000u : 0x20000000u);
    if (!key) {
      EXPECT_EQ(a[i].cursor, 5);
    }
    for (const KeyArea& k : kKeyAreas)
      if (k.event == a[i].key_event) {
        EXPECT_EQ(a[i].cursor, k.cursor);
      }
  }
  EXPECT_EQ(a[13].type, frame::kAreaEndParent);
  EXPECT_EQ(a[14].type, frame::kAreaEndList);
  for (int i : {13, 14}) {
    EXPECT_EQ(a[i].cursor, -1);
    EXPECT_EQ(a[i].x | a[i].y | a[i].width | a[i].height, 0);
    EXPECT_TRUE(a[i].function == nullptr);  // a packed field: compared in place, not bound
  }
}

// ---- the link through the host ----

class RadioLink : public Radio {};

TEST_F(RadioLink, TheRadioCreatesTheSectionAndASecondHolderSharesIt) {
  ASSERT_FALSE(linktest::section_exists());
  set_startup(0.0, 0.0, 1.0);
  start();
  ASSERT_TRUE(linktest::section_exists());
  linktest::SecondHolder other;
  ASSERT_NE(other.link(), nullptr);
  EXPECT_EQ(linktest::section_size(other.link()), 65536u);
  update();
  EXPECT_EQ(other.link()->power, 1u);
  EXPECT_EQ(other.link()->unit_flags[2], 1u);
  EXPECT_THAT(host::describe_cockpit_link(), HasSubstr("unit flags: 130=0 165=0 200=1\n"));
  // And the other way: what the second holder writes, the radio follows.
  other.link()->power = 0;
  update();
  EXPECT_FALSE(overlay_hidden());
}

TEST_F(RadioLink, InstallResetsAnExistingRecordOnly) {
  linktest::SecondHolder other;
  ASSERT_NE(other.link(), nullptr);
  std::memset(other.bytes(), 0xAB, 300);
  start();  // no Sound folder: the announcement slots stay empty
  for (int i = 0; i < 182; ++i) ASSERT_EQ(other.bytes()[i], 0) << "byte " << i;
  for (int i = 182; i < 300; ++i) ASSERT_EQ(other.bytes()[i], 0xAB) << "byte " << i;
}

TEST_F(RadioLink, TheSectionGoesWithTheRadioAsLastHolder) {
  set_startup(0.0, 1.0, 0.0);
  start();
  update();
  ASSERT_TRUE(linktest::section_exists());
  EXPECT_LIVE(hooks::Resource::Section, 1);
  EXPECT_LIVE(hooks::Resource::View, 1);
  ASSERT_TRUE(host.kill(*g));
  EXPECT_FALSE(linktest::section_exists());
  EXPECT_EQ(host::describe_cockpit_link(), "no cockpit link\n");
  EXPECT_LIVE(hooks::Resource::Section, 0);
  EXPECT_LIVE(hooks::Resource::View, 0);
  // A re-install makes a new section; kill calls nothing of the old view again (ASan would see).
  ASSERT_TRUE(host.start(*g));
  EXPECT_TRUE(linktest::section_exists());
  ASSERT_TRUE(host.unload(*g));
  EXPECT_FALSE(linktest::section_exists());
  EXPECT_THAT(host.violations(), IsEmpty());
}

TEST_F(RadioLink, KillClosesBeforeTheHostServices) {
  start();
  host.clear_log();
  ASSERT_TRUE(host.kill(*g));
  EXPECT_THAT(host::calls_in(host, "kill"), ElementsAre("unregister_mouse_list", "kill_elements"));
  EXPECT_FALSE(linktest::section_exists());
}

// Each failing step of the open, injected: the panel stays dark, the key-event areas still send,
// and nothing is left behind.
TEST_F(RadioLink, AFailingOpenLeavesTheRadioUnpoweredButItsKeyAreasWork) {
  if (!hooks::kHooks) GTEST_SKIP() << "needs the substitute's fault injection";
  using hooks::Call;
  using hooks::live;
  using hooks::Resource;
  const std::vector<std::vector<Call>> rows = {
      {Call::CreateFileMappingA}, {Call::OpenFileMappingA, Call::CreateFileMappingA}, {Call::MapViewOfFile}};
  set_startup(0.0, 1.0, 0.0);
  for (const auto& failing : rows) {
    SCOPED_TRACE(platform::name(failing.back()));
    for (Call call : failing) hooks::fail(call);
    start();
    hooks::clear_failures();
    EXPECT_EQ(live(Resource::Section), 0);
    EXPECT_EQ(live(Resource::View), 0);
    EXPECT_FALSE(linktest::section_exists());
    update();
    EXPECT_FALSE(overlay_hidden());
    host.clear_log();
    click(81, 17, 12, 10);
    EXPECT_THAT(host.panel_windows(), IsEmpty());
    host.clear_log();
    click(2, 25, 12, 15);
    ASSERT_EQ(host.key_events().size(), 1u);
    EXPECT_EQ(host.key_events()[0].id, 65884u);
    ASSERT_TRUE(host.unload(*g));
    load();
  }
}

TEST_F(RadioLink, AFailingOpenOfAnExistingSectionStillReachesItByCreate) {
  if (!hooks::kHooks) GTEST_SKIP() << "needs the substitute's fault injection";
  linktest::SecondHolder other;
  other.link()->power = 1;  // reset by the install, as any existing record
  hooks::fail(hooks::Call::OpenFileMappingA);
  set_startup(1.0, 0.0, 0.0);
  start();
  hooks::clear_failures();
  update();
  EXPECT_EQ(other.link()->unit_flags[0], 1u);
  EXPECT_TRUE(overlay_hidden());
}

#ifndef _WIN32
// A POSIX object made directly, beside the substitute.
TEST_F(RadioLink, AnUndersizedObjectIsNoLinkAndLeavesNothingBehind) {
  using hooks::live;
  using hooks::Resource;
  const int fd = linktest::create_held_object(0);
  ASSERT_GE(fd, 0);  // another process's, not yet sized
  set_startup(0.0, 1.0, 0.0);
  start();
  EXPECT_EQ(live(Resource::Section), 0);
  EXPECT_EQ(live(Resource::View), 0);
  update();
  EXPECT_FALSE(overlay_hidden());
  struct stat st;
  ASSERT_EQ(fstat(fd, &st), 0);
  EXPECT_EQ(st.st_size, 0) << "the radio wrote nothing into it";
  host.clear_log();
  click(2, 25, 12, 15);
  EXPECT_EQ(host.key_events().size(), 1u);
  close(fd);
  linktest::remove_object();
}
#endif

}  // namespace

namespace {

// The night view shows what the power overlay is for: unpowered, the unlit overlay dims the
// lettering; powered, it is hidden and the lit panel shows at full brightness.
TEST_F(Radio, AtNightThePanelIsDarkUntilPowered) {
  auto brightest = [&](const host::Image& img) {
    int best = 0;
    for (const host::Rgb& p : img.pixels) best = std::max(best, int(p.r));
    return best;
  };
  start();
  update();
  const int unpowered = brightest(host.render(*g, true));
  const int day = brightest(host.render(*g, false));
  linktest::SecondHolder other;
  other.link()->power = 1;
  update();
  const int powered = brightest(host.render(*g, true));
  EXPECT_EQ(day, 204) << "light grey lettering";
  EXPECT_EQ(powered, 204);
  EXPECT_LT(unpowered, 100);
}

}  // namespace
