#pragma once

// One row of the "Effects:" kernel table: a 3 x 3 kernel, row-major, with its size
// (0 = no convolution), divisor (0 = none) and offset.
struct effect_kernel {
  int kernel[9];
  int size;
  int divisor;
  int offset;
};

// Rows for effect codes 0..5; "Highlight" (6) and "Articulate" (7) keep the kernel
// chosen before them.
inline constexpr int effect_kernel_count = 6;
extern const effect_kernel effect_kernels[effect_kernel_count];
