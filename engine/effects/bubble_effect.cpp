#include <emmintrin.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

#include "engine/effects/articulate_effects.h"
#include "engine/effects/effect_progress.h"
#include "engine/base/process_state.h"
#include "engine/base/random_draws.h"
#include "engine/base/row_parallel.h"

// Bubble measures with square spiral walks how far each seed's colour reaches and
// then paints a shaded disc of about half that size. Only two things of the walks
// matter afterwards: where each walk ended, and the weighted count of walks over
// each seed pixel, which decides whether a later seed there is skipped. So the
// count is kept for seed pixels only, and walks read columns from a transposed
// copy so that every leg of a spiral runs along memory.

namespace articulate_detail {

offset SpiralStep(int64_t index) {
  int64_t p = 1;
  while (4 * (p + 1) * p <= index) ++p;
  const int64_t t = index - 4 * p * (p - 1);
  if (t < 2 * p) return {int(p), int(t - p + 1)};
  if (t < 4 * p) return {int(3 * p - 1 - t), int(p)};
  if (t < 6 * p) return {int(-p), int(5 * p - 1 - t)};
  return {int(t - 7 * p + 1), int(-p)};
}

int64_t SpiralIndex(int dx, int dy) {
  const int64_t p = std::max(std::abs(dx), std::abs(dy));
  const int64_t ring_start = 4 * p * (p - 1);
  if (dx == p && dy > -p) return ring_start + dy + p - 1;
  if (dy == p) return ring_start + 2 * p + (p - 1 - dx);
  if (dx == -p) return ring_start + 4 * p + (p - 1 - dy);
  return ring_start + 6 * p + (dx + p - 1);
}

int DiscRadius(int rings) { return rings < 1 || rings > 254 ? 0 : rings / 2 + 1; }

int ShadeChannel(int c, int s) {
  // c * (s + 128) / 128 - s, truncated: every term is exact, and values below 0
  // are clamped either way, so whole numbers give the same result.
  return std::clamp(((c * (s + 128)) >> 7) - s, 0, 255);
}

}  // namespace articulate_detail

namespace {

using articulate_detail::DiscRadius;
using articulate_detail::ShadeChannel;
using articulate_detail::SpiralIndex;

constexpr int bubble_points = 100000;
constexpr int max_rings = 100000;
constexpr int grid_cell = 32;

// The largest channel differences a probe may have and still be alike the seed.
struct tolerance {
  int blue;
  int green;
  int red;
};

tolerance ToleranceFor(int level) {
  const double most = level * 400.0;
  auto largest = [most](double weight) {
    int a = 0;
    while (a < 255 && weight * (float(a + 1) * float(a + 1)) <= most) ++a;
    return a;
  };
  return {largest(0.11), largest(0.59), largest(0.30)};
}

// One distinct seed pixel: the weighted count of walks over it and what the last
// walk from it left.
struct seed_cell {
  int x;
  int y;
  float coverage = 0.0f;
  int rings = 0;
  bgra colour{};
};

struct walk_end {
  int64_t probes;
  int ring;
};

class spiral_walker {
 public:
  spiral_walker(const bgra* rows, const bgra* columns, int w, int h, tolerance tol)
      : rows(rows), columns(columns), w(w), h(h), tol(tol) {}

  walk_end Walk(int x, int y, bgra seed) const {
    int64_t probes = 0;
    for (int k = 0; k < max_rings; ++k) {
      const int p = k + 1;
      if (x + p >= w) return {probes, k};
      ++probes;
      if (!Alike(rows[size_t(y - k) * w + x + p], seed)) return {probes, k};
      const leg legs[4] = {
          {columns + size_t(x + p) * h, y - k + 1, 1, 2 * k + 1, h},
          {rows + size_t(y + p) * w, x + p - 1, -1, 2 * p, w},
          {columns + size_t(x - p) * h, y + p - 1, -1, 2 * p, h},
          {rows + size_t(y - p) * w, x - p + 1, 1, 2 * p, w},
      };
      for (const leg& l : legs) {
        const leg_end e = Scan(l, seed);
        probes += e.probed;
        if (e.ended) return {probes, k};
      }
    }
    return {probes, max_rings - 1};
  }

