// The named section and the cockpit link over it, without a module: sizes, sharing, lifetime,
// the frame's open and close, and the host's description of the record.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "frame/cockpit_link.h"
#include "host/cockpit.h"
#include "platform/shared_section.h"
#include "tests/link/link_support.h"

#ifndef _WIN32
#include <spawn.h>
#include <sys/wait.h>
extern char** environ;
#endif

using testing::HasSubstr;

namespace {

using platform::SectionHandle;

constexpr const char* kName = frame::kCockpitLinkName;

class Section : public testing::Test {
 protected:
  linktest::LinkTurn turn;
};

TEST_F(Section, ANewSectionIsOneAllocationUnitOfZeros) {
  EXPECT_EQ(platform::allocation_granularity(), 65536u);
  SectionHandle h = platform::create_page_file_section(kName, platform::allocation_granularity());
  ASSERT_NE(h, nullptr);
  auto* view = static_cast<unsigned char*>(platform::map_whole_view_for_write(h, 182));
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(linktest::section_size(view), 65536u);
  std::vector<unsigned char> zeros(65536, 0);
  EXPECT_EQ(std::memcmp(view, zeros.data(), zeros.size()), 0);
  platform::unmap_view(view);
  platform::close_section(h);
}

TEST_F(Section, EveryHolderOfTheNameSeesTheSameBytes) {
  SectionHandle a = platform::create_page_file_section(kName, 65536);
  ASSERT_NE(a, nullptr);
  // Opening, and creating again under the same name, both reach the existing section.
  SectionHandle b = platform::open_section_for_write(kName);
  SectionHandle c = platform::create_page_file_section(kName, 4096);
  ASSERT_NE(b, nullptr);
  ASSERT_NE(c, nullptr);
  auto* va = static_cast<unsigned char*>(platform::map_whole_view_for_write(a, 182));
  auto* vb = static_cast<unsigned char*>(platform::map_whole_view_for_write(b, 182));
  auto* vc = static_cast<unsigned char*>(platform::map_whole_view_for_write(c, 182));
  ASSERT_TRUE(va && vb && vc);
  EXPECT_NE(va, vb);
  EXPECT_EQ(linktest::section_size(vc), 65536u) << "a second create keeps the first one's size";
  va[0] = 0x11;
  vb[181] = 0x22;
  vc[65535] = 0x33;
  for (unsigned char* v : {va, vb, vc}) {
    EXPECT_EQ(v[0], 0x11);
    EXPECT_EQ(v[181], 0x22);
    EXPECT_EQ(v[65535], 0x33);
  }
  for (void* v : {static_cast<void*>(va), static_cast<void*>(vb), static_cast<void*>(vc)})
    platform::unmap_view(v);
  for (SectionHandle h : {a, b, c}) platform::close_section(h);
}

TEST_F(Section, TheNameGoesWithTheLastHandleAndTheContentWithIt) {
  // Closing orders of two handles; views stay mapped throughout and keep their memory.
  for (bool creator_first : {true, false}) {
    SCOPED_TRACE(creator_first ? "creator closes first" : "opener closes first");
    SectionHandle first = platform::create_page_file_section(kName, 65536);
    ASSERT_NE(first, nullptr);
    SectionHandle second = platform::open_section_for_write(kName);
    ASSERT_NE(second, nullptr);
    auto* v1 = static_cast<unsigned char*>(platform::map_whole_view_for_write(first, 182));
    auto* v2 = static_cast<unsigned char*>(platform::map_whole_view_for_write(second, 182));
    ASSERT_TRUE(v1 && v2);
    v1[10] = 0x5A;

    platform::close_section(creator_first ? first : second);
    EXPECT_TRUE(linktest::section_exists()) << "one handle is still open";
    platform::close_section(creator_first ? second : first);
    EXPECT_FALSE(linktest::section_exists()) << "no handle is open";
    EXPECT_EQ(platform::open_section_for_write(kName), nullptr);

    // The views outlive the handles and still share their memory.
    v2[11] = 0x6B;
    EXPECT_EQ(v2[10], 0x5A);
    EXPECT_EQ(v1[11], 0x6B);
    platform::unmap_view(v1);
    platform::unmap_view(v2);

    SectionHandle again = platform::create_page_file_section(kName, 65536);
    ASSERT_NE(again, nullptr);
    auto* v = static_cast<unsigned char*>(platform::map_whole_view_for_write(again, 182));
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v[10], 0) << "a section made anew starts at zero";
    platform::unmap_view(v);
    platform::close_section(again);
    EXPECT_FALSE(linktest::section_exists());
  }
}

// ---- the frame's link ----

class Link : public testing::Test {
 protected:
  linktest::LinkTurn turn;
};

