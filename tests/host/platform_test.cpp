// The Linux substitute platform under conditions a desktop machine brings: the section's object
// locked or left behind by another process, foreign objects at its name, and file lookups in a
// folder that changes between them.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "frame/cockpit_link.h"
#include "platform/posix/paths.h"
#include "platform/posix/section_place.h"
#include "platform/posix/testing.h"
#include "tests/link/link_support.h"
#include "tests/support/temp_folder.h"

namespace {

using platform::testing::live;

class Section : public testing::Test {
 protected:
  linktest::LinkTurn turn;
  std::string path = linktest::object_path();
};

TEST_F(Section, LivesInAFolderOnlyTheUserCanUse) {
  ASSERT_FALSE(path.empty());
  struct stat st;
  const std::string dir = std::filesystem::path(path).parent_path().string();
  ASSERT_EQ(lstat(dir.c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_EQ(st.st_uid, geteuid());
  EXPECT_EQ(st.st_mode & 077, 0u);
  EXPECT_EQ(path.find("/dev/shm/TarvexQ90"), std::string::npos) << "not the machine-wide name";
}

TEST_F(Section, ARuntimeFolderOthersCanWriteIsNotUsed) {
  testsupport::TempFolder open_to_all("runtime");
  chmod(open_to_all.dir().c_str(), 0777);
  const char* old = std::getenv("XDG_RUNTIME_DIR");
  const std::string saved = old ? old : "";
  setenv("XDG_RUNTIME_DIR", open_to_all.dir().c_str(), 1);
  char folder[256];
  const bool ok = platform::posix::section_folder(folder, sizeof folder);
  if (old)
    setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
  else
    unsetenv("XDG_RUNTIME_DIR");
  ASSERT_TRUE(ok);
  EXPECT_NE(std::string(folder).find(std::to_string(geteuid())), std::string::npos) << folder;
  EXPECT_EQ(std::string(folder).rfind(open_to_all.dir().string(), 0), std::string::npos) << folder;
}

// Another process (here another open of the object, which flock tells apart the same way) keeps an
// exclusive lock: the module goes on without a link instead of waiting for ever.
TEST_F(Section, AnObjectLockedByAnotherIsNoLinkAndNoWait) {
  frame::CockpitLinkState first;
  frame::open_cockpit_link(first);
  ASSERT_NE(first.link_view, nullptr);
  frame::close_cockpit_link(first);
  const int fd = open(path.c_str(), O_RDWR | O_CREAT, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(ftruncate(fd, 65536), 0);
  ASSERT_EQ(flock(fd, LOCK_EX), 0);
  frame::CockpitLinkState s;
  frame::open_cockpit_link(s);
  EXPECT_EQ(s.link_view, nullptr);
  EXPECT_EQ(live(platform::Resource::Section), 0);
  frame::close_cockpit_link(s);
  struct stat st;
  EXPECT_EQ(stat(path.c_str(), &st), 0) << "the locked object is someone's: left in place";
  close(fd);
  linktest::remove_object();
}

// Left behind by a killed process: no one holds it, so it is taken for no section at all. A
// create starts afresh, zero-filled at one allocation unit, whatever the leftover held.
TEST_F(Section, ALeftoverStartsAfreshZeroFilled) {
  for (const off_t size : {off_t(10), off_t(65536)}) {
    SCOPED_TRACE(size);
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, size), 0);
    ASSERT_EQ(pwrite(fd, "\1\0\0\0", 4, 0), 4);  // power was on
    close(fd);
    frame::CockpitLinkState s;
    frame::open_cockpit_link(s);
    ASSERT_NE(s.link_view, nullptr);
    EXPECT_EQ(s.link_view->power, 0u);
    EXPECT_EQ(linktest::section_size(s.link_view), 65536u);
    frame::close_cockpit_link(s);
    EXPECT_FALSE(linktest::section_exists()) << "gone with its last holder";
  }
}

// Only the user's own regular files are used or removed: a folder or a pipe at the name is no
// section, and stays.
TEST_F(Section, AnObjectOfAnotherKindIsLeftAlone) {
  struct Row {
    const char* what;
    int (*make)(const char*);
  };
  const Row rows[] = {{"folder", [](const char* p) { return mkdir(p, 0700); }},
                      {"pipe", [](const char* p) { return mkfifo(p, 0600); }}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    ASSERT_EQ(r.make(path.c_str()), 0);
    frame::CockpitLinkState s;
    frame::open_cockpit_link(s);
    EXPECT_EQ(s.link_view, nullptr);
    frame::close_cockpit_link(s);
    struct stat st;
    EXPECT_EQ(lstat(path.c_str(), &st), 0) << "still there";
    std::filesystem::remove(path);
  }
}

// Lookups without regard to case, while the folder changes between them: a listing kept from an
// earlier lookup never hides a file made or removed since.
TEST(Paths, LookupsFollowAChangingFolder) {
  testsupport::CurrentFolder here("paths");
  here.touch("Sound/CD_Music_3.wav");
  char out[512];
  auto found = [&](const char* p) {
    return platform::posix::resolve_path(p, out, sizeof out) ? std::string(out) : "";
  };
  EXPECT_EQ(found("Sound\\CD_Music_3.wav"), "Sound/CD_Music_3.wav");
  EXPECT_EQ(found("sound\\cd_music_3.WAV"), "Sound/CD_Music_3.wav");
  EXPECT_EQ(found("sound\\CD_Music_4.wav"), "");
  here.touch("Sound/cd_music_4.wav");
  EXPECT_EQ(found("sound\\CD_Music_4.wav"), "Sound/cd_music_4.wav");
  std::filesystem::remove(here.path("Sound/CD_Music_3.wav"));
  EXPECT_EQ(found("sound\\cd_music_3.WAV"), "");
  // Another current folder with the same relative names.
  testsupport::CurrentFolder there("paths_other");
  there.touch("SOUND/Cd_Music_4.wav");
  EXPECT_EQ(found("sound\\CD_Music_4.wav"), "SOUND/Cd_Music_4.wav");
}

}  // namespace
#endif
