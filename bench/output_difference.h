#pragma once
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Rows of pixels whose first three bytes are blue, green and red, 3 or 4 bytes a pixel.
struct pixel_rows {
  const uint8_t* data;
  size_t row_bytes;
  int pixel_bytes;
  const uint8_t* At(int row, int column) const { return data + row * row_bytes + size_t(column) * pixel_bytes; }
};

struct output_difference {
  double share = 0;      // of the pixels compared, those differing in any colour channel
  double share_far = 0;  // those differing by more than far_apart in a channel
  int largest = 0;       // the largest difference in one channel
};

// Rounding and coarser fractions part two outputs by a few levels; more than this
// means another pixel was taken.
inline constexpr int far_apart = 8;

// Compares the colours of rows [top, bottom) and columns [left, right) of two outputs.
inline output_difference Difference(pixel_rows a, pixel_rows b, int left, int top, int right, int bottom) {
  size_t differing = 0, far = 0;
  output_difference d;
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) {
      const uint8_t *p = a.At(y, x), *q = b.At(y, x);
      int most = 0;
      for (int c = 0; c < 3; ++c) most = std::max(most, std::abs(int(p[c]) - int(q[c])));
      differing += most != 0;
      far += most > far_apart;
      d.largest = std::max(d.largest, most);
    }
  const double compared = double(right - left) * (bottom - top);
  d.share = compared > 0 ? double(differing) / compared : 0;
  d.share_far = compared > 0 ? double(far) / compared : 0;
  return d;
}

// Prints how far ours and the peer's outputs differ and keeps it in the counters.
inline void ReportDifference(benchmark::State& state, const char* what, output_difference d) {
  state.counters["differ_%"] = d.share * 100;
  state.counters["far_%"] = d.share_far * 100;
  state.counters["max_diff"] = d.largest;
  std::printf("  outputs (%s): %.2f %% of pixels differ, %.2f %% by more than %d, largest difference %d\n", what,
              d.share * 100, d.share_far * 100, far_apart, d.largest);
  std::fflush(stdout);
}
