#include "engine/combine/convolution.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#ifdef __SSE2__
#include <immintrin.h>
#endif

#include "engine/base/process_state.h"
#include "engine/base/row_parallel.h"
#include "engine/base/wide_lanes.h"

namespace {

// One channel byte at byte offset `at` of the first of n rows. Sums in 64 bits: the
// kernel fields may hold anything, and sane kernels give the same values as a
// 32-bit sum.
uint8_t Convolve(const int* kernel, int n, int divisor, int64_t offset, const uint8_t* const* rows,
                 size_t at) {
  int64_t s = 0;
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) s += int64_t(kernel[i * n + j]) * rows[i][at + size_t(j) * 4];
  if (divisor != 0) s /= divisor;
  s += offset;
  return uint8_t(std::clamp<int64_t>(s, 0, 255));
}

void PlainRows(const int* kernel, int n, int divisor, int offset, int w, int first, int end) {
  const int half = n / 2;
  const uint8_t* rows[3] = {};
  for (int r = first; r < end; ++r) {
    for (int i = 0; i < n; ++i) rows[i] = &target_work[size_t(r + i) * w].blue;
    bgra* out = target_pixels + size_t(r + half) * w + half;
    for (int c = 0; c + n <= w; ++c) {
      const size_t at = size_t(c) * 4;
      out[c].blue = Convolve(kernel, n, divisor, offset, rows, at);
      out[c].green = Convolve(kernel, n, divisor, offset, rows, at + 1);
      out[c].red = Convolve(kernel, n, divisor, offset, rows, at + 2);
    }
  }
}

#ifdef __SSE2__
// The 3 x 3 case in 16-bit lanes, sixteen bytes (four pixels) at a time, for kernels
// whose sums stay within 16 bits. Division is a multiply-high by a reciprocal M
// scaled by 2^p, on the absolute value: for n <= bound, floor(n * M / 2^p) equals
// floor(n / d) when M = ceil(2^p / d) and bound * (M * d - 2^p) < 2^p.
bool PlanVector(const int* kernel, int divisor, int offset, convolution_lanes& plan) {
  int64_t bound = 0;
  for (int i = 0; i < 9; ++i) bound += std::abs(int64_t(kernel[i])) * 255;
  if (bound > 32767 || offset < -32767 || offset > 32767) return false;
  plan.kernel = kernel;
  plan.divisor = divisor;
  plan.full_offset = offset;
  for (int i = 0; i < 9; ++i) {
    if (kernel[i] == 0) continue;
    plan.tap_row[plan.taps] = i / 3;
    plan.tap_column[plan.taps] = i % 3;
    plan.tap_weight[plan.taps] = kernel[i];
    ++plan.taps;
  }
  plan.offset = int16_t(offset);
  if (divisor == 0) return true;
  const int64_t d = std::abs(int64_t(divisor));
  plan.divide = true;
  plan.negative_divisor = divisor < 0;
  for (int p = 16; p < 32; ++p) {
    const int64_t scale = int64_t(1) << p;
    const int64_t m = (scale + d - 1) / d;
    if (m > 65535) break;
    if (bound * (m * d - scale) < scale) {
      plan.multiplier = uint16_t(m);
      plan.shift = p - 16;
      return true;
    }
  }
  return false;
}

// The last pixels of a row, from pixel `from` on, which a whole vector no longer fits.
void RowTail(const convolution_lanes& plan, const uint8_t* const* rows, uint8_t* out, size_t from, int w) {
  for (size_t c = from; c < size_t(w - 2); ++c)
    for (int ch = 0; ch < 3; ++ch)
      out[c * 4 + ch] = Convolve(plan.kernel, 3, plan.divisor, plan.full_offset, rows, c * 4 + ch);
}

