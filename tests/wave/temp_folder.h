#pragma once
// A folder of fixture files for one test, removed afterwards. Under Wine its paths are Windows
// paths, as the program sees them.
#include <filesystem>
#include <fstream>
#include <string>

#include "wav_builder.h"

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace wavtest {

class TempFolder {
 public:
  TempFolder() {
    static int serial = 0;
#ifdef _WIN32
    const long pid = _getpid();
#else
    const long pid = getpid();
#endif
    dir_ = std::filesystem::temp_directory_path() /
           ("gauges_wave_" + std::to_string(pid) + "_" + std::to_string(++serial));
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

  std::string write(const std::string& name, const Bytes& bytes) const {
    const std::filesystem::path p = dir_ / name;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return p.string();
  }

 private:
  std::filesystem::path dir_;
};

}  // namespace wavtest
