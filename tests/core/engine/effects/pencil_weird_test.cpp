#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <tuple>
#include <vector>

#include <cairo.h>

#include "engine/effects/articulate_effects.h"
#include "engine/base/random_draws.h"
#include "engine/base/process_state.h"
#include "engine/base/row_parallel.h"
#include "engine/base/wide_lanes.h"

namespace {

using namespace articulate_detail;

std::vector<bgra> Flat(int w, int h, bgra c) { return std::vector<bgra>(size_t(w) * h, c); }

bool Same(const std::vector<bgra>& a, const std::vector<bgra>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * 4) == 0;
}

TEST(Pencil, DirectionCodesAndStillCodes) {
  struct code_case {
    uint8_t b, g, r;
    int code;
  };
  for (const code_case& t : {code_case{0, 0x80, 0, 1}, code_case{0, 0, 0x40, 2}, code_case{0x40, 0x80, 0x40, 2},
                             code_case{0xC0, 0, 0, 3}, code_case{0, 0xA0, 0, 1 + 4}, code_case{0, 0, 0x50, 2 + 8},
                             code_case{0x30, 0, 0, 12}, code_case{0, 0x20, 0x10, 12 + 8 + 4}})
    EXPECT_EQ(PencilCode(t.b, t.g, t.r), t.code) << int(t.b) << " " << int(t.g) << " " << int(t.r);
  // The sum counts with its low eight bits only: 0x80 + 0x80 + 0x40 = 0x140 -> 0x40.
  EXPECT_EQ(PencilCode(0x80, 0x00, 0xC0), 0);
  for (int still : {16, 20, 24}) EXPECT_TRUE(PencilStep(still).dx == 0 && PencilStep(still).dy == 0);
}

TEST(Pencil, RunsStopAtTheLimitTheEdgeAndTheTolerance) {
  // Flat 100 x 100 in a colour of code 0, step (3, 2): the longest run is 10000 / 500.
  std::vector<bgra> c = Flat(100, 100, {0, 0, 0, 0});
  EXPECT_EQ(WalkPencilRun(c.data(), 100, 100, 0, 0, 5, 20).steps, 20);
  EXPECT_EQ(WalkPencilRun(c.data(), 100, 100, 90, 0, 5, 20).steps, 3);  // x 93, 96, 99, then out
  // Row 2 in walk coordinates is image row 97: a channel 6 away stops level 1, 5 away does not.
  c[size_t(97) * 100 + 3] = {0, 6, 0, 0};
  EXPECT_EQ(WalkPencilRun(c.data(), 100, 100, 0, 0, 5, 20).steps, 0);
  c[size_t(97) * 100 + 3] = {5, 5, 5, 0};
  c[size_t(95) * 100 + 6] = {4, 0, 0, 0};
  const pencil_run run = WalkPencilRun(c.data(), 100, 100, 0, 0, 5, 20);
  EXPECT_EQ(run.steps, 20);
  EXPECT_EQ(run.blue, (5 + 4) / 20);
  // A start pixel of code 16 does not move: no run, no stroke.
  c[size_t(99) * 100 + 0] = {0x10, 0x20, 0x00, 0};
  ASSERT_EQ(PencilCode(0x10, 0x20, 0x00), 16);
  EXPECT_EQ(WalkPencilRun(c.data(), 100, 100, 0, 0, 50, 20).steps, 0);
}

TEST(Pencil, StrokesInTheBandColourSameForAnyThreadCount) {
  const int w = 300, h = 160;
  const bgra band{40, 90, 200, 0};  // code 0: runs climb (3, 2) until they leave the band
  std::vector<bgra> colours = Flat(w, h, {0, 0, 0, 0});
  for (int y = 60; y < 80; ++y) std::fill_n(&colours[size_t(y) * w], w, band);
  std::vector<std::vector<bgra>> results;
  for (int threads : {1, 8}) {
    SetRowThreads(threads);
    std::vector<bgra> out = Flat(w, h, {0, 0, 0, 77});
    ASSERT_TRUE(Pencil(out.data(), colours.data(), out.data(), w, h, 1));
    results.push_back(out);
  }
  SetRowThreads(0);
  ASSERT_TRUE(Same(results[0], results[1]));
  int cores = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const bgra p = results[0][size_t(y) * w + x];
      ASSERT_EQ(p.fourth, 255);
      // Black strokes over black stay black; band strokes mix the band colour with black.
      if (y < 60 - 6 || y >= 80 + 6) {
        ASSERT_TRUE(p.blue == 0 && p.green == 0 && p.red == 0) << x << "," << y;
      }
      ASSERT_TRUE(p.blue <= band.blue && p.green <= band.green && p.red <= band.red);
      cores += p.blue == band.blue && p.green == band.green && p.red == band.red;
    }
  EXPECT_GT(cores, 1000);
}

