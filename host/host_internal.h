#pragma once
// What the host's own files share and nobody else sees.
#include <cstddef>

#include "frame/services.h"

namespace host {
class Host;

namespace detail {

// The live host, for the services, which carry no context.
extern Host* g_host;

// The one services table every module is handed.
frame::PanelServices* services_table();

// Text buffers carry guard bytes after the window's characters, to see writes past the end.
inline constexpr char kGuardByte = '\x5A';
inline constexpr std::size_t kGuardBytes = 8;

}  // namespace detail
}  // namespace host
