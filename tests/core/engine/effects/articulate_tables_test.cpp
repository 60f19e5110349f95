// The fixed tables and small formulas of the articulate effects, each value written
// out by hand. The effects' whole-picture tests compare against plain passes that
// share these tables, so a wrong entry would pass there.
#include <gtest/gtest.h>

#include <vector>

#include "engine/effects/articulate_effects.h"
#include "engine/base/process_state.h"

namespace {

using namespace articulate_detail;

TEST(ArticulateTables, PencilStepsForEveryCode) {
  const offset steps[28] = {{3, 2},  {1, 2},  {2, 2},  {2, 1},   {2, 3},   {2, -1},  {2, -2},
                            {1, -2}, {3, -2}, {-1, -2}, {-2, -2}, {-2, -1}, {-2, 3},  {-2, 1},
                            {-2, 2}, {-1, 2}, {0, 0},  {1, 0},   {0, 1},   {1, 1},   {0, 0},
                            {1, 0},  {0, 1},  {1, 1},  {0, 0},   {1, 0},   {0, 1},   {1, 1}};
  for (int code = 0; code < 28; ++code) {
    EXPECT_EQ(PencilStep(code).dx, steps[code].dx) << code;
    EXPECT_EQ(PencilStep(code).dy, steps[code].dy) << code;
  }
}

TEST(ArticulateTables, PencilCodesFromEachFieldAndTheirOrder) {
  struct code_case {
    uint8_t b, g, r;
    int code;
  };
  const code_case cases[] = {
      {0x40, 0x80, 0x00, 3},       // the sum's field overrides green's 1
      {0x80, 0x00, 0x40, 3},       // and red's 2
      {0x00, 0xBF, 0x00, 1 + 12},  // green 0xBF: 0x80 above, 0x30 below (0x30 is not 0x20)
      {0x00, 0x60, 0x00, 4},       // green 0x60: only its 0x30 field
      {0x00, 0x10, 0x00, 0},       // green 0x10 is not 0x20
      {0x00, 0x00, 0x10, 8},       // red 0x10
      {0x00, 0x00, 0x20, 0},       // red 0x20 is not 0x10
      {0x00, 0x00, 0x7F, 2 + 12},  // red 0x7F: 0x40 above, 0x30 below (not 0x10)
      {0xC0, 0x20, 0x10, 27},      // every field at once: sum 0xF0
      {0x30, 0x00, 0x00, 12},
      {0x00, 0x00, 0x00, 0},
      {0xFF, 0xFF, 0xFF, 15},  // sum 0x2FD counts as 0xFD: 3 + 12
  };
  for (const code_case& t : cases)
    EXPECT_EQ(PencilCode(t.b, t.g, t.r), t.code) << int(t.b) << " " << int(t.g) << " " << int(t.r);
}

// A run on a flat picture goes its code's step at a time until the next step would
// leave the picture.
TEST(ArticulateTables, PencilRunsFollowTheirStep) {
  const int w = 40, h = 40;
  struct run_case {
    bgra colour;
    int x0, y0;
    offset step;
    int steps;
  };
  const run_case cases[] = {
      {{0x40, 0x80, 0x00, 0}, 1, 1, {2, 1}, 19},     // code 3: x 3, 5, .. 39
      {{0x00, 0x80, 0x10, 0}, 30, 39, {-1, -2}, 19},  // code 9: y 37, 35, .. 1
      {{0x30, 0x00, 0x00, 0}, 39, 0, {-2, 3}, 13},    // code 12: y 3, 6, .. 39
      {{0x30, 0x80, 0x00, 0}, 39, 0, {-2, 1}, 19},    // code 13: x 37, 35, .. 1
      {{0xD0, 0x20, 0x00, 0}, 0, 5, {1, 1}, 34},      // code 19: to (34, 39)
  };
  for (const run_case& t : cases) {
    const std::vector<bgra> flat(size_t(w) * h, t.colour);
    const pencil_run run = WalkPencilRun(flat.data(), w, h, t.x0, t.y0, 5, 1000);
    EXPECT_EQ(run.step.dx, t.step.dx) << t.x0 << "," << t.y0;
    EXPECT_EQ(run.step.dy, t.step.dy) << t.x0 << "," << t.y0;
    EXPECT_EQ(run.steps, t.steps) << t.x0 << "," << t.y0;
    EXPECT_EQ(run.blue, t.colour.blue);
  }
}

// On 100 x 50 no stroke is longer than 5000 / 500 = 10 steps, so none is wider than
// 10 / 5 = 2 pixels: a line along one row paints that row and the one above it, and
// the rows beyond stay as the background was.
TEST(ArticulateTables, PencilStrokesStopAtAFiveHundredthOfThePicture) {
  const int w = 100, h = 50;
  const bgra still{0x10, 0x20, 0x00, 0};   // code 16: no stroke
  const bgra right{0x10, 0xA0, 0x00, 0};   // code 17: one step right
  std::vector<bgra> colours(size_t(w) * h, still);
  const int row = 24;  // walk row 25
  std::fill_n(&colours[size_t(row) * w], 60, right);
  std::vector<bgra> out(size_t(w) * h, bgra{0, 0, 0, 0});
  ASSERT_TRUE(Pencil(out.data(), colours.data(), out.data(), w, h, 5));
  for (int x = 0; x < w; ++x) {
    for (int y : {row - 2, row + 1}) {
      const bgra p = out[size_t(y) * w + x];
      ASSERT_TRUE(p.blue == 0 && p.green == 0 && p.red == 0) << x << "," << y;
    }
  }
  const bgra mid = out[size_t(row) * w + 20];
  EXPECT_TRUE(mid.blue == 0x10 && mid.green == 0xA0 && mid.red == 0);
}

TEST(ArticulateTables, WeirdKernelWeights) {
  const double weights[16] = {0.014, 0.028, 0.042, 0.056, 0.069, 0.0833, 0.097, 0.111,
                              0.111, 0.097, 0.0833, 0.069, 0.056, 0.042, 0.028, 0.014};
  for (int i = 0; i < 16; ++i) EXPECT_EQ(weird_kernel[i], weights[i]) << i;
}

// The spiral's first two rings, probe by probe: one right, 2k + 1 down, 2k + 2
// left, up and right (rows grow downwards).
TEST(ArticulateTables, BubbleSpiralFirstRings) {
  const offset probes[24] = {{1, 0},   {1, 1},   {0, 1},  {-1, 1},  {-1, 0},  {-1, -1}, {0, -1}, {1, -1},
                             {2, -1},  {2, 0},   {2, 1},  {2, 2},   {1, 2},   {0, 2},   {-1, 2}, {-2, 2},
                             {-2, 1},  {-2, 0},  {-2, -1}, {-2, -2}, {-1, -2}, {0, -2},  {1, -2}, {2, -2}};
  for (int i = 0; i < 24; ++i) {
    EXPECT_EQ(SpiralStep(i).dx, probes[i].dx) << i;
    EXPECT_EQ(SpiralStep(i).dy, probes[i].dy) << i;
  }
  EXPECT_EQ(SpiralStep(24).dx, 3);  // ring 2 starts one step right of ring 1's end
  EXPECT_EQ(SpiralStep(24).dy, -2);
}

// Half the rings and one more; walks of 255 rings or more paint nothing.
TEST(ArticulateTables, BubbleDiscRadius) {
  const int rings[] = {0, 1, 2, 3, 9, 253, 254, 255, 100000, -1};
  const int radius[] = {0, 1, 2, 2, 5, 127, 128, 0, 0, 0};
  for (size_t i = 0; i < std::size(rings); ++i) EXPECT_EQ(DiscRadius(rings[i]), radius[i]) << rings[i];
}

// c * (s + 128) / 128 - s, truncated and clamped.
TEST(ArticulateTables, BubbleShading) {
  struct shade_case {
    int c, s, v;
  };
  for (const shade_case& t : {shade_case{200, 127, 255},  // 398.4 - 127 = 271.4
                              shade_case{100, 127, 72},   // 199.2 - 127
                              shade_case{128, 50, 128},   // mid-grey stays
                              shade_case{10, 127, 0},     // 19.9 - 127
                              shade_case{200, 10, 205},   // 215.6 - 10
                              shade_case{129, 1, 129},    // 130.0 - 1
                              shade_case{127, 1, 126},    // 127.99 - 1 truncates
                              shade_case{77, 0, 77}})
    EXPECT_EQ(ShadeChannel(t.c, t.s), t.v) << t.c << " " << t.s;
}

}  // namespace
