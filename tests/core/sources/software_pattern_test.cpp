#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <set>
#include <utility>
#include <vector>

#include "sources/software_pattern.h"

namespace {

constexpr int W = 1027, H = 771;  // no multiple of any tile

// The hit rule written out again from the pattern's description, pixel by pixel.
bool Expected(int shape, int p, int x, int y) {
  const int a = y % (p + 1), c = x % (p + 1);
  const int right = (W - x) % (p + 1), below = (H - y) % (p + 1);
  std::vector<int> d;
  if (shape == shape_diamonds) d = {c + a, a + right, c + below, below + right};
  if (shape == shape_circles)
    for (int u : {a, p - a})
      for (int v : {c, p - c}) d.push_back(int(std::floor(std::sqrt(double(u) * u + double(v) * v))));
  if (shape == shape_squares) d = {c, a};
  for (int v : d)
    if (v > (p + 1) / 4 && v < (p + 1) / 2) return true;
  return false;
}

pattern_choice Choice(int shape, int size) {
  pattern_choice choice;
  choice.shape = shape, choice.size_index = size;
  choice.colour[0] = 10, choice.colour[1] = 20, choice.colour[2] = 30;
  choice.base[0] = 1, choice.base[1] = 2, choice.base[2] = 3;
  return choice;
}

TEST(SoftwarePattern, TilePassMatchesTheRuleAtEverySizeAndShape) {
  for (int shape : {shape_diamonds, shape_circles, shape_squares}) {
    for (int size = 0; size < 4; ++size) {
      image_record record;
      ASSERT_TRUE(GenerateSoftwarePattern(Choice(shape, size), W, H, record));
      ASSERT_EQ(record.Width(), W);
      const uint8_t* pixels = record.Pixels();
      const int p = (8 << size) - 1;
      int wrong = 0;
      for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
          const size_t i = size_t(y) * W + x;
          const bool hit = Expected(shape, p, x, y);
          const uint8_t want[4] = {uint8_t(hit ? 10 : 0), uint8_t(hit ? 20 : 0), uint8_t(hit ? 30 : 0),
                                   uint8_t(hit ? 255 : 0)};
          wrong += std::memcmp(pixels + 4 * i, want, 4) != 0 || record.mask[i] != hit;
        }
      EXPECT_EQ(wrong, 0) << shape << " size " << size;
    }
  }
}

TEST(SoftwarePattern, BlankNullAndJigglesFillTheirPixels) {
  image_record blank, null_source;
  ASSERT_TRUE(GenerateSoftwarePattern(Choice(shape_blank, 2), 40, 33, blank));
  ASSERT_TRUE(GenerateSoftwarePattern(Choice(shape_null, 2), 40, 33, null_source));
  for (int i = 0; i < 40 * 33; ++i) {
    const uint8_t* b = blank.Pixels() + 4 * i;
    ASSERT_TRUE(b[0] == 1 && b[1] == 2 && b[2] == 3 && b[3] == 255 && blank.mask[i] == 1) << i;
    const uint8_t* n = null_source.Pixels() + 4 * i;
    ASSERT_TRUE(n[0] == 0 && n[1] == 0 && n[2] == 0 && n[3] == 0 && null_source.mask[i] == 0) << i;
  }

  // Jiggles: exactly the visited pixels take the colour, twice the same.
  std::set<std::pair<int, int>> visited;
  WalkJiggles(W, H, 1, [&](int x, int y) { visited.insert({x, y}); });
  image_record first, second;
  ASSERT_TRUE(GenerateSoftwarePattern(Choice(shape_jiggles, 1), W, H, first));
  ASSERT_TRUE(GenerateSoftwarePattern(Choice(shape_jiggles, 1), W, H, second));
  EXPECT_EQ(std::memcmp(first.bitmap, second.bitmap, size_t(W) * H * 4 + 40), 0);
  size_t covered = 0;
  for (int i = 0; i < W * H; ++i) covered += first.mask[i];
  EXPECT_EQ(covered, visited.size());
  EXPECT_GT(covered, 1000u);
  for (auto [x, y] : visited) {
    const uint8_t* p = first.Pixels() + 4 * (size_t(y) * W + x);
    ASSERT_TRUE(p[0] == 10 && p[1] == 20 && p[2] == 30 && p[3] == 255);
  }
}

TEST(SoftwarePattern, JiggleWalksCountAndDrawByTheFixedRule) {
  EXPECT_EQ(WalkJiggles(1024, 768, 0, [](int, int) {}), 768);
  EXPECT_EQ(WalkJiggles(1024, 768, 3, [](int, int) {}), 12288);
  EXPECT_EQ(WalkJiggles(31, 768, 3, [](int, int) {}), 0);

  // The first walk starts where the raw engine outputs put it: 1024 takes every
  // output modulo; 768 would pass over the top 256 outputs, which these are not.
  std::mt19937 x_engine(2537), y_engine(1701);
  const uint32_t raw_x = x_engine(), raw_y = y_engine();
  ASSERT_LT(raw_y, 4294967040u);
  std::mt19937 d_engine(1709);
  static constexpr int dx[8] = {-1, 0, 1, -1, 1, -1, 0, 1}, dy[8] = {-1, -1, -1, 0, 0, 1, 1, 1};
  int x = int(raw_x % 1024), y = int(raw_y % 768);
  std::vector<std::pair<int, int>> expected;
  for (int step = 0; step < 8; ++step) {
    const int d = int(d_engine() % 256) % 8;
    x += dx[d], y += dy[d];
    if (x < 0 || x >= 1024 || y < 0 || y >= 768) break;
    expected.push_back({x, y});
  }
  std::vector<std::pair<int, int>> seen;
  WalkJiggles(1024, 768, 0, [&](int px, int py) {
    if (seen.size() < expected.size()) seen.push_back({px, py});
  });
  EXPECT_EQ(seen, expected);
}

TEST(SoftwarePattern, PreviewMirrorsDiamondsInsideTheTileAndShowsBaseForBlankAndNull) {
  const int w = 150, h = 150;
  const uint32_t base = 0x030201, colour = 0x1E140A;
  // The preview's own phase at its own size; the tile rule with w and h of the preview.
  const std::vector<uint32_t> diamonds = RenderPatternPreview(Choice(shape_diamonds, 1), w, h);
  int wrong = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const bool hit = TileHit(shape_diamonds, 15, x, y, w, h, diamond_phase::inside_tile);
      const int a = y & 15, c = x & 15;
      const bool independent = [&] {
        for (int d : {c + a, a + 15 - c, c + 15 - a, 30 - a - c})
          if (d > 4 && d < 8) return true;
        return false;
      }();
      wrong += hit != independent || diamonds[size_t(y) * w + x] != (hit ? colour : base);
    }
  EXPECT_EQ(wrong, 0);
  for (int shape : {shape_blank, shape_null})
    EXPECT_EQ(RenderPatternPreview(Choice(shape, 0), w, h), std::vector<uint32_t>(size_t(w) * h, base));
}

}  // namespace
