#include "engine/base/crt_rand.h"

crt_rand run_time_rand;

uint32_t crt_rand::Skip(uint32_t state, uint64_t n) {
  // Composes the step x -> m x + c with itself by repeated squaring.
  uint32_t m = multiplier;
  uint32_t c = increment;
  uint32_t total_m = 1;
  uint32_t total_c = 0;
  for (; n != 0; n >>= 1) {
    if (n & 1) {
      total_m *= m;
      total_c = total_c * m + c;
    }
    c = c * m + c;
    m *= m;
  }
  return state * total_m + total_c;
}
