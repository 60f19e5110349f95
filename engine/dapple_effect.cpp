#include <algorithm>
#include <atomic>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <system_error>
#include <thread>
#include <vector>

#if defined(__x86_64__)
#include <emmintrin.h>
#endif

#include "engine/articulate_effects.h"
#include "engine/effect_progress.h"
#include "engine/process_state.h"
#include "engine/random_draws.h"
#include "engine/row_parallel.h"

namespace {

// Steps in walk coordinates (y up), chosen by a draw & 7.
constexpr articulate_detail::offset dapple_directions[8] = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0},
                                                            {1, 0},   {-1, 1}, {0, 1},  {1, 1}};

// The direction draws do not depend on the walks. With more than one thread allowed
// a second thread makes them ahead, into a ring, while the walks take them in order;
// with one, the walks make them a batch at a time themselves. Either side that runs
// out sleeps until the other has moved on.
class direction_stream {
 public:
  explicit direction_stream(bool helper) {
    if (!helper) return;
    try {
      maker = std::thread([this] { Make(); });
    } catch (const std::system_error&) {
      // No thread to be had: the walks make the draws themselves.
    }
  }
  ~direction_stream() {
    stop = true;
    // Wakes a maker waiting for room.
    used.store(std::numeric_limits<size_t>::max() / 2, std::memory_order_release);
    used.notify_one();
    if (maker.joinable()) maker.join();
  }

  // The code of draw i, where i is at least the last release and at most a walk and
  // its look-ahead past the draws that walks have taken.
  int At(size_t i) {
    if (i >= known) Await(i);
    return codes[i % ring];
  }

  // Draws before i are done with.
  void Release(size_t i) {
    if (i / release_step == released / release_step) return;
    released = i;
    if (maker.joinable()) {
      used.store(i, std::memory_order_release);
      used.notify_one();
    }
  }

 private:
  // The ring holds some 40 ms of walking, so that a maker the system keeps waiting
  // for a while seldom holds up the walks; it hears of the walks' progress, and so
  // wakes, only every 16 batches.
  static constexpr size_t ring = size_t(1) << 22, batch = size_t(1) << 12, release_step = batch * 16;

  void Await(size_t i) {
    if (!maker.joinable()) {
      while (known <= i) {
        Fill(known);
        known += batch;
      }
      return;
    }
    for (known = made.load(std::memory_order_acquire); known <= i; known = made.load(std::memory_order_acquire))
      made.wait(known, std::memory_order_acquire);
  }

  void Fill(size_t n) {
    for (size_t i = n; i < n + batch; ++i) codes[i % ring] = uint8_t(draws.Next() & 7);
  }

  void Make() {
    for (size_t n = 0;; n += batch) {
      for (size_t u = used.load(std::memory_order_acquire); n + batch - u > ring;
           u = used.load(std::memory_order_acquire)) {
        if (stop) return;
        used.wait(u, std::memory_order_acquire);
      }
      if (stop) return;
      Fill(n);
      made.store(n + batch, std::memory_order_release);
      made.notify_one();
    }
  }

  random_draws draws{1701, 0, 255};
  uint8_t codes[ring];
  std::atomic<size_t> made{0};
  std::atomic<size_t> used{0};
  std::atomic<bool> stop{false};
  size_t known = 0;     // draws the walks may read
  size_t released = 0;  // the last release passed on
  std::thread maker;
};

// How many steps ahead of a walk its pixels are fetched: about as many as the
// memory has loads in flight.
constexpr size_t look_ahead = 16;

static_assert(std::endian::native == std::endian::little, "pixels are read as little-endian words");

// Asks for the pixel at walk coordinates (x, y), if it lies on the target. Inlined
// by force: as a call it would count as doing nothing and be dropped.
[[gnu::always_inline]] inline void Fetch(const bgra* pixels, int w, int h, int x, int y) {
  if (x >= 0 && x < w && y >= 0 && y < h) __builtin_prefetch(&pixels[size_t(h - 1 - y) * w + x]);
}

