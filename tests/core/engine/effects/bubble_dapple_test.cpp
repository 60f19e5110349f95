#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "engine/effects/articulate_effects.h"
#include "engine/base/process_state.h"
#include "engine/base/random_draws.h"
#include "engine/base/row_parallel.h"

namespace {

using namespace articulate_detail;

struct picture {
  int w;
  int h;
  std::vector<bgra> px;
  bool operator==(const picture& o) const {
    return w == o.w && h == o.h && std::memcmp(px.data(), o.px.data(), px.size() * 4) == 0;
  }
};

// Flat rectangles over a soft ramp with noise: walks end at edges, at the
// target's border and inside the noise.
picture Patchwork(int w, int h, uint32_t seed) {
  std::mt19937 rng(seed);
  picture p{w, h, std::vector<bgra>(size_t(w) * h)};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      p.px[size_t(y) * w + x] = {uint8_t(x * 255 / w), uint8_t(100 + int(rng() % 7)), uint8_t(y * 255 / h), 9};
  for (int n = 0; n < 6; ++n) {
    const int x0 = int(rng() % w), y0 = int(rng() % h), x1 = std::min(w, x0 + 5 + int(rng() % 40)),
              y1 = std::min(h, y0 + 5 + int(rng() % 30));
    const bgra c{uint8_t(rng()), uint8_t(rng()), uint8_t(rng()), 9};
    for (int y = y0; y < y1; ++y) std::fill(&p.px[size_t(y) * w + x0], &p.px[size_t(y) * w + x1], c);
  }
  return p;
}

// Bubble step by step as it reads: a full field of cells, spirals walked probe by probe.
picture PlainBubble(picture p, int level) {
  struct cell {
    bgra colour{};
    int rings = 0;
    float coverage = 0.0f;
  };
  const int w = p.w, h = p.h;
  std::vector<cell> cells(size_t(w) * h);
  const double most = level * 400.0;
  random_draws xs(2537, 0, w - 1), ys(1701, 0, h - 1);
  std::vector<std::pair<int, int>> points;
  for (int i = 0; i < 100000; ++i) {
    const int x = xs.Next(), y = ys.Next();
    points.emplace_back(x, y);
    if (cells[size_t(y) * w + x].coverage > 1.0f) continue;
    const bgra s = p.px[size_t(y) * w + x];
    int cx = x, cy = y, k = 0;
    for (bool ended = false; !ended; ++k) {
      const int legs[5][3] = {{1, 0, 1}, {0, 1, 2 * k + 1}, {-1, 0, 2 * k + 2}, {0, -1, 2 * k + 2}, {1, 0, 2 * k + 2}};
      for (const auto& leg : legs) {
        for (int n = 0; n < leg[2] && !ended; ++n) {
          cx += leg[0], cy += leg[1];
          if (cx < 0 || cy < 0 || cx >= w || cy >= h) {
            ended = true;
            break;
          }
          cells[size_t(cy) * w + cx].coverage += 1.0f / float(k + 1);
          const bgra q = p.px[size_t(cy) * w + cx];
          const float db = float(s.blue) - float(q.blue), dr = float(s.red) - float(q.red),
                      dg = float(s.green) - float(q.green);
          const double d = std::max({0.11 * (db * db), 0.30 * (dr * dr), 0.59 * (dg * dg)});
          if (d > most) ended = true;
        }
        if (ended) break;
      }
      if (ended) break;
    }
    cells[size_t(y) * w + x].colour = s;
    cells[size_t(y) * w + x].rings = k + 1;
  }
  for (auto [x, y] : points) {
    const cell& c = cells[size_t(y) * w + x];
    if (c.rings < 1 || c.rings > 254) continue;
    const int r = c.rings / 2 + 1;
    if (y - r < 0 || x - r < 0) continue;
    for (int j = -r; j < r && y + j < h; ++j)
      for (int i = -r; i < r && x + i < w; ++i) {
        const int e = r * r - i * i - j * j;
        if (e <= 0) continue;
        const float s = float(std::min(e, 127));
        bgra& o = p.px[size_t(y + j) * w + x + i];
        auto shade = [s](uint8_t v) {
          return uint8_t(std::clamp(int(std::trunc(float(v) * (s + 128.0f) * 0.0078125f - s)), 0, 255));
        };
        o.blue = shade(c.colour.blue), o.green = shade(c.colour.green), o.red = shade(c.colour.red);
      }
  }
  return p;
}

// Dapple as it reads; also checks that no walk paints more than 119 pixels.
picture PlainDapple(picture p) {
  const int w = p.w, h = p.h;
  const int dirs[8][2] = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {1, 0}, {-1, 1}, {0, 1}, {1, 1}};
  random_draws xs(2537, 0, w - 1), ys(1701, 0, h - 1), ds(1701, 0, 255);
  for (int b = 0; b < h / 4; ++b)
    for (int n = 0; n < w / 4; ++n) {
      int x = xs.Next(), y = ys.Next();
      const bgra s = p.px[size_t(h - 1 - y) * w + x];
      float t = 120.0f;
      int k = 0;
      while (k < 128) {
        const int d = ds.Next() & 7;
        x += dirs[d][0], y += dirs[d][1];
        if (x < 0 || x >= w || y < 0 || y >= h) break;
        t -= 1.0f;
        bgra& q = p.px[size_t(h - 1 - y) * w + x];
        const int sum = (s.red - q.red) + (s.green - q.green) + (s.blue - q.blue);
        if (!(-t < sum && sum < t)) break;
        auto raise = [k](uint8_t v) {
          return uint8_t(std::clamp(int(std::trunc(float(v) * float(k + 128) * 0.0078125f - float(k))), 0, 255));
        };
        q.blue = raise(s.blue), q.green = raise(s.green), q.red = raise(s.red);
        ++k;
      }
      EXPECT_LE(k, 119);
    }
  return p;
}

