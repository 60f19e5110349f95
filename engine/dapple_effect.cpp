#include <algorithm>

#include "engine/articulate_effects.h"
#include "engine/effect_progress.h"
#include "engine/process_state.h"
#include "engine/random_draws.h"

namespace {

// Steps in walk coordinates (y up), chosen by a draw & 7.
constexpr articulate_detail::offset dapple_directions[8] = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0},
                                                            {1, 0},   {-1, 1}, {0, 1},  {1, 1}};

uint8_t Raise(int channel, int k) {
  // channel * (k + 128) / 128 - k: exact in single precision, so whole numbers do.
  return uint8_t(std::clamp(((channel * (k + 128)) >> 7) - k, 0, 255));
}

}  // namespace

// Each walk reads what earlier walks painted, so the walks run in order.
void Dapple(bgra* pixels, int w, int h) {
  if (w <= 0 || h <= 0) return;
  random_draws xs(2537, 0, w - 1), ys(1701, 0, h - 1), ds(1701, 0, 255);
  effect_progress progress;
  const int batches = h / 4, walks = w / 4;
  for (int b = 0; b < batches; ++b) {
    for (int n = 0; n < walks; ++n) {
      int x = xs.Next();
      int y = ys.Next();
      const bgra s = pixels[size_t(h - 1 - y) * w + x];
      float t = 120.0f;
      for (int k = 0; k < 128; ++k) {
        const articulate_detail::offset step = dapple_directions[ds.Next() & 7];
        x += step.dx, y += step.dy;
        if (x < 0 || x >= w || y < 0 || y >= h) break;
        t -= 1.0f;
        bgra& p = pixels[size_t(h - 1 - y) * w + x];
        const int sum = (s.red - p.red) + (s.green - p.green) + (s.blue - p.blue);
        if (!(-t < float(sum) && float(sum) < t)) break;
        p.blue = Raise(s.blue, k);
        p.green = Raise(s.green, k);
        p.red = Raise(s.red, k);
      }
    }
    progress.Working(b * 100 / batches);
  }
}
