#pragma once
#include <cstdint>

// The 3 x 3 vector form's plan: the nonzero taps and the division as a multiply.
struct convolution_lanes {
  const int* kernel = nullptr;
  int divisor = 0;
  int full_offset = 0;
  int taps = 0;
  int tap_row[9], tap_column[9], tap_weight[9];
  bool divide = false;
  bool negative_divisor = false;
  uint16_t multiplier = 0;
  int shift = 0;
  int16_t offset = 0;
};

// A convolution of the w x h image in target_work with an n x n kernel (row-major,
// n of 1..3) into target_pixels: each channel sum is divided by divisor
// (truncating; 0 means no division), offset added and the result clamped. The
// outer n / 2 rows and columns of target_pixels, and every fourth byte, keep what
// they held. A window is named by its top row; its result lands n / 2 rows lower.
class target_convolution {
 public:
  // False when there is nothing to do (n outside 1..3, an image smaller than the
  // kernel). The kernel is read, not copied, while the windows run.
  bool Prepare(const int* kernel, int n, int divisor, int offset, int w, int h);
  int Size() const { return n; }
  int Windows() const { return h - n + 1; }
  // The windows whose top rows are first..end-1; they read target_work rows first
  // to end + n - 2.
  void Rows(int first, int end) const;

 private:
  const int* kernel = nullptr;
  int n = 0, divisor = 0, offset = 0, w = 0, h = 0;
  bool lanes = false;
  bool wide = false;
  convolution_lanes plan;
};

// The whole convolution at once, on the row pool.
void ConvolveTarget(const int kernel[9], int n, int divisor, int offset, int w, int h);
