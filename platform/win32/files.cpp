#include <windows.h>

#include "platform/clock.h"
#include "platform/files.h"

namespace platform {

bool file_exists(const char* path) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(path, &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return true;
}

uint32_t tick_count() { return GetTickCount(); }

}  // namespace platform
