#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

#include "engine/effects/articulate_effects.h"
#include "engine/effects/effect_progress.h"
#include "engine/base/process_state.h"
#include "engine/base/row_parallel.h"
#include "engine/base/wide_lanes.h"

namespace articulate_detail {
const double weird_kernel[16] = {0.014, 0.028, 0.042, 0.056, 0.069, 0.0833, 0.097, 0.111,
                                 0.111, 0.097, 0.0833, 0.069, 0.056, 0.042, 0.028, 0.014};
}

namespace {

using articulate_detail::weird_kernel;

constexpr int frame = 8;

// The fourth byte of a pixel read as one word.
constexpr uint32_t fourth_byte = std::bit_cast<uint32_t>(bgra{0, 0, 0, 0xFF});

// One smoothed byte: the sum over i = 0..15 of weight i times the input i places
// on (in units of step bytes), added in that order.
uint8_t Smoothed(const uint8_t* in, int step) {
  double sum = 0.0;
  for (int i = 0; i < 16; ++i) sum += weird_kernel[i] * in[ptrdiff_t(i) * step];
  return uint8_t(std::clamp(std::trunc(sum), 0.0, 255.0));
}

#if defined(__x86_64__) || defined(__i386__)
// Sixteen smoothed bytes at a time, each sum in its own lane and added in the same
// order. The weights add up to a little over 1, so a sum lies in [0, 256) and its
// truncation needs no clamp. Returns where the bytes it left begin.
__attribute__((target("avx2"))) int WideSmoothed(const uint8_t* from, uint8_t* to, int count, int step) {
  int n = 0;
  for (; n + 16 <= count; n += 16) {
    __m256d sums[4] = {_mm256_setzero_pd(), _mm256_setzero_pd(), _mm256_setzero_pd(), _mm256_setzero_pd()};
    for (int i = 0; i < 16; ++i) {
      const __m256d weight = _mm256_set1_pd(weird_kernel[i]);
      const __m128i in = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + ptrdiff_t(i) * step + n));
      const __m128i quarters[4] = {in, _mm_srli_si128(in, 4), _mm_srli_si128(in, 8), _mm_srli_si128(in, 12)};
      for (int k = 0; k < 4; ++k)
        sums[k] = _mm256_add_pd(sums[k], _mm256_mul_pd(weight, _mm256_cvtepi32_pd(_mm_cvtepu8_epi32(quarters[k]))));
    }
    const __m128i low = _mm_packs_epi32(_mm256_cvttpd_epi32(sums[0]), _mm256_cvttpd_epi32(sums[1]));
    const __m128i high = _mm_packs_epi32(_mm256_cvttpd_epi32(sums[2]), _mm256_cvttpd_epi32(sums[3]));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to + n), _mm_packus_epi16(low, high));
  }
  return n;
}

// WideSmoothed thirty-two bytes at a time in 64-byte lanes (the zero-masked forms
// with every lane set are the plain ones, without GCC 12's warnings).
__attribute__((target("avx2,avx512f,avx512dq,avx512vl,avx512bw"))) int WidestSmoothed(const uint8_t* from,
                                                                                       uint8_t* to, int count,
                                                                                       int step) {
  int n = 0;
  for (; n + 32 <= count; n += 32) {
    __m512d sums[4] = {_mm512_setzero_pd(), _mm512_setzero_pd(), _mm512_setzero_pd(), _mm512_setzero_pd()};
    for (int i = 0; i < 16; ++i) {
      const __m512d weight = _mm512_set1_pd(weird_kernel[i]);
      const uint8_t* in = from + ptrdiff_t(i) * step + n;
      for (int k = 0; k < 4; ++k) {
        const __m256i words = _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(in + 8 * k)));
        sums[k] = _mm512_add_pd(sums[k], _mm512_mul_pd(weight, _mm512_maskz_cvtepi32_pd(0xFF, words)));
      }
    }
    __m128i bytes[4];
    for (int k = 0; k < 4; ++k) bytes[k] = _mm256_maskz_cvtepi32_epi8(0xFF, _mm512_maskz_cvttpd_epi32(0xFF, sums[k]));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to + n), _mm_unpacklo_epi64(bytes[0], bytes[1]));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to + n + 16), _mm_unpacklo_epi64(bytes[2], bytes[3]));
  }
  return n;
}
#endif

