#include "engine/warp/quad_transform.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <utility>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

#include "engine/base/process_state.h"
#include "engine/base/row_parallel.h"
#include "engine/base/wide_lanes.h"

int quad_corners[8] = {0, 0, 0, 0, 0, 0, 0, 0};

namespace {

// How far, on either axis, the corner blend of a solution may land from the pixel
// it was solved for and still belong to it. The two roots of each equation pair
// up into one true solution and one that lands elsewhere.
constexpr double back_tolerance = 0.5;

// What the warp of one target size and one set of corners fixes before the pixels.
// Each equation a·t² + b·t + c = 0 has its b and c summed from a column part, row
// parts and constants in the order of their written form, so that every pixel gets
// the same single-precision coefficient as a pixel-by-pixel evaluation.
struct warp_frame {
  int w = 0, h = 0;
  int64_t tl_x = 0, tl_y = 0;
  float au = 0, av = 0;                    // leading coefficients, horizontal and vertical
  float e2y_e1x = 0, e2x_e1y = 0;          // constant products of b and b'
  float k2 = 0, k4 = 0, e1x = 0, e2x = 0;  // row multipliers
  double e1x_d = 0, e1y_d = 0, e2x_d = 0, e2y_d = 0, gx = 0, gy = 0, inv_w = 0, inv_h = 0;
  bool wide = false, widest = false;
  // The corner blends at u = -1/W or 1 and v = -1/H or 1, from the top-left corner.
  double hull[4][2];
  // Column parts: p.x·(BR.y − BL.y) − p.x·e1.y, e2.y·p.x, p.x·(BR.y − TR.y) − e2.y·p.x, p.x·e1.y.
  float ub0[max_target_width], uc0[max_target_width], vb0[max_target_width], vc0[max_target_width];
};

struct row_terms {
  int64_t py;
  float py_k2, py_e1x, e2x_py, py_k4;
};

// Static: the tables are large and the warp allocates nothing.
warp_frame frame;

void PrepareFrame(warp_frame& f, int w, int h) {
  const int* q = quad_corners;
  f.w = w;
  f.h = h;
  f.tl_x = q[0];
  f.tl_y = q[1];
  const float tlx = float(q[0]), tly = float(q[1]), trx = float(q[2]), try_ = float(q[3]);
  const float blx = float(q[4]), bly = float(q[5]), brx = float(q[6]), bry = float(q[7]);
  const float e1x = trx - tlx, e1y = try_ - tly, e2x = blx - tlx, e2y = bly - tly;
  const float k1 = bry - bly, k2 = brx - blx, k3 = bry - try_, k4 = brx - trx;
  f.au = e1y * k2 - e1x * k1;
  f.av = e2y * k4 - e2x * k3;
  f.e2y_e1x = e2y * e1x;
  f.e2x_e1y = e2x * e1y;
  f.k2 = k2;
  f.k4 = k4;
  f.e1x = e1x;
  f.e2x = e2x;
  f.e1x_d = e1x;
  f.e1y_d = e1y;
  f.e2x_d = e2x;
  f.e2y_d = e2y;
  f.gx = double(k2) - e1x;
  f.gy = double(k1) - e1y;
  f.inv_w = 1.0 / w;
  f.inv_h = 1.0 / h;
  for (int i = 0; i < 4; ++i) {
    const double u = i & 1 ? 1.0 : -f.inv_w, v = i & 2 ? 1.0 : -f.inv_h;
    f.hull[i][0] = u * f.e1x_d + v * f.e2x_d + u * v * f.gx;
    f.hull[i][1] = u * f.e1y_d + v * f.e2y_d + u * v * f.gy;
  }
  f.wide = WideLanes();
  f.widest = WidestLanes();
  for (int x = 0; x < w; ++x) {
    const float px = float(int64_t(x) - f.tl_x);
    f.ub0[x] = px * k1 - px * e1y;
    f.uc0[x] = e2y * px;
    f.vb0[x] = px * k3 - e2y * px;
    f.vc0[x] = px * e1y;
  }
}

row_terms RowTerms(const warp_frame& f, int y) {
  row_terms r;
  r.py = int64_t(y) - f.tl_y;
  const float py = float(r.py);
  r.py_k2 = py * f.k2;
  r.py_e1x = py * f.e1x;
  r.e2x_py = f.e2x * py;
  r.py_k4 = py * f.k4;
  return r;
}

// The positions (size·t) of the root the warp takes first and of the other root
// (NaN when the equation is linear).
struct root_positions {
  double taken, other;
};

bool WithinFive(double r) { return r >= -5.0 && r <= 5.0; }

// False when no real root exists. Positions are products formed before the
// division, so that a root of exactly x / size gives x back.
bool Positions(float a, float b, float c, int size, bool first_within_five, root_positions& out) {
  const double ad = a, bd = b, cd = c;
  if (a == 0.0f) {
    if (b == 0.0f) return false;
    out.taken = (-cd * size) / bd;
    out.other = std::numeric_limits<double>::quiet_NaN();
    return true;
  }
  if (4.0 * ad * cd > bd * bd) return false;
  const double root = std::sqrt(bd * bd - 4.0 * ad * cd);
  const double first = root - bd, second = -bd - root;
  const double twice = 2.0 * ad;
  const bool take_first = first_within_five && WithinFive(first / twice);
  out.taken = ((take_first ? first : second) * size) / twice;
  out.other = ((take_first ? second : first) * size) / twice;
  return true;
}

bool InRange(double X, double Y, int w, int h) { return X > -1.0 && X < w && Y > -1.0 && Y < h; }

// Whether the corner blend at (X / W, Y / H) lands on the pixel (px, py), counted
// from the top-left corner.
bool MapsBack(const warp_frame& f, double px, double py, double X, double Y) {
  const double u = X * f.inv_w, v = Y * f.inv_h, uv = u * v;
  const double ex = u * f.e1x_d + v * f.e2x_d + uv * f.gx - px;
  const double ey = u * f.e1y_d + v * f.e2y_d + uv * f.gy - py;
  return std::fabs(ex) <= back_tolerance && std::fabs(ey) <= back_tolerance;
}

// Column and row positions (W·u, H·v) that pixel x of row r samples; false when it
// lies outside the quadrilateral. The first root pair is the one an upright
// quadrilateral needs; a mirrored or turned one may need another pair, and a pair
// counts only when it maps back onto the pixel.
bool SolvePixel(const warp_frame& f, const row_terms& r, int x, double& X, double& Y) {
  const float bu = (((f.ub0[x] - f.e2y_e1x) - r.py_k2) + r.py_e1x) + f.e2x_e1y;
  const float cu = f.uc0[x] - r.e2x_py;
  const float bv = (((f.vb0[x] - f.e2x_e1y) - r.py_k4) + r.e2x_py) + f.e2y_e1x;
  const float cv = f.vc0[x] - r.py_e1x;
  root_positions u, v;
  if (!Positions(f.au, bu, cu, f.w, false, u) || !Positions(f.av, bv, cv, f.h, true, v)) return false;
  const double px = double(int64_t(x) - f.tl_x), py = double(r.py);
  const double xs[2] = {u.taken, u.other}, ys[2] = {v.taken, v.other};
  for (int k = 0; k < 4; ++k) {
    X = xs[k & 1];
    Y = ys[k >> 1];
    if (InRange(X, Y, f.w, f.h) && MapsBack(f, px, py, X, Y)) return true;
  }
  return false;
}

inline int Channel(int p, int right, int down, int diagonal, int fx, int fy) {
  const int v = (p * (256 - fx) * (256 - fy) + right * fx * (256 - fy) + down * (256 - fx) * fy +
                 diagonal * fx * fy) >>
                16;
  return std::clamp(v, 0, 255);
}

// The column, row and 8-bit fractions of a position already known to lie in
// (-1, W) x (-1, H); a position just below 0 gives a negative fraction.
struct sample_at {
  int col, row, fx, fy;
};

sample_at Position(double X, double Y) {
  const int col = int(X), row = int(Y);
  return {col, row, int(X * 256.0) - col * 256, int(Y * 256.0) - row * 256};
}

// The bilinear sample of a W x H image.
void Sample(int w, int h, sample_at at, bgra* out) {
  const auto [col, row, fx, fy] = at;
  const bgra* line = target_work + size_t(row) * w;
  const bgra& p = line[col];
  const bgra& right = col + 1 == w ? p : line[col + 1];
  const bgra& down = row + 1 == h ? p : line[size_t(w) + col];
  const bgra& diagonal = target_work[size_t(std::min(row + 1, h - 1)) * w + std::min(col + 1, w - 1)];
  out->blue = uint8_t(Channel(p.blue, right.blue, down.blue, diagonal.blue, fx, fy));
  out->green = uint8_t(Channel(p.green, right.green, down.green, diagonal.green, fx, fy));
  out->red = uint8_t(Channel(p.red, right.red, down.red, diagonal.red, fx, fy));
}

// One row's solutions: where each pixel samples, or that it is outside, or that
// the pixel-by-pixel solution has to settle it.
enum pixel_state : uint8_t { solved = 0, outer = 1, unsettled = 2 };
struct row_solution {
  int32_t col[max_target_width], row[max_target_width], fx[max_target_width], fy[max_target_width];
  pixel_state state[max_target_width];
};

// Where each pixel of the target samples, as the last warp solved it. Every combine
// warps again while the warp is on, mostly with unchanged corners; a warp with the
// same size and corners samples from here without solving again. The lane widths
// belong to the key too, so that switching them (tests do, to compare the paths)
// solves afresh.
enum group_kind : uint8_t { mixed = 0, all_inner, all_base };
constexpr int groups_per_row = max_target_width / 8;
struct sample_plan {
  bool valid = false;
  int w = 0, h = 0;
  int corners[8] = {};
  bool wide = false, widest = false;
  // Per row, the columns [begin, end) that may lie on the quadrilateral; the others
  // take the base colour.
  int begin[max_target_height], end[max_target_height];
  // Per pixel of those, rows W apart: the column (negative: the base colour), the
  // row and the fractions.
  int16_t col[target_capacity], row[target_capacity], fx[target_capacity], fy[target_capacity];
  // Per eight of those pixels from begin (the last of a row may be fewer): all eight
  // with their right and lower neighbours inside the image, all eight in the base
  // colour, or neither.
  group_kind group[max_target_height * groups_per_row];
};

sample_plan plan;

// A row of the plan; group[g] is the group that starts at column begin + 8·g.
struct plan_row {
  int16_t *col, *row, *fx, *fy;
  group_kind* group;
  int begin;
};

plan_row PlanRow(int w, int y) {
  const size_t at = size_t(y) * w;
  return {plan.col + at, plan.row + at, plan.fx + at, plan.fy + at, plan.group + size_t(y) * groups_per_row,
          plan.begin[y]};
}

void Keep(const plan_row& p, int x, sample_at at) {
  p.col[x] = int16_t(at.col);
  p.row[x] = int16_t(at.row);
  p.fx[x] = int16_t(at.fx);
  p.fy[x] = int16_t(at.fy);
}

sample_at Kept(const plan_row& p, int x) { return {p.col[x], p.row[x], p.fx[x], p.fy[x]}; }

void SolveColumn(const warp_frame& f, const row_terms& r, int x, const plan_row& p) {
  double X, Y;
  if (SolvePixel(f, r, x, X, Y))
    Keep(p, x, Position(X, Y));
  else
    p.col[x] = -1;
}

void Base(const rgb_color& base, bgra* out) {
  out->blue = base.blue;
  out->green = base.green;
  out->red = base.red;
}

// Base over the pixels [begin, end) of a row, as whole words the compiler can widen.
void BaseRun(const rgb_color& base, bgra* out, int begin, int end) {
  const bgra colour{base.blue, base.green, base.red, 0}, fourth{0, 0, 0, 0xFF};
  uint32_t colour_bits, fourth_byte;
  std::memcpy(&colour_bits, &colour, 4);
  std::memcpy(&fourth_byte, &fourth, 4);
  for (int x = begin; x < end; ++x) {
    uint32_t v;
    std::memcpy(&v, out + x, 4);
    v = (v & fourth_byte) | colour_bits;
    std::memcpy(out + x, &v, 4);
  }
}

// Which kind each group of eight of a row plan is, for the groups from column x
// (a group's start) to end.
void Groups(int w, int h, const plan_row& p, int x, int end) {
  int g = (x - p.begin) / 8;
#if defined(__x86_64__) || defined(__i386__)
  const __m128i none = _mm_set1_epi16(-1), last_col = _mm_set1_epi16(int16_t(w - 1));
  const __m128i last_row = _mm_set1_epi16(int16_t(h - 1));
  for (; x + 8 <= end; x += 8, ++g) {
    const __m128i col = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p.col + x));
    const __m128i row = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p.row + x));
    const __m128i inner = _mm_and_si128(_mm_and_si128(_mm_cmpgt_epi16(col, none), _mm_cmplt_epi16(col, last_col)),
                                        _mm_cmplt_epi16(row, last_row));
    p.group[g] = _mm_movemask_epi8(inner) == 0xFFFF                       ? all_inner
                 : _mm_movemask_epi8(_mm_cmpgt_epi16(col, none)) == 0 ? all_base
                                                                      : mixed;
  }
