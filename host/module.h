#pragma once
// A gauge module loaded as a shared library: its two exported records and its bitmaps.
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "frame/records.h"
#include "host/image.h"

namespace host {

class Module {
 public:
  // Loads the library; nullptr with a reason in error if it or its exports cannot be had. The
  // file is checked before the system loader sees it: a file cut short, a folder, or a module of
  // the other platform is refused with its reason instead of being handed over.
  static std::unique_ptr<Module> open(const std::string& path, std::string& error);
  ~Module();
  Module(const Module&) = delete;
  Module& operator=(const Module&) = delete;

  frame::Linkage* linkage() const { return linkage_; }
  frame::ImportTable* imports() const { return imports_; }
  // The module's bitmap resource of that id (on Linux, from art/<module>/<id>.bmp beside it).
  std::optional<Image> bitmap(int id) const;
  // The same, decoded once and kept: nullptr if the module has no such bitmap.
  const Image* cached_bitmap(int id) const;
  // Where a bitmap of that id is looked for, for messages.
  std::string bitmap_place(int id) const;
  // The raw DIB of a bitmap resource, for checks of its format.
  std::optional<std::string> bitmap_bytes(int id) const;
  const std::string& path() const { return path_; }

 private:
  Module() = default;
  void* handle_ = nullptr;
  frame::Linkage* linkage_ = nullptr;
  frame::ImportTable* imports_ = nullptr;
  std::string path_;
  mutable std::map<int, std::optional<Image>> bitmaps_;
};

// Why a file cannot be a gauge module for this build of the host, or "" if it may be one.
// Reads only the file's headers.
std::string module_file_problem(const std::string& path);

}  // namespace host
