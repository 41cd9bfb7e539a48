#pragma once
// Named shared sections (Windows file mappings backed by the paging file), one function per
// Windows call, so code built on them reads as the calls it makes.
//
// Windows: the calls themselves. Linux: a POSIX shared-memory object of the same name, shared by
// every module of the process (the substitute platform is one shared library) and by other
// processes, zero-filled when created and removed, content and all, when its last holder lets
// go of it. Resources are counted as Resource::Section and Resource::View; faults can be injected
// into Call::OpenFileMappingA, Call::CreateFileMappingA and Call::MapViewOfFile (platform/hooks.h).
#include <cstddef>
#include <cstdint>

namespace platform {

// A section handle; nullptr is no handle.
using SectionHandle = void*;

// OpenFileMappingA(FILE_MAP_WRITE, not inheritable, name): the existing section of that name
// with read/write access, or nullptr if there is none.
SectionHandle open_section_for_write(const char* name);

// GetSystemInfo's dwAllocationGranularity: the unit in which sections are best sized.
uint32_t allocation_granularity();

// CreateFileMappingA(INVALID_HANDLE_VALUE, no security, PAGE_READWRITE, 0, size, name): a new
// section of size bytes backed by the paging file, zero throughout. If the name already names a
// section, that one is returned instead, at its own size. nullptr on failure.
SectionHandle create_page_file_section(const char* name, uint32_t size);

// MapViewOfFile(section, FILE_MAP_WRITE, 0, 0, 0): the whole section, read/write, or nullptr.
// needed is how many bytes from the start the caller will touch: a view that cannot hold them is
// refused. A Windows view always covers whole pages, so there it always holds them; on Linux an
// object may exist that another process has created but not yet sized.
void* map_whole_view_for_write(SectionHandle section, std::size_t needed);

// UnmapViewOfFile(view).
void unmap_view(void* view);

// CloseHandle(section).
void close_section(SectionHandle section);

}  // namespace platform