#endif
  for (; x < end; x += 8, ++g) {
    const int stop = std::min(x + 8, end);
    bool inner = stop - x == 8, base = true;
    for (int i = x; i < stop; ++i) {
      inner &= p.col[i] >= 0 && p.col[i] + 1 < w && p.row[i] + 1 < h;
      base &= p.col[i] < 0;
    }
    p.group[g] = inner ? all_inner : base ? all_base : mixed;
  }
}

#if defined(__x86_64__) || defined(__i386__)
#define VORBEL_AVX2 __attribute__((target("avx2")))

VORBEL_AVX2 inline __m256d Negate(__m256d v) { return _mm256_xor_pd(v, _mm256_set1_pd(-0.0)); }
VORBEL_AVX2 inline __m256d Magnitude(__m256d v) { return _mm256_andnot_pd(_mm256_set1_pd(-0.0), v); }

// Columns of one row four at a time, solved as SolvePixel solves them. A lane whose
// first vertical root lies too near ±5 to tell without the division is left to
// SolvePixel. Returns where the columns it left begin.
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
#endif

#if defined(__x86_64__) || defined(__i386__)
#define VORBEL_AVX512 __attribute__((target("avx2,avx512f,avx512dq,avx512vl,avx512bw")))

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

// WideColumns eight columns at a time in 64-byte lanes, the same operations in the
// same order; the solved columns go straight into the row plan, the others to it as
// the base colour until the pixel-by-pixel solution settles them.
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

