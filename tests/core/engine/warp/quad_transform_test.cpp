#include "engine/warp/quad_transform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <tuple>
#include <vector>

#include "engine/base/process_state.h"
#include "engine/base/row_parallel.h"
#include "engine/base/wide_lanes.h"

namespace {

using corners = std::array<int, 8>;  // TL, TR, BL, BR as (x, y)

struct roots {
  bool real;
  double r1, r2;
};

// One equation of the warp, formed and solved as written, pixel by pixel.
struct equations {
  float a, b, c, a2, b2, c2;
};

equations At(const corners& q, int x, int y) {
  const float tlx = float(q[0]), tly = float(q[1]), trx = float(q[2]), try_ = float(q[3]);
  const float blx = float(q[4]), bly = float(q[5]), brx = float(q[6]), bry = float(q[7]);
  const float e1x = trx - tlx, e1y = try_ - tly, e2x = blx - tlx, e2y = bly - tly;
  const float px = float(x - q[0]), py = float(y - q[1]);
  return {e1y * (brx - blx) - e1x * (bry - bly),
          px * (bry - bly) - px * e1y - e2y * e1x - py * (brx - blx) + py * e1x + e2x * e1y,
          e2y * px - e2x * py,
          e2y * (brx - trx) - e2x * (bry - try_),
          px * (bry - try_) - e2y * px - e2x * e1y - py * (brx - trx) + e2x * py + e2y * e1x,
          px * e1y - py * e1x};
}

roots Solve(float a, float b, float c) {
  const double ad = a, bd = b, cd = c;
  if (4.0 * ad * cd > bd * bd) return {false, 0, 0};
  const double d = std::sqrt(bd * bd - 4.0 * ad * cd);
  return {true, (d - bd) / (2.0 * ad), (-bd - d) / (2.0 * ad)};
}

// The positions W·u and H·v of one root choice, products before the division.
bool Position(float a, float b, float c, int size, int pick, double& out) {
  const double ad = a, bd = b, cd = c;
  if (a == 0.0f) {
    out = b == 0.0f ? NAN : (-cd * size) / bd;
    return pick == 0;
  }
  if (4.0 * ad * cd > bd * bd) return false;
  const double d = std::sqrt(bd * bd - 4.0 * ad * cd);
  out = ((pick == 0 ? -bd - d : d - bd) * size) / (2.0 * ad);
  return true;
}

bool MapsBack(const corners& q, int W, int H, int x, int y, double X, double Y) {
  const double u = X / W, v = Y / H;
  const double qx = (1 - u) * (1 - v) * q[0] + u * (1 - v) * q[2] + (1 - u) * v * q[4] + u * v * q[6];
  const double qy = (1 - u) * (1 - v) * q[1] + u * (1 - v) * q[3] + (1 - u) * v * q[5] + u * v * q[7];
  return std::fabs(qx - x) <= 0.5 && std::fabs(qy - y) <= 0.5;
}

// The whole warp, slowly. With other_roots a pair must map back onto its pixel and
// the other roots are tried; without, the first pair is taken as it is.
void PlainWarp(const corners& q, int W, int H, bool other_roots) {
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      bgra& out = target_pixels[y * W + x];
      out.blue = base_color.blue, out.green = base_color.green, out.red = base_color.red;
      const equations e = At(q, x, y);
      const roots rv = Solve(e.a2, e.b2, e.c2);
      const int first_v = e.a2 == 0.0f || (rv.r1 >= -5.0 && rv.r1 <= 5.0) ? 1 : 0;
      double X = NAN, Y = NAN;
      bool found = false;
      for (int k = 0; k < (other_roots ? 4 : 1) && !found; ++k) {
        const int pick_v = k >> 1 ? 1 - first_v : first_v;
        if (!Position(e.a, e.b, e.c, W, k & 1, X) | !Position(e.a2, e.b2, e.c2, H, e.a2 == 0.0f ? 0 : pick_v, Y))
          continue;
        found = X > -1 && X < W && Y > -1 && Y < H && (!other_roots || MapsBack(q, W, H, x, y, X, Y));
      }
      if (!found) continue;
      const int col = int(X), row = int(Y);
      const int fx = int(X * 256) - col * 256, fy = int(Y * 256) - row * 256;
      const bgra p = target_work[row * W + col];
      const bgra r = col + 1 == W ? p : target_work[row * W + col + 1];
      const bgra d = row + 1 == H ? p : target_work[(row + 1) * W + col];
      const bgra g = target_work[std::min(row + 1, H - 1) * W + std::min(col + 1, W - 1)];
      auto channel = [&](uint8_t bgra::*m) {
        const int v = (p.*m * (256 - fx) * (256 - fy) + r.*m * fx * (256 - fy) + d.*m * (256 - fx) * fy +
                       g.*m * fx * fy) >> 16;
        return uint8_t(std::clamp(v, 0, 255));
      };
      out.blue = channel(&bgra::blue), out.green = channel(&bgra::green), out.red = channel(&bgra::red);
    }
}

