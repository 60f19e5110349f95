#include "engine/convolution.h"

#include <algorithm>
#include <cstdint>

#include "engine/process_state.h"
#include "engine/row_parallel.h"

namespace {

// One channel byte at column offset `at` (in bytes) of the first of n rows. Sums
// in 64 bits: the kernel fields may hold anything, and sane kernels give the same
// values as a 32-bit sum.
uint8_t Convolve(const int* kernel, int n, int divisor, int64_t offset, const uint8_t* const* rows,
                 size_t at) {
  int64_t s = 0;
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) s += int64_t(kernel[i * n + j]) * rows[i][at + size_t(j) * 4];
  if (divisor != 0) s /= divisor;
  s += offset;
  return uint8_t(std::clamp<int64_t>(s, 0, 255));
}

}  // namespace

void ConvolveTarget(const int kernel[9], int n, int divisor, int offset, int w, int h) {
  if (n < 1 || n > 3 || w < n || h < n) return;
  const int half = n / 2;
  ParallelRows(h - n + 1, [&](int first, int end) {
    const uint8_t* rows[3] = {};
    for (int r = first; r < end; ++r) {
      for (int i = 0; i < n; ++i) rows[i] = &target_work[size_t(r + i) * w].blue;
      bgra* out = target_pixels + size_t(r + half) * w + half;
      for (int c = 0; c + n <= w; ++c) {
        const size_t at = size_t(c) * 4;
        out[c].blue = Convolve(kernel, n, divisor, offset, rows, at);
        out[c].green = Convolve(kernel, n, divisor, offset, rows, at + 1);
        out[c].red = Convolve(kernel, n, divisor, offset, rows, at + 2);
      }
    }
  });
}
