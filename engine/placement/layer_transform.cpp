#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "bytes/pixel_rows.h"
#include "engine/base/float_convert.h"
#include "engine/placement/layer_rows.h"
#include "engine/base/row_parallel.h"
#include "engine/base/source_records.h"
#include "engine/base/view_core.h"
#include "engine/base/wide_lanes.h"

namespace {

using placement = layer_placement;


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

// One row's span of n pixels of the layer, from its samples.
template <bool nearest, bool masked>
void PlaceSpan(const placement& p, const span_samples& samples, int n, uint8_t* out,
               uint8_t* out_mask) {
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
      BlendScalar(px, px + samples.right[k], down, down + samples.right[k], samples.fx[k],
                  samples.fy[k], o);
    }
    out_mask[k] = 1;
  }
}

// Columns [first, first + n) of a row, one pixel at a time.
void PlainSpan(const placement& p, double y_sin, double hh_y_cos, int first, int n,
               uint8_t* out, uint8_t* out_mask) {
  span_samples samples;
  SpanSamplesFrom(p, y_sin, hh_y_cos, first, 0, n, samples);
  if (p.nearest) {
    p.mask ? PlaceSpan<true, true>(p, samples, n, out, out_mask)
           : PlaceSpan<true, false>(p, samples, n, out, out_mask);
  } else {
    p.mask ? PlaceSpan<false, true>(p, samples, n, out, out_mask)
           : PlaceSpan<false, false>(p, samples, n, out, out_mask);
  }
}

#if defined(__x86_64__)
#define VORBEL_AVX2 __attribute__((target("avx2")))

// Eight coverage bits as eight bytes of 0 or 1.
constexpr std::array<uint64_t, 256> MakeBitBytes() {
  std::array<uint64_t, 256> t{};
  for (int b = 0; b < 256; ++b)
    for (int i = 0; i < 8; ++i)
      if (b >> i & 1) t[size_t(b)] |= uint64_t(1) << (8 * i);
  return t;
}
constexpr std::array<uint64_t, 256> bit_bytes = MakeBitBytes();

// Channel ch of pairs of 32-bit pixels (a pixel and its right-hand neighbour in each
// 64-bit lane) as two 16-bit numbers in one 32-bit lane: the pixel's in the low half,
// the neighbour's in the high half. The pairs of the first register land in the
// first two lanes of each half, those of the second register in the last two.
VORBEL_AVX2 inline __m256i PairPicker(int ch, bool second) {
  const char z = -1;
  const char p0 = char(ch), r0 = char(ch + 4), p1 = char(ch + 8), r1 = char(ch + 12);
  return second ? _mm256_setr_epi8(z, z, z, z, z, z, z, z, p0, z, r0, z, p1, z, r1, z,  //
                                   z, z, z, z, z, z, z, z, p0, z, r0, z, p1, z, r1, z)
                : _mm256_setr_epi8(p0, z, r0, z, p1, z, r1, z, z, z, z, z, z, z, z, z,  //
                                   p0, z, r0, z, p1, z, r1, z, z, z, z, z, z, z, z, z);
}

// Pixels at the eight indices and their right-hand neighbours, 64 bits a pixel, in
// the lane order PairPicker expects: first the pixels 0, 1, 4, 5, then 2, 3, 6, 7.
// Where alone (a pixel in the source's last column) the neighbour is the pixel itself.
struct pixel_pairs {
  __m256i first, second;
};

