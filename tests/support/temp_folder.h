#pragma once
// A folder of fixture files for one test, removed afterwards. Under Wine its paths are Windows
// paths, as the program sees them.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace testsupport {

class TempFolder {
 public:
  explicit TempFolder(const std::string& prefix) {
    static int serial = 0;
#ifdef _WIN32
    const long pid = _getpid();
#else
    const long pid = getpid();
#endif
    dir_ = std::filesystem::temp_directory_path() /
           ("gauges_" + prefix + "_" + std::to_string(pid) + "_" + std::to_string(++serial));
    std::filesystem::create_directories(dir_);
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& dir() const { return dir_; }
  std::string path(const std::string& name) const { return (dir_ / name).string(); }

  // Writes a file at a path relative to the folder ('/' separated); returns its full path.
  std::string write(const std::string& name, const std::vector<uint8_t>& bytes) const {
    const std::filesystem::path p = dir_ / name;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return p.string();
  }

  // A one-byte file, for tests that only look for a file's existence.
  void touch(const std::string& name) const { write(name, {0}); }

 private:
  std::filesystem::path dir_;
};

// A temp folder made the current folder for its lifetime; the old one is restored.
class CurrentFolder : public TempFolder {
 public:
  explicit CurrentFolder(const std::string& prefix)
      : TempFolder(prefix), old_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir());
  }
  ~CurrentFolder() {
    std::error_code ec;
    std::filesystem::current_path(old_, ec);
  }

 private:
  std::filesystem::path old_;
};

}  // namespace testsupport
