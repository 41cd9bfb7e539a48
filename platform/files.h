#pragma once
// File existence, by a search for exactly one path (relative to the current folder).
namespace platform {

// True if a file search for path finds an entry. The search is closed again at once.
bool file_exists(const char* path);

}  // namespace platform
