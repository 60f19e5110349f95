#include "engine/warp/quad_plan.h"

#include <cmath>
#include <limits>

#include "engine/base/wide_lanes.h"
#include "engine/warp/quad_transform.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace quad_warp {

sample_plan plan;

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

namespace {

inline int Channel(int p, int right, int down, int diagonal, int fx, int fy) {
  const int v = (p * (256 - fx) * (256 - fy) + right * fx * (256 - fy) + down * (256 - fx) * fy +
                 diagonal * fx * fy) >>
                16;
  return std::clamp(v, 0, 255);
}

// The positions (size·t) of the root the warp takes first and of the other root
// (NaN when the equation is linear).
struct root_positions {
  double taken, other;
};

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

// Whether the corner blend at (X / W, Y / H) lands on the pixel (px, py), counted
// from the top-left corner.
bool MapsBack(const warp_frame& f, double px, double py, double X, double Y) {
  const double u = X * f.inv_w, v = Y * f.inv_h, uv = u * v;
  const double ex = u * f.e1x_d + v * f.e2x_d + uv * f.gx - px;
  const double ey = u * f.e1y_d + v * f.e2y_d + uv * f.gy - py;
  return std::fabs(ex) <= back_tolerance && std::fabs(ey) <= back_tolerance;
}

}  // namespace

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

void SolveColumn(const warp_frame& f, const row_terms& r, int x, const plan_row& p) {
  double X, Y;
  if (SolvePixel(f, r, x, X, Y))
    Keep(p, x, Position(X, Y));
  else
    p.col[x] = -1;
}

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

}  // namespace quad_warp
