#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "engine/float_convert.h"
#include "engine/row_parallel.h"
#include "engine/wide_lanes.h"
#include "engine/view_core.h"
#include "sources/document.h"

namespace {

// Everything a row of the layer needs, fixed before the rows run.
struct placement {
  const uint8_t* pixels;  // 4 bytes a pixel, w per row
  const uint8_t* mask;    // null: every pixel covered
  int w, h;
  double hw, hh;
  double xstep, ystep;
  double gx, gy;  // already truncated
  double base_x, base_y;
  double cos_a, sin_a;
  bool mirrored;
  bool nearest;
  int row0, col0, rows, cols;
};

constexpr int tile_cols = 128;
constexpr int prefetch_distance = 16;

// Where each column of a span samples the source: the pixel index (-1 outside the
// source), the 8-bit fractions, and the byte steps to the right and lower
// neighbours (0 at the last column or row, which samples the pixel itself).
struct span_samples {
  int32_t at[tile_cols];
  int32_t fx[tile_cols];
  int32_t fy[tile_cols];
  int32_t right[tile_cols];
  int32_t down[tile_cols];
};

// The scalar form, for the columns [first, n) of the span.
void SpanSamplesFrom(const placement& p, double y_sin, double hh_y_cos, int c_first, int first,
                     int n, span_samples& out) {
  const double sign = p.mirrored ? -1.0 : 1.0;
  const int w = p.w;
  const int h = p.h;
  for (int k = first; k < n; ++k) {
    const double x = ((p.base_x + (c_first + k) - p.gx) * p.xstep - p.hw) * sign;
    const double sx = p.hw + x * p.cos_a - y_sin;
    const double sy = hh_y_cos + x * p.sin_a;
    // Written so that NaN lands outside as well.
    if (!(sx >= 0 && sx < w && sy >= 0 && sy < h)) {
      out.at[k] = -1;
      continue;
    }
    const int col = int(sx);
    const int row = int(sy);
    out.at[k] = row * w + col;
    out.fx[k] = int(sx * 256 - col * 256);
    out.fy[k] = int(sy * 256 - row * 256);
    out.right[k] = col + 1 < w ? 4 : 0;
    out.down[k] = row + 1 < h ? w * 4 : 0;
  }
}

#if defined(__x86_64__)
// Four columns at a time with the same operations in the same order as the scalar
// form, so every value is the same to the bit.
__attribute__((target("avx2"))) void SpanSamplesWide(const placement& p, double y_sin,
                                                      double hh_y_cos, int c_first, int n,
                                                      span_samples& out) {
  const __m256d base_x = _mm256_set1_pd(p.base_x), gx = _mm256_set1_pd(p.gx);
  const __m256d xstep = _mm256_set1_pd(p.xstep), hw = _mm256_set1_pd(p.hw);
  const __m256d sign = _mm256_set1_pd(p.mirrored ? -1.0 : 1.0);
  const __m256d cos_a = _mm256_set1_pd(p.cos_a), sin_a = _mm256_set1_pd(p.sin_a);
  const __m256d ysin = _mm256_set1_pd(y_sin), hhycos = _mm256_set1_pd(hh_y_cos);
  const __m256d wd = _mm256_set1_pd(p.w), hd = _mm256_set1_pd(p.h);
  const __m256d zero = _mm256_setzero_pd(), scale = _mm256_set1_pd(256.0);
  const __m128i w = _mm_set1_epi32(p.w), h = _mm_set1_epi32(p.h), one = _mm_set1_epi32(1);
  const __m128i four = _mm_set1_epi32(4), row_bytes = _mm_set1_epi32(p.w * 4);
  const __m256i low_halves = _mm256_setr_epi32(0, 2, 4, 6, 1, 3, 5, 7);
  int k = 0;
  for (; k + 4 <= n; k += 4) {
    const __m256d c = _mm256_cvtepi32_pd(_mm_add_epi32(_mm_set1_epi32(c_first + k),
                                                       _mm_setr_epi32(0, 1, 2, 3)));
    __m256d x = _mm256_sub_pd(_mm256_add_pd(base_x, c), gx);
    x = _mm256_mul_pd(_mm256_sub_pd(_mm256_mul_pd(x, xstep), hw), sign);
    const __m256d sx = _mm256_sub_pd(_mm256_add_pd(hw, _mm256_mul_pd(x, cos_a)), ysin);
    const __m256d sy = _mm256_add_pd(hhycos, _mm256_mul_pd(x, sin_a));
    const __m256d inside = _mm256_and_pd(
        _mm256_and_pd(_mm256_cmp_pd(sx, zero, _CMP_GE_OQ), _mm256_cmp_pd(sx, wd, _CMP_LT_OQ)),
        _mm256_and_pd(_mm256_cmp_pd(sy, zero, _CMP_GE_OQ), _mm256_cmp_pd(sy, hd, _CMP_LT_OQ)));
    const __m256d sxi = _mm256_and_pd(sx, inside);
    const __m256d syi = _mm256_and_pd(sy, inside);
    const __m128i col = _mm256_cvttpd_epi32(sxi);
    const __m128i row = _mm256_cvttpd_epi32(syi);
    const __m128i in32 = _mm256_castsi256_si128(
        _mm256_permutevar8x32_epi32(_mm256_castpd_si256(inside), low_halves));
    const __m128i at = _mm_add_epi32(_mm_mullo_epi32(row, w), col);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out.at + k),
                     _mm_or_si128(_mm_and_si128(in32, at), _mm_andnot_si128(in32, _mm_set1_epi32(-1))));
    const __m256d col256 = _mm256_cvtepi32_pd(_mm_slli_epi32(col, 8));
    const __m256d row256 = _mm256_cvtepi32_pd(_mm_slli_epi32(row, 8));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out.fx + k),
                     _mm256_cvttpd_epi32(_mm256_sub_pd(_mm256_mul_pd(sxi, scale), col256)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out.fy + k),
                     _mm256_cvttpd_epi32(_mm256_sub_pd(_mm256_mul_pd(syi, scale), row256)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out.right + k),
                     _mm_and_si128(_mm_cmpgt_epi32(w, _mm_add_epi32(col, one)), four));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out.down + k),
                     _mm_and_si128(_mm_cmpgt_epi32(h, _mm_add_epi32(row, one)), row_bytes));
  }
  SpanSamplesFrom(p, y_sin, hh_y_cos, c_first, k, n, out);
}
#endif

