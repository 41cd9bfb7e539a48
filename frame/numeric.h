#pragma once
// The one conversion of simulation doubles to 32-bit integers.
#include <cstdint>

namespace frame {

// Toward zero for every value in range; NaN gives 0 and values beyond the range saturate, where a
// plain cast would be undefined.
constexpr int32_t to_int32(double v) {
  if (!(v == v)) return 0;
  if (v >= 2147483647.0) return INT32_MAX;
  if (v <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(v);
}

}  // namespace frame