 private:
  struct leg {
    const bgra* line;
    int start;
    int direction;
    int length;
    int limit;
  };
  struct leg_end {
    int probed;
    bool ended;
  };

  bool Alike(bgra p, bgra s) const {
    return std::abs(p.blue - s.blue) <= tol.blue && std::abs(p.green - s.green) <= tol.green &&
           std::abs(p.red - s.red) <= tol.red;
  }

  // Four pixels at a time: the lanes whose colour is not alike the seed's, four
  // mask bits a pixel.
  static int Unlike(const bgra* at, __m128i seed, __m128i most) {
    const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    const __m128i apart = _mm_or_si128(_mm_subs_epu8(p, seed), _mm_subs_epu8(seed, p));
    const __m128i over = _mm_subs_epu8(apart, most);
    return ~_mm_movemask_epi8(_mm_cmpeq_epi8(over, _mm_setzero_si128())) & 0xFFFF;
  }

  leg_end Scan(const leg& l, bgra s) const {
    int inside = l.direction > 0 ? l.limit - l.start : l.start + 1;
    inside = std::clamp(inside, 0, l.length);
    const __m128i seed = _mm_set1_epi32(int(uint32_t(s.blue) | uint32_t(s.green) << 8 | uint32_t(s.red) << 16));
    const __m128i most = _mm_set1_epi32(
        int(uint32_t(tol.blue) | uint32_t(tol.green) << 8 | uint32_t(tol.red) << 16 | 0xFFu << 24));
    int i = 0;
    if (l.direction > 0) {
      for (; i + 4 <= inside; i += 4)
        if (const int unlike = Unlike(l.line + l.start + i, seed, most))
          return {i + __builtin_ctz(unlike) / 4 + 1, true};
    } else {
      for (; i + 4 <= inside; i += 4)
        if (const int unlike = Unlike(l.line + l.start - i - 3, seed, most))
          return {i + 3 - (31 - __builtin_clz(unlike)) / 4 + 1, true};
    }
    for (const bgra* at = l.line + l.start + i * l.direction; i < inside; ++i, at += l.direction)
      if (!Alike(*at, s)) return {i + 1, true};
    return {inside, inside < l.length};
  }

  const bgra* rows;
  const bgra* columns;
  int w;
  int h;
  tolerance tol;
};

// The seed cells by grid square, so that a walk finds the cells it passed over.
class cell_grid {
 public:
  cell_grid(const std::vector<seed_cell>& cells, int w, int h)
      : across((w + grid_cell - 1) / grid_cell), down((h + grid_cell - 1) / grid_cell) {
    starts.assign(size_t(across) * down + 1, 0);
    for (const seed_cell& c : cells) ++starts[Square(c.x, c.y) + 1];
    for (size_t i = 1; i < starts.size(); ++i) starts[i] += starts[i - 1];
    members.resize(cells.size());
    std::vector<int> fill(starts.begin(), starts.end() - 1);
    for (int i = 0; i < int(cells.size()); ++i) members[fill[Square(cells[i].x, cells[i].y)]++] = i;
  }

  // Adds the walk's weights to every seed cell among its first probes.
  void Cover(std::vector<seed_cell>& cells, int x, int y, walk_end end) const {
    const int reach = end.ring + 1;
    const int gx0 = std::max(0, x - reach) / grid_cell, gx1 = std::min(across * grid_cell - 1, x + reach) / grid_cell;
    const int gy0 = std::max(0, y - reach) / grid_cell, gy1 = std::min(down * grid_cell - 1, y + reach) / grid_cell;
    for (int gy = gy0; gy <= gy1; ++gy)
      for (int gx = gx0; gx <= gx1; ++gx) {
        const int square = gy * across + gx;
        for (int m = starts[square]; m < starts[square + 1]; ++m) {
          seed_cell& c = cells[members[m]];
          const int dx = c.x - x, dy = c.y - y;
          const int p = std::max(std::abs(dx), std::abs(dy));
          if (p == 0 || p > reach || SpiralIndex(dx, dy) >= end.probes) continue;
          c.coverage += 1.0f / float(p);
        }
      }
  }