// Sample for a pixel whose right and lower neighbours lie inside the image: the
// four neighbours' channels weighted in 32-bit lanes, the sums shifted and clamped.
VORBEL_AVX2 inline void InnerSample(const bgra* at, int w, int fx, int fy, bgra* out) {
  const __m256i top = _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(at)));
  const __m256i bottom = _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(at + w)));
  const int w00 = (256 - fx) * (256 - fy), w10 = fx * (256 - fy), w01 = (256 - fx) * fy, w11 = fx * fy;
  const __m256i sums =
      _mm256_add_epi32(_mm256_mullo_epi32(top, _mm256_setr_epi32(w00, w00, w00, w00, w10, w10, w10, w10)),
                       _mm256_mullo_epi32(bottom, _mm256_setr_epi32(w01, w01, w01, w01, w11, w11, w11, w11)));
  const __m128i pixel = _mm_srai_epi32(
      _mm_add_epi32(_mm256_castsi256_si128(sums), _mm256_extracti128_si256(sums, 1)), 16);
  const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(pixel, pixel), pixel);
  const uint32_t colours = uint32_t(_mm_cvtsi128_si32(bytes));
  uint32_t old;
  std::memcpy(&old, out, 4);
  const uint32_t merged = (colours & 0x00FFFFFFu) | (old & 0xFF000000u);
  std::memcpy(out, &merged, 4);
}