class QuadWarp : public ::testing::Test {
 protected:
  void TearDown() override {
    SetRowThreads(0);
    Lanes(64);
    base_color = {};
  }
  // The widest vector lanes the warp may use, in bytes: 16 keeps it to the plain path.
  static void Lanes(int bytes) {
    AllowWideLanes(bytes >= 32);
    AllowWidestLanes(bytes >= 64);
  }
  void Image(int W, int H, uint32_t seed) {
    target_width = W, target_height = H;
    std::mt19937 rng(seed);
    for (int i = 0; i < W * H; ++i) {
      const uint32_t v = rng();
      target_work[i] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
      target_pixels[i] = {1, 2, 3, uint8_t(i)};
    }
  }
  std::vector<bgra> Warp(const corners& q) {
    std::copy(q.begin(), q.end(), quad_corners);
    ApplyQuadTransform();
    return {target_pixels, target_pixels + target_width * target_height};
  }
  std::vector<bgra> Plain(const corners& q, bool other_roots = true) {
    PlainWarp(q, target_width, target_height, other_roots);
    return {target_pixels, target_pixels + target_width * target_height};
  }
  static bool Same(const std::vector<bgra>& a, const std::vector<bgra>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(bgra)) == 0;
  }
};

TEST_F(QuadWarp, StartingCornersGiveTheImageByteForByte) {
  for (auto [W, H] : {std::pair{1024, 768}, {33, 1536}, {2048, 32}, {977, 613}}) {
    Image(W, H, uint32_t(W));
    const corners identity{0, 0, W, 0, 0, H, W, H};
    const std::vector<bgra> warped = Warp(identity);
    for (int i = 0; i < W * H; ++i) {
      ASSERT_EQ(warped[i].blue, target_work[i].blue) << W << " " << i;
      ASSERT_EQ(warped[i].red, target_work[i].red) << W << " " << i;
      ASSERT_EQ(warped[i].fourth, uint8_t(i)) << "the fourth byte is never written";
    }
    EXPECT_TRUE(Same(Plain(identity), warped)) << W << "x" << H << ": the per-pixel roots agree";
  }
}

TEST_F(QuadWarp, HalfSizeRectangleShowsEveryOtherPixelInsideABaseColourFrame) {
  Image(64, 48, 7);
  base_color = {9, 8, 7};
  const std::vector<bgra> warped = Warp({16, 12, 48, 12, 16, 36, 48, 36});
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) {
      const bgra got = warped[y * 64 + x];
      const bool inside = x >= 16 && x < 48 && y >= 12 && y < 36;
      const bgra want = inside ? target_work[(2 * (y - 12)) * 64 + 2 * (x - 16)] : bgra{7, 8, 9, 0};
      ASSERT_EQ(std::tie(got.blue, got.green, got.red), std::tie(want.blue, want.green, want.red))
          << x << "," << y;
    }
}

// Slanted sides make the vertical equation quadratic (first root right); narrowing
// or widening one side makes the horizontal one quadratic (second root right).
TEST_F(QuadWarp, TrapezoidsTakeTheRootsThatLieOnTheQuadrilateral) {
  const corners narrow_top{10, 0, 90, 0, 0, 100, 100, 100};
  Image(100, 100, 3);
  for (const corners& q : {narrow_top, corners{0, 10, 100, 0, 0, 90, 100, 100}, corners{0, 0, 100, 10, 0, 100, 100, 90}}) {
    Lanes(16);
    const std::vector<bgra> plain_lanes = Warp(q);
    Lanes(32);
    const std::vector<bgra> wide_lanes = Warp(q);
    Lanes(64);
    const std::vector<bgra> warped = Warp(q);
    const bgra centre = warped[50 * 100 + 50], source = target_work[50 * 100 + 50];
    EXPECT_EQ(std::tie(centre.blue, centre.green, centre.red), std::tie(source.blue, source.green, source.red));
    EXPECT_TRUE(Same(Plain(q, false), warped)) << "upright: the first roots as they are";
    EXPECT_TRUE(Same(plain_lanes, warped));
    EXPECT_TRUE(Same(wide_lanes, warped));
  }
}