// A walk's colour s raised for step k: channel * (k + 128) / 128 - k in each of blue,
// green and red, clamped to 0..255, as a pixel word with a zero fourth byte. The
// product is channel + channel * k / 128 (rounded down); the walk keeps channel * k.
#if defined(__x86_64__)
struct raised_colour {
  __m128i channels, products = _mm_setzero_si128();
  explicit raised_colour(bgra s) : channels(_mm_setr_epi16(s.blue, s.green, s.red, 0, 0, 0, 0, 0)) {}
  uint32_t At(int k) const {
    const __m128i v = _mm_sub_epi16(_mm_add_epi16(channels, _mm_srli_epi16(products, 7)), _mm_set1_epi16(int16_t(k)));
    // The fourth lane, 0 - k, saturates to 0.
    return uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(v, v)));
  }
  void Step() { products = _mm_add_epi16(products, channels); }
};
#else
struct raised_colour {
  int channels[3], products[3] = {0, 0, 0};
  explicit raised_colour(bgra s) : channels{s.blue, s.green, s.red} {}
  uint32_t At(int k) const {
    uint32_t v = 0;
    for (int c = 0; c < 3; ++c)
      v |= uint32_t(std::clamp(channels[c] + (products[c] >> 7) - k, 0, 255)) << (8 * c);
    return v;
  }
  void Step() {
    for (int c = 0; c < 3; ++c) products[c] += channels[c];
  }
};
#endif

}  // namespace

// Each walk reads what earlier walks painted, so the walks run in order. Their
// paths, though, follow from their starts and the direction draws alone, so the
// pixels a walk is about to reach, and the next walk's start, are fetched ahead.
void Dapple(bgra* pixels, int w, int h) {
  if (w <= 0 || h <= 0) return;
  random_draws xs(2537, 0, w - 1), ys(1701, 0, h - 1);
  effect_progress progress;
  const int batches = h / 4, walks = w / 4;
  if (batches == 0 || walks == 0) return;
  const auto at = [&](int x, int y) { return pixels + size_t(h - 1 - y) * w + x; };
  auto ds = std::make_unique<direction_stream>(RowThreads() > 1);
  size_t next = 0;  // the direction draw the next step takes
  int next_x = xs.Next(), next_y = ys.Next();
  for (int b = 0; b < batches; ++b) {
    for (int n = 0; n < walks; ++n) {
      int x = next_x, y = next_y;
      if (b + 1 < batches || n + 1 < walks) {
        next_x = xs.Next(), next_y = ys.Next();
        Fetch(pixels, w, h, next_x, next_y);
      }
      const bgra s = *at(x, y);
      const int colour_sum = s.red + s.green + s.blue;
      raised_colour raised(s);
      // Where the walk will be look_ahead steps on, if it lasts.
      int ax = x, ay = y;
      for (size_t i = 0; i < look_ahead; ++i) {
        const articulate_detail::offset step = dapple_directions[ds->At(next + i)];
        ax += step.dx, ay += step.dy;
        Fetch(pixels, w, h, ax, ay);
      }
      for (int k = 0; k < 128; ++k) {
        const articulate_detail::offset step = dapple_directions[ds->At(next)];
        const articulate_detail::offset ahead = dapple_directions[ds->At(next + look_ahead)];
        ++next;
        ax += ahead.dx, ay += ahead.dy;
        Fetch(pixels, w, h, ax, ay);
        x += step.dx, y += step.dy;
        if (x < 0 || x >= w || y < 0 || y >= h) break;
        // The tolerance, 120 less one a step, is a whole number: -t < sum < t exactly when |sum| < t.
        const int t = 119 - k;
        // The pixel is read and written whole, blue in the low byte: a later step
        // often comes back to it.
        bgra* p = at(x, y);
        uint32_t v;
        std::memcpy(&v, p, 4);
        const int sum = colour_sum - int((v & 0xFF) + (v >> 8 & 0xFF) + (v >> 16 & 0xFF));
        if (std::abs(sum) >= t) break;
        v = (v & 0xFF000000u) | raised.At(k);
        std::memcpy(p, &v, 4);
        raised.Step();
      }
      ds->Release(next);
    }
    progress.Working(b * 100 / batches);
  }
}