TEST_F(Link, TheFirstOpenCreatesTheSectionAndLaterOnesShareIt) {
  frame::CockpitLinkState first, second;
  frame::open_cockpit_link(first);
  ASSERT_NE(first.link_handle, nullptr);
  ASSERT_NE(first.link_view, nullptr);
  EXPECT_EQ(linktest::section_size(first.link_view), 65536u);
  frame::open_cockpit_link(second);
  ASSERT_NE(second.link_view, nullptr);
  EXPECT_NE(second.link_handle, first.link_handle);

  first.link_view->fd_request = 1;
  std::memcpy(first.link_view->announcement_slots[5], "_9", 3);
  EXPECT_EQ(second.link_view->fd_request, 1u);
  EXPECT_STREQ(second.link_view->announcement_slots[5], "_9");

  frame::close_cockpit_link(first);
  EXPECT_EQ(first.link_handle, nullptr);
  EXPECT_EQ(first.link_view, nullptr);
  EXPECT_TRUE(linktest::section_exists());
  frame::close_cockpit_link(second);
  EXPECT_FALSE(linktest::section_exists());
  frame::close_cockpit_link(second);  // without a link: nothing to do
  EXPECT_FALSE(linktest::section_exists());
}

TEST_F(Link, ResetClearsTheRecordAndNothingAfterIt) {
  linktest::SecondHolder other;
  ASSERT_NE(other.link(), nullptr);
  std::memset(other.bytes(), 0xAB, 200);
  frame::CockpitLinkState s;
  frame::open_cockpit_link(s);
  ASSERT_NE(s.link_view, nullptr);
  frame::reset_cockpit_link(s);
  for (int i = 0; i < 182; ++i) ASSERT_EQ(other.bytes()[i], 0) << "byte " << i;
  for (int i = 182; i < 200; ++i) ASSERT_EQ(other.bytes()[i], 0xAB) << "byte " << i;
  frame::close_cockpit_link(s);
}

TEST_F(Link, PowerIsNotFollowedWithoutAView) {
  // follow_power without a link must touch neither the state nor the elements (nor the host,
  // which this test does not have).
  frame::CockpitLinkState s;
  s.powered = 3;
  frame::ElementHeader overlay{}, top{};
  overlay.image_flags = 0x1;
  frame::follow_power(s, &overlay, &top);
  EXPECT_EQ(s.powered, 3u);
  EXPECT_EQ(overlay.image_flags, 0x1u);
}

