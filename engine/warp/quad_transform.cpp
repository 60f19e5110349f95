#include "engine/warp/quad_transform.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <utility>

#include "engine/base/process_state.h"
#include "engine/base/row_parallel.h"
#include "engine/base/wide_lanes.h"
#include "engine/warp/quad_plan.h"

int quad_corners[8] = {0, 0, 0, 0, 0, 0, 0, 0};

namespace {

using namespace quad_warp;

// Static: the tables are large and the warp allocates nothing.
warp_frame frame;

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
