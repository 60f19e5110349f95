#include "engine/combine/effect_kernels.h"

#include <algorithm>

#include "engine/base/view_core.h"

const effect_kernel effect_kernels[effect_kernel_count] = {
    {{1, 1, 1, 1, 1, 1, 1, 1, 1}, 0, 0, 0},           // No effects
    {{1, 1, 1, 1, 1, 1, 1, 1, 1}, 3, 9, 0},           // Blur
    {{-1, -1, -1, -1, 8, -1, -1, -1, -1}, 3, 0, 0},   // Edge
    {{-1, 0, 0, 0, 0, 0, 0, 0, 1}, 3, 0, 127},        // Emboss
    {{-1, -1, -1, -1, 15, -1, -1, -1, -1}, 3, 7, 0},  // Sharpen
    {{1, 1, 1, 1, 8, 1, 1, 1, 1}, 3, 16, 0},          // Soften
};

void CvorbelViewCore::InstallEffectKernel(int code) {
  if (code < 0 || code >= effect_kernel_count) return;
  const effect_kernel& row = effect_kernels[code];
  std::copy_n(row.kernel, 9, kernel);
  kernel_size = row.size;
  kernel_divisor = row.divisor;
  kernel_offset = row.offset;
}
