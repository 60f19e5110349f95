#include "engine/warp/quad_plan.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

#include <cmath>
#include <limits>

namespace quad_warp {
namespace {

// The zero-masked forms of the operations that GCC 12 would otherwise warn about
// for their undefined pass-through operand; with every lane set they are the plain forms.
constexpr __mmask8 all = 0xFF;
constexpr __mmask16 every = 0xFFFF;
VORBEL_AVX512 inline __m512d Widen(__m256 v) { return _mm512_maskz_cvtps_pd(all, v); }
VORBEL_AVX512 inline __m256i Truncate(__m512d v) { return _mm512_maskz_cvttpd_epi32(all, v); }

// Eight pixels at positions (col + fx / 256, row + fy / 256), each with its right and
// lower neighbours inside the image: the same sums as InnerSample, formed across
// first ((256 - fx)·left + fx·right on both rows) and then down, which adds the same
// whole numbers. Only the colour bytes of out are written.
VORBEL_AVX512 inline void SampleEight(const bgra* image, int w, __m256i col, __m256i row, __m256i fx, __m256i fy,
                                      bgra* out) {
  // Each pixel with its right neighbour, eight bytes; then the same one row down.
  // Loaded one by one: gathers are slow on processors with the gather fix.
  alignas(32) int32_t at[8];
  _mm256_store_si256(reinterpret_cast<__m256i*>(at),
                     _mm256_add_epi32(_mm256_mullo_epi32(row, _mm256_set1_epi32(w)), col));
  const auto pixels = [&](int down) VORBEL_AVX512 {
    __m128i two[4];
    for (int i = 0; i < 4; ++i) {
      int64_t first, second;
      std::memcpy(&first, image + at[2 * i] + down, 8);
      std::memcpy(&second, image + at[2 * i + 1] + down, 8);
      two[i] = _mm_insert_epi64(_mm_cvtsi64_si128(first), second, 1);
    }
    return _mm512_maskz_inserti64x4(all, _mm512_maskz_broadcast_i64x4(all, _mm256_setr_m128i(two[0], two[1])),
                                    _mm256_setr_m128i(two[2], two[3]), 1);
  };
  const __m512i top = pixels(0), bottom = pixels(w);
  // The row after next: what the next output row will mostly need, and what the
  // processor, with the samples running slantwise across the image, does not foresee.
  for (int i = 0; i < 8; i += 2) _mm_prefetch(reinterpret_cast<const char*>(image + at[i] + 2 * w), _MM_HINT_T0);
  // Each channel beside the same channel of the right neighbour.
  const __m512i pairs =
      _mm512_maskz_broadcast_i32x4(every, _mm_setr_epi8(0, 4, 1, 5, 2, 6, 3, 7, 8, 12, 9, 13, 10, 14, 11, 15));
  const __m512i top_pairs = _mm512_shuffle_epi8(top, pairs), bottom_pairs = _mm512_shuffle_epi8(bottom, pairs);
  // Per pixel: 256 - fx in the low half of a 32-bit lane, fx in the high half.
  const __m256i across =
      _mm256_or_si256(_mm256_slli_epi32(fx, 16),
                      _mm256_and_si256(_mm256_sub_epi32(_mm256_set1_epi32(256), fx), _mm256_set1_epi32(0xFFFF)));
  const __m256i up = _mm256_sub_epi32(_mm256_set1_epi32(256), fy);
  __m128i bytes[2];
  for (int half = 0; half < 2; ++half) {
    // The four channels of each of four pixels.
    const __m512i spread = _mm512_add_epi32(_mm512_set1_epi32(4 * half),
                                            _mm512_setr_epi32(0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3));
    const auto widen = [&](__m256i v) VORBEL_AVX512 {
      return _mm512_maskz_permutexvar_epi32(every, spread, _mm512_maskz_broadcast_i64x4(all, v));
    };
    const auto words = [&](__m512i v) VORBEL_AVX512 {
      return _mm512_cvtepu8_epi16(half == 0 ? _mm512_maskz_extracti64x4_epi64(0xF, v, 0)
                                            : _mm512_maskz_extracti64x4_epi64(0xF, v, 1));
    };
    const __m512i weights = widen(across);
    const __m512i upper = _mm512_madd_epi16(words(top_pairs), weights);
    const __m512i lower = _mm512_madd_epi16(words(bottom_pairs), weights);
    const __m512i sums = _mm512_add_epi32(_mm512_mullo_epi32(upper, widen(up)), _mm512_mullo_epi32(lower, widen(fy)));
    const __m512i levels = _mm512_maskz_min_epi32(
        every, _mm512_maskz_max_epi32(every, _mm512_maskz_srai_epi32(every, sums, 16), _mm512_setzero_si512()),
        _mm512_set1_epi32(255));
    bytes[half] = _mm512_maskz_cvtepi32_epi8(every, levels);
  }
  _mm256_mask_storeu_epi8(out, 0x77777777u, _mm256_setr_m128i(bytes[0], bytes[1]));
}

// n / d rounded as the division rounds it, given over_d = 1 / d (d neither zero nor
// tiny): the product by the reciprocal is within two units in the last place, one
// correction by the exact remainder brings it within one, and from within one a
// second gives the rounded quotient itself.
VORBEL_AVX512 inline __m512d Divide(__m512d n, __m512d d, __m512d over_d) {
  const __m512d q0 = _mm512_mul_pd(n, over_d);
  const __m512d q1 = _mm512_fmadd_pd(_mm512_fnmadd_pd(q0, d, n), over_d, q0);
  return _mm512_fmadd_pd(_mm512_fnmadd_pd(q1, d, n), over_d, q1);
}

VORBEL_AVX2 inline __m256i Widen(const int16_t* v) {
  return _mm256_cvtepi16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(v)));
}

}  // namespace