VORBEL_AVX2 inline pixel_pairs GatherPairs(const long long* pixels, __m256i at, __m256i inside,
                                           __m256i alone) {
  const __m256i order = _mm256_setr_epi32(0, 1, 4, 5, 2, 3, 6, 7);
  at = _mm256_permutevar8x32_epi32(at, order);
  inside = _mm256_permutevar8x32_epi32(inside, order);
  pixel_pairs p;
  p.first = _mm256_mask_i32gather_epi64(_mm256_setzero_si256(), pixels, _mm256_castsi256_si128(at),
                                        _mm256_cvtepi32_epi64(_mm256_castsi256_si128(inside)), 4);
  p.second = _mm256_mask_i32gather_epi64(_mm256_setzero_si256(), pixels, _mm256_extracti128_si256(at, 1),
                                         _mm256_cvtepi32_epi64(_mm256_extracti128_si256(inside, 1)), 4);
  if (!_mm256_testz_si256(alone, alone)) {
    alone = _mm256_permutevar8x32_epi32(alone, order);
    const __m256i first_alone = _mm256_cvtepi32_epi64(_mm256_castsi256_si128(alone));
    const __m256i second_alone = _mm256_cvtepi32_epi64(_mm256_extracti128_si256(alone, 1));
    p.first = _mm256_blendv_epi8(p.first, _mm256_shuffle_epi32(p.first, _MM_SHUFFLE(2, 2, 0, 0)), first_alone);
    p.second = _mm256_blendv_epi8(p.second, _mm256_shuffle_epi32(p.second, _MM_SHUFFLE(2, 2, 0, 0)), second_alone);
  }
  return p;
}

// n bytes from the aligned from into to; whole 16-byte blocks bypass the cache when
// to is aligned as well. The band that writes them ends with a store fence.
VORBEL_AVX2 inline void StreamOut(const uint8_t* from, uint8_t* to, size_t n) {
  size_t j = 0;
  if (reinterpret_cast<uintptr_t>(to) % 16 == 0)
    for (; j + 16 <= n; j += 16)
      _mm_stream_si128(reinterpret_cast<__m128i*>(to + j), _mm_load_si128(reinterpret_cast<const __m128i*>(from + j)));
  std::memcpy(to + j, from + j, n - j);
}

// Asks for the source pixels that the same row of the next tile will read. A rotated
// source is read across its rows, a new source row every few pixels, which the
// processor does not foresee: without this each tile waits for its lines from memory
// one by one, and with every thread doing so the waits, not the memory, set the pace.
// Only the upper of a sample's two source rows: the upper rows of the pixels that
// follow are its lower one, and the later rows of a tile mostly read lines already in.
VORBEL_AVX2 inline void PrefetchAhead(const placement& p, const double* column_sx, const double* column_sy,
                                      __m256d ysin, __m256d hhycos) {
  const __m256d zero = _mm256_setzero_pd();
  const __m256d last_col = _mm256_set1_pd(p.w - 1), last_row = _mm256_set1_pd(p.h - 1);
  __m128i cols[2], rows[2];
  for (int i = 0; i < 2; ++i) {
    // Clamped into the source (a NaN becomes 0): only lines of the source are asked for.
    const __m256d sx = _mm256_sub_pd(_mm256_loadu_pd(column_sx + 4 * i), ysin);
    const __m256d sy = _mm256_add_pd(hhycos, _mm256_loadu_pd(column_sy + 4 * i));
    cols[i] = _mm256_cvttpd_epi32(_mm256_min_pd(_mm256_max_pd(sx, zero), last_col));
    rows[i] = _mm256_cvttpd_epi32(_mm256_min_pd(_mm256_max_pd(sy, zero), last_row));
  }
  const __m256i col = _mm256_setr_m128i(cols[0], cols[1]), row = _mm256_setr_m128i(rows[0], rows[1]);
  alignas(32) int32_t at[8];
  _mm256_store_si256(reinterpret_cast<__m256i*>(at), _mm256_add_epi32(_mm256_mullo_epi32(row, _mm256_set1_epi32(p.w)), col));
  for (int i = 0; i < 8; ++i) _mm_prefetch(reinterpret_cast<const char*>(p.pixels + size_t(at[i]) * 4), _MM_HINT_T0);
}

