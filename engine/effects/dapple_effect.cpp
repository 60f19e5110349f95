#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>

#if defined(__x86_64__)
#include <emmintrin.h>
#endif

#include "engine/effects/articulate_effects.h"
#include "engine/effects/effect_progress.h"
#include "engine/base/process_state.h"
#include "engine/base/random_draws.h"
#include "engine/base/twister_block.h"

namespace {

// Steps in walk coordinates (y up), chosen by a draw & 7.
constexpr articulate_detail::offset dapple_directions[8] = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0},
                                                            {1, 0},   {-1, 1}, {0, 1},  {1, 1}};

// The direction draws, a draw & 7 each, made a block at a time into a window that
// slides along as the walks take them.
class direction_draws {
 public:
  // The code of draw i, where i is at least the last release and at most a walk and
  // its look-ahead past it.
  int At(size_t i) {
    if (i >= known) Make(i);
    return codes[i - first];
  }

  // Draws before i are done with.
  void Release(size_t i) { released = i; }

 private:
  static constexpr size_t window = 8 * twister_block::size;

  void Make(size_t i) {
    while (known <= i) {
      if (known + twister_block::size - first > window) {
        std::memmove(codes, codes + (released - first), known - released);
        first = released;
      }
      uint32_t block[twister_block::size];
      engine.Next(block);
      // A draw from 0..255 is the output's low byte.
      for (int k = 0; k < twister_block::size; ++k) codes[known - first + size_t(k)] = uint8_t(block[k] & 7);
      known += twister_block::size;
    }
  }

  twister_block engine{1701};
  uint8_t codes[window];
  size_t first = 0;     // the draw codes[0] holds
  size_t known = 0;     // draws made
  size_t released = 0;  // the first draw still wanted
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
  direction_draws ds;
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
        const articulate_detail::offset step = dapple_directions[ds.At(next + i)];
        ax += step.dx, ay += step.dy;
        Fetch(pixels, w, h, ax, ay);
      }
      for (int k = 0; k < 128; ++k) {
        const articulate_detail::offset step = dapple_directions[ds.At(next)];
        const articulate_detail::offset ahead = dapple_directions[ds.At(next + look_ahead)];
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
      ds.Release(next);
    }
    progress.Working(b * 100 / batches);
  }
}