void SpanSamples(const placement& p, double y_sin, double hh_y_cos, int c_first, int n,
                 span_samples& out) {
#if defined(__x86_64__)
  if (WideLanes()) return SpanSamplesWide(p, y_sin, hh_y_cos, c_first, n, out);
#endif
  SpanSamplesFrom(p, y_sin, hh_y_cos, c_first, 0, n, out);
}

#if defined(__x86_64__)
// The bilinear blend of one pixel, all channels at once: the first pass weighs the
// pixel with its right neighbour (and the lower pair likewise) in pairs of 16-bit
// lanes, the second weighs the two rows in 32-bit lanes. The sum
// P(256-fx)(256-fy) + R fx(256-fy) + D(256-fx)fy + G fx fy is the same integer.
__attribute__((target("avx2"))) inline void BlendWide(const uint8_t* px, const uint8_t* right,
                                                      const uint8_t* down,
                                                      const uint8_t* diagonal, int fx, int fy,
                                                      uint8_t* o) {
  const auto load = [](const uint8_t* q) {
    int32_t v;
    std::memcpy(&v, q, 4);
    return _mm_cvtsi32_si128(v);
  };
  const __m128i wx = _mm_set1_epi32((fx << 16) | (256 - fx));
  const __m128i top = _mm_madd_epi16(_mm_cvtepu8_epi16(_mm_unpacklo_epi8(load(px), load(right))), wx);
  const __m128i bottom =
      _mm_madd_epi16(_mm_cvtepu8_epi16(_mm_unpacklo_epi8(load(down), load(diagonal))), wx);
  const __m128i sum = _mm_add_epi32(_mm_mullo_epi32(top, _mm_set1_epi32(256 - fy)),
                                    _mm_mullo_epi32(bottom, _mm_set1_epi32(fy)));
  const __m128i bytes = _mm_shuffle_epi8(_mm_srli_epi32(sum, 16),
                                         _mm_setr_epi8(0, 4, 8, -1, -1, -1, -1, -1, -1, -1, -1,
                                                       -1, -1, -1, -1, -1));
  const uint32_t v = uint32_t(_mm_cvtsi128_si32(bytes));
  o[0] = uint8_t(v);
  o[1] = uint8_t(v >> 8);
  o[2] = uint8_t(v >> 16);
}
#endif

