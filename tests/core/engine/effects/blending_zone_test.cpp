#include "engine/effects/blending_zone.h"

#include <cmath>
#include <vector>

#include "tests/core/engine/view_fixture.h"

namespace {

class BlendingZone : public ViewFixture {
 protected:
  void SetUp() override {
    ViewFixture::SetUp();
    SetTarget(64, 48);
    target_width = 64, target_height = 48;
    view->display_scale = 1.0f;
    view->zone_rectangular = true;
    view->zone_fade = false;
  }
  void Box(int x0, int y0, int x1, int y1) {
    const int box[4] = {x0, y0, x1, y1};
    std::copy(box, box + 4, view->zone_box);
  }
  // The box in target pixels (column, row) at display scale 1.
  void TargetBox(int c0, int r0, int c1, int r1) {
    Box(view->target_rect.left + c0, view->target_rect.top + r0, view->target_rect.left + c1,
        view->target_rect.top + r1);
  }
  std::vector<bgra> Target() const {
    return {target_pixels, target_pixels + size_t(target_width) * target_height};
  }
};

// Index of the first pixel that differs, -1 when none does.
long FirstDifference(const std::vector<bgra>& a, const std::vector<bgra>& b) {
  if (a.size() != b.size()) return 0;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::memcmp(&a[i], &b[i], 4) != 0) return long(i);
  return -1;
}

// The step as written, one pixel at a time over the unclipped zone, skipping what
// falls outside the target.
std::vector<bgra> PlainZone(const CvorbelViewCore& v, const std::vector<bgra>& current,
                            const std::vector<bgra>& copy, int level) {
  std::vector<bgra> out = current;
  const int* b = v.zone_box;
  const int xmin = std::min(b[0], b[2]), xmax = std::max(b[0], b[2]);
  const int ymin = std::min(b[1], b[3]), ymax = std::max(b[1], b[3]);
  const float s = v.display_scale;
  const int w = int(float(xmax - xmin) / s), h = int(float(ymax - ymin) / s);
  const int left = int(float(xmin - v.target_rect.left) / s), top = int(float(ymin - v.target_rect.top) / s);
  const source_layer& layer = v.layers[level > 0 ? 0 : 1];
  const int k = std::abs(level), cx = (w + 2 * left) >> 1, cy = (h + 2 * top) >> 1;
  const double ratio = double(ymax - ymin) / (xmax - xmin);
  for (int r = top; r < top + h; ++r)
    for (int c = left; c < left + w; ++c) {
      if (r < 0 || c < 0 || r >= target_height || c >= target_width) continue;
      double base = 0.5;
      if (!v.zone_rectangular) {
        const double d = std::sqrt(((c - cx) * ratio) * ((c - cx) * ratio) + double(r - cy) * (r - cy));
        const double t = h - 2 * d;
        if (t < 0) continue;
        base = v.zone_fade ? (t / h) * (t / h) : 1.0;
      }
      const double weight = base * k;
      const bgra old = copy[size_t(r) * target_width + c];
      bgra& o = out[size_t(r) * target_width + c];
      uint8_t* ch[3] = {&o.blue, &o.green, &o.red};
      const uint8_t olds[3] = {old.blue, old.green, old.red};
      for (int i = 0; i < 3; ++i) {
        int value = olds[i];
        if (layer.Mask(r, c) == 1) {
          const int src = layer.Pixel(r, c)[i];
          value = weight < 8.0 ? olds[i] + (int(std::trunc((src - olds[i]) * weight)) >> 3) : src;
        }
        *ch[i] = uint8_t(std::clamp(value, 0, 255));
      }
    }
  return out;
}

