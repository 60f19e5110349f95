#include "engine/quad_transform.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "engine/process_state.h"
#include "engine/row_parallel.h"

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
  double e1x_d = 0, e1y_d = 0, e2x_d = 0, e2y_d = 0, gx = 0, gy = 0;
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
  const double u = X / f.w, v = Y / f.h;
  const double ex = u * f.e1x_d + v * f.e2x_d + u * v * f.gx - px;
  const double ey = u * f.e1y_d + v * f.e2y_d + u * v * f.gy - py;
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

// The bilinear sample with 8-bit fractions at a position already known to lie in
// (-1, W) x (-1, H); a position just below 0 gives a negative fraction.
void Sample(const warp_frame& f, double X, double Y, bgra* out) {
  const int col = int(X), row = int(Y);
  const int fx = int(X * 256.0) - col * 256, fy = int(Y * 256.0) - row * 256;
  const int w = f.w, h = f.h;
  const bgra* line = target_work + size_t(row) * w;
  const bgra& p = line[col];
  const bgra& right = col + 1 == w ? p : line[col + 1];
  const bgra& down = row + 1 == h ? p : line[size_t(w) + col];
  const bgra& diagonal = target_work[size_t(std::min(row + 1, h - 1)) * w + std::min(col + 1, w - 1)];
  out->blue = uint8_t(Channel(p.blue, right.blue, down.blue, diagonal.blue, fx, fy));
  out->green = uint8_t(Channel(p.green, right.green, down.green, diagonal.green, fx, fy));
  out->red = uint8_t(Channel(p.red, right.red, down.red, diagonal.red, fx, fy));
}

void WarpRows(const warp_frame& f, int first, int end) {
  const rgb_color base = base_color;
  for (int y = first; y < end; ++y) {
    const row_terms r = RowTerms(f, y);
    bgra* out = target_pixels + size_t(y) * f.w;
    for (int x = 0; x < f.w; ++x) {
      double X, Y;
      if (SolvePixel(f, r, x, X, Y)) {
        Sample(f, X, Y, &out[x]);
      } else {
        out[x].blue = base.blue;
        out[x].green = base.green;
        out[x].red = base.red;
      }
    }
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
  PrepareFrame(frame, w, h);
  ParallelRows(h, [](int first, int end) { WarpRows(frame, first, end); });
}