// The substitute's counters and injected failures: each step of the open, failing.
TEST_F(Link, AFailingStepLeavesNoLinkAndNothingBehind) {
  if (!hooks::kHooks) GTEST_SKIP() << "needs the substitute's fault injection";
  using hooks::Call;
  using hooks::live;
  using hooks::Resource;
  struct Row {
    const char* name;
    std::vector<Call> failing;
    bool other_holder;  // a section exists before the open
    bool linked;
  };
  const Row rows[] = {
      {"open fails, nothing to share: create makes it", {Call::OpenFileMappingA}, false, true},
      {"open fails, create reaches the existing section", {Call::OpenFileMappingA}, true, true},
      {"create fails where there is nothing to open", {Call::CreateFileMappingA}, false, false},
      {"create is not needed where open succeeds", {Call::CreateFileMappingA}, true, true},
      {"open and create fail", {Call::OpenFileMappingA, Call::CreateFileMappingA}, true, false},
      {"the view fails", {Call::MapViewOfFile}, false, false},
      {"the view fails beside another holder", {Call::MapViewOfFile}, true, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    {
      frame::CockpitLinkState other;
      if (r.other_holder) {
        frame::open_cockpit_link(other);
        ASSERT_NE(other.link_view, nullptr);
        other.link_view->vr_request = 7;
      }
      const int64_t sections = live(Resource::Section), views = live(Resource::View);
      for (Call call : r.failing) hooks::fail(call);
      frame::CockpitLinkState s;
      frame::open_cockpit_link(s);
      hooks::clear_failures();
      EXPECT_EQ(s.link_view != nullptr, r.linked);
      EXPECT_EQ(s.link_handle != nullptr, r.linked);
      EXPECT_EQ(live(Resource::Section), sections + (r.linked ? 1 : 0));
      EXPECT_EQ(live(Resource::View), views + (r.linked ? 1 : 0));
      if (r.linked && r.other_holder) {
        EXPECT_EQ(s.link_view->vr_request, 7u);
      }
      if (!r.linked) {
        EXPECT_EQ(linktest::section_exists(), r.other_holder);
      }
      frame::close_cockpit_link(s);
      frame::close_cockpit_link(other);
    }
    EXPECT_EQ(live(Resource::Section), 0);
    EXPECT_EQ(live(Resource::View), 0);
    EXPECT_FALSE(linktest::section_exists());
  }
}

#ifndef _WIN32
// POSIX objects and processes made directly, beside the substitute.

// Another process may have created the object and not sized it yet: no view of it is made, and
// the open leaves nothing behind.
TEST_F(Link, AnObjectTooSmallForTheRecordIsNoLink) {
  using hooks::live;
  using hooks::Resource;
  struct Row {
    off_t size;
    bool linked;
  };
  const Row rows[] = {{0, false}, {1, false}, {181, false}, {182, true}, {4096, true}};
  for (const Row& r : rows) {
    SCOPED_TRACE("object of " + std::to_string(r.size) + " bytes");
    const int fd = linktest::create_held_object(r.size);
    ASSERT_GE(fd, 0);
    frame::CockpitLinkState s;
    frame::open_cockpit_link(s);
    EXPECT_EQ(s.link_view != nullptr, r.linked);
    EXPECT_EQ(live(Resource::Section), r.linked ? 1 : 0);
    EXPECT_EQ(live(Resource::View), r.linked ? 1 : 0);
    if (r.linked) {
      frame::reset_cockpit_link(s);  // all 182 bytes are there to write
      EXPECT_EQ(s.link_view->announcement_slots[5][2], 0);
    }
    frame::close_cockpit_link(s);
    EXPECT_EQ(live(Resource::Section), 0);
    EXPECT_EQ(live(Resource::View), 0);
    close(fd);
    linktest::remove_object();
  }
}

// Holders in other processes count like those of this one: link_holder opens its own link,
// reports what it sees, and closes when told.
TEST_F(Link, AHolderInAnotherProcessSharesAndKeepsTheSection) {
  frame::CockpitLinkState s;
  frame::open_cockpit_link(s);
  ASSERT_NE(s.link_view, nullptr);
  s.link_view->ar_request = 5;
  int to_child[2], to_parent[2];
  ASSERT_EQ(pipe(to_child), 0);
  ASSERT_EQ(pipe(to_parent), 0);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, to_child[0], 0);
  posix_spawn_file_actions_adddup2(&actions, to_parent[1], 1);
  char arg0[] = "link_holder";
  char* argv[] = {arg0, nullptr};
  pid_t pid = 0;
  ASSERT_EQ(posix_spawn(&pid, LINK_HOLDER, &actions, nullptr, argv, environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  close(to_child[0]);
  close(to_parent[1]);

  char seen = 0;
  ASSERT_EQ(read(to_parent[0], &seen, 1), 1);
  EXPECT_EQ(seen, 'y') << "the other process sees this one's bytes";
  EXPECT_EQ(s.link_view->fd_request, 9u) << "and this one the other's";
  frame::close_cockpit_link(s);
  EXPECT_TRUE(linktest::section_exists()) << "the other process still holds it";
  const char go = 'g';
  ASSERT_EQ(write(to_child[1], &go, 1), 1);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_FALSE(linktest::section_exists()) << "its close was the last";
  close(to_child[1]);
  close(to_parent[0]);
}
#endif

// ---- the host's description ----

class Describe : public testing::Test {
 protected:
  linktest::LinkTurn turn;
};

TEST_F(Describe, WithoutASectionThereIsNoLinkAndNoneIsMade) {
  EXPECT_EQ(host::describe_cockpit_link(), "no cockpit link\n");
  EXPECT_FALSE(linktest::section_exists());
}

TEST_F(Describe, EveryFieldIsShownAndTheSectionIsLeftAsItWas) {
  linktest::SecondHolder other;
  frame::CockpitLink* l = other.link();
  ASSERT_NE(l, nullptr);
  l->power = 2;
  for (int i = 0; i < 7; ++i) l->start_flags[i] = static_cast<uint32_t>(i == 6 ? 0 : 1);
  l->unit_flags[1] = 1;
  l->ar_request = 1;
  l->fd_request = 3;
  std::memcpy(l->announcement_slots[2], "_1", 3);
  std::memcpy(l->announcement_slots[5], "_9", 3);
  std::memcpy(l->announcement_slots[3], "x\x01y", 3);  // not from any module: shown as bytes
  std::memcpy(l->announcement_slots[4], "_77", 3);     // no terminating zero within the slot
  const auto before = hooks::LiveCounts::now();
  const std::string text = host::describe_cockpit_link();
  EXPECT_THAT(text, HasSubstr("power: 2\n"));
  EXPECT_THAT(text, HasSubstr("start flags: 1 1 1 1 1 1 0\n"));
  EXPECT_THAT(text, HasSubstr("unit flags: 130=0 165=1 200=0\n"));
  EXPECT_THAT(text, HasSubstr("requests: VR=0 AR=1 FD=3\n"));
  EXPECT_THAT(text, HasSubstr("slot 0 CD_CapClimb_: empty\n"));
  EXPECT_THAT(text, HasSubstr("slot 1 CD_Rotate_: empty\n"));
  EXPECT_THAT(text, HasSubstr("slot 2 CD_AfterLanding_: _1 -> Sound\\CD_AfterLanding_1.wav\n"));
  EXPECT_THAT(text, HasSubstr("slot 3 CD_BoardingDone_: not a file suffix: 78 01 79\n"));
  EXPECT_THAT(text, HasSubstr("slot 4 PB_ByeBye_: not a file suffix: 5F 37 37\n"));
  EXPECT_THAT(text, HasSubstr("slot 5 CD_Music_: _9 -> Sound\\CD_Music_9.wav\n"));
  EXPECT_ADDED(before, hooks::Resource::Section, 0) << "describe closes what it opened";
  EXPECT_EQ(l->fd_request, 3u) << "describe only reads";
}

}  // namespace
