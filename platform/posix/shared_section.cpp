// Named sections on Linux: a file named as the section, in a folder of the current user's own
// (platform/posix/section_place.h), on shared memory where the system has it.
//
// A Windows section keeps its name while any handle to it is open and is destroyed, content and
// all, with its last handle (a view keeps only its own memory). Files outlive their users until
// someone unlinks the name, so the substitute keeps the promise with flock: every section handle
// is its own open of the object with a shared lock on it. flock locks belong to the open, so each
// handle counts once, in this process or in another, and the system drops the lock of a process
// that dies. A handle being closed tries to turn its lock exclusive without waiting; the one that
// can is the last, and unlinks the name if it still names that object.
//
// An object that no one holds (an exclusive lock can be had at once) is a leftover of a process
// that ended without closing: it is removed and, for a create, a fresh zero-filled one takes its
// place, as Windows would give. A new object is made whole under a name of its own (sized and
// locked) and then linked to the section's name, so no one ever sees one half made. Locks are
// only ever tried without waiting, within a short bounded time: an object someone else keeps
// locked is no section, never a hang. Only regular files of this user are used or removed.
//
// A view is an mmap of the object, valid after the name is gone, as a Windows view outlives its
// handles.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>

#include "platform/posix/section_place.h"
#include "platform/posix/testing.h"
#include "platform/shared_section.h"

namespace platform {
namespace posix {
namespace {

// A folder of ours alone: a real folder (not a link), owned by us, closed to everyone else.
bool own_folder(const char* dir) {
  struct stat st;
  if (lstat(dir, &st) != 0) {
    if (errno != ENOENT || mkdir(dir, 0700) != 0) {
      if (errno != EEXIST) return false;
    }
    if (lstat(dir, &st) != 0) return false;
  }
  return S_ISDIR(st.st_mode) && st.st_uid == geteuid() && (st.st_mode & 077) == 0;
}

}  // namespace

bool section_folder(char* out, std::size_t out_size) {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && runtime[0] == '/' && own_folder(runtime)) {
    const int n = std::snprintf(out, out_size, "%s/gauges_sections", runtime);
    if (n > 0 && static_cast<std::size_t>(n) < out_size && own_folder(out)) return true;
  }
  struct stat st;
  const char* base = stat("/dev/shm", &st) == 0 && S_ISDIR(st.st_mode) ? "/dev/shm" : "/tmp";
  const int n = std::snprintf(out, out_size, "%s/gauges_sections-%ld", base, static_cast<long>(geteuid()));
  return n > 0 && static_cast<std::size_t>(n) < out_size && own_folder(out);
}

bool section_path(const char* name, char* out, std::size_t out_size) {
  if (!name || !*name || name[0] == '.' || std::strchr(name, '/') || std::strchr(name, '\\')) return false;
  char dir[256];
  if (!section_folder(dir, sizeof dir)) return false;
  const int n = std::snprintf(out, out_size, "%s/%s", dir, name);
  return n > 0 && static_cast<std::size_t>(n) < out_size;
}

}  // namespace posix

namespace {

constexpr uint32_t kAllocationGranularity = 65536;  // what Windows reports on x86
constexpr int kMaxHolders = 64;
constexpr int kMaxAttempts = 64;
constexpr long kLockWaitMs = 200;  // the most an open waits for a lock someone else keeps

// A section handle (view == nullptr; fd is its own open, locked shared) or a view.
struct Holder {
  bool used;
  int fd;
  void* view;
  std::size_t length;
  char shm_name[256];  // the object's file
};

std::mutex table_lock;
Holder holders[kMaxHolders];

bool to_shm_name(const char* name, char (&out)[256]) { return posix::section_path(name, out, sizeof out); }

// True if path still names the object open on fd.
bool names_object(const char* path, int fd) {
  struct stat mine, named;
  if (fstat(fd, &mine) != 0 || lstat(path, &named) != 0) return false;
  return named.st_dev == mine.st_dev && named.st_ino == mine.st_ino;
}

// Ours to use: a regular file of this user.
bool own_object(int fd) {
  struct stat st;
  return fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == geteuid();
}

int lock(int fd, int how) {
  int r;
  do r = flock(fd, how);
  while (r != 0 && errno == EINTR);
  return r;
}

long now_ms() {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<long>(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

// A shared lock, tried without blocking until the deadline.
bool lock_shared(int fd, long deadline) {
  for (;;) {
    if (lock(fd, LOCK_SH | LOCK_NB) == 0) return true;
    if (errno != EWOULDBLOCK || now_ms() >= deadline) return false;
    const struct timespec pause = {0, 1000000};
    nanosleep(&pause, nullptr);
  }
}

// Lets go of one hold; the last holder removes the object. The lock is given up explicitly: a
// view mapped through this open keeps the open alive after close, and with it any lock on it.
void release(int fd, const char* shm_name) {
  if (lock(fd, LOCK_EX | LOCK_NB) == 0 && names_object(shm_name, fd)) unlink(shm_name);
  flock(fd, LOCK_UN);
  close(fd);
}

int open_object(const char* path) { return open(path, O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC); }

// Makes a zero-filled object of size bytes under the name, held; -1 if the name was taken
// first (errno EEXIST) or on failure.
int create_object(const char* path, uint32_t size) {
  static unsigned serial = 0;
  char temp[300];
  std::snprintf(temp, sizeof temp, "%s.new.%ld.%u", path, static_cast<long>(getpid()),
                __atomic_add_fetch(&serial, 1, __ATOMIC_RELAXED));
  const int fd = open(temp, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return -1;
  // A new file has no bytes; sizing it gives zero bytes.
  const bool made = ftruncate(fd, size) == 0 && lock(fd, LOCK_SH) == 0 && link(temp, path) == 0;
  const int err = errno;
  unlink(temp);
  if (!made) {
    close(fd);
    errno = err;
    return -1;
  }
  return fd;
}

// An open of the named object with a shared lock on it, or -1. Creates the object at size bytes
// if may_create and the name is free (or holds only a leftover).
int acquire(const char* shm_name, bool may_create, uint32_t size) {
  const long deadline = now_ms() + kLockWaitMs;
  for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
    int fd = open_object(shm_name);
    if (fd < 0) {
      if (errno != ENOENT || !may_create) return -1;
      fd = create_object(shm_name, size);
      if (fd < 0) {
        if (errno == EEXIST) continue;  // another creator came first: open theirs
        return -1;
      }
      return fd;
    }
    if (!own_object(fd)) {  // not ours: neither used nor removed
      close(fd);
      return -1;
    }
    // No holder at all: a leftover. Removed, and made anew below if we may create.
    if (lock(fd, LOCK_EX | LOCK_NB) == 0) {
      if (names_object(shm_name, fd)) unlink(shm_name);
      flock(fd, LOCK_UN);
      close(fd);
      continue;
    }
    if (!lock_shared(fd, deadline)) {
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