TEST_F(BlendingZone, RefusesZonesUnderTenTargetPixelsAtEveryScale) {
  FillTarget(target_pixels, {1, 2, 3, 0});
  struct size_case {
    float scale;
    int logical;
    bool accepted;
  };
  for (const size_case& t : {size_case{1.0f, 9, false}, size_case{1.0f, 10, true}, size_case{0.5f, 4, false},
                             size_case{0.5f, 5, true}, size_case{2.0f, 19, false}, size_case{2.0f, 20, true}}) {
    view->display_scale = t.scale;
    view->zone_level = 0;
    for (bool narrow : {true, false}) {
      const int x = view->target_rect.left, y = view->target_rect.top;
      Box(x, y, x + (narrow ? t.logical : 30), y + (narrow ? 30 : t.logical));
      EXPECT_EQ(view->ApplyBlendingZone(1), t.accepted ? zone_step::applied : zone_step::too_small)
          << t.scale << " " << t.logical;
      EXPECT_EQ(view->zone_level, t.accepted ? 1 : 0);
      view->zone_level = 0;
    }
  }
  // No box, or a scale that maps nothing, does nothing at all.
  for (float scale : {0.0f, -1.0f, NAN}) {
    view->display_scale = scale;
    TargetBox(0, 0, 20, 20);
    EXPECT_EQ(view->ApplyBlendingZone(1), zone_step::no_box);
  }
  view->display_scale = 1.0f;
  Box(-1, 30, 40, 40);
  EXPECT_EQ(view->ApplyBlendingZone(2), zone_step::no_box);
  EXPECT_EQ(view->zone_level, 0);
  EXPECT_EQ(view->presented, 6);  // the accepted steps only
}

TEST_F(BlendingZone, ExactStepArithmeticInARectangle) {
  Paint(1, [](int c, int) { return bgr{90, 99, uint8_t(c < 32 ? 200 : 0)}; });
  Paint(2, [](int, int) { return bgr{110, 100, 100}; });
  for (int r = 0; r < H(); ++r) view->layers[0].Mask(r, 40) = 0;
  FillTarget(target_pixels, {100, 100, 100, 7});
  TargetBox(0, 0, 64, 48);

  ASSERT_EQ(view->ApplyBlendingZone(1), zone_step::applied);
  // Weight 0.5: trunc(-10 * 0.5) >> 3 = -1, trunc(-0.5) >> 3 = 0, trunc(50) >> 3 = 6.
  EXPECT_EQ(Bgr(Out(5, 5)), (bgr{99, 100, 106}));
  EXPECT_EQ(Bgr(Out(5, 40)), (bgr{100, 100, 100}));  // not covered by source 1: the old pixel
  EXPECT_EQ(Out(5, 5).fourth, 7);
  EXPECT_EQ(view->zone_applied, 1);
  EXPECT_EQ(ui.stats_redraws, 1);

  view->zone_level = 15;  // the next step reaches 16: weight 8 takes the source
  view->ApplyBlendingZone(1);
  EXPECT_EQ(Bgr(Out(5, 5)), (bgr{90, 99, 200}));
  view->zone_level = 14;  // to 15: weight 7.5 still blends; red 100 + (750 >> 3)
  view->ApplyBlendingZone(1);
  EXPECT_EQ(Bgr(Out(5, 5)), (bgr{90, 99, 193}));
  FillTarget(target_pixels, {100, 100, 100, 7});
  view->zone_level = 0;
  view->ApplyBlendingZone(2);
  EXPECT_EQ(Bgr(Out(5, 5)), (bgr{100, 100, 100}));  // 10 * 0.5 = 5 >> 3 = 0
  view->zone_level = -2;
  view->ApplyBlendingZone(2);  // -3: weight 1.5, source 2
  EXPECT_EQ(Bgr(Out(5, 5)), (bgr{101, 100, 100}));
}