// Eight pixels of a row at a time: the sample positions from the placement's column
// tables (the same doubles the plain form computes), the four neighbours gathered,
// and the bilinear sum of each channel in 32-bit lanes. A pixel outside the source
// costs no load and comes out as zero.
template <bool nearest, bool masked>
VORBEL_AVX2 void WideSpan(const placement& p, double y_sin, double hh_y_cos, int first, int n,
                          uint8_t* out, uint8_t* out_mask) {
  const __m256d ysin = _mm256_set1_pd(y_sin), hhycos = _mm256_set1_pd(hh_y_cos);
  const __m256d wd = _mm256_set1_pd(p.w), hd = _mm256_set1_pd(p.h);
  const __m256d zero_d = _mm256_setzero_pd(), scale = _mm256_set1_pd(256.0);
  const __m256i w = _mm256_set1_epi32(p.w), h = _mm256_set1_epi32(p.h);
  const __m256i one = _mm256_set1_epi32(1), low_byte = _mm256_set1_epi32(255);
  const __m256i full = _mm256_set1_epi32(256), zero = _mm256_setzero_si256();
  const __m256i halves = _mm256_setr_epi32(0, 2, 4, 6, 1, 3, 5, 7);
  const __m256i packed = _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 3, 7);
  const __m256i to_bgr = _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1,
                                          0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
  const int* pixels = reinterpret_cast<const int*>(p.pixels);
  const long long* pairs = reinterpret_cast<const long long*>(p.pixels);
  const double* column_sx = p.column_sx + first;
  const double* column_sy = p.column_sy + first;
  const int groups = n / 8 * 8;
  // The span is made here and then streamed out past the cache: the layer is far
  // larger than the cache, and whole lines streamed need not be read first.
  alignas(32) uint8_t made[tile_cols * 3];
  alignas(32) uint8_t made_mask[tile_cols];
  for (int k = 0; k < groups; k += 8) {
    if (first + k + tile_cols + 8 <= p.cols)
      PrefetchAhead(p, column_sx + k + tile_cols, column_sy + k + tile_cols, ysin, hhycos);
    __m256d sx[2], sy[2];
    __m256i inside_halves[2];
    for (int i = 0; i < 2; ++i) {
      sx[i] = _mm256_sub_pd(_mm256_loadu_pd(column_sx + k + 4 * i), ysin);
      sy[i] = _mm256_add_pd(hhycos, _mm256_loadu_pd(column_sy + k + 4 * i));
      const __m256d in = _mm256_and_pd(
          _mm256_and_pd(_mm256_cmp_pd(sx[i], zero_d, _CMP_GE_OQ), _mm256_cmp_pd(sx[i], wd, _CMP_LT_OQ)),
          _mm256_and_pd(_mm256_cmp_pd(sy[i], zero_d, _CMP_GE_OQ), _mm256_cmp_pd(sy[i], hd, _CMP_LT_OQ)));
      inside_halves[i] = _mm256_castpd_si256(in);
      // Outside the source the positions may be anything; zero keeps the conversion tame.
      sx[i] = _mm256_and_pd(_mm256_mul_pd(sx[i], scale), in);
      sy[i] = _mm256_and_pd(_mm256_mul_pd(sy[i], scale), in);
    }
    // The 64-bit masks of both halves as eight 32-bit lanes in column order.
    __m256i inside = _mm256_permute2x128_si256(
        _mm256_permutevar8x32_epi32(inside_halves[0], halves),
        _mm256_permutevar8x32_epi32(inside_halves[1], halves), 0x20);
    uint8_t* o = made + size_t(k) * 3;
    int bits = _mm256_movemask_ps(_mm256_castsi256_ps(inside));
    if (bits == 0) {
      std::memset(o, 0, 24);
      std::memset(made_mask + k, 0, 8);
      continue;
    }
    // trunc(s * 256) splits into the whole pixel (above bit 8) and the 8-bit fraction.
    const __m256i x256 = _mm256_setr_m128i(_mm256_cvttpd_epi32(sx[0]), _mm256_cvttpd_epi32(sx[1]));
    const __m256i y256 = _mm256_setr_m128i(_mm256_cvttpd_epi32(sy[0]), _mm256_cvttpd_epi32(sy[1]));
    const __m256i col = _mm256_srli_epi32(x256, 8), row = _mm256_srli_epi32(y256, 8);
    const __m256i at = _mm256_add_epi32(_mm256_mullo_epi32(row, w), col);
    if (masked) {
      alignas(32) int32_t where[8];
      _mm256_store_si256(reinterpret_cast<__m256i*>(where), at);
      for (int i = 0; i < 8; ++i)
        if ((bits >> i & 1) && p.mask[where[i]] == 0) bits &= ~(1 << i);
      const __m256i lane_bit = _mm256_setr_epi32(1, 2, 4, 8, 16, 32, 64, 128);
      inside = _mm256_cmpeq_epi32(_mm256_and_si256(_mm256_set1_epi32(bits), lane_bit), lane_bit);
    }
    __m256i colour;
    if (nearest) {
      colour = _mm256_mask_i32gather_epi32(zero, pixels, at, inside, 4);
    } else {
      // A pixel and its right-hand neighbour are one 8-byte read, the last pixel of
      // the source included: the bitmap block has spare bytes after it.
      const __m256i alone = _mm256_and_si256(_mm256_cmpeq_epi32(_mm256_add_epi32(col, one), w), inside);
      const __m256i down = _mm256_and_si256(_mm256_cmpgt_epi32(h, _mm256_add_epi32(row, one)), w);
      const pixel_pairs top_pairs = GatherPairs(pairs, at, inside, alone);
      const pixel_pairs bottom_pairs = GatherPairs(pairs, _mm256_add_epi32(at, down), inside, alone);
      const __m256i fx = _mm256_and_si256(x256, low_byte), fy = _mm256_and_si256(y256, low_byte);
      // (256 - fx) in the low half of each lane, fx in the high half.
      const __m256i wx = _mm256_or_si256(_mm256_sub_epi32(full, fx), _mm256_slli_epi32(fx, 16));
      colour = zero;
      for (int ch = 0; ch < 3; ++ch) {
        const __m256i first = PairPicker(ch, false), second = PairPicker(ch, true);
        const __m256i top = _mm256_madd_epi16(
            _mm256_or_si256(_mm256_shuffle_epi8(top_pairs.first, first),
                            _mm256_shuffle_epi8(top_pairs.second, second)),
            wx);
        const __m256i bottom = _mm256_madd_epi16(
            _mm256_or_si256(_mm256_shuffle_epi8(bottom_pairs.first, first),
                            _mm256_shuffle_epi8(bottom_pairs.second, second)),
            wx);
        // top (256 - fy) + bottom fy, which is the four-term sum of the plain form.
        const __m256i sum = _mm256_add_epi32(_mm256_slli_epi32(top, 8),
                                             _mm256_mullo_epi32(_mm256_sub_epi32(bottom, top), fy));
        colour = _mm256_or_si256(colour, _mm256_slli_epi32(_mm256_srli_epi32(sum, 16), 8 * ch));
      }
    }
    const __m256i bgr = _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(colour, to_bgr), packed);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(o), _mm256_castsi256_si128(bgr));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(o + 16), _mm256_extracti128_si256(bgr, 1));
    std::memcpy(made_mask + k, &bit_bytes[size_t(bits)], 8);
  }
  StreamOut(made, out, size_t(groups) * 3);
  StreamOut(made_mask, out_mask, size_t(groups));
  if (groups < n)
    PlainSpan(p, y_sin, hh_y_cos, first + groups, n - groups, out + size_t(groups) * 3,
              out_mask + groups);
}