// Smooth shading with sharp patches: runs of every length and direction.
std::vector<bgra> Shaded(int w, int h, uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<bgra> p(size_t(w) * h);
  const double a = 0.01 + (rng() % 100) / 2000.0, b = 0.01 + (rng() % 100) / 3000.0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      p[size_t(y) * w + x] = {uint8_t(128 + 100 * std::sin(x * a + y * b)), uint8_t(128 + 90 * std::cos(y * a - x * b)),
                              uint8_t((x ^ y) & 0x40 ? 200 : 60 + rng() % 6), 0};
  return p;
}

// Every stroke drawn in order on one Cairo surface, none left out.
std::vector<bgra> PlainPencil(const std::vector<bgra>& colours, std::vector<bgra> out, int w, int h, int level) {
  for (bgra& p : out) p.fourth = 255;
  cairo_surface_t* surface = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(out.data()),
                                                                 CAIRO_FORMAT_ARGB32, w, h, w * 4);
  cairo_t* cr = cairo_create(surface);
  random_draws xs(2537, 0, w - 1), ys(1701, 0, h - 1);
  for (int i = 0; i < w * h; ++i) {
    const int x0 = xs.Next(), y0 = ys.Next();
    const pencil_run run = WalkPencilRun(colours.data(), w, h, x0, y0, level * 5, w * h / 500);
    if (run.steps == 0) continue;
    cairo_set_source_rgb(cr, run.red / 255.0, run.green / 255.0, run.blue / 255.0);
    cairo_set_line_width(cr, std::min(10.0, std::max(1.0, run.steps / 5.0)));
    cairo_move_to(cr, x0, h - 1 - y0);
    cairo_line_to(cr, x0 + run.steps * run.step.dx, h - 1 - (y0 + run.steps * run.step.dy));
    cairo_stroke(cr);
  }
  cairo_surface_flush(surface);
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
  return out;
}

// Tiles, and strokes left out because later ones cover them, change no pixel.
TEST(Pencil, SameAsEveryStrokeOnOneSurface) {
  struct trial {
    int w, h, level;
    uint32_t seed;
  };
  for (const trial& t : {trial{300, 200, 1, 1}, trial{300, 200, 5, 2}, trial{457, 331, 9, 3}, trial{200, 180, 10, 0}}) {
    const std::vector<bgra> colours = t.seed == 0 ? Flat(t.w, t.h, {90, 140, 200, 0}) : Shaded(t.w, t.h, t.seed);
    const std::vector<bgra> background = Shaded(t.w, t.h, t.seed + 7);
    std::vector<bgra> drawn = background;
    ASSERT_TRUE(Pencil(drawn.data(), colours.data(), drawn.data(), t.w, t.h, t.level));
    EXPECT_TRUE(Same(drawn, PlainPencil(colours, background, t.w, t.h, t.level))) << t.w << "x" << t.h;
  }
}

// Weird as it reads: 16 taps summed in order, rows then columns, then the sines.
std::vector<bgra> PlainWeird(std::vector<bgra> px, int w, int h, int amplitude, int frequency) {
  std::vector<bgra> rows(px.size()), smooth(px.size()), out(px.size());
  auto channel = [](bgra& p, int c) -> uint8_t& { return c == 0 ? p.blue : c == 1 ? p.green : p.red; };
  for (int r = 0; r < h; ++r)
    for (int x = 16; x < w; ++x)
      for (int c = 0; c < 3; ++c) {
        double sum = 0;
        for (int i = 0; i < 16; ++i) sum += weird_kernel[i] * channel(px[size_t(r) * w + x - 16 + i], c);
        channel(rows[size_t(r) * w + x - 8], c) = uint8_t(std::clamp(std::trunc(sum), 0.0, 255.0));
      }
  for (int x = 8; x < w - 8; ++x)
    for (int y = 16; y < h; ++y)
      for (int c = 0; c < 3; ++c) {
        double sum = 0;
        for (int i = 0; i < 16; ++i) sum += weird_kernel[i] * channel(rows[size_t(y - 16 + i) * w + x], c);
        channel(smooth[size_t(y - 8) * w + x], c) = uint8_t(std::clamp(std::trunc(sum), 0.0, 255.0));
      }
  const double f = frequency / 400.0;
  for (int y = 8; y < h - 8; ++y)
    for (int x = 8; x < w - 8; ++x) {
      const bgra q = smooth[size_t(y) * w + x];
      const int ty = y + int(std::trunc(std::sin((q.red + q.blue) * f) * amplitude));
      const int tx = x + int(std::trunc(std::sin(q.green * f) * amplitude));
      out[size_t(y) * w + x] = tx >= 0 && tx < w && ty >= 0 && ty < h ? px[size_t(ty) * w + tx] : bgra{};
    }
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      bgra& p = px[size_t(y) * w + x];
      const bool inner = y >= 8 && y < h - 8 && x >= 8 && x < w - 8;
      const bgra m = inner ? out[size_t(y) * w + x] : bgra{};
      p.blue = m.blue, p.green = m.green, p.red = m.red;
    }
  return px;
}