TEST_F(BlendingZone, StepsDependOnlyOnTheNetLevel) {
  PaintRandom(5);
  std::mt19937 rng(9);
  for (bgra& p : target_pixels) p = {uint8_t(rng()), uint8_t(rng()), uint8_t(rng()), uint8_t(rng())};
  const std::vector<bgra> before = Target();
  view->zone_rectangular = false;
  view->zone_fade = true;
  TargetBox(3, 4, 50, 40);

  for (int direction : {1, 1, 2, 2}) view->ApplyBlendingZone(direction);
  EXPECT_EQ(view->zone_level, 0);
  EXPECT_TRUE(std::memcmp(target_pixels, before.data(), before.size() * 4) == 0);

  for (int i = 0; i < 3; ++i) view->ApplyBlendingZone(1);
  const std::vector<bgra> three = Target();
  view->ApplyBlendingZone(2);
  view->ApplyBlendingZone(2);
  view->ApplyBlendingZone(1);
  view->ApplyBlendingZone(1);
  EXPECT_TRUE(std::memcmp(target_pixels, three.data(), three.size() * 4) == 0);
  EXPECT_EQ(FirstDifference(three, PlainZone(*view, before, before, 3)), -1);
}

TEST_F(BlendingZone, EllipseFadesFromTheCentreToAnUntouchedRim) {
  Paint(1, [](int, int) { return bgr{180, 180, 180}; });
  FillTarget(target_copy, {20, 20, 20, 0});
  FillTarget(target_pixels, {100, 100, 100, 0});
  view->zone_rectangular = false;
  view->zone_fade = true;
  view->zone_level = 1;  // the copy is the base already; the step makes level 2
  TargetBox(10, 10, 50, 30);  // 40 x 20: centre (30, 20)
  view->ApplyBlendingZone(1);
  // Centre: weight 2, 20 + (160 * 2 >> 3) = 60.
  EXPECT_EQ(Out(20, 30).green, 60);
  // On the rim (d = h / 2) the weight is 0; outside the ellipse the current pixel stays.
  EXPECT_EQ(Out(10, 30).green, 20);
  EXPECT_EQ(Out(10, 10).green, 100);
  EXPECT_EQ(Out(29, 49).green, 100);
  EXPECT_GT(Out(20, 40).green, 20);
  EXPECT_LT(Out(20, 40).green, 60);
  view->zone_fade = false;
  view->zone_level = 1;
  view->ApplyBlendingZone(1);
  EXPECT_EQ(Out(20, 40).green, 60);  // even over the whole ellipse
}

// Boxes that hang over every edge, at several scales and for every shape, match
// the plain step and write nothing outside the target (run under ASan too).
TEST_F(BlendingZone, OverhangingBoxesMatchThePlainStep) {
  PaintRandom(11);
  std::mt19937 rng(3);
  for (bgra& p : target_copy) p = {uint8_t(rng()), uint8_t(rng()), uint8_t(rng()), 0};
  const bgra guard{1, 2, 3, 4};
  for (int shape = 0; shape < 3; ++shape)
    for (float scale : {0.5f, 1.0f, 1.5f, 3.0f}) {
      view->zone_rectangular = shape == 2;
      view->zone_fade = shape == 0;
      view->display_scale = scale;
      const int reach = int(90 * scale);
      Box(int(rng() % 20), int(rng() % 20), 10 + reach + int(rng() % 60), 20 + reach + int(rng() % 40));
      std::fill(target_pixels, target_pixels + target_capacity, guard);
      const std::vector<bgra> current = Target();
      view->zone_level = int(rng() % 5) - 2;
      if (view->zone_level == 0 || view->zone_level == -1) view->zone_level = 1;
      const int level = view->zone_level + 1;
      ASSERT_EQ(view->ApplyBlendingZone(1), zone_step::applied);
      const std::vector<bgra> copy(target_copy, target_copy + current.size());
      EXPECT_EQ(FirstDifference(Target(), PlainZone(*view, current, copy, level)), -1) << shape << " " << scale;
      EXPECT_TRUE(std::all_of(target_pixels + current.size(), target_pixels + target_capacity,
                              [&](const bgra& p) { return std::memcmp(&p, &guard, 4) == 0; }));
    }
}

}  // namespace