VORBEL_AVX2 void WideSpanFor(const placement& p, double y_sin, double hh_y_cos, int first, int n,
                             uint8_t* out, uint8_t* out_mask) {
  if (p.nearest) {
    p.mask ? WideSpan<true, true>(p, y_sin, hh_y_cos, first, n, out, out_mask)
           : WideSpan<true, false>(p, y_sin, hh_y_cos, first, n, out, out_mask);
  } else {
    p.mask ? WideSpan<false, true>(p, y_sin, hh_y_cos, first, n, out, out_mask)
           : WideSpan<false, false>(p, y_sin, hh_y_cos, first, n, out, out_mask);
  }
}
#undef VORBEL_AVX2
#endif

// One row's span [c_first, c_end) of the layer.
void BuildSpan(const placement& p, source_layer& layer, int r, int c_first, int c_end) {
  const double y = (p.base_y + r - p.gy) * p.ystep - p.hh;
  const double y_sin = y * p.sin_a;
  const double hh_y_cos = p.hh + y * p.cos_a;
  const int n = c_end - c_first;
  uint8_t* out = layer.Pixel(p.row0 + r, p.col0 + c_first);
  uint8_t* out_mask = &layer.Mask(p.row0 + r, p.col0 + c_first);
#if defined(__x86_64__)
  if (p.column_sx) return WideSpanFor(p, y_sin, hh_y_cos, c_first, n, out, out_mask);
#endif
  PlainSpan(p, y_sin, hh_y_cos, c_first, n, out, out_mask);
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
#if defined(__x86_64__)
  // The streamed stores are seen by other threads only after a fence.
  _mm_sfence();
#endif
}