// Consecutive probes of the spiral are neighbours and the index finds each probe again.
TEST(Bubble, SpiralIndexInvertsTheSpiral) {
  for (int64_t i = 0; i < 40000; ++i) {
    const offset a = SpiralStep(i), b = SpiralStep(i + 1);
    ASSERT_EQ(std::abs(a.dx - b.dx) + std::abs(a.dy - b.dy), 1) << i;
    ASSERT_EQ(SpiralIndex(a.dx, a.dy), i);
  }
}

TEST(Bubble, MatchesThePlainWalksForEveryThreadCount) {
  for (auto [w, h, level] : {std::tuple{120, 90, 1}, std::tuple{120, 90, 10}, std::tuple{333, 211, 3}}) {
    const picture start = Patchwork(w, h, uint32_t(w + level));
    const picture expected = PlainBubble(start, level);
    for (int threads : {1, 8}) {
      SetRowThreads(threads);
      picture p = start;
      ASSERT_TRUE(Bubble(p.px.data(), w, h, level, nullptr));
      EXPECT_FALSE(p == start);
      EXPECT_TRUE(p == expected) << w << "x" << h << " level " << level << " threads " << threads;
    }
  }
  SetRowThreads(0);
  // A flat picture: the walks run to the border; later seeds land on covered pixels.
  picture flat{200, 150, std::vector<bgra>(200 * 150, bgra{60, 120, 180, 0})};
  picture p = flat;
  ASSERT_TRUE(Bubble(p.px.data(), 200, 150, 5, nullptr));
  EXPECT_TRUE(p == PlainBubble(flat, 5));
}

// The large flat picture takes its direction draws through many blocks of the
// generator and many slides of their window.
TEST(Dapple, MatchesThePlainWalksAndLeavesTinyTargets) {
  for (const picture& start : {Patchwork(130, 70, 4), picture{97, 61, std::vector<bgra>(97 * 61, bgra{200, 30, 90, 0})},
                               picture{1200, 800, std::vector<bgra>(1200 * 800, bgra{20, 230, 140, 7})}}) {
    picture p = start;
    Dapple(p.px.data(), p.w, p.h);
    EXPECT_TRUE(p == PlainDapple(start)) << start.w << " x " << start.h;
    EXPECT_FALSE(p == start);
  }
  picture tiny = Patchwork(3, 40, 1);
  const picture before = tiny;
  Dapple(tiny.px.data(), 3, 40);
  EXPECT_TRUE(tiny == before);
}

}  // namespace
