#include "platform/posix/paths.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <cstring>

namespace platform::posix {
namespace {

bool append(char* out, std::size_t out_size, std::size_t& len, const char* s, std::size_t n) {
  if (len + n + 1 > out_size) return false;
  std::memcpy(out + len, s, n);
  len += n;
  out[len] = '\0';
  return true;
}

// Finds the entry of folder dir whose name equals name[0..n) ignoring case; an exact match wins.
bool find_entry(const char* dir, const char* name, std::size_t n, char* found, std::size_t found_size) {
  if (n == 0 || n >= found_size) return false;
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

}  // namespace

bool resolve_path(const char* windows_path, char* out, std::size_t out_size) {
  if (out_size == 0) return false;
  out[0] = '\0';
  if (!windows_path || !*windows_path) return false;
  std::size_t len = 0;
  const char* p = windows_path;
  if (*p == '/' || *p == '\\') {
    if (!append(out, out_size, len, "/", 1)) return false;
    while (*p == '/' || *p == '\\') ++p;
  }
  char name[256];
  while (*p) {
    const char* end = p;
    while (*end && *end != '/' && *end != '\\') ++end;
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
    while (*p == '/' || *p == '\\') ++p;
  }
  if (len == 0) return append(out, out_size, len, ".", 1);
  struct stat st;
  if (stat(out, &st) != 0) {
    out[0] = '\0';
    return false;
  }
  return true;
}

}  // namespace platform::posix