inline void BlendScalar(const uint8_t* px, const uint8_t* right, const uint8_t* down,
                        const uint8_t* diagonal, int fx_in, int fy_in, uint8_t* o) {
  const uint32_t fx = uint32_t(fx_in);
  const uint32_t fy = uint32_t(fy_in);
  const uint32_t wp = (256 - fx) * (256 - fy);
  const uint32_t wr = fx * (256 - fy);
  const uint32_t wd = (256 - fx) * fy;
  const uint32_t wg = fx * fy;
  for (int j = 0; j < 3; ++j)
    o[j] = uint8_t((px[j] * wp + right[j] * wr + down[j] * wd + diagonal[j] * wg) >> 16);
}

// One row's span [c_first, c_end) of the layer, from its samples.
template <bool nearest, bool masked, class blend_fn>
__attribute__((always_inline)) inline void PlaceSpan(const placement& p,
                                                     const span_samples& samples, int n,
                                                     uint8_t* out, uint8_t* out_mask,
                                                     blend_fn blend) {
  for (int k = 0; k < n; ++k) {
    // The samples wander over source rows far apart in memory: ask for the pixels a
    // few columns ahead while this one is placed.
    if (k + prefetch_distance < n && samples.at[k + prefetch_distance] >= 0) {
      const uint8_t* ahead = p.pixels + size_t(samples.at[k + prefetch_distance]) * 4;
      __builtin_prefetch(ahead);
      if (!nearest) __builtin_prefetch(ahead + samples.down[k + prefetch_distance]);
    }
    const int32_t at = samples.at[k];
    uint8_t* o = out + size_t(k) * 3;
    if (at < 0 || (masked && p.mask[at] == 0)) {
      o[0] = o[1] = o[2] = 0;
      out_mask[k] = 0;
      continue;
    }
    const uint8_t* px = p.pixels + size_t(at) * 4;
    if (nearest) {
      o[0] = px[0];
      o[1] = px[1];
      o[2] = px[2];
    } else {
      const uint8_t* down = px + samples.down[k];
      blend(px, px + samples.right[k], down, down + samples.right[k], samples.fx[k],
            samples.fy[k], o);
    }
    out_mask[k] = 1;
  }
}

template <class blend_fn>
__attribute__((always_inline)) inline void PlaceSpanWith(const placement& p,
                                                         const span_samples& samples, int n,
                                                         uint8_t* out, uint8_t* out_mask,
                                                         blend_fn blend) {
  if (p.nearest) {
    p.mask ? PlaceSpan<true, true>(p, samples, n, out, out_mask, blend)
           : PlaceSpan<true, false>(p, samples, n, out, out_mask, blend);
  } else {
    p.mask ? PlaceSpan<false, true>(p, samples, n, out, out_mask, blend)
           : PlaceSpan<false, false>(p, samples, n, out, out_mask, blend);
  }
}

void PlaceSpanPlain(const placement& p, const span_samples& samples, int n, uint8_t* out,
                    uint8_t* out_mask) {
  PlaceSpanWith(p, samples, n, out, out_mask, BlendScalar);
}

#if defined(__x86_64__)
__attribute__((target("avx2"))) void PlaceSpanWide(const placement& p,
                                                   const span_samples& samples, int n,
                                                   uint8_t* out, uint8_t* out_mask) {
  PlaceSpanWith(p, samples, n, out, out_mask,
                [](const uint8_t* px, const uint8_t* right, const uint8_t* down,
                   const uint8_t* diagonal, int fx, int fy, uint8_t* o)
                    __attribute__((target("avx2"))) {
                      BlendWide(px, right, down, diagonal, fx, fy, o);
                    });
}
#endif

// One row's span [c_first, c_end) of the layer.
void BuildSpan(const placement& p, source_layer& layer, int r, int c_first, int c_end) {
  const double y = (p.base_y + r - p.gy) * p.ystep - p.hh;
  const double y_sin = y * p.sin_a;
  const double hh_y_cos = p.hh + y * p.cos_a;
  span_samples samples;
  const int n = c_end - c_first;
  SpanSamples(p, y_sin, hh_y_cos, c_first, n, samples);
  uint8_t* out = layer.Pixel(p.row0 + r, p.col0 + c_first);
  uint8_t* out_mask = &layer.Mask(p.row0 + r, p.col0 + c_first);
#if defined(__x86_64__)
  if (WideLanes()) return PlaceSpanWide(p, samples, n, out, out_mask);
#endif
  PlaceSpanPlain(p, samples, n, out, out_mask);
}

void ClearRows(source_layer& layer, int width, int first, int end) {
  for (int r = first; r < end; ++r) {
    std::memset(layer.Pixel(r, 0), 0, size_t(width) * 3);
    std::memset(&layer.Mask(r, 0), 0, size_t(width));
  }
}

