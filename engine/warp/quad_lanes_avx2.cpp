#include "engine/warp/quad_plan.h"

#include <cmath>
#include <limits>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

namespace quad_warp {
namespace {

VORBEL_AVX2 inline __m256d Negate(__m256d v) { return _mm256_xor_pd(v, _mm256_set1_pd(-0.0)); }
VORBEL_AVX2 inline __m256d Magnitude(__m256d v) { return _mm256_andnot_pd(_mm256_set1_pd(-0.0), v); }

}  // namespace

VORBEL_AVX2 int WideColumns(const warp_frame& f, const row_terms& r, int begin, int end, row_solution& out) {
  const __m128 e2y_e1x = _mm_set1_ps(f.e2y_e1x), e2x_e1y = _mm_set1_ps(f.e2x_e1y);
  const __m128 py_k2 = _mm_set1_ps(r.py_k2), py_e1x = _mm_set1_ps(r.py_e1x);
  const __m128 e2x_py = _mm_set1_ps(r.e2x_py), py_k4 = _mm_set1_ps(r.py_k4);
  const __m256d size_w = _mm256_set1_pd(f.w), size_h = _mm256_set1_pd(f.h);
  const __m256d four_au = _mm256_set1_pd(4.0 * double(f.au)), twice_au = _mm256_set1_pd(2.0 * double(f.au));
  const __m256d four_av = _mm256_set1_pd(4.0 * double(f.av)), twice_av = _mm256_set1_pd(2.0 * double(f.av));
  // Beyond these the first vertical root is surely inside or surely outside ±5.
  const __m256d surely_within = _mm256_set1_pd(4.999 * std::fabs(2.0 * double(f.av)));
  const __m256d surely_beyond = _mm256_set1_pd(5.001 * std::fabs(2.0 * double(f.av)));
  const __m256d zero = _mm256_setzero_pd(), minus_one = _mm256_set1_pd(-1.0);
  const __m256d nan = _mm256_set1_pd(std::numeric_limits<double>::quiet_NaN());
  const __m256d inv_w = _mm256_set1_pd(f.inv_w), inv_h = _mm256_set1_pd(f.inv_h);
  const __m256d e1x = _mm256_set1_pd(f.e1x_d), e1y = _mm256_set1_pd(f.e1y_d);
  const __m256d e2x = _mm256_set1_pd(f.e2x_d), e2y = _mm256_set1_pd(f.e2y_d);
  const __m256d gx = _mm256_set1_pd(f.gx), gy = _mm256_set1_pd(f.gy);
  const __m256d tolerance = _mm256_set1_pd(back_tolerance);
  const __m256d py = _mm256_set1_pd(double(r.py));
  const __m256d steps = _mm256_setr_pd(0.0, 1.0, 2.0, 3.0);
  const __m256d scale = _mm256_set1_pd(256.0);
  const bool u_linear = f.au == 0.0f, v_linear = f.av == 0.0f;
  int x = begin;
  for (; x + 4 <= end; x += 4) {
    const __m256d bu = _mm256_cvtps_pd(_mm_add_ps(
        _mm_add_ps(_mm_sub_ps(_mm_sub_ps(_mm_loadu_ps(f.ub0 + x), e2y_e1x), py_k2), py_e1x), e2x_e1y));
    const __m256d cu = _mm256_cvtps_pd(_mm_sub_ps(_mm_loadu_ps(f.uc0 + x), e2x_py));
    const __m256d bv = _mm256_cvtps_pd(_mm_add_ps(
        _mm_add_ps(_mm_sub_ps(_mm_sub_ps(_mm_loadu_ps(f.vb0 + x), e2x_e1y), py_k4), e2x_py), e2y_e1x));
    const __m256d cv = _mm256_cvtps_pd(_mm_sub_ps(_mm_loadu_ps(f.vc0 + x), py_e1x));
    __m256d X, Y, real, doubt = zero, first_u = nan, other_v = nan;
    if (u_linear) {
      X = _mm256_div_pd(_mm256_mul_pd(Negate(cu), size_w), bu);
      real = _mm256_cmp_pd(bu, zero, _CMP_NEQ_OQ);
    } else {
      const __m256d bb = _mm256_mul_pd(bu, bu), fac = _mm256_mul_pd(four_au, cu);
      real = _mm256_cmp_pd(fac, bb, _CMP_LE_OQ);
      const __m256d root = _mm256_sqrt_pd(_mm256_max_pd(_mm256_sub_pd(bb, fac), zero));
      first_u = _mm256_sub_pd(root, bu);
      X = _mm256_div_pd(_mm256_mul_pd(_mm256_sub_pd(Negate(bu), root), size_w), twice_au);
    }
    if (v_linear) {
      Y = _mm256_div_pd(_mm256_mul_pd(Negate(cv), size_h), bv);
      real = _mm256_and_pd(real, _mm256_cmp_pd(bv, zero, _CMP_NEQ_OQ));
    } else {
      const __m256d bb = _mm256_mul_pd(bv, bv), fac = _mm256_mul_pd(four_av, cv);
      real = _mm256_and_pd(real, _mm256_cmp_pd(fac, bb, _CMP_LE_OQ));
      const __m256d root = _mm256_sqrt_pd(_mm256_max_pd(_mm256_sub_pd(bb, fac), zero));
      const __m256d first = _mm256_sub_pd(root, bv), second = _mm256_sub_pd(Negate(bv), root);
      const __m256d within = _mm256_cmp_pd(Magnitude(first), surely_within, _CMP_LE_OQ);
      const __m256d beyond = _mm256_cmp_pd(Magnitude(first), surely_beyond, _CMP_GE_OQ);
      doubt = _mm256_cmp_pd(_mm256_or_pd(within, beyond), zero, _CMP_EQ_OQ);
      other_v = _mm256_blendv_pd(first, second, within);
      Y = _mm256_div_pd(_mm256_mul_pd(_mm256_blendv_pd(second, first, within), size_h), twice_av);
    }
    const __m256d px = _mm256_add_pd(_mm256_set1_pd(double(int64_t(x) - f.tl_x)), steps);
    // Whether the pair lies in range and maps back onto its pixel.
    auto holds = [&](__m256d X, __m256d Y) VORBEL_AVX2 {
      const __m256d in_range = _mm256_and_pd(
          _mm256_and_pd(_mm256_cmp_pd(X, minus_one, _CMP_GT_OQ), _mm256_cmp_pd(X, size_w, _CMP_LT_OQ)),
          _mm256_and_pd(_mm256_cmp_pd(Y, minus_one, _CMP_GT_OQ), _mm256_cmp_pd(Y, size_h, _CMP_LT_OQ)));
      const __m256d u = _mm256_mul_pd(X, inv_w), v = _mm256_mul_pd(Y, inv_h), uv = _mm256_mul_pd(u, v);
      const __m256d ex = _mm256_sub_pd(
          _mm256_add_pd(_mm256_add_pd(_mm256_mul_pd(u, e1x), _mm256_mul_pd(v, e2x)), _mm256_mul_pd(uv, gx)), px);
      const __m256d ey = _mm256_sub_pd(
          _mm256_add_pd(_mm256_add_pd(_mm256_mul_pd(u, e1y), _mm256_mul_pd(v, e2y)), _mm256_mul_pd(uv, gy)), py);
      return _mm256_and_pd(in_range, _mm256_and_pd(_mm256_cmp_pd(Magnitude(ex), tolerance, _CMP_LE_OQ),
                                                   _mm256_cmp_pd(Magnitude(ey), tolerance, _CMP_LE_OQ)));
    };
    const __m256d settled = _mm256_andnot_pd(doubt, real);
    __m256d found = holds(X, Y);
    if (_mm256_movemask_pd(_mm256_andnot_pd(found, settled)) != 0 && !(u_linear && v_linear)) {
      // The other pairs, in the order the pixel-by-pixel solution tries them.
      const __m256d Xo = u_linear ? nan : _mm256_div_pd(_mm256_mul_pd(first_u, size_w), twice_au);
      const __m256d Yo = v_linear ? nan : _mm256_div_pd(_mm256_mul_pd(other_v, size_h), twice_av);
      const __m256d h1 = holds(Xo, Y), h2 = holds(X, Yo), h3 = holds(Xo, Yo);
      const __m256d take_xo = _mm256_andnot_pd(found, _mm256_or_pd(h1, _mm256_andnot_pd(h2, h3)));
      const __m256d take_yo = _mm256_andnot_pd(found, _mm256_andnot_pd(h1, _mm256_or_pd(h2, h3)));
      X = _mm256_blendv_pd(X, Xo, take_xo);
      Y = _mm256_blendv_pd(Y, Yo, take_yo);
      found = _mm256_or_pd(_mm256_or_pd(found, h1), _mm256_or_pd(h2, h3));
    }
    const int good = _mm256_movemask_pd(_mm256_and_pd(settled, found));
    const int outside = _mm256_movemask_pd(_mm256_andnot_pd(found, settled)) | (_mm256_movemask_pd(real) ^ 15);
    // Lanes not solved here convert to nonsense that nothing reads.
    const __m128i col = _mm256_cvttpd_epi32(X), row = _mm256_cvttpd_epi32(Y);
    const __m128i fx = _mm_sub_epi32(_mm256_cvttpd_epi32(_mm256_mul_pd(X, scale)), _mm_slli_epi32(col, 8));
    const __m128i fy = _mm_sub_epi32(_mm256_cvttpd_epi32(_mm256_mul_pd(Y, scale)), _mm_slli_epi32(row, 8));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out.col + x), col);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out.row + x), row);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out.fx + x), fx);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out.fy + x), fy);
    for (int k = 0; k < 4; ++k)
      out.state[x + k] = good >> k & 1 ? solved : outside >> k & 1 ? outer : unsettled;
  }
  return x;
}