TEST_F(QuadWarp, UprightConvexQuadrilateralsGiveTheFirstRootsResultExactly) {
  std::mt19937 rng(11);
  Image(160, 120, 5);
  base_color = {1, 2, 3};
  int tried = 0;
  while (tried < 60) {
    auto r = [&](int m) { return int(rng() % uint32_t(m + 1)); };
    corners q{r(70), r(50), 90 + r(70), r(50), r(70), 70 + r(50), 90 + r(70), 70 + r(50)};
    if (tried % 3 == 0) q = {0, 0, 160, r(2), r(1), 120, 160, 120 - r(2)};  // nearly the image
    ++tried;
    ASSERT_TRUE(Same(Warp(q), Plain(q, false))) << q[0] << "," << q[1] << " " << q[2] << "," << q[3] << " "
                                                << q[4] << "," << q[5] << " " << q[6] << "," << q[7];
  }
}

TEST_F(QuadWarp, MirroredAndTurnedQuadrilateralsSampleFromTheirOwnPixels) {
  Image(120, 90, 9);
  base_color = {255, 0, 255};
  // TL and TR swapped, three times (the last with a vertical first root of exactly 5,
  // off the quadrilateral at its centre); turned by half a turn; turned by a quarter.
  for (const corners& q : {corners{90, 0, 10, 0, 100, 90, 0, 90}, corners{100, 0, 0, 0, 90, 90, 10, 90},
                           corners{100, 0, 0, 0, 90, 100, 10, 100},
                           corners{110, 80, 10, 85, 100, 5, 15, 10}, corners{5, 80, 10, 10, 100, 85, 110, 5}}) {
    const std::vector<bgra> warped = Warp(q);
    EXPECT_TRUE(Same(warped, Plain(q)));
    Lanes(32);
    EXPECT_TRUE(Same(Warp(q), warped));
    Lanes(64);
    // The centre lies well inside each of them.
    const bgra centre = warped[45 * 120 + 58];
    EXPECT_FALSE(centre.red == 255 && centre.green == 0 && centre.blue == 255);
    int covered = 0;
    for (const bgra& p : warped) covered += !(p.red == 255 && p.green == 0 && p.blue == 255);
    EXPECT_GT(covered, 120 * 90 / 2);
  }
}

TEST_F(QuadWarp, DegenerateCrossedAndFarCornersStayDefined) {
  const corners cases[] = {
      {50, 40, 50, 40, 50, 40, 50, 40},     // one point
      {0, 0, 50, 40, 100, 80, 120, 96},     // collinear
      {0, 0, 120, 0, 120, 90, 0, 90},       // bottom corners swapped: crossed sides
      {0, 0, 120, 90, 0, 90, 120, 0},       // crossed diagonals
      {-5000, -3000, 7000, 2, -3, 6000, 9000, 9000},
      {0, 0, 1, 0, 0, 90, 120, 90},         // one side shrunk to a pixel
  };
  for (auto [W, H] : {std::pair{120, 90}, {32, 1536}, {2048, 32}}) {
    Image(W, H, 13);
    for (const corners& q : cases) {
      const std::vector<bgra> plain = Plain(q);
      for (int bytes : {16, 32, 64}) {
        Lanes(bytes);
        EXPECT_TRUE(Same(Warp(q), plain)) << W << " " << q[0] << "," << q[2] << " " << bytes;
      }
    }
  }
}

TEST_F(QuadWarp, ParametersJustBelowZeroClampTheirNegativeFractions) {
  // The top-left corner one pixel in and the right side far beyond the image: column
  // 0 samples at about -0.5 and mixes in its right neighbour with a negative weight.
  Image(64, 32, 1);
  for (int y = 0; y < 32; ++y) {
    target_work[y * 64] = {255, 0, 255, 0};
    target_work[y * 64 + 1] = {0, 255, 255, 0};
  }
  const std::vector<bgra> warped = Warp({1, 0, 127, 0, 1, 32, 127, 32});
  const bgra left = warped[5 * 64];
  EXPECT_EQ(left.blue, 255);  // above 255 before the clamp
  EXPECT_EQ(left.green, 0);   // below 0 before the clamp
  EXPECT_EQ(left.red, 255);
  EXPECT_TRUE(Same(warped, Plain({1, 0, 127, 0, 1, 32, 127, 32})));
}