// One pixel of a row plan.
VORBEL_AVX2 inline void WidePixel(int w, int h, const plan_row& p, int x, const rgb_color& base, bgra* out) {
  if (p.col[x] < 0)
    Base(base, out + x);
  else if (p.col[x] + 1 < w && p.row[x] + 1 < h)
    InnerSample(target_work + size_t(p.row[x]) * w + p.col[x], w, p.fx[x], p.fy[x], out + x);
  else
    Sample(w, h, Kept(p, x), out + x);
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

VORBEL_AVX2 inline __m256i Widen(const int16_t* v) {
  return _mm256_cvtepi16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(v)));
}

// The groups of eight that sample with all their neighbours inside the image, eight
// at a time.
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

// The plan of the columns [begin, end) of one row, solved four or eight at a time.
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
#endif

// The columns [begin, end) of row y that may lie on the quadrilateral; every other
// pixel is surely outside. A pixel belongs only where the corner blend at some
// u in (-1/W, 1), v in (-1/H, 1) lands within half a pixel of it, and the blend of
// that rectangle lies in the hull of its four corners' blends; so a pixel more than
// a pixel's width from that hull's slice through its row is out.
std::pair<int, int> Reach(const warp_frame& f, int y) {
  const double py = double(int64_t(y) - f.tl_y), low = py - 1.0, high = py + 1.0;
  double least = std::numeric_limits<double>::infinity(), most = -least;
  for (int i = 0; i < 4; ++i)
    for (int j = i + 1; j < 4; ++j) {
      const double ax = f.hull[i][0], ay = f.hull[i][1], bx = f.hull[j][0], by = f.hull[j][1];
      if (std::max(ay, by) < low || std::min(ay, by) > high) continue;
      double t0 = 0.0, t1 = 1.0;
      if (ay != by) {
        t0 = std::clamp((low - ay) / (by - ay), 0.0, 1.0);
        t1 = std::clamp((high - ay) / (by - ay), 0.0, 1.0);
      }
      const double x0 = ax + t0 * (bx - ax), x1 = ax + t1 * (bx - ax);
      least = std::min({least, x0, x1});
      most = std::max({most, x0, x1});
    }
  if (!(least <= most)) return {0, 0};
  const double begin = std::floor(least - 1.0) + double(f.tl_x), end = std::ceil(most + 1.0) + 1.0 + double(f.tl_x);
  const int b = int(std::clamp(begin, 0.0, double(f.w))), e = int(std::clamp(end, 0.0, double(f.w)));
  return {b, std::max(b, e)};
}

