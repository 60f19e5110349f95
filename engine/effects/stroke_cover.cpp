#include "engine/effects/stroke_cover.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

struct point {
  double x, y;
};

// The stroke's rectangle grown by grow along and across it (negative: shrunk).
struct rectangle {
  point centre, along, across;  // along and across are unit vectors
  double half_length, half_width;
};

rectangle Rectangle(const stroke_line& l, double grow) {
  const double dx = l.x1 - l.x0, dy = l.y1 - l.y0;
  const double length = std::sqrt(dx * dx + dy * dy);
  rectangle r;
  r.centre = {(l.x0 + l.x1) / 2, (l.y0 + l.y1) / 2};
  r.along = {dx / length, dy / length};
  r.across = {-r.along.y, r.along.x};
  r.half_length = length / 2 + grow;
  r.half_width = l.width / 2 + grow;
  return r;
}

void Corners(const rectangle& r, point c[4]) {
  const double ax = r.along.x * r.half_length, ay = r.along.y * r.half_length;
  const double bx = r.across.x * r.half_width, by = r.across.y * r.half_width;
  c[0] = {r.centre.x - ax - bx, r.centre.y - ay - by};
  c[1] = {r.centre.x + ax - bx, r.centre.y + ay - by};
  c[2] = {r.centre.x + ax + bx, r.centre.y + ay + by};
  c[3] = {r.centre.x - ax + bx, r.centre.y - ay + by};
}

// The x extent of the polygon within the band ya <= y <= yb; false when none.
bool BandExtent(const point c[4], double ya, double yb, double& low, double& high) {
  low = std::numeric_limits<double>::infinity(), high = -low;
  for (int i = 0; i < 4; ++i) {
    const point p = c[i], q = c[(i + 1) % 4];
    const double dy = q.y - p.y;
    double t0 = 0, t1 = 1;
    if (dy == 0) {
      if (p.y < ya || p.y > yb) continue;
    } else {
      const double ta = (ya - p.y) / dy, tb = (yb - p.y) / dy;
      t0 = std::max(0.0, std::min(ta, tb)), t1 = std::min(1.0, std::max(ta, tb));
      if (t0 > t1) continue;
    }
    for (double t : {t0, t1}) {
      const double x = p.x + (q.x - p.x) * t;
      low = std::min(low, x), high = std::max(high, x);
    }
  }
  return low <= high;
}

// Where the line y = c crosses the rectangle: x in [low, high]; false when not at all.
bool LineExtent(const rectangle& r, double c, double& low, double& high) {
  low = -std::numeric_limits<double>::infinity(), high = -low;
  const double limits[2] = {r.half_length, r.half_width};
  const point axes[2] = {r.along, r.across};
  for (int i = 0; i < 2; ++i) {
    // |(x - cx) * a.x + (c - cy) * a.y| <= m
    const double offset = (c - r.centre.y) * axes[i].y, m = limits[i];
    if (std::abs(axes[i].x) < 1e-12) {
      if (std::abs(offset) > m) return false;
      continue;
    }
    double a = (-m - offset) / axes[i].x, b = (m - offset) / axes[i].x;
    if (a > b) std::swap(a, b);
    low = std::max(low, r.centre.x + a), high = std::min(high, r.centre.x + b);
  }
  return low <= high;
}

// Bits first..last (0..127) of a row as two words.
void SpanBits(int first, int last, uint64_t out[2]) {
  for (int word = 0; word < 2; ++word) {
    const int a = std::max(first, word * 64), b = std::min(last, word * 64 + 63);
    if (a > b) {
      out[word] = 0;
      continue;
    }
    const int n = b - a + 1;
    out[word] = (n == 64 ? ~uint64_t(0) : ((uint64_t(1) << n) - 1)) << (a - word * 64);
  }
}

}  // namespace

tile_cover::tile_cover(int left, int top, int w, int h)
    : left(left), top(top), w(std::min(w, most)), h(std::min(h, most)) {}

bool tile_cover::Hidden(const stroke_line& l) const {
  point c[4];
  Corners(Rectangle(l, 1.0), c);
  const double ymin = std::min({c[0].y, c[1].y, c[2].y, c[3].y}), ymax = std::max({c[0].y, c[1].y, c[2].y, c[3].y});
  const int r0 = std::max(0, int(std::floor(ymin)) - top), r1 = std::min(h - 1, int(std::floor(ymax)) - top);
  // Most strokes that are hidden lie in rows that are covered across their whole
  // bounding box: that is seen without following the edges.
  const double xmin = std::min({c[0].x, c[1].x, c[2].x, c[3].x}), xmax = std::max({c[0].x, c[1].x, c[2].x, c[3].x});
  const int first = std::max(0, int(std::floor(xmin)) - left), last = std::min(w - 1, int(std::floor(xmax)) - left);
  if (first > last || r0 > r1) return true;
  uint64_t box[2];
  SpanBits(first, last, box);
  bool boxed = true;
  for (int r = r0; r <= r1 && boxed; ++r) boxed = (bits[r][0] & box[0]) == box[0] && (bits[r][1] & box[1]) == box[1];
  if (boxed) return true;
  for (int r = r0; r <= r1; ++r) {
    double low, high;
    if (!BandExtent(c, top + r, top + r + 1, low, high)) continue;
    const int first = std::max(0, int(std::floor(low)) - left), last = std::min(w - 1, int(std::floor(high)) - left);
    if (first > last) continue;
    uint64_t span[2];
    SpanBits(first, last, span);
    if ((bits[r][0] & span[0]) != span[0] || (bits[r][1] & span[1]) != span[1]) return false;
  }
  return true;
}

void tile_cover::Add(const stroke_line& l) {
  // A margin well beyond the rasteriser's 1/256 pixel grid.
  const rectangle inner = Rectangle(l, -1.0 / 64);
  if (inner.half_length <= 0 || inner.half_width <= 0) return;
  point c[4];
  Corners(inner, c);
  const double ymin = std::min({c[0].y, c[1].y, c[2].y, c[3].y}), ymax = std::max({c[0].y, c[1].y, c[2].y, c[3].y});
  const int r0 = std::max(0, int(std::ceil(ymin)) - top), r1 = std::min(h - 1, int(std::floor(ymax)) - 1 - top);
  uint64_t whole[2];
  SpanBits(0, w - 1, whole);
  for (int r = r0; r <= r1; ++r) {
    double la, ha, lb, hb;
    if (!LineExtent(inner, top + r, la, ha) || !LineExtent(inner, top + r + 1, lb, hb)) continue;
    const int first = std::max(0, int(std::ceil(std::max(la, lb))) - left);
    const int last = std::min(w - 1, int(std::floor(std::min(ha, hb))) - 1 - left);
    if (first > last) continue;
    uint64_t span[2];
    SpanBits(first, last, span);
    const bool was_full = bits[r][0] == whole[0] && bits[r][1] == whole[1];
    bits[r][0] |= span[0], bits[r][1] |= span[1];
    if (!was_full && bits[r][0] == whole[0] && bits[r][1] == whole[1]) ++full_rows;
  }
}