 private:
  int Square(int x, int y) const { return (y / grid_cell) * across + x / grid_cell; }

  int across;
  int down;
  std::vector<int> starts;
  std::vector<int> members;
};

// Paints the discs of points [first, end) that fall into rows [row0, row1).
void PaintDiscs(bgra* pixels, int w, int h, const std::vector<int>& slot, const std::vector<seed_cell>& cells,
                int first, int end, int row0, int row1) {
  for (int i = first; i < end; ++i) {
    const seed_cell& c = cells[slot[i]];
    const int radius = DiscRadius(c.rings);
    if (radius == 0) continue;
    const int x = c.x, y = c.y;
    if (y - radius < 0 || x - radius < 0) continue;
    const int j0 = std::max(-radius, row0 - y), j1 = std::min({radius, h - y, row1 - y});
    const int i1 = std::min(radius, w - x);
    for (int j = j0; j < j1; ++j) {
      bgra* row = pixels + size_t(y + j) * w + x;
      for (int di = -radius; di < i1; ++di) {
        const int e = radius * radius - di * di - j * j;
        if (e <= 0) continue;
        const int s = std::min(e, 127);
        bgra& p = row[di];
        p.blue = uint8_t(ShadeChannel(c.colour.blue, s));
        p.green = uint8_t(ShadeChannel(c.colour.green, s));
        p.red = uint8_t(ShadeChannel(c.colour.red, s));
      }
    }
  }
}

}  // namespace

bool Bubble(bgra* pixels, int w, int h, int level, const effect_status& status) {
  if (w <= 0 || h <= 0) return true;
  std::unique_ptr<bgra[]> columns;
  std::vector<int> slot(bubble_points);
  std::vector<seed_cell> cells;
  std::unique_ptr<cell_grid> grid;
  try {
    columns.reset(new bgra[size_t(w) * h]);
    std::vector<std::pair<int, int>> seeds(bubble_points);  // pixel index, point
    random_draws xs(2537, 0, w - 1), ys(1701, 0, h - 1);
    for (int i = 0; i < bubble_points; ++i) {
      const int x = xs.Next();
      const int y = ys.Next();
      seeds[i] = {y * w + x, i};
    }
    std::sort(seeds.begin(), seeds.end());
    for (int i = 0; i < bubble_points; ++i) {
      if (i == 0 || seeds[i].first != seeds[i - 1].first) {
        seed_cell c;
        c.x = seeds[i].first % w, c.y = seeds[i].first / w;
        cells.push_back(c);
      }
      slot[seeds[i].second] = int(cells.size()) - 1;
    }
    grid = std::make_unique<cell_grid>(cells, w, h);
  } catch (const std::bad_alloc&) {
    return false;
  }
  ParallelRows(h, [&](int first, int end) {
    for (int y = first; y < end; ++y)
      for (int x = 0; x < w; ++x) columns[size_t(x) * h + y] = pixels[size_t(y) * w + x];
  });

  effect_progress progress;
  const spiral_walker walker(pixels, columns.get(), w, h, ToleranceFor(level));
  for (int i = 0; i < bubble_points; ++i) {
    seed_cell& c = cells[slot[i]];
    if (c.coverage > 1.0f) continue;
    const bgra seed = pixels[size_t(c.y) * w + c.x];
    const walk_end end = walker.Walk(c.x, c.y, seed);
    grid->Cover(cells, c.x, c.y, end);
    c.colour = seed;
    c.rings = end.ring + 1;
    progress.Working(int(i * 100.0 / 100000.0));
  }
  progress.Done();
  if (status) status("Writing processed image...");

  // Discs overlap, so they are painted in the order of the points; bands of rows
  // are independent.
  constexpr int chunks = 16;
  for (int chunk = 0; chunk < chunks; ++chunk) {
    const int first = bubble_points / chunks * chunk, end = bubble_points / chunks * (chunk + 1);
    ParallelRows(h, [&](int row0, int row1) { PaintDiscs(pixels, w, h, slot, cells, first, end, row0, row1); });
    progress.Working(int((end - 16) * 100.0 / 100000.0));
  }
  progress.Done();
  return true;
}
