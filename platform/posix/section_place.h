#pragma once
// Where the Linux substitute keeps named sections: one file per name in a folder of the current
// user's own (as Windows keeps named sections per session), on shared memory where the system has
// it. Tests reach a section's object from outside through this.
#include <cstddef>

namespace platform::posix {

// The folder: $XDG_RUNTIME_DIR/gauges_sections if the runtime folder is the user's own, else
// /dev/shm/gauges_sections-<uid> (or under /tmp where /dev/shm is missing). Made with mode 0700
// when missing; refused (false) when it is not a folder of this user's that only they can use.
bool section_folder(char* out, std::size_t out_size);

// The file of a section name in that folder; false if the name or the folder cannot be had.
bool section_path(const char* name, char* out, std::size_t out_size);

}  // namespace platform::posix
