#pragma once
#include <climits>

// Truncation toward zero, as a plain conversion does, but defined for every input:
// NaN gives 0 and values beyond int's range stop at its ends. Settings that come
// from broken files or fields must not make a conversion undefined.
inline int TruncToInt(double v) {
  if (!(v == v)) return 0;
  if (v >= double(INT_MAX)) return INT_MAX;
  if (v <= double(INT_MIN)) return INT_MIN;
  return int(v);
}

// Degrees to radians with the program's own value of pi (3.14159), which every
// placement and rotation shares.
inline constexpr double degrees_to_radians = 0.017453277777777776;
