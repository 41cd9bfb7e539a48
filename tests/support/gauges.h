#pragma once
// Where the built gauge modules are, as the test program sees them.
#include <string>

namespace testsupport {

inline std::string gauge_path(const std::string& deliverable) {
  return std::string(GAUGES_DIR) + "/" + deliverable + ".gau";
}

}  // namespace testsupport
