#pragma once
// What tests of the cockpit link share: taking turns with other test programs, a holder of the
// link besides the modules under test, and looks at the section from outside.
#include <cstddef>
#include <cstdint>
#include <string>

#include "frame/cockpit_link.h"
#include "platform/shared_section.h"
#include "tests/support/platform_hooks.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix/section_place.h"
#endif

namespace linktest {

#ifndef _WIN32
// The file that stands for the section on Linux, in the user's own folder.
inline std::string object_path() {
  char path[512];
  return platform::posix::section_path(frame::kCockpitLinkName, path, sizeof path) ? path : "";
}

// The object as another process holds it while it makes it: created, locked shared (a live
// holder), sized to size bytes. Returns its descriptor, or -1.
inline int create_held_object(off_t size) {
  const int fd = open(object_path().c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return -1;
  if (flock(fd, LOCK_SH) != 0 || ftruncate(fd, size) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

inline void remove_object() { unlink(object_path().c_str()); }
#endif

// The section's name is one per machine (per Wine prefix), and ctest may run test programs side
// by side: every test that touches the link holds this turn, across processes, for its whole run.
class LinkTurn {
 public:
  LinkTurn() {
#ifdef _WIN32
    mutex_ = CreateMutexA(nullptr, FALSE, "gauges_tests_cockpit_link_turn");
    if (mutex_) WaitForSingleObject(mutex_, INFINITE);  // an abandoned turn is ours as well
#else
    fd_ = open("/tmp/gauges_tests_cockpit_link.lock", O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd_ >= 0) flock(fd_, LOCK_EX);
    // A test program that crashed left its object behind; no other test holds it now.
    remove_object();
#endif
  }
  ~LinkTurn() {
#ifdef _WIN32
    if (mutex_) {
      ReleaseMutex(mutex_);
      CloseHandle(mutex_);
    }
#else
    if (fd_ >= 0) close(fd_);
#endif
  }
  LinkTurn(const LinkTurn&) = delete;
  LinkTurn& operator=(const LinkTurn&) = delete;

 private:
#ifdef _WIN32
  HANDLE mutex_ = nullptr;
#else
  int fd_ = -1;
#endif
};

// Another holder of the link, as the autopilot module will be: the frame's own open and close.
class SecondHolder {
 public:
  SecondHolder() { frame::open_cockpit_link(state_); }
  ~SecondHolder() { frame::close_cockpit_link(state_); }
  SecondHolder(const SecondHolder&) = delete;
  SecondHolder& operator=(const SecondHolder&) = delete;
  frame::CockpitLink* link() const { return state_.link_view; }
  unsigned char* bytes() const { return reinterpret_cast<unsigned char*>(state_.link_view); }

 private:
  frame::CockpitLinkState state_;
};

// Whether a section of the link's name can be opened now (opened and closed again at once).
inline bool section_exists() {
#ifdef _WIN32
  HANDLE h = OpenFileMappingA(FILE_MAP_READ, FALSE, frame::kCockpitLinkName);
  if (!h) return false;
  CloseHandle(h);
  return true;
#else
  struct stat st;
  return stat(object_path().c_str(), &st) == 0;
#endif
}

// The size of the section behind a view of it: the object's size on Linux, the view's region on
// Windows (a view of a section of one allocation unit is that unit).
inline std::size_t section_size(const void* view) {
#ifdef _WIN32
  MEMORY_BASIC_INFORMATION info;
  if (VirtualQuery(view, &info, sizeof info) != sizeof info) return 0;
  return info.RegionSize;
#else
  (void)view;
  struct stat st;
  return stat(object_path().c_str(), &st) == 0 ? static_cast<std::size_t>(st.st_size) : 0;
#endif
}

// While alive, no module can have the link: on Linux the next open and create fail by injection;
// on Windows an object of another kind holds the name, so both calls fail as they would on a
// system where the name is taken. There must be no section at the time.
class LinkUnavailable {
 public:
  LinkUnavailable() {
#ifdef _WIN32
    squatter_ = CreateMutexA(nullptr, FALSE, frame::kCockpitLinkName);
#else
    hooks::fail(hooks::Call::OpenFileMappingA);
    hooks::fail(hooks::Call::CreateFileMappingA);
#endif
  }
  ~LinkUnavailable() {
#ifdef _WIN32
    if (squatter_) CloseHandle(squatter_);
#else
    hooks::clear_failures();
#endif
  }
  LinkUnavailable(const LinkUnavailable&) = delete;
  LinkUnavailable& operator=(const LinkUnavailable&) = delete;
  bool armed() const {
#ifdef _WIN32
    return squatter_ != nullptr;
#else
    return true;
#endif
  }

 private:
#ifdef _WIN32
  HANDLE squatter_ = nullptr;
#endif
};

}  // namespace linktest