// Target rows [first, end): cleared, then filled where the source lands. A rotated
// source is read along slanted lines; walking the layer in small tiles keeps the
// source pixels a tile reads in cache instead of one cache line per pixel.
void BuildRows(const placement& p, source_layer& layer, int width, int first, int end) {
  // The spans write every column from col0 on, covered or not: only the rows above
  // the source's start and the columns left of it are cleared here.
  ClearRows(layer, width, first, std::min(end, p.row0));
  for (int r = std::max(first, p.row0); r < end; ++r) {
    std::memset(layer.Pixel(r, 0), 0, size_t(p.col0) * 3);
    std::memset(&layer.Mask(r, 0), 0, size_t(p.col0));
  }
  constexpr int tile_rows = 16;
  for (int r0 = std::max(first, p.row0); r0 < end; r0 += tile_rows) {
    const int r1 = std::min(end, r0 + tile_rows);
    for (int c0 = 0; c0 < p.cols; c0 += tile_cols) {
      const int c1 = std::min(p.cols, c0 + tile_cols);
      for (int r = r0; r < r1; ++r) BuildSpan(p, layer, r - p.row0, c0, c1);
    }
  }
}

// Fixes everything the rows need; false when the source places nothing.
bool PlanPlacement(const CvorbelViewCore& v, int s, int W, int H, placement& p) {
  const int i = s - 1;
  const CvorbelDoc& doc = *v.GetDocument();
  const image_record& record = doc.source_image[i];
  if (record.bitmap == nullptr) return false;
  p.w = doc.image_size[i].width;
  p.h = doc.image_size[i].height;
  // The size must describe the record it reads, or the samples would leave it.
  if (p.w <= 0 || p.h <= 0 || p.w != record.Width() || p.h != record.Height()) return false;
  p.pixels = record.Pixels();
  // Most records cover every pixel: one fast scan for a zero spares the rows a
  // second scattered read per sample.
  const size_t pixel_count = size_t(p.w) * size_t(p.h);
  const bool usable_mask = record.mask && size_t(record.mask_size) == pixel_count;
  p.mask = usable_mask && std::memchr(record.mask, 0, pixel_count) ? record.mask : nullptr;

  p.mirrored = doc.mirrored[i] == 1;
  const double a = (p.mirrored ? v.rotation[i] : -v.rotation[i]) * degrees_to_radians;
  const double sw = v.width_percent[i] * v.fit_factor_x[i] * p.w / 100.0;
  if (!(sw >= 1.0) || !std::isfinite(sw)) return false;
  const double sh = v.height_percent[i] * v.fit_factor_y[i] * p.h / 100.0;
  if (!(sh >= 1.0) || !std::isfinite(sh)) return false;
  p.xstep = p.w / sw;
  p.ystep = p.h / sh;
  p.cos_a = std::cos(a);
  p.sin_a = std::sin(a);
  if (!std::isfinite(p.cos_a)) return false;
  const double abs_cos = std::fabs(p.cos_a);
  const double abs_sin = std::fabs(p.sin_a);
  p.gx = std::trunc(0.5 * sw * ((p.h * abs_sin + p.w * abs_cos) / p.w - 1));
  p.gy = std::trunc(0.5 * sh * ((p.h * abs_cos + p.w * abs_sin) / p.h - 1));

  const int64_t row0 = std::max<int64_t>(0, -int64_t(v.offset[i].y));
  const int64_t col0 = std::max<int64_t>(0, -int64_t(v.offset[i].x));
  if (H - row0 < 1 || W - col0 < 1) return false;
  p.row0 = int(row0);
  p.col0 = int(col0);
  p.rows = H - p.row0;
  p.cols = W - p.col0;
  p.hw = p.w / 2;
  p.hh = p.h / 2;
  p.base_x = std::max(0, v.offset[i].x);
  p.base_y = std::max(0, v.offset[i].y);
  p.nearest = v.fast_preview == 1;

  return true;
}

}  // namespace

void CvorbelViewCore::BuildSourceLayer(int s) {
  if (s != 1 && s != 2) return;
  const int i = s - 1;
  source_layer& layer = layers[i];
  const int W = std::clamp(target_rect.Width(), 0, max_target_width);
  const int H = std::clamp(target_rect.Height(), 0, max_target_height);
  placement p;
  if (PlanPlacement(*this, s, W, H, p)) {
    ParallelRows(H, [&](int first, int end) { BuildRows(p, layer, W, first, end); });
  } else {
    ParallelRows(H, [&](int first, int end) { ClearRows(layer, W, first, end); });
  }
}

