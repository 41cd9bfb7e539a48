#pragma once
// Where the built gauge modules are, as the test program sees them.
#include <string>

namespace testsupport {

inline std::string gauge_path(const std::string& deliverable) {
  return std::string(GAUGES_DIR) + "/" + deliverable + ".gau";
}

}  // namespace testsupport

namespace testsupport {
// A copy of a record field. Records are packed on 4 bytes, so on 64-bit targets an address field
// may be under-aligned: compare copies, never references to the field itself.
template <class T>
constexpr T field(T v) {
  return v;
}
}  // namespace testsupport
