// Pieces of the frame that every module links once.
#include "frame/lifecycle.h"

extern "C" {
// Filled by the host: entry 0 receives the address of its PanelServices table.
GAUGE_EXPORT frame::ImportTable ImportTable = {{{0xF, nullptr}, {0, nullptr}}};
}

namespace frame {
void GAUGE_CALL empty_module_function() {}
}  // namespace frame

#if defined(_WIN32)
#include <windows.h>
// The load-time entry ignores its arguments and accepts every notification.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
#endif
