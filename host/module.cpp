#include "host/module.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace host {

std::unique_ptr<Module> Module::open(const std::string& path, std::string& error) {
  std::unique_ptr<Module> m(new Module());
  m->path_ = path;
#if defined(_WIN32)
  HMODULE h = LoadLibraryA(path.c_str());
  if (!h) {
    error = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
    return nullptr;
  }
  m->handle_ = h;
  m->linkage_ = reinterpret_cast<frame::Linkage*>(GetProcAddress(h, "Linkage"));
  m->imports_ = reinterpret_cast<frame::ImportTable*>(GetProcAddress(h, "ImportTable"));
#else
  void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!h) {
    const char* why = dlerror();
    error = "cannot load " + path + ": " + (why ? why : "unknown error");
    return nullptr;
  }
  m->handle_ = h;
  m->linkage_ = static_cast<frame::Linkage*>(dlsym(h, "Linkage"));
  m->imports_ = static_cast<frame::ImportTable*>(dlsym(h, "ImportTable"));
#endif
  if (!m->linkage_ || !m->imports_) {
    error = path + " does not export Linkage and ImportTable";
    return nullptr;
  }
  return m;
}

Module::~Module() {
  if (!handle_) return;
#if defined(_WIN32)
  FreeLibrary(static_cast<HMODULE>(handle_));
#else
  dlclose(handle_);
#endif
}

std::optional<std::string> Module::bitmap_bytes(int id) const {
#if defined(_WIN32)
  HMODULE h = static_cast<HMODULE>(handle_);
  HRSRC res = FindResourceA(h, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2) /* RT_BITMAP */);
  if (!res) return std::nullopt;
  HGLOBAL mem = LoadResource(h, res);
  const DWORD size = SizeofResource(h, res);
  const void* data = mem ? LockResource(mem) : nullptr;
  if (!data) return std::nullopt;
  return std::string(static_cast<const char*>(data), size);
#else
  // Beside the module: gauges/art/<deliverable>/<id>.bmp, without the 14-byte file header.
  namespace fs = std::filesystem;
  const fs::path p(path_);
  const fs::path file = p.parent_path() / "art" / p.stem() / (std::to_string(id) + ".bmp");
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (bytes.size() < 14 || bytes[0] != 'B' || bytes[1] != 'M') return std::nullopt;
  return bytes.substr(14);
#endif
}

std::optional<Image> Module::bitmap(int id) const {
  auto bytes = bitmap_bytes(id);
  if (!bytes) return std::nullopt;
  Image img = decode_dib(reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size());
  if (img.width == 0) return std::nullopt;
  return img;
}

}  // namespace host
