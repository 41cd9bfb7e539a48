// The cabin-announcement choice: the generator, the pick of one category over every draw, the
// file search, and the slots the radio writes into the link at install.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "navs/announcements.h"
#include "platform/files.h"
#include "tests/navs/navs_support.h"
#include "tests/support/platform_hooks.h"

using testing::ElementsAre;
using testing::ElementsAreArray;

namespace {

using navstest::FixtureFolder;

TEST(Generator, SeedZeroGivesItsKnownSequence) {
  navs::seed_generator(0);
  std::vector<uint32_t> draws;
  for (int i = 0; i < 6; ++i) draws.push_back(navs::draw());
  EXPECT_THAT(draws, ElementsAre(38u, 7719u, 21238u, 2437u, 8855u, 11797u));
  navs::seed_generator(0);
  EXPECT_EQ(navs::draw(), 38u) << "seeding starts the sequence over";
}

TEST(Generator, DrawsStayWithinFifteenBits) {
  for (uint32_t seed : {1u, 0xFFFFFFFFu, 0x80000000u, 123456789u}) {
    navs::seed_generator(seed);
    for (int i = 0; i < 10000; ++i) ASSERT_LE(navs::draw(), 32767u) << "seed " << seed;
  }
}

// ---- one category's pick, over every draw ----

struct Band {
  uint32_t from, to;  // draws, inclusive
  int number;         // -1: no announcement
};

struct PickRow {
  const char* name;
  std::vector<int> files;
  std::vector<Band> bands;  // covering 0..32767
};

std::vector<PickRow> pick_rows() {
  std::vector<PickRow> rows = {
      {"no files", {}, {{0, 32767, -1}}},
      {"numbers 1, 2, 3", {1, 2, 3}, {{0, 4095, -1}, {4096, 12287, 2}, {12288, 20479, 3}, {20480, 32767, 1}}},
      // k comes out 0..11; 1..8 step to k + 1, and 9, 10, 11 all wrap to 0: number 1 never plays.
      {"all ten",
       {0, 1, 2, 3, 4, 5, 6, 7, 8, 9},
       {{0, 1489, -1},
        {1490, 4468, 2},
        {4469, 7447, 3},
        {7448, 10425, 4},
        {10426, 13404, 5},
        {13405, 16383, 6},
        {16384, 19362, 7},
        {19363, 22341, 8},
        {22342, 25319, 9},
        {25320, 32767, 0}}},
      {"numbers 0 and 9", {0, 9}, {{0, 5461, -1}, {5462, 32767, 9}}},
  };
  for (int d : {0, 1, 5, 9}) rows.push_back({"one file", {d}, {{0, 8191, -1}, {8192, 32767, d}}});
  return rows;
}

TEST(Pick, EveryDrawFallsInItsBand) {
  for (const PickRow& row : pick_rows()) {
    const int first = row.files.empty() ? -1 : row.files[0];
    SCOPED_TRACE(std::string(row.name) + " (first " + std::to_string(first) + ")");
    // Entries 10 and 11 are set as bait: a search that ever looked past 9 would pick them.
    uint8_t files[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1};
    for (int d : row.files) files[d] = 1;
    const auto n = static_cast<uint32_t>(row.files.size());
    uint32_t covered = 0;
    for (const Band& b : row.bands) {
      for (uint32_t r = b.from; r <= b.to; ++r) {
        const int got = navs::pick_number(r, files, n);
        if (got != b.number) {
          ADD_FAILURE() << "draw " << r << " picked " << got << ", expected " << b.number;
          break;
        }
      }
      covered += b.to - b.from + 1;
    }
    EXPECT_EQ(covered, 32768u);
  }
}

// ---- the file search and the slots ----

// Files of the seeded example: slot 0 none; 1 only number 0; 2 numbers 1, 2, 3; 3 all ten;
// 4 only 5; 5 only 9.
void make_example_files(const FixtureFolder& f) {
  f.touch("Sound/CD_Rotate_0.wav");
  for (int d : {1, 2, 3}) f.touch("Sound/CD_AfterLanding_" + std::to_string(d) + ".wav");
  for (int d = 0; d < 10; ++d) f.touch("Sound/CD_BoardingDone_" + std::to_string(d) + ".wav");
  f.touch("Sound/PB_ByeBye_5.wav");
  f.touch("Sound/CD_Music_9.wav");
}

std::vector<std::string> slot_texts(const frame::CockpitLink& l) {
  std::vector<std::string> out;
  for (const auto& s : l.announcement_slots) out.emplace_back(s, strnlen(s, 3));
  return out;
}

class Announcements : public testing::Test {
 protected:
  FixtureFolder folder;
};

TEST_F(Announcements, TheSeededExample) {
  make_example_files(folder);
  folder.touch("Sound/CD_CapClimb_10.wav");  // not a number of 0..9: never searched for
  navs::scan_announcements();
  EXPECT_THAT(navs::count, ElementsAre(0u, 1u, 3u, 10u, 1u, 1u));
  EXPECT_THAT(navs::present[2], ElementsAre(0, 1, 1, 1, 0, 0, 0, 0, 0, 0));
  EXPECT_THAT(navs::present[5], ElementsAre(0, 0, 0, 0, 0, 0, 0, 0, 0, 1));

  frame::CockpitLink l;
  std::memset(&l, 'X', sizeof l);
  navs::pick_announcements_seeded(0, l);
  EXPECT_THAT(slot_texts(l), ElementsAre("", "", "_1", "_2", "_5", "_9"));
  // A text is written with its zero; an empty one is its zero alone.
  EXPECT_EQ(std::memcmp(l.announcement_slots[2], "_1", 3), 0);
  EXPECT_EQ(std::memcmp(l.announcement_slots[0], "\0XX", 3), 0);
  EXPECT_EQ(std::memcmp(l.announcement_slots[1], "\0XX", 3), 0);
  EXPECT_EQ(l.power, 0x58585858u) << "only the slots are written";
}

TEST_F(Announcements, NoSoundFolderMeansNoAnnouncements) {
  navs::scan_announcements();
  EXPECT_THAT(navs::count, ElementsAre(0u, 0u, 0u, 0u, 0u, 0u));
  for (uint32_t seed : {0u, 1u, 4242u, 0xFFFFFFFFu}) {
    frame::CockpitLink l;
    std::memset(&l, 'X', sizeof l);
    navs::pick_announcements_seeded(seed, l);
    EXPECT_THAT(slot_texts(l), ElementsAre("", "", "", "", "", "")) << "seed " << seed;
  }
}

TEST_F(Announcements, FileNamesMatchWithoutRegardToLetterCase) {
  folder.touch("sound/cd_music_3.WAV");
  folder.touch("sound/PB_BYEBYE_0.Wav");
  navs::scan_announcements();
  EXPECT_THAT(navs::count, ElementsAre(0u, 0u, 0u, 0u, 1u, 1u));
  EXPECT_EQ(navs::present[5][3], 1);
  EXPECT_EQ(navs::present[4][0], 1);
  frame::CockpitLink l{};
  navs::pick_announcements_seeded(0, l);  // the sixth draw, 11797, is in the band of the one file
  EXPECT_EQ(slot_texts(l)[5], "_3");
}

TEST_F(Announcements, AScanForgetsWhatTheLastOneFound) {
  make_example_files(folder);
  navs::scan_announcements();
  std::filesystem::remove_all("Sound");
  navs::scan_announcements();
  EXPECT_THAT(navs::count, ElementsAre(0u, 0u, 0u, 0u, 0u, 0u));
  for (const auto& row : navs::present) EXPECT_THAT(row, ElementsAre(0, 0, 0, 0, 0, 0, 0, 0, 0, 0));
}

// ---- through the module ----

class ModuleAnnouncements : public navstest::Radio {};

// Whatever the tick count, a slot names only a file that is there.
TEST_F(ModuleAnnouncements, EveryInstallPicksAmongTheFilesThatAreThere) {
  make_example_files(folder);
  const std::vector<std::set<std::string>> allowed = {
      {""},
      {"", "_0"},
      {"", "_1", "_2", "_3"},
      {"", "_0", "_2", "_3", "_4", "_5", "_6", "_7", "_8", "_9"},
      {"", "_5"},
      {"", "_9"}};
  start();
  linktest::SecondHolder other;
  for (int install = 0; install < 20; ++install) {
    const std::vector<std::string> texts = slot_texts(*other.link());
    for (size_t s = 0; s < 6; ++s) {
      EXPECT_TRUE(allowed[s].count(texts[s])) << "slot " << s << ": " << texts[s];
    }
    restart();
  }
}

TEST_F(ModuleAnnouncements, NoSoundFolderLeavesEverySlotEmpty) {
  start();
  linktest::SecondHolder other;
  EXPECT_THAT(slot_texts(*other.link()), ElementsAre("", "", "", "", "", ""));
}

TEST_F(ModuleAnnouncements, TheInstallSeedsWithTheTickCount) {
  if (!hooks::kHooks) GTEST_SKIP() << "needs the substitute's tick count control";
  make_example_files(folder);
  {
    hooks::HeldTickCount zero(0);
    start();
  }
  linktest::SecondHolder other;
  EXPECT_THAT(slot_texts(*other.link()), ElementsAre("", "", "_1", "_2", "_5", "_9"));
}

// An injected failure of the nth search from now shows how many searches ran, and in which order.
class Searches : public ModuleAnnouncements {
 protected:
  // True if the next search is the one set to fail (and uses it up).
  static bool next_search_fails() { return !platform::file_exists("Sound/CD_Music_9.wav"); }
};

TEST_F(Searches, SixtySearchesAtEveryInstallWithOrWithoutALink) {
  if (!hooks::kHooks) GTEST_SKIP() << "needs the substitute's fault injection";
  folder.touch("Sound/CD_Music_9.wav");
  for (bool linked : {true, false}) {
    SCOPED_TRACE(linked ? "with a link" : "without a link");
    hooks::fail(hooks::Call::FindFirstFileA, 61);
    if (!linked) hooks::fail(hooks::Call::MapViewOfFile);
    start();
    EXPECT_TRUE(next_search_fails()) << "the install made exactly 60 searches";
    EXPECT_FALSE(next_search_fails());
    hooks::fail(hooks::Call::FindFirstFileA, 1);
    for (int i = 0; i < 3; ++i) update();
    host.click(*g, 2 + 6, 25 + 7);
    host.click(*g, 112 + 9, 17 + 7);
    ASSERT_TRUE(host.kill(*g));
    EXPECT_TRUE(next_search_fails()) << "no search outside install";
    hooks::clear_failures();
  }
}

TEST_F(Searches, TheSixtiethSearchIsTheLastMusicFile) {
  if (!hooks::kHooks) GTEST_SKIP() << "needs the substitute's fault injection";
  folder.touch("Sound/CD_Music_9.wav");
  struct Row {
    int failing;
    const char* slot5;
  };
  const Row rows[] = {{60, ""}, {59, "_9"}, {61, "_9"}};
  for (const Row& r : rows) {
    SCOPED_TRACE("search " + std::to_string(r.failing) + " fails");
    hooks::set_tick_count(0);  // the sixth draw, 11797, picks the one file
    hooks::fail(hooks::Call::FindFirstFileA, r.failing);
    start();
    hooks::clear_failures();
    hooks::release_tick_count();
    {
      linktest::SecondHolder other;
      EXPECT_EQ(slot_texts(*other.link())[5], r.slot5);
    }
    ASSERT_TRUE(host.kill(*g));
  }
}

}  // namespace
