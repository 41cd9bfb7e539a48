#pragma once
// Calling convention and export markers of the gauge contract.
#include <cstdint>

#if defined(_WIN32) && defined(__i386__)
#define GAUGE_CALL __stdcall
#else
#define GAUGE_CALL
#endif

// On Windows the two records are exported through frame/exports.def; on Linux by visibility
// (every other symbol of a module is hidden, and frame/exports.map keeps it so).
#if defined(_WIN32)
#define GAUGE_EXPORT
#else
#define GAUGE_EXPORT __attribute__((visibility("default")))
#endif