std::atomic<bool> copies_allowed{true};
std::atomic<int> copies_made{0};

// Target rows [first, end) of a layer that copies its source pixel for pixel: the
// bytes the sampling would give, since every fraction of a sample is zero.
void CopyRows(const placement& p, source_layer& layer, int width, int first, int end) {
  ClearRows(layer, width, first, std::min(end, p.row0));
  const int n = p.cols;
  // Columns whose source column lies inside the source: [lo, hi).
  const int64_t shift = p.column_shift;
  const int64_t lo = std::clamp<int64_t>(p.mirrored ? shift - p.w + 1 : -shift, 0, n);
  const int64_t hi = std::clamp<int64_t>(p.mirrored ? shift + 1 : p.w - shift, lo, n);
  const int step = p.mirrored ? -4 : 4;
  for (int r = std::max(first, p.row0); r < end; ++r) {
    std::memset(layer.Pixel(r, 0), 0, size_t(p.col0) * 3);
    std::memset(&layer.Mask(r, 0), 0, size_t(p.col0));
    uint8_t* out = layer.Pixel(r, p.col0);
    uint8_t* out_mask = &layer.Mask(r, p.col0);
    const int64_t source_row = r - p.row0 + p.row_shift;
    if (source_row < 0 || source_row >= p.h || lo == hi) {
      std::memset(out, 0, size_t(n) * 3);
      std::memset(out_mask, 0, size_t(n));
      continue;
    }
    std::memset(out, 0, size_t(lo) * 3);
    std::memset(out_mask, 0, size_t(lo));
    const size_t first_at = size_t(source_row) * p.w + size_t(p.mirrored ? shift - lo : shift + lo);
    const uint8_t* from = p.pixels + first_at * 4;
    uint8_t* o = out + lo * 3;
    const int64_t count = hi - lo;
    // The row's coverage is looked at where the row reads it: a whole scan of the
    // mask beforehand would be one more pass over the row pool.
    const uint8_t* row_cover = p.mask ? p.mask + (p.mirrored ? first_at - (count - 1) : first_at) : nullptr;
    if (row_cover && std::memchr(row_cover, 0, size_t(count))) {
      const uint8_t* cover = p.mask + first_at;
      const int cover_step = p.mirrored ? -1 : 1;
      for (int64_t k = 0; k < count; ++k, o += 3, from += step, cover += cover_step) {
        const bool covered = *cover != 0;
        o[0] = covered ? from[0] : 0;
        o[1] = covered ? from[1] : 0;
        o[2] = covered ? from[2] : 0;
        out_mask[lo + k] = covered;
      }
    } else {
      if (!p.mirrored) {
        BgraToBgr(from, o, size_t(count));
      } else {
        // Four bytes a pixel, the fourth overwritten by the next pixel's first; the last
        // pixel writes three, so that nothing lands past the row.
        for (int64_t k = 0; k + 1 < count; ++k, o += 3, from += step) std::memcpy(o, from, 4);
        std::memcpy(o, from, 3);
      }
      std::memset(out_mask + lo, 1, size_t(count));
    }
    std::memset(out + hi * 3, 0, size_t(n - hi) * 3);
    std::memset(out_mask + hi, 0, size_t(n - hi));
  }
}