void SolveRow(const warp_frame& f, int y) {
  const row_terms r = RowTerms(f, y);
  const auto [begin, stop] = Reach(f, y);
  plan.begin[y] = begin;
  plan.end[y] = stop;
  const plan_row p = PlanRow(f.w, y);
#if defined(__x86_64__) || defined(__i386__)
  if (f.wide) {
    static thread_local row_solution sol;
    WideSolve(f, r, begin, stop, sol, p);
    return;
  }
#endif
  for (int x = begin; x < stop; ++x) SolveColumn(f, r, x, p);
  Groups(f.w, f.h, p, begin, stop);
}

void SampleRow(int w, int h, int y, const rgb_color& base, bgra* out) {
  const plan_row p = PlanRow(w, y);
  const int end = plan.end[y];
  BaseRun(base, out, 0, p.begin);
  BaseRun(base, out, end, w);
#if defined(__x86_64__) || defined(__i386__)
  if (plan.widest) return SampleRowWidest(w, h, p, end, base, out);
  if (plan.wide) return SampleRowWide(w, h, p, end, base, out);
#endif
  for (int x = p.begin, g = 0; x < end; x += 8, ++g) {
    const int stop = std::min(x + 8, end);
    if (p.group[g] == all_base) {
      BaseRun(base, out, x, stop);
      continue;
    }
    for (int i = x; i < stop; ++i) {
      if (p.col[i] < 0)
        Base(base, out + i);
      else
        Sample(w, h, Kept(p, i), out + i);
    }
  }
}

// With solve the rows are solved into the plan first, each just before it is sampled.
void WarpRows(bool solve, int first, int end) {
  const rgb_color base = base_color;
  const int w = plan.w, h = plan.h;
  for (int y = first; y < end; ++y) {
    if (solve) SolveRow(frame, y);
    SampleRow(w, h, y, base, target_pixels + size_t(y) * w);
  }
}

bool IdentityCorners(int w, int h) {
  const int* q = quad_corners;
  return q[0] == 0 && q[1] == 0 && q[2] == w && q[3] == 0 && q[4] == 0 && q[5] == h && q[6] == w &&
         q[7] == h;
}

}  // namespace

void ApplyQuadTransform() {
  const int w = std::clamp(target_width, 0, max_target_width);
  const int h = std::clamp(target_height, 0, max_target_height);
  if (w == 0 || h == 0) return;
  if (IdentityCorners(w, h)) {
    // Every pixel would sample itself with zero fractions.
    ParallelRows(h, [w](int first, int end) {
      for (size_t i = size_t(first) * w; i < size_t(end) * w; ++i) {
        target_pixels[i].blue = target_work[i].blue;
        target_pixels[i].green = target_work[i].green;
        target_pixels[i].red = target_work[i].red;
      }
    });
    return;
  }
  const bool wide = WideLanes(), widest = WidestLanes();
  const bool known = plan.valid && plan.w == w && plan.h == h && plan.wide == wide && plan.widest == widest &&
                     std::equal(plan.corners, plan.corners + 8, quad_corners);
  if (!known) {
    plan.valid = false;
    PrepareFrame(frame, w, h);
    plan.w = w;
    plan.h = h;
    plan.wide = wide;
    plan.widest = widest;
    std::copy(quad_corners, quad_corners + 8, plan.corners);
  }
  ParallelRows(h, [known](int first, int end) { WarpRows(!known, first, end); });
  plan.valid = true;
}
