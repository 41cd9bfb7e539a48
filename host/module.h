#pragma once
// A gauge module loaded as a shared library: its two exported records and its bitmaps.
#include <memory>
#include <optional>
#include <string>

#include "frame/records.h"
#include "host/image.h"

namespace host {

class Module {
 public:
  // Loads the library; nullptr with a reason in error if it or its exports cannot be had.
  static std::unique_ptr<Module> open(const std::string& path, std::string& error);
  ~Module();
  Module(const Module&) = delete;
  Module& operator=(const Module&) = delete;

  frame::Linkage* linkage() const { return linkage_; }
  frame::ImportTable* imports() const { return imports_; }
  // The module's bitmap resource of that id (on Linux, from gauges/art/<module>/<id>.bmp).
  std::optional<Image> bitmap(int id) const;
  // The raw DIB of a bitmap resource, for checks of its format.
  std::optional<std::string> bitmap_bytes(int id) const;
  const std::string& path() const { return path_; }

 private:
  Module() = default;
  void* handle_ = nullptr;
  frame::Linkage* linkage_ = nullptr;
  frame::ImportTable* imports_ = nullptr;
  std::string path_;
};

}  // namespace host
