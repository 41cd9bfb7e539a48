#include "host/module.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <elf.h>
#include <link.h>
#endif

namespace host {
namespace {

namespace fs = std::filesystem;

constexpr char kWindowsHint[] = "is a Windows module: run it with panelhost.exe under Wine";
constexpr char kLinuxHint[] = "is a Linux module: run it with the Linux panelhost";

// The first bytes of a file and its size, or the reason it cannot be read.
bool read_head(const std::string& path, std::vector<unsigned char>& head, uint64_t& size, std::string& why) {
  std::error_code ec;
  const fs::file_status st = fs::status(path, ec);
  if (ec || !fs::exists(st)) {
    why = std::strerror(ENOENT);
    return false;
  }
  if (fs::is_directory(st)) {
    why = "is a folder, not a module";
    return false;
  }
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    why = std::strerror(errno);
    return false;
  }
  std::fseek(f, 0, SEEK_END);
  const long end = std::ftell(f);
  std::fseek(f, 0, SEEK_SET);
  size = end < 0 ? 0 : static_cast<uint64_t>(end);
  head.resize(4096);
  head.resize(std::fread(head.data(), 1, head.size(), f));
  std::fclose(f);
  return true;
}

#if !defined(_WIN32)
// A range [offset, offset + count * each) inside a file of size bytes, without overflow.
bool inside(uint64_t offset, uint64_t count, uint64_t each, uint64_t size) {
  if (each != 0 && count > size / each) return false;
  return offset <= size && count * each <= size - offset;
}

// The parts of the file the system loader maps must all be there: a mapping past the end of a
// file cut short faults when touched, which would take the host down.
std::string elf_problem(const std::string& path, const std::vector<unsigned char>& head, uint64_t size) {
  ElfW(Ehdr) eh;
  if (head.size() < sizeof eh) return "is cut short: too small for an ELF header";
  std::memcpy(&eh, head.data(), sizeof eh);
  const int native_class = sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32;
  if (eh.e_ident[EI_CLASS] != native_class)
    return sizeof(void*) == 8 ? "is a 32-bit module; this panelhost is 64-bit"
                              : "is a 64-bit module; this panelhost is 32-bit";
  if (eh.e_ident[EI_DATA] != ELFDATA2LSB || eh.e_type != ET_DYN) return "is not a shared library";
#if defined(__x86_64__)
  if (eh.e_machine != EM_X86_64) return "is built for another processor";
#endif
  if (eh.e_phentsize != sizeof(ElfW(Phdr)) || !inside(eh.e_phoff, eh.e_phnum, eh.e_phentsize, size))
    return "is cut short or damaged: its program headers are not all in the file";
  if (eh.e_shoff != 0 && !inside(eh.e_shoff, eh.e_shnum, eh.e_shentsize, size))
    return "is cut short or damaged: its section headers are not all in the file (" + std::to_string(size) +
           " bytes)";
  // The program headers themselves, read from the file (they may lie past the first 4 KiB).
  std::ifstream in(path, std::ios::binary);
  in.seekg(static_cast<std::streamoff>(eh.e_phoff));
  for (unsigned i = 0; i < eh.e_phnum; ++i) {
    ElfW(Phdr) ph;
    if (!in.read(reinterpret_cast<char*>(&ph), sizeof ph)) return "cannot read its program headers";
    if (ph.p_type == PT_NULL) continue;
    if (!inside(ph.p_offset, ph.p_filesz, 1, size))
      return "is cut short or damaged: a segment reaches past the end of the file (" + std::to_string(size) +
             " bytes)";
  }
  return "";
}
#endif

#if defined(_WIN32)
// The system's text for an error number, on one line.
std::string system_text(DWORD code) {
  char* text = nullptr;
  const DWORD n = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string s = n && text ? std::string(text, n) : "";
  if (text) LocalFree(text);
  while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ' || s.back() == '.'))
    s.pop_back();
  if (s.empty()) s = "unknown error";
  return s + " (error " + std::to_string(code) + ")";
}
#endif

}  // namespace

std::string module_file_problem(const std::string& path) {
  std::vector<unsigned char> head;
  uint64_t size = 0;
  std::string why;
  if (!read_head(path, head, size, why)) return why;
  if (size == 0) return "is empty";
  const bool elf = head.size() >= 4 && std::memcmp(head.data(),
                                                   "\x7f"
                                                   "ELF",
                                                   4) == 0;
  const bool mz = head.size() >= 2 && head[0] == 'M' && head[1] == 'Z';
#if defined(_WIN32)
  if (elf) return kLinuxHint;
  if (!mz) return "is not a module (no Windows executable header)";
  return "";
#else
  if (mz) return kWindowsHint;
  if (!elf) return "is not a module (no ELF header)";
  return elf_problem(path, head, size);
#endif
}

std::unique_ptr<Module> Module::open(const std::string& given, std::string& error) {
  // Taken from the current folder as written, never from the system's library search path.
  std::error_code ec;
  const fs::path absolute = fs::absolute(fs::path(given), ec);
  const std::string path = ec ? given : absolute.string();
  if (const std::string problem = module_file_problem(path); !problem.empty()) {
    error = "cannot load " + given + ": " + problem;
    return nullptr;
  }
  std::unique_ptr<Module> m(new Module());
  m->path_ = path;
#if defined(_WIN32)
  // No error box for a module the system cannot load: the reason is reported instead.
  const UINT old_mode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE h = LoadLibraryA(path.c_str());
  const DWORD code = GetLastError();
  SetErrorMode(old_mode);
  if (!h) {
    error = "cannot load " + given + ": " + system_text(code);
    return nullptr;
  }
  m->handle_ = h;
  m->linkage_ = reinterpret_cast<frame::Linkage*>(GetProcAddress(h, "Linkage"));
  m->imports_ = reinterpret_cast<frame::ImportTable*>(GetProcAddress(h, "ImportTable"));
#else
  void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!h) {
    const char* why = dlerror();
    error = "cannot load " + given + ": " + (why ? why : "unknown error");
    return nullptr;
  }
  m->handle_ = h;
  m->linkage_ = static_cast<frame::Linkage*>(dlsym(h, "Linkage"));
  m->imports_ = static_cast<frame::ImportTable*>(dlsym(h, "ImportTable"));
#endif
  if (!m->linkage_ || !m->imports_) {
    error = given + " is not a gauge module: it does not export Linkage and ImportTable";
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

std::string Module::bitmap_place(int id) const {
#if defined(_WIN32)
  return "bitmap resource " + std::to_string(id) + " of " + path_;
#else
  const fs::path p(path_);
  return (p.parent_path() / "art" / p.stem() / (std::to_string(id) + ".bmp")).string();
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
  // Beside the module: art/<deliverable>/<id>.bmp, without the 14-byte file header.
  std::ifstream in(bitmap_place(id), std::ios::binary);
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

const Image* Module::cached_bitmap(int id) const {
  auto it = bitmaps_.find(id);
  if (it == bitmaps_.end()) it = bitmaps_.emplace(id, bitmap(id)).first;
  return it->second ? &*it->second : nullptr;
}

}  // namespace host
