#include "platform/posix/paths.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <cstring>
#include <ctime>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace platform::posix {
namespace {

bool append(char* out, std::size_t out_size, std::size_t& len, const char* s, std::size_t n) {
  if (len + n + 1 > out_size) return false;
  std::memcpy(out + len, s, n);
  len += n;
  out[len] = '\0';
  return true;
}

bool is_sep(char c) { return c == '/' || c == '\\'; }

// Finds the entry of folder dir whose name equals name[0..n) ignoring case; an exact match wins,
// and is tried first with one stat, so only a name in another case costs a listing.
bool find_entry(const char* dir, const char* name, std::size_t n, char* found, std::size_t found_size) {
  if (n == 0 || n >= found_size) return false;
  std::string exact = dir[0] ? dir : ".";
  if (exact.back() != '/') exact += '/';
  exact.append(name, n);
  struct stat st;
  if (stat(exact.c_str(), &st) == 0) {
    std::memcpy(found, name, n);
    found[n] = '\0';
    return true;
  }
  DIR* d = opendir(dir[0] ? dir : ".");
  if (!d) return false;
  bool any = false;
  while (dirent* e = readdir(d)) {
    if (std::strlen(e->d_name) != n || strncasecmp(e->d_name, name, n) != 0) continue;
    std::memcpy(found, e->d_name, n + 1);
    any = true;
    if (std::strncmp(e->d_name, name, n) == 0) break;
  }
  closedir(d);
  return any;
}

// Resolves every name of the path in turn (the general case).
bool resolve_each(const char* windows_path, char* out, std::size_t out_size) {
  std::size_t len = 0;
  out[0] = '\0';
  const char* p = windows_path;
  if (is_sep(*p)) {
    if (!append(out, out_size, len, "/", 1)) return false;
    while (is_sep(*p)) ++p;
  }
  char name[256];
  while (*p) {
    const char* end = p;
    while (*end && !is_sep(*end)) ++end;
    const std::size_t n = static_cast<std::size_t>(end - p);
    if (n > 0) {
      // "." and ".." are taken as they stand; every other name is looked up in its folder.
      const bool dots = (n == 1 && p[0] == '.') || (n == 2 && p[0] == '.' && p[1] == '.');
      if (dots) {
        std::memcpy(name, p, n);
        name[n] = '\0';
      } else if (!find_entry(out, p, n, name, sizeof name)) {
        out[0] = '\0';
        return false;
      }
      const bool sep = len > 0 && out[len - 1] != '/';
      if ((sep && !append(out, out_size, len, "/", 1)) ||
          !append(out, out_size, len, name, std::strlen(name))) {
        out[0] = '\0';
        return false;
      }
    }
    p = end;
    while (is_sep(*p)) ++p;
  }
  if (len == 0) return append(out, out_size, len, ".", 1);
  struct stat st;
  if (stat(out, &st) != 0) {
    out[0] = '\0';
    return false;
  }
  return true;
}

// A folder as last seen: its Linux path, its identity and change time, and its names. While the
// folder is unchanged its listing answers every lookup in it, so a module that looks up many files
// in one folder (the radio panel's sixty announcement files) costs one stat per lookup, not a
// listing each. A listing read in the same clock tick as the folder's last change might miss a
// second change in that tick (the change time would not move): such a listing is used once only.
struct Folder {
  std::string dir;  // resolved, "" for the current folder
  dev_t dev = 0;
  ino_t ino = 0;
  struct timespec mtime = {};
  bool racy = true;
  std::vector<std::string> names;
};

std::mutex folders_lock;
std::unordered_map<std::string, Folder> folders;  // by the Windows folder text, '/' separated
constexpr std::size_t kMaxFolders = 64;
constexpr long long kRacyNs = 100'000'000;  // well above any file-time tick

bool same(const struct stat& st, const Folder& f) {
  return st.st_dev == f.dev && st.st_ino == f.ino && st.st_mtim.tv_sec == f.mtime.tv_sec &&
         st.st_mtim.tv_nsec == f.mtime.tv_nsec;
}

// Resolves the folder and reads its names and identity; false if there is no such folder.
bool load_folder(const std::string& key, Folder& f) {
  f.dir.clear();
  if (!key.empty()) {
    char dir[4096];
    if (!resolve_each(key.c_str(), dir, sizeof dir)) return false;
    f.dir = dir;
  }
  const char* dir = f.dir.empty() ? "." : f.dir.c_str();
  struct stat st;
  if (stat(dir, &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  DIR* d = opendir(dir);
  if (!d) return false;
  f.names.clear();
  while (dirent* e = readdir(d)) f.names.emplace_back(e->d_name);
  closedir(d);
  f.dev = st.st_dev;
  f.ino = st.st_ino;
  f.mtime = st.st_mtim;
  struct timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  const long long age =
      (now.tv_sec - st.st_mtim.tv_sec) * 1'000'000'000LL + (now.tv_nsec - st.st_mtim.tv_nsec);
  f.racy = age < kRacyNs;
  return true;
}

bool put(char* out, std::size_t out_size, const std::string& dir, const char* leaf, std::size_t n) {
  std::size_t len = 0;
  out[0] = '\0';
  if (!dir.empty() && (!append(out, out_size, len, dir.data(), dir.size()) ||
                       (dir.back() != '/' && !append(out, out_size, len, "/", 1))))
    return false;
  return append(out, out_size, len, leaf, n);
}

// The entry named leaf in the listing: the exact name, else one in another case.
const std::string* find_in(const Folder& f, const char* leaf, std::size_t n) {
  const std::string* other = nullptr;
  for (const std::string& name : f.names) {
    if (name.size() != n || strncasecmp(name.c_str(), leaf, n) != 0) continue;
    if (std::memcmp(name.data(), leaf, n) == 0) return &name;
    if (!other) other = &name;
  }
  return other;
}

}  // namespace

bool resolve_path(const char* windows_path, char* out, std::size_t out_size) {
  if (out_size == 0) return false;
  out[0] = '\0';
  if (!windows_path || !*windows_path) return false;
  // Split into folder and last name; a path whose last name is empty, "." or ".." takes the
  // general way.
  const std::size_t total = std::strlen(windows_path);
  std::size_t leaf_at = total;
  while (leaf_at > 0 && !is_sep(windows_path[leaf_at - 1])) --leaf_at;
  const char* leaf = windows_path + leaf_at;
  const std::size_t leaf_n = total - leaf_at;
  if (leaf_n == 0 || leaf_n > 255 || std::strcmp(leaf, ".") == 0 || std::strcmp(leaf, "..") == 0)
    return resolve_each(windows_path, out, out_size);

  std::string key(windows_path, leaf_at);
  for (char& c : key)
    if (c == '\\') c = '/';
  std::lock_guard g(folders_lock);
  auto it = folders.find(key);
  if (it != folders.end()) {
    struct stat st;
    const Folder& f = it->second;
    const bool fresh = !f.racy && stat(f.dir.empty() ? "." : f.dir.c_str(), &st) == 0 && same(st, f);
    if (!fresh) {
      if (!load_folder(key, it->second)) {
        folders.erase(it);
        return false;
      }
    }
  } else {
    Folder f;
    if (!load_folder(key, f)) return false;
    if (folders.size() >= kMaxFolders) folders.clear();
    it = folders.emplace(std::move(key), std::move(f)).first;
  }
  const std::string* name = find_in(it->second, leaf, leaf_n);
  if (!name || !put(out, out_size, it->second.dir, name->c_str(), name->size())) {
    out[0] = '\0';
    return false;
  }
  return true;
}

}  // namespace platform::posix