void VectorRows(const convolution_lanes& plan, int w, int first, int end) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i multiplier = _mm_set1_epi16(int16_t(plan.multiplier));
  const __m128i shift = _mm_cvtsi32_si128(plan.shift);
  const __m128i divisor_sign = _mm_set1_epi16(plan.negative_divisor ? -1 : 0);
  const __m128i offset = _mm_set1_epi16(plan.offset);
  const __m128i keep_fourth = _mm_set1_epi32(int32_t(0xFF000000u));
  __m128i weight[9];
  for (int t = 0; t < plan.taps; ++t) weight[t] = _mm_set1_epi16(int16_t(plan.tap_weight[t]));

  // Quotient and offset of eight sums; the final pack saturates to 0..255.
  const auto finish = [&](__m128i s) {
    if (plan.divide) {
      const __m128i sign = _mm_xor_si128(_mm_srai_epi16(s, 15), divisor_sign);
      const __m128i magnitude = _mm_sub_epi16(_mm_xor_si128(s, _mm_srai_epi16(s, 15)), _mm_srai_epi16(s, 15));
      const __m128i q = _mm_srl_epi16(_mm_mulhi_epu16(magnitude, multiplier), shift);
      s = _mm_sub_epi16(_mm_xor_si128(q, sign), sign);
    }
    return _mm_adds_epi16(s, offset);
  };

  const size_t bytes = size_t(w - 2) * 4;  // output bytes of a row, fourth bytes included
  for (int r = first; r < end; ++r) {
    const uint8_t* rows[3];
    for (int i = 0; i < 3; ++i) rows[i] = &target_work[size_t(r + i) * w].blue;
    uint8_t* out = &target_pixels[size_t(r + 1) * w + 1].blue;
    size_t j = 0;
    for (; j + 16 <= bytes; j += 16) {
      __m128i lo = zero, hi = zero;
      for (int t = 0; t < plan.taps; ++t) {
        const uint8_t* at = rows[plan.tap_row[t]] + j + size_t(plan.tap_column[t]) * 4;
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
        const __m128i v_lo = _mm_unpacklo_epi8(v, zero);
        const __m128i v_hi = _mm_unpackhi_epi8(v, zero);
        if (plan.tap_weight[t] == 1) {
          lo = _mm_add_epi16(lo, v_lo);
          hi = _mm_add_epi16(hi, v_hi);
        } else if (plan.tap_weight[t] == -1) {
          lo = _mm_sub_epi16(lo, v_lo);
          hi = _mm_sub_epi16(hi, v_hi);
        } else {
          lo = _mm_add_epi16(lo, _mm_mullo_epi16(v_lo, weight[t]));
          hi = _mm_add_epi16(hi, _mm_mullo_epi16(v_hi, weight[t]));
        }
      }
      const __m128i value = _mm_packus_epi16(finish(lo), finish(hi));
      __m128i* to = reinterpret_cast<__m128i*>(out + j);
      const __m128i old = _mm_loadu_si128(to);
      _mm_storeu_si128(to,
                       _mm_or_si128(_mm_and_si128(old, keep_fourth), _mm_andnot_si128(keep_fourth, value)));
    }
    RowTail(plan, rows, out, j / 4, w);
  }
}

#if defined(__x86_64__) || defined(__i386__)
// The same with 32-byte lanes where the processor has them. The unpacks and packs
// work within 16-byte halves, so bytes come back in their places.
#define VORBEL_AVX2 __attribute__((target("avx2")))

VORBEL_AVX2 __m256i FinishWide(const convolution_lanes& plan, __m256i s) {
  if (plan.divide) {
    const __m256i negative = _mm256_srai_epi16(s, 15);
    const __m256i sign = _mm256_xor_si256(negative, _mm256_set1_epi16(plan.negative_divisor ? -1 : 0));
    const __m256i magnitude = _mm256_sub_epi16(_mm256_xor_si256(s, negative), negative);
    const __m256i q =
        _mm256_srl_epi16(_mm256_mulhi_epu16(magnitude, _mm256_set1_epi16(int16_t(plan.multiplier))),
                         _mm_cvtsi32_si128(plan.shift));
    s = _mm256_sub_epi16(_mm256_xor_si256(q, sign), sign);
  }
  return _mm256_adds_epi16(s, _mm256_set1_epi16(plan.offset));
}

