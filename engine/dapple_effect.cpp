#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <memory>
#include <system_error>
#include <thread>
#include <vector>

#include "engine/articulate_effects.h"
#include "engine/effect_progress.h"
#include "engine/process_state.h"
#include "engine/random_draws.h"

namespace {

// Steps in walk coordinates (y up), chosen by a draw & 7.
constexpr articulate_detail::offset dapple_directions[8] = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0},
                                                            {1, 0},   {-1, 1}, {0, 1},  {1, 1}};

// The direction draws do not depend on the walks, so a second thread makes them
// ahead, into a ring, while the walks take them in order. Without a thread the
// walks make them a batch at a time themselves.
class direction_stream {
 public:
  direction_stream() {
    try {
      maker = std::thread([this] { Make(); });
    } catch (const std::system_error&) {
      // No thread to be had: Next makes the draws itself.
    }
  }
  ~direction_stream() {
    stop = true;
    if (maker.joinable()) maker.join();
  }

  int Next() {
    while (taken == known) {
      if (!maker.joinable()) {
        Fill(known);
        known += batch;
        break;
      }
      known = made.load(std::memory_order_acquire);
      if (taken == known) std::this_thread::yield();
    }
    const int code = codes[taken % ring];
    if (++taken % batch == 0) used.store(taken, std::memory_order_release);
    return code;
  }

 private:
  static constexpr size_t ring = size_t(1) << 18, batch = size_t(1) << 12;

  void Fill(size_t n) {
    for (size_t i = n; i < n + batch; ++i) codes[i % ring] = uint8_t(draws.Next() & 7);
  }

  void Make() {
    for (size_t n = 0; !stop; n += batch) {
      while (n + batch - used.load(std::memory_order_acquire) > ring) {
        if (stop) return;
        std::this_thread::yield();
      }
      Fill(n);
      made.store(n + batch, std::memory_order_release);
    }
  }

  random_draws draws{1701, 0, 255};
  uint8_t codes[ring];
  std::atomic<size_t> made{0};
  std::atomic<size_t> used{0};
  std::atomic<bool> stop{false};
  size_t taken = 0;
  size_t known = 0;
  std::thread maker;
};

uint8_t Raise(int channel, int k) {
  // channel * (k + 128) / 128 - k: exact in single precision, so whole numbers do.
  return uint8_t(std::clamp(((channel * (k + 128)) >> 7) - k, 0, 255));
}

}  // namespace

// Each walk reads what earlier walks painted, so the walks run in order.
void Dapple(bgra* pixels, int w, int h) {
  if (w <= 0 || h <= 0) return;
  random_draws xs(2537, 0, w - 1), ys(1701, 0, h - 1);
  effect_progress progress;
  const int batches = h / 4, walks = w / 4;
  if (batches == 0 || walks == 0) return;
  auto ds = std::make_unique<direction_stream>();
  for (int b = 0; b < batches; ++b) {
    for (int n = 0; n < walks; ++n) {
      int x = xs.Next();
      int y = ys.Next();
      const bgra s = pixels[size_t(h - 1 - y) * w + x];
      for (int k = 0; k < 128; ++k) {
        const articulate_detail::offset step = dapple_directions[ds->Next()];
        x += step.dx, y += step.dy;
        if (x < 0 || x >= w || y < 0 || y >= h) break;
        // The tolerance, 120 less one a step, is a whole number: -t < sum < t exactly when |sum| < t.
        const int t = 119 - k;
        bgra& p = pixels[size_t(h - 1 - y) * w + x];
        const int sum = (s.red - p.red) + (s.green - p.green) + (s.blue - p.blue);
        if (std::abs(sum) >= t) break;
        p.blue = Raise(s.blue, k);
        p.green = Raise(s.green, k);
        p.red = Raise(s.red, k);
      }
    }
    progress.Working(b * 100 / batches);
  }
}