VORBEL_AVX2 void SampleRowWide(int w, int h, const plan_row& p, int end, const rgb_color& base, bgra* out) {
  for (int x = p.begin, g = 0; x < end; x += 8, ++g) {
    const int stop = std::min(x + 8, end);
    if (p.group[g] == all_base) {
      BaseRun(base, out, x, stop);
      continue;
    }
    for (int i = x; i < stop; ++i) WidePixel(w, h, p, i, base, out);
  }
}

VORBEL_AVX2 void WideSolve(const warp_frame& f, const row_terms& r, int begin, int end, row_solution& sol,
                           const plan_row& p) {
  const int widest_end = f.widest ? WidestColumns(f, r, begin, end, sol, p) : begin;
  const int n = WideColumns(f, r, widest_end, end, sol);
  const auto narrow = [](const int32_t* v) VORBEL_AVX2 {
    const __m256i wide = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(v));
    return _mm_packs_epi32(_mm256_castsi256_si128(wide), _mm256_extracti128_si256(wide, 1));
  };
  const auto store = [](int16_t* to, __m128i v) VORBEL_AVX2 {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to), v);
  };
  int x = widest_end;
  for (; x + 8 <= n; x += 8) {
    // The lanes not solved take the base colour for now.
    const __m128i solved_lanes = _mm_cmpeq_epi16(
        _mm_cvtepu8_epi16(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(sol.state + x))), _mm_setzero_si128());
    store(p.col + x, _mm_blendv_epi8(_mm_set1_epi16(-1), narrow(sol.col + x), solved_lanes));
    store(p.row + x, narrow(sol.row + x));
    store(p.fx + x, narrow(sol.fx + x));
    store(p.fy + x, narrow(sol.fy + x));
  }
  for (; x < n; ++x) {
    if (sol.state[x] == solved)
      Keep(p, x, {sol.col[x], sol.row[x], sol.fx[x], sol.fy[x]});
    else
      p.col[x] = -1;
  }
  for (x = begin; x < n; ++x) {
    // Eight at a time where none is unsettled, the only state with its second bit set.
    uint64_t eight;
    if ((x - begin) % 8 == 0 && x + 8 <= n &&
        (std::memcpy(&eight, sol.state + x, 8), (eight & 0x0202020202020202u) == 0)) {
      x += 7;
      continue;
    }
    if (sol.state[x] == unsettled) SolveColumn(f, r, x, p);
  }
  for (x = n; x < end; ++x) SolveColumn(f, r, x, p);
  Groups(f.w, f.h, p, widest_end, end);
}

}  // namespace quad_warp
#endif
