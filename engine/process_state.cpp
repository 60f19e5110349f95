#include "engine/process_state.h"

#include <algorithm>

alignas(64) bgra target_pixels[target_capacity];
alignas(64) bgra target_work[target_capacity];
alignas(64) bgra target_copy[target_capacity];
int target_width = 0;
int target_height = 0;

int method_code = 8;
int source_bias = 127;
int contrast_mode = 1;
int contrast_bias = 127;
int effect_code = 0;
rgb_color base_color;

int source_count = 0;
int fix_point_1 = 1;
int fix_point_2 = 1;
bool wic_ready = false;

namespace {
// A size outside the buffers must never turn into an overrun.
long UsedPixels() {
  const long w = std::clamp(target_width, 0, max_target_width);
  const long h = std::clamp(target_height, 0, max_target_height);
  return w * h;
}
}  // namespace

void StoreTargetCopy() { std::copy_n(target_pixels, UsedPixels(), target_copy); }

void RestoreTargetCopy() { std::copy_n(target_copy, UsedPixels(), target_pixels); }