VORBEL_AVX2 void WideRows(const convolution_lanes& plan, int w, int first, int end) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i keep_fourth = _mm256_set1_epi32(int32_t(0xFF000000u));
  __m256i weight[9];
  for (int t = 0; t < plan.taps; ++t) weight[t] = _mm256_set1_epi16(int16_t(plan.tap_weight[t]));
  const size_t bytes = size_t(w - 2) * 4;
  for (int r = first; r < end; ++r) {
    const uint8_t* rows[3];
    for (int i = 0; i < 3; ++i) rows[i] = &target_work[size_t(r + i) * w].blue;
    uint8_t* out = &target_pixels[size_t(r + 1) * w + 1].blue;
    size_t j = 0;
    for (; j + 32 <= bytes; j += 32) {
      __m256i lo = zero, hi = zero;
      for (int t = 0; t < plan.taps; ++t) {
        const uint8_t* at = rows[plan.tap_row[t]] + j + size_t(plan.tap_column[t]) * 4;
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
        const __m256i v_lo = _mm256_unpacklo_epi8(v, zero);
        const __m256i v_hi = _mm256_unpackhi_epi8(v, zero);
        if (plan.tap_weight[t] == 1) {
          lo = _mm256_add_epi16(lo, v_lo);
          hi = _mm256_add_epi16(hi, v_hi);
        } else if (plan.tap_weight[t] == -1) {
          lo = _mm256_sub_epi16(lo, v_lo);
          hi = _mm256_sub_epi16(hi, v_hi);
        } else {
          lo = _mm256_add_epi16(lo, _mm256_mullo_epi16(v_lo, weight[t]));
          hi = _mm256_add_epi16(hi, _mm256_mullo_epi16(v_hi, weight[t]));
        }
      }
      const __m256i value = _mm256_packus_epi16(FinishWide(plan, lo), FinishWide(plan, hi));
      __m256i* to = reinterpret_cast<__m256i*>(out + j);
      const __m256i old = _mm256_loadu_si256(to);
      _mm256_storeu_si256(
          to, _mm256_or_si256(_mm256_and_si256(old, keep_fourth), _mm256_andnot_si256(keep_fourth, value)));
    }
    RowTail(plan, rows, out, j / 4, w);
  }
}
#undef VORBEL_AVX2
#else
void WideRows(const convolution_lanes&, int, int, int) {}
#endif
#endif

}  // namespace

bool target_convolution::Prepare(const int* kernel_rows, int size, int kernel_divisor,
                                 int kernel_offset, int width, int height) {
  if (size < 1 || size > 3 || width < size || height < size) return false;
  kernel = kernel_rows;
  n = size;
  divisor = kernel_divisor;
  offset = kernel_offset;
  w = width;
  h = height;
  lanes = false;
#ifdef __SSE2__
  plan = convolution_lanes{};
  lanes = n == 3 && PlanVector(kernel, divisor, offset, plan);
  wide = WideLanes();
#endif
  return true;
}

void target_convolution::Rows(int first, int end) const {
#ifdef __SSE2__
  if (lanes) {
    if (wide)
      WideRows(plan, w, first, end);
    else
      VectorRows(plan, w, first, end);
    return;
  }
#endif
  PlainRows(kernel, n, divisor, offset, w, first, end);
}

void ConvolveTarget(const int kernel[9], int n, int divisor, int offset, int w, int h) {
  target_convolution c;
  if (c.Prepare(kernel, n, divisor, offset, w, h))
    ParallelRows(c.Windows(), [&](int first, int end) { c.Rows(first, end); });
}