TEST(Weird, MatchesThePlainPassesWithABlackFrame) {
  std::mt19937 rng(2);
  const int w = 150, h = 90;
  std::vector<bgra> start(size_t(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      start[size_t(y) * w + x] = {uint8_t(x + rng() % 30), uint8_t(y * 2), uint8_t((x * y) / 40 + rng() % 9), 5};
  for (auto [amplitude, frequency] : {std::pair{10, 10}, std::pair{100, 1}, std::pair{1, 100}}) {
    std::vector<bgra> p = start;
    ASSERT_TRUE(Weird(p.data(), w, h, amplitude, frequency));
    EXPECT_TRUE(Same(p, PlainWeird(start, w, h, amplitude, frequency))) << amplitude << " " << frequency;
  }
}

// Lines of 4·(W − 16) bytes: groups of 32 and 16 and single bytes left over. Steep
// colour ramps and a displacement of up to 6 pixels that turns with every level
// make a smoothed byte that is one level off move its pixel elsewhere.
TEST(Weird, EveryLaneWidthMatchesThePlainPasses) {
  std::mt19937 rng(5);
  for (int w : {57, 28, 150}) {
    const int h = 40;
    std::vector<bgra> start(size_t(w) * h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        start[size_t(y) * w + x] = {uint8_t(x * 5 + rng() % 40), uint8_t(y * 6 + rng() % 40),
                                    uint8_t(x * y / 7 + rng() % 40), uint8_t(rng())};
    const std::vector<bgra> plain = PlainWeird(start, w, h, 6, 100);
    for (int bytes : {16, 32, 64}) {
      AllowWideLanes(bytes >= 32);
      AllowWidestLanes(bytes >= 64);
      std::vector<bgra> p = start;
      ASSERT_TRUE(Weird(p.data(), w, h, 6, 100));
      EXPECT_TRUE(Same(p, plain)) << w << " " << bytes;
    }
    AllowWideLanes(true);
    AllowWidestLanes(true);
  }
}

TEST(Weird, AFlatPictureShiftsAsOne) {
  // Smoothing keeps 100 (100 * 1.0006 truncates to 100), so every pixel moves by
  // (trunc(sin(200 * 0.025) * 10), trunc(sin(100 * 0.025) * 10)) = (-9, 5): a
  // marker one level off, too faint to change the smoothing, shows where.
  const int w = 80, h = 60;
  std::vector<bgra> p = Flat(w, h, {100, 100, 100, 0});
  p[size_t(40) * w + 40].fourth = 1;
  p[size_t(40) * w + 40].blue = 101;
  ASSERT_TRUE(Weird(p.data(), w, h, 10, 10));
  for (int y = 8; y < h - 8; ++y)
    for (int x = 8; x < w - 8; ++x) {
      const bgra q = p[size_t(y) * w + x];
      const bool outside = y - 9 < 0 || x + 5 >= w;
      const int blue = outside ? 0 : y == 49 && x == 35 ? 101 : 100;
      ASSERT_EQ(q.blue, blue) << x << "," << y;
    }
}

TEST(Weird, PixelsMovedOntoTheFirstColumnKeepItsColours) {
  // Green 166 smooths to 166 and moves every pixel by trunc(sin(166 * 0.025) * 10) =
  // -8 across; red and blue smooth to at most 2 and move nothing down. Column 8 thus
  // shows column 0, whose colours differ from row to row, faint enough in the
  // smoothing (weight 0.014) to change no move.
  const int w = 60, h = 40;
  std::vector<bgra> p = Flat(w, h, {0, 166, 0, 7});
  for (int y = 0; y < h; ++y) p[size_t(y) * w] = {uint8_t(60 + 2 * y), 200, 40, 9};
  ASSERT_TRUE(Weird(p.data(), w, h, 10, 10));
  for (int y = 8; y < h - 8; ++y) {
    const bgra first = p[size_t(y) * w + 8];
    EXPECT_EQ(std::tie(first.blue, first.green, first.red, first.fourth),
              std::make_tuple(uint8_t(60 + 2 * y), uint8_t(200), uint8_t(40), uint8_t(7)))
        << y;
    const bgra next = p[size_t(y) * w + 9];
    EXPECT_EQ(std::tie(next.blue, next.green, next.red), std::make_tuple(uint8_t(0), uint8_t(166), uint8_t(0))) << y;
  }
}

}  // namespace