VORBEL_AVX512 int WidestColumns(const warp_frame& f, const row_terms& r, int begin, int end, row_solution& out,
                                const plan_row& p) {
  const __m256 e2y_e1x = _mm256_set1_ps(f.e2y_e1x), e2x_e1y = _mm256_set1_ps(f.e2x_e1y);
  const __m256 py_k2 = _mm256_set1_ps(r.py_k2), py_e1x = _mm256_set1_ps(r.py_e1x);
  const __m256 e2x_py = _mm256_set1_ps(r.e2x_py), py_k4 = _mm256_set1_ps(r.py_k4);
  const __m512d size_w = _mm512_set1_pd(f.w), size_h = _mm512_set1_pd(f.h);
  const __m512d four_au = _mm512_set1_pd(4.0 * double(f.au)), twice_au = _mm512_set1_pd(2.0 * double(f.au));
  const __m512d four_av = _mm512_set1_pd(4.0 * double(f.av)), twice_av = _mm512_set1_pd(2.0 * double(f.av));
  const __m512d over_twice_au = _mm512_set1_pd(1.0 / (2.0 * double(f.au)));
  const __m512d over_twice_av = _mm512_set1_pd(1.0 / (2.0 * double(f.av)));
  const __m512d surely_within = _mm512_set1_pd(4.999 * std::fabs(2.0 * double(f.av)));
  const __m512d surely_beyond = _mm512_set1_pd(5.001 * std::fabs(2.0 * double(f.av)));
  const __m512d zero = _mm512_setzero_pd(), minus_one = _mm512_set1_pd(-1.0), sign = _mm512_set1_pd(-0.0);
  const __m512d nan = _mm512_set1_pd(std::numeric_limits<double>::quiet_NaN());
  const __m512d inv_w = _mm512_set1_pd(f.inv_w), inv_h = _mm512_set1_pd(f.inv_h);
  const __m512d e1x = _mm512_set1_pd(f.e1x_d), e1y = _mm512_set1_pd(f.e1y_d);
  const __m512d e2x = _mm512_set1_pd(f.e2x_d), e2y = _mm512_set1_pd(f.e2y_d);
  const __m512d gx = _mm512_set1_pd(f.gx), gy = _mm512_set1_pd(f.gy);
  const __m512d tolerance = _mm512_set1_pd(back_tolerance);
  const __m512d py = _mm512_set1_pd(double(r.py));
  const __m512d steps = _mm512_setr_pd(0.0, 1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0);
  const __m512d scale = _mm512_set1_pd(256.0);
  const __m256i last_col = _mm256_set1_epi32(f.w - 1), last_row = _mm256_set1_epi32(f.h - 1);
  const bool u_linear = f.au == 0.0f, v_linear = f.av == 0.0f;
  int x = begin;
  for (; x + 8 <= end; x += 8) {
    const __m512d bu = Widen(_mm256_add_ps(
        _mm256_add_ps(_mm256_sub_ps(_mm256_sub_ps(_mm256_loadu_ps(f.ub0 + x), e2y_e1x), py_k2), py_e1x), e2x_e1y));
    const __m512d cu = Widen(_mm256_sub_ps(_mm256_loadu_ps(f.uc0 + x), e2x_py));
    const __m512d bv = Widen(_mm256_add_ps(
        _mm256_add_ps(_mm256_sub_ps(_mm256_sub_ps(_mm256_loadu_ps(f.vb0 + x), e2x_e1y), py_k4), e2x_py), e2y_e1x));
    const __m512d cv = Widen(_mm256_sub_ps(_mm256_loadu_ps(f.vc0 + x), py_e1x));
    __m512d X, Y, first_u = nan, other_v = nan;
    __mmask8 real, doubt = 0;
    if (u_linear) {
      X = _mm512_div_pd(_mm512_mul_pd(_mm512_xor_pd(cu, sign), size_w), bu);
      real = _mm512_cmp_pd_mask(bu, zero, _CMP_NEQ_OQ);
    } else {
      const __m512d bb = _mm512_mul_pd(bu, bu), fac = _mm512_mul_pd(four_au, cu);
      real = _mm512_cmp_pd_mask(fac, bb, _CMP_LE_OQ);
      const __m512d root = _mm512_maskz_sqrt_pd(all, _mm512_maskz_max_pd(all, _mm512_sub_pd(bb, fac), zero));
      first_u = _mm512_sub_pd(root, bu);
      X = Divide(_mm512_mul_pd(_mm512_sub_pd(_mm512_xor_pd(bu, sign), root), size_w), twice_au, over_twice_au);
    }
    if (v_linear) {
      Y = _mm512_div_pd(_mm512_mul_pd(_mm512_xor_pd(cv, sign), size_h), bv);
      real &= _mm512_cmp_pd_mask(bv, zero, _CMP_NEQ_OQ);
    } else {
      const __m512d bb = _mm512_mul_pd(bv, bv), fac = _mm512_mul_pd(four_av, cv);
      real &= _mm512_cmp_pd_mask(fac, bb, _CMP_LE_OQ);
      const __m512d root = _mm512_maskz_sqrt_pd(all, _mm512_maskz_max_pd(all, _mm512_sub_pd(bb, fac), zero));
      const __m512d first = _mm512_sub_pd(root, bv), second = _mm512_sub_pd(_mm512_xor_pd(bv, sign), root);
      const __mmask8 within = _mm512_cmp_pd_mask(_mm512_abs_pd(first), surely_within, _CMP_LE_OQ);
      const __mmask8 beyond = _mm512_cmp_pd_mask(_mm512_abs_pd(first), surely_beyond, _CMP_GE_OQ);
      doubt = __mmask8(~(within | beyond));
      other_v = _mm512_mask_blend_pd(within, first, second);
      Y = Divide(_mm512_mul_pd(_mm512_mask_blend_pd(within, second, first), size_h), twice_av, over_twice_av);
    }
    const __m512d px = _mm512_add_pd(_mm512_set1_pd(double(int64_t(x) - f.tl_x)), steps);
    auto holds = [&](__m512d X, __m512d Y) VORBEL_AVX512 {
      const __mmask8 in_range =
          _mm512_cmp_pd_mask(X, minus_one, _CMP_GT_OQ) & _mm512_cmp_pd_mask(X, size_w, _CMP_LT_OQ) &
          _mm512_cmp_pd_mask(Y, minus_one, _CMP_GT_OQ) & _mm512_cmp_pd_mask(Y, size_h, _CMP_LT_OQ);
      const __m512d u = _mm512_mul_pd(X, inv_w), v = _mm512_mul_pd(Y, inv_h), uv = _mm512_mul_pd(u, v);
      const __m512d ex = _mm512_sub_pd(
          _mm512_add_pd(_mm512_add_pd(_mm512_mul_pd(u, e1x), _mm512_mul_pd(v, e2x)), _mm512_mul_pd(uv, gx)), px);
      const __m512d ey = _mm512_sub_pd(
          _mm512_add_pd(_mm512_add_pd(_mm512_mul_pd(u, e1y), _mm512_mul_pd(v, e2y)), _mm512_mul_pd(uv, gy)), py);
      return __mmask8(in_range & _mm512_cmp_pd_mask(_mm512_abs_pd(ex), tolerance, _CMP_LE_OQ) &
                      _mm512_cmp_pd_mask(_mm512_abs_pd(ey), tolerance, _CMP_LE_OQ));
    };
    const __mmask8 settled = real & ~doubt;
    __mmask8 found = holds(X, Y);
    if ((settled & ~found) != 0 && !(u_linear && v_linear)) {
      const __m512d Xo = u_linear ? nan : Divide(_mm512_mul_pd(first_u, size_w), twice_au, over_twice_au);
      const __m512d Yo = v_linear ? nan : Divide(_mm512_mul_pd(other_v, size_h), twice_av, over_twice_av);
      const __mmask8 h1 = holds(Xo, Y), h2 = holds(X, Yo), h3 = holds(Xo, Yo);
      const __mmask8 take_xo = ~found & (h1 | (~h2 & h3)), take_yo = ~found & (~h1 & (h2 | h3));
      X = _mm512_mask_blend_pd(take_xo, X, Xo);
      Y = _mm512_mask_blend_pd(take_yo, Y, Yo);
      found |= h1 | h2 | h3;
    }
    const int good = settled & found;
    const int outside = (settled & ~found & 0xFF) | (~real & 0xFF);
    const __m256i col = Truncate(X), row = Truncate(Y);
    p.group[(x - begin) / 8] =
        good == all && (_mm256_cmplt_epi32_mask(col, last_col) & _mm256_cmplt_epi32_mask(row, last_row)) == all
            ? all_inner
        : outside == all ? all_base
                         : mixed;
    const __m256i fx = _mm256_sub_epi32(Truncate(_mm512_mul_pd(X, scale)), _mm256_slli_epi32(col, 8));
    const __m256i fy = _mm256_sub_epi32(Truncate(_mm512_mul_pd(Y, scale)), _mm256_slli_epi32(row, 8));
    const auto store = [](int16_t* to, __m128i v) VORBEL_AVX512 {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(to), v);
    };
    store(p.col + x, _mm_mask_blend_epi16(__mmask8(good), _mm_set1_epi16(-1), _mm256_cvtepi32_epi16(col)));
    store(p.row + x, _mm256_cvtepi32_epi16(row));
    store(p.fx + x, _mm256_cvtepi32_epi16(fx));
    store(p.fy + x, _mm256_cvtepi32_epi16(fy));
    const __m128i states = _mm_mask_blend_epi8(
        __mmask16(good), _mm_mask_blend_epi8(__mmask16(outside), _mm_set1_epi8(unsettled), _mm_set1_epi8(outer)),
        _mm_set1_epi8(solved));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out.state + x), states);
  }
  return x;
}

VORBEL_AVX512 void SampleRowWidest(int w, int h, const plan_row& p, int end, const rgb_color& base, bgra* out) {
  // Copies the writes to out cannot change.
  const int16_t *col = p.col, *row = p.row, *fx = p.fx, *fy = p.fy;
  const group_kind* group = p.group;
  for (int x = p.begin, g = 0; x < end; x += 8, ++g) {
    const int stop = std::min(x + 8, end);
    if (group[g] == all_inner) {
      SampleEight(target_work, w, Widen(col + x), Widen(row + x), Widen(fx + x), Widen(fy + x), out + x);
    } else if (group[g] == all_base) {
      BaseRun(base, out, x, stop);
    } else {
      for (int i = x; i < stop; ++i) WidePixel(w, h, p, i, base, out);
    }
  }
}

}  // namespace quad_warp
#endif
