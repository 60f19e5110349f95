#pragma once

// Convolves the w x h image in target_work with an n x n kernel (row-major, n of 1..3)
// into target_pixels: each channel sum is divided by divisor (truncating; 0 means no
// division), offset added and the result clamped. The outer n / 2 rows and columns
// of target_pixels, and every fourth byte, keep what they held. Any other n does
// nothing.
void ConvolveTarget(const int kernel[9], int n, int divisor, int offset, int w, int h);
