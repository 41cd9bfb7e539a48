#include <windows.h>

#include "platform/shared_section.h"

namespace platform {

SectionHandle open_section_for_write(const char* name) {
  return OpenFileMappingA(FILE_MAP_WRITE, FALSE, name);
}

uint32_t allocation_granularity() {
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  return info.dwAllocationGranularity;
}

SectionHandle create_page_file_section(const char* name, uint32_t size) {
  return CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size, name);
}

// A section is never smaller than one page once it exists, and a view covers whole pages, so
// needed is always met here.
void* map_whole_view_for_write(SectionHandle section, std::size_t) {
  return MapViewOfFile(section, FILE_MAP_WRITE, 0, 0, 0);
}

void unmap_view(void* view) { UnmapViewOfFile(view); }

void close_section(SectionHandle section) { CloseHandle(section); }

}  // namespace platform