// The count outputs of one line of a pass, output n from the inputs from n on.
void SmoothLines(const uint8_t* from, uint8_t* to, int count, int step) {
  int n = 0;
#if defined(__x86_64__) || defined(__i386__)
  if (WidestLanes()) n = WidestSmoothed(from, to, count, step);
  if (WideLanes()) n += WideSmoothed(from + n, to + n, count - n, step);
#endif
  for (; n < count; ++n) to[n] = Smoothed(from + n, step);
}

// Runs rows [0, rows) in slices, painting progress from base to base + 33.
template <class Rows>
void SlicesWithProgress(int rows, int base, effect_progress& progress, const Rows& body) {
  const int slice = std::max(1, (rows + 15) / 16);
  for (int first = 0; first < rows; first += slice) {
    const int end = std::min(rows, first + slice);
    ParallelRows(end - first, [&](int a, int b) { body(first + a, first + b); });
    progress.Working(base + (end - 1) * 33 / rows);
  }
}

}  // namespace

bool Weird(bgra* pixels, int w, int h, int amplitude, int frequency) {
  if (w < 2 * frame + 1 || h < 2 * frame + 1) return true;
  if (w > max_target_width) return false;
  const size_t row_bytes = size_t(w) * 4;
  // Each pass reads only what the pass before it wrote, so nothing needs clearing;
  // the row pass's buffer takes the moved pixels once the column pass is done.
  std::unique_ptr<bgra[]> rowwise, smooth;
  try {
    rowwise.reset(new bgra[size_t(w) * h]);
    smooth.reset(new bgra[size_t(w) * h]);
  } catch (const std::bad_alloc&) {
    return false;
  }
  bgra* const moved = rowwise.get();
  effect_progress progress;
  auto bytes = [](bgra* p) { return reinterpret_cast<uint8_t*>(p); };

  // Rows: output column x - 8 from input columns x - 16 .. x - 1, x = 16 .. w - 1.
  SlicesWithProgress(h, 0, progress, [&](int first, int end) {
    for (int r = first; r < end; ++r) {
      const uint8_t* in = bytes(pixels) + r * row_bytes;
      SmoothLines(in, bytes(rowwise.get()) + r * row_bytes + frame * 4, (w - 16) * 4, 4);
    }
  });
  // Columns 8 .. w - 9: output row y - 8 from rows y - 16 .. y - 1, y = 16 .. h - 1.
  SlicesWithProgress(h - 16, 33, progress, [&](int first, int end) {
    for (int y = first + 16; y < end + 16; ++y) {
      const uint8_t* in = bytes(rowwise.get()) + (y - 16) * row_bytes + frame * 4;
      SmoothLines(in, bytes(smooth.get()) + (y - 8) * row_bytes + frame * 4, (w - 16) * 4, int(row_bytes));
    }
  });

  // The displacements depend on a colour sum only: one table each.
  const double f = frequency / 400.0;
  int down[511], across[256];
  for (int v = 0; v < 511; ++v) down[v] = int(std::trunc(std::sin(v * f) * amplitude));
  for (int v = 0; v < 256; ++v) across[v] = int(std::trunc(std::sin(v * f) * amplitude));
  SlicesWithProgress(h - 2 * frame, 67, progress, [&](int first, int end) {
    for (int y = first + frame; y < end + frame; ++y)
      for (int x = frame; x < w - frame; ++x) {
        const bgra q = smooth[size_t(y) * w + x];
        const int ty = y + down[q.red + q.blue], tx = x + across[q.green];
        moved[size_t(y) * w + x] = tx >= 0 && tx < w && ty >= 0 && ty < h ? pixels[size_t(ty) * w + tx] : bgra{};
      }
  });

  // The colours of the moved pixels inside a black frame, the fourth bytes kept, as
  // whole words the compiler can widen.
  ParallelRows(h, [&](int first, int end) {
    for (int y = first; y < end; ++y) {
      const bool inner_row = y >= frame && y < h - frame;
      for (int x = 0; x < w; ++x) {
        const bool inner = inner_row && x >= frame && x < w - frame;
        uint32_t m = 0, p;
        if (inner) std::memcpy(&m, moved + size_t(y) * w + x, 4);
        std::memcpy(&p, pixels + size_t(y) * w + x, 4);
        p = (p & fourth_byte) | (m & ~fourth_byte);
        std::memcpy(pixels + size_t(y) * w + x, &p, 4);
      }
    }
  });
  progress.Done();
  return true;
}
