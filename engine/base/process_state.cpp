#include "engine/base/process_state.h"

#include <algorithm>

#include "engine/base/combining_options.h"

alignas(64) bgra target_pixels[target_capacity];
alignas(64) bgra target_work[target_capacity];
alignas(64) bgra target_copy[target_capacity];
int target_width = 0;
int target_height = 0;

int method_code = combining_options::method.StartCode();
int source_bias = combining_options::start_source_bias;
int contrast_mode = combining_options::contrast.StartCode();
int contrast_bias = combining_options::start_contrast_bias;
int effect_code = combining_options::effects.StartCode();
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