// Corners anywhere around the target: sides crossing its edges, rows that miss the
// quadrilateral or graze it, quadrilaterals mirrored or crossed, widths that leave
// columns over after the groups of eight.
TEST_F(QuadWarp, RandomCornersAroundTheTargetMatchThePlainWarpAtEveryLaneWidth) {
  std::mt19937 rng(23);
  for (auto [W, H] : {std::pair{157, 93}, {64, 48}, {203, 121}}) {
    Image(W, H, uint32_t(W * H));
    base_color = {11, 22, 33};
    for (int n = 0; n < 25; ++n) {
      auto around = [&](int size) { return int(rng() % uint32_t(2 * size)) - size / 2; };
      const corners q{around(W), around(H), around(W), around(H), around(W), around(H), around(W), around(H)};
      const std::vector<bgra> plain = Plain(q);
      for (int bytes : {16, 32, 64}) {
        Lanes(bytes);
        const std::vector<bgra> warped = Warp(q);
        ASSERT_TRUE(Same(warped, plain)) << W << "x" << H << " " << bytes << ": " << q[0] << "," << q[1] << " "
                                         << q[2] << "," << q[3] << " " << q[4] << "," << q[5] << " " << q[6] << ","
                                         << q[7];
        // The plain warp keeps whatever fourth bytes it finds; these are still Image's.
        for (int i = 0; i < W * H; ++i) ASSERT_EQ(warped[i].fourth, uint8_t(i)) << bytes << " " << i;
      }
    }
  }
}

// A warp with the corners of the one before samples from that one's solutions: it
// must take the image and base colour of its own time, and any change of corners or
// size must solve afresh. Widths leave groups of fewer than eight at the row ends.
TEST_F(QuadWarp, RepeatedWarpsFollowTheirOwnImageBaseColourCornersAndSize) {
  const corners q{-20, 5, 140, -9, 3, 97, 150, 80};  // sides crossing the target's edges
  for (int bytes : {16, 32, 64}) {
    Lanes(bytes);
    Image(157, 93, 1);
    base_color = {11, 22, 33};
    SetRowThreads(1);
    Warp(q);
    Warp({0, 0, 157, 0, 0, 93, 157, 93});  // the starting corners between: copied, nothing solved
    Image(157, 93, 2);
    base_color = {44, 55, 66};
    SetRowThreads(0);  // the rows shared out otherwise
    std::vector<bgra> warped = Warp(q);
    EXPECT_TRUE(Same(warped, Plain(q))) << bytes << ": a new image and base colour";
    for (int i = 0; i < 157 * 93; ++i) ASSERT_EQ(warped[i].fourth, uint8_t(i)) << bytes << " " << i;
    corners moved = q;
    moved[6] += 1;
    EXPECT_TRUE(Same(Warp(moved), Plain(moved))) << bytes << ": one corner a pixel further";
    Image(155, 93, 3);
    EXPECT_TRUE(Same(Warp(moved), Plain(moved))) << bytes << ": two columns fewer";
    Image(155, 94, 4);
    EXPECT_TRUE(Same(Warp(moved), Plain(moved))) << bytes << ": a row more";
  }
}

// The kept solutions belong to all eight coordinates: a warp right after another
// whose corners differ in one coordinate alone, by one pixel, solves afresh.
TEST_F(QuadWarp, EachCornerCoordinateAloneMakesTheWarpSolveAfresh) {
  const corners q{-20, 5, 140, -9, 3, 97, 150, 80};
  Image(157, 93, 6);
  base_color = {11, 22, 33};
  for (int bytes : {16, 32, 64}) {
    Lanes(bytes);
    for (int i = 0; i < 8; ++i) {
      const std::vector<bgra> before = Warp(q);
      corners moved = q;
      moved[i] += 1;
      const std::vector<bgra> warped = Warp(moved);
      EXPECT_FALSE(Same(warped, before)) << bytes << ": coordinate " << i;
      EXPECT_TRUE(Same(warped, Plain(moved))) << bytes << ": coordinate " << i;
    }
  }
}

TEST_F(QuadWarp, ParallelAndVectorWarpsMatchThePlainOneOnAFullTarget) {
  Image(2048, 1536, 17);
  for (const corners& q : {corners{100, 50, 1900, 200, 40, 1400, 2000, 1500},
                           corners{1900, 300, 200, 20, 2040, 1500, 10, 1300}}) {
    SetRowThreads(1);
    Lanes(16);
    const std::vector<bgra> alone = Warp(q);
    SetRowThreads(0);
    for (int bytes : {32, 64}) {
      Lanes(bytes);
      EXPECT_TRUE(Same(Warp(q), alone)) << bytes;
    }
    EXPECT_TRUE(Same(Plain(q), alone));
  }
}

}  // namespace