// Fixes everything the rows need; false when the source places nothing.
bool PlanPlacement(const CvorbelViewCore& v, int s, int W, int H, placement& p) {
  const int i = s - 1;
  const source_records& doc = v.Sources();
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
  p.mask = usable_mask ? record.mask : nullptr;
  p.mask_bytes = usable_mask ? pixel_count : 0;
  if (p.mask && pixel_count < large_mask && !std::memchr(p.mask, 0, pixel_count)) p.mask = nullptr;

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
  p.column_sx = p.column_sy = nullptr;
  // With unit steps and no turn every sample position is a whole number, exactly so
  // in doubles, whose bilinear and nearest results are both the pixel there.
  p.copies = copies_allowed && p.xstep == 1.0 && p.ystep == 1.0 && p.cos_a == 1.0 &&
             p.sin_a == 0.0 && std::fabs(p.gx) < 1e9 && std::fabs(p.gy) < 1e9;
  if (p.copies) {
    const int64_t hw = p.w / 2;
    p.row_shift = int64_t(p.base_y) - int64_t(p.gy);
    p.column_shift = p.mirrored ? 2 * hw - int64_t(p.base_x) + int64_t(p.gx)
                                : int64_t(p.base_x) - int64_t(p.gx);
    return true;
  }
  if (WideLanes()) {
    // Filled here, before the rows run, and only read by them.
    static thread_local double sx_part[2][max_target_width], sy_part[2][max_target_width];
    const double sign = p.mirrored ? -1.0 : 1.0;
    for (int c = 0; c < p.cols; ++c) {
      const double x = ((p.base_x + c - p.gx) * p.xstep - p.hw) * sign;
      sx_part[i][c] = p.hw + x * p.cos_a;
      sy_part[i][c] = x * p.sin_a;
    }
    p.column_sx = sx_part[i];
    p.column_sy = sy_part[i];
  }
  return true;
}

}  // namespace

void AllowLayerCopies(bool allowed) { copies_allowed = allowed; }

int LayerCopies() { return copies_made.load(); }

void layer_rows::ScanCoverage(layer_rows* builds, int count) {
  // Each large mask in the same number of parts, all on the row pool at once.
  constexpr int parts = 64;
  bool any = false;
  for (int i = 0; i < count; ++i) {
    const layer_placement& p = builds[i].p;
    any = any || (builds[i].places && !p.copies && p.mask && p.mask_bytes >= large_mask);
  }
  if (!any) return;
  std::atomic<bool> holes[2] = {false, false};
  ParallelRows(parts * count, [&](int first, int end) {
    for (int k = first; k < end; ++k) {
      const int i = k / parts;
      const layer_placement& p = builds[i].p;
      if (!builds[i].places || p.copies || !p.mask || p.mask_bytes < large_mask) continue;
      if (holes[i].load(std::memory_order_relaxed)) continue;
      const size_t from = p.mask_bytes * size_t(k % parts) / parts;
      const size_t to = p.mask_bytes * size_t(k % parts + 1) / parts;
      if (std::memchr(p.mask + from, 0, to - from)) holes[i].store(true, std::memory_order_relaxed);
    }
  });
  for (int i = 0; i < count; ++i) {
    layer_placement& p = builds[i].p;
    if (builds[i].places && !p.copies && p.mask && p.mask_bytes >= large_mask && !holes[i].load())
      p.mask = nullptr;
  }
}

void layer_rows::Plan(CvorbelViewCore& view, int s) {
  ++view.layer_builds;
  layer = &view.layers[s - 1];
  W = std::clamp(view.target_rect.Width(), 0, max_target_width);
  H = std::clamp(view.target_rect.Height(), 0, max_target_height);
  places = PlanPlacement(view, s, W, H, p);
  if (places && p.copies) copies_made.fetch_add(1, std::memory_order_relaxed);
}

void layer_rows::Rows(int first, int end) const {
  if (places && p.copies)
    CopyRows(p, *layer, W, first, end);
  else if (places)
    BuildRows(p, *layer, W, first, end);
  else
    ClearRows(*layer, W, first, end);
}

void CvorbelViewCore::BuildSourceLayer(int s) {
  if (s != 1 && s != 2) return;
  layer_rows rows;
  rows.Plan(*this, s);
  layer_rows::ScanCoverage(&rows, 1);
  ParallelRows(rows.Height(), [&](int first, int end) { rows.Rows(first, end); });
}
