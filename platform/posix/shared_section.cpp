// Named sections on Linux: a POSIX shared-memory object named "/" + the Windows name.
//
// A Windows section keeps its name while any handle to it is open and is destroyed, content and
// all, with its last handle (a view keeps only its own memory). POSIX objects outlive their users
// until someone unlinks the name, so the substitute keeps the promise with flock: every section
// handle is its own open of the object with a shared lock on it. flock locks belong to the open,
// so each handle counts once, in this process or in another. A handle being closed tries to turn
// its lock exclusive without waiting; the one that can is the last, and unlinks the name if it
// still names that object. An opener that took its lock checks the same way that the name still
// names what it opened; if the last holder unlinked it in between, it starts over. A view is an
// mmap of the object, valid after the name is gone, as a Windows view outlives its handles.
//
// Not kept: a process that ends without closing leaves the object behind (Windows would close its
// handles for it); the next holders find and share it. And a holder can find an object another
// process has created but not sized yet, which is why a view is checked against what the caller
// needs.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "platform/posix/testing.h"
#include "platform/shared_section.h"

namespace platform {
namespace {

constexpr uint32_t kAllocationGranularity = 65536;  // what Windows reports on x86
constexpr int kMaxHolders = 64;
constexpr int kMaxAttempts = 64;

// A section handle (view == nullptr; fd is its own open, locked shared) or a view.
struct Holder {
  bool used;
  int fd;
  void* view;
  std::size_t length;
  char shm_name[256];
};

std::mutex table_lock;
Holder holders[kMaxHolders];

bool to_shm_name(const char* name, char (&out)[256]) {
  if (!name || !*name || std::strchr(name, '/') || std::strchr(name, '\\')) return false;
  const int n = std::snprintf(out, sizeof out, "/%s", name);
  return n > 0 && n < static_cast<int>(sizeof out);
}

// True if shm_name still names the object open on fd.
bool names_object(const char* shm_name, int fd) {
  struct stat mine, named;
  if (fstat(fd, &mine) != 0) return false;
  const int other = shm_open(shm_name, O_RDONLY, 0);
  if (other < 0) return false;
  const bool same =
      fstat(other, &named) == 0 && named.st_dev == mine.st_dev && named.st_ino == mine.st_ino;
  close(other);  // an open without a lock: closing it touches no one's hold
  return same;
}

int lock(int fd, int how) {
  int r;
  do r = flock(fd, how);
  while (r != 0 && errno == EINTR);
  return r;
}

// Lets go of one hold; the last holder removes the object. The lock is given up explicitly: a
// view mapped through this open keeps the open alive after close, and with it any lock on it.
void release(int fd, const char* shm_name) {
  if (lock(fd, LOCK_EX | LOCK_NB) == 0 && names_object(shm_name, fd)) shm_unlink(shm_name);
  flock(fd, LOCK_UN);
  close(fd);
}

// An open of the named object with a shared lock on it, or -1. Creates the object at size bytes
// if may_create and the name is free.
int acquire(const char* shm_name, bool may_create, uint32_t size) {
  for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
    int fd = shm_open(shm_name, O_RDWR, 0);
    if (fd < 0) {
      if (errno != ENOENT || !may_create) return -1;
      fd = shm_open(shm_name, O_RDWR | O_CREAT | O_EXCL, 0600);
      if (fd < 0) {
        if (errno == EEXIST) continue;  // another creator came first: open theirs
        return -1;
      }
      // A new object has no bytes; sizing it gives zero bytes.
      if (ftruncate(fd, size) != 0) {
        release(fd, shm_name);
        return -1;
      }
    }
    // Waits only while a last holder is removing the object.
    if (lock(fd, LOCK_SH) != 0) {
      close(fd);
      return -1;
    }
    if (names_object(shm_name, fd)) return fd;
    close(fd);  // removed between our open and our lock
  }
  return -1;
}

Holder* add_holder_locked(int fd, void* view, std::size_t length, const char* shm_name) {
  for (Holder& h : holders) {
    if (h.used) continue;
    h.used = true;
    h.fd = fd;
    h.view = view;
    h.length = length;
    std::snprintf(h.shm_name, sizeof h.shm_name, "%s", shm_name);
    return &h;
  }
  return nullptr;
}

Holder* add_holder(int fd, void* view, std::size_t length, const char* shm_name) {
  std::lock_guard g(table_lock);
  return add_holder_locked(fd, view, length, shm_name);
}

// Takes a section handle, or the view at an address, out of the table; the caller lets go of it.
bool take_handle(SectionHandle section, Holder& out) {
  std::lock_guard g(table_lock);
  auto* h = static_cast<Holder*>(section);
  if (h < holders || h >= holders + kMaxHolders || !h->used || h->view) return false;
  out = *h;
  h->used = false;
  return true;
}

bool take_view(void* view, Holder& out) {
  std::lock_guard g(table_lock);
  for (Holder& h : holders)
    if (h.used && h.view && h.view == view) {
      out = h;
      h.used = false;
      return true;
    }
  return false;
}

SectionHandle hand_out(int fd, const char* shm_name) {
  Holder* h = add_holder(fd, nullptr, 0, shm_name);
  if (!h) {
    release(fd, shm_name);
    return nullptr;
  }
  testing::acquired(Resource::Section);
  return h;
}

}  // namespace

SectionHandle open_section_for_write(const char* name) {
  if (testing::should_fail(Call::OpenFileMappingA)) return nullptr;
  char shm_name[256];
  if (!to_shm_name(name, shm_name)) return nullptr;
  const int fd = acquire(shm_name, false, 0);
  return fd < 0 ? nullptr : hand_out(fd, shm_name);
}

uint32_t allocation_granularity() { return kAllocationGranularity; }

SectionHandle create_page_file_section(const char* name, uint32_t size) {
  if (testing::should_fail(Call::CreateFileMappingA)) return nullptr;
  char shm_name[256];
  if (size == 0 || !to_shm_name(name, shm_name)) return nullptr;
  const int fd = acquire(shm_name, true, size);
  return fd < 0 ? nullptr : hand_out(fd, shm_name);
}

void* map_whole_view_for_write(SectionHandle section, std::size_t needed) {
  if (testing::should_fail(Call::MapViewOfFile)) return nullptr;
  // Under the table lock, so the handle cannot be closed while its open is in use here.
  std::lock_guard g(table_lock);
  auto* h = static_cast<Holder*>(section);
  if (h < holders || h >= holders + kMaxHolders || !h->used || h->view) return nullptr;
  // Sized below what the caller needs (created elsewhere and not sized yet): no view, since
  // touching bytes past the object's end would fault.
  struct stat st;
  if (fstat(h->fd, &st) != 0 || st.st_size <= 0 || static_cast<std::size_t>(st.st_size) < needed)
    return nullptr;
  const auto length = static_cast<std::size_t>(st.st_size);
  void* view = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_SHARED, h->fd, 0);
  if (view == MAP_FAILED) return nullptr;
  if (!add_holder_locked(-1, view, length, h->shm_name)) {
    munmap(view, length);
    return nullptr;
  }
  testing::acquired(Resource::View);
  return view;
}

void unmap_view(void* view) {
  Holder h{};
  if (!view || !take_view(view, h)) return;
  munmap(h.view, h.length);
  testing::released(Resource::View);
}

void close_section(SectionHandle section) {
  Holder h{};
  if (!take_handle(section, h)) return;
  release(h.fd, h.shm_name);
  testing::released(Resource::Section);
}

}  // namespace platform
