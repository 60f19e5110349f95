#include <gtest/gtest.h>

#include <climits>

#include "engine/base/crt_rand.h"
#include "tests/core/engine/view_fixture.h"

namespace {

constexpr bgra sentinel{1, 2, 3, 4};

class CombineTarget : public ViewFixture {
 protected:
  // Source 1 alone decides the colour (operator picture1).
  void CombineSource1(int effect, bool install = true) {
    if (install) view->InstallEffectKernel(effect);
    method_code = 0, effect_code = effect;
    view->CombineTarget();
  }
};

// The progress pane is told only when its percentage changes, then grey at 100.
TEST_F(CombineTarget, ProgressPresentationAndZoneMark) {
  SetTarget(64, 1536);
  SetRowThreads(3);
  PaintRandom(1);
  view->zone_applied = 1;
  view->CombineTarget();
  EXPECT_EQ(view->presented + ui.stats_redraws + view->zone_applied, 2);
  ASSERT_GE(ui.progress.size(), 2u);
  for (size_t i = 0; i + 1 < ui.progress.size(); ++i)
    EXPECT_TRUE(ui.progress[i].first == 0x00FF00 && ui.progress[i].second > (i ? ui.progress[i - 1].second : -1));
  EXPECT_EQ(ui.progress.end()[-2].second, 1535 * 100 / 1536);
  EXPECT_EQ(ui.progress.back(), (std::pair<uint32_t, int>(0x808080, 100)));
}

// Values the arithmetic fixes; the plain-pass comparison covers everything else.
TEST_F(CombineTarget, ThresholdsTruncationFrameAndFlatHighlight) {
  SetTarget(4, 1);
  const bgr row[4] = {{128, 127, 127}, {127, 127, 127}, {200, 200, 200}, {100, 100, 100}};
  Paint(1, [&](int c, int) { return row[c]; });
  contrast_mode = 2;
  CombineSource1(0);
  EXPECT_TRUE(Bgr(Out(0, 0)) == (bgr{255, 255, 255}) && Bgr(Out(0, 1)) == (bgr{0, 0, 0}));  // sums 382, 381
  contrast_mode = 1;
  view->channel_adjust[0] = {100, 50};  // blue: four times the distance from mid-grey
  view->channel_adjust[2] = {50, 100};  // red: 50 brighter
  CombineSource1(0);
  EXPECT_EQ(Bgr(Out(0, 3)), (bgr{17, 100, 150}));  // 400 - 382.5 truncates to 17
  view->channel_adjust[0] = view->channel_adjust[2] = {50, 50};
  // Sharpen: centre 10, neighbours summing to 74; 76 / 7 truncates to 10.
  SetTarget(3, 3);
  Paint(1, [](int c, int r) { return bgr{uint8_t(r == 0 && c == 0 ? 4 : 10), 50, 0}; });
  CombineSource1(4);
  EXPECT_EQ(Bgr(Out(1, 1)), (bgr{10, 50, 0}));
  // Blur of a ramp gives the ramp inside an untouched frame; emboss of a flat picture is mid-grey.
  SetTarget(32, 32);
  Paint(1, [](int c, int r) { return bgr{uint8_t(c * 8), uint8_t(r * 8), 90}; });
  FillTarget(target_pixels, sentinel);
  CombineSource1(1);
  for (int i = 0; i < 32; ++i)
    for (auto [r, c] : {std::pair{0, i}, {31, i}, {i, 0}, {i, 31}})
      ASSERT_TRUE(Bgr(Out(r, c)) == Bgr(sentinel) && Out(r, c).fourth == 4) << r << "," << c;
  EXPECT_TRUE(Bgr(Out(1, 1)) == (bgr{8, 8, 90}) && Bgr(Out(30, 29)) == (bgr{232, 240, 90}));
  Paint(1, [](int, int) { return bgr{30, 140, 250}; });
  CombineSource1(3);
  EXPECT_EQ(Bgr(Out(30, 30)), (bgr{127, 127, 127}));
  // Zero slopes reproduce the work buffer, with the emboss kernel left installed.
  PaintRandom(3);
  const uint32_t before = run_time_rand.state;
  CombineSource1(6, false);
  for (int i = 0; i < 32 * 32; ++i) ASSERT_EQ(Bgr(target_pixels[i]), Bgr(target_work[i])) << i;
  EXPECT_EQ(run_time_rand.state, crt_rand::Skip(before, 6 * 32 * 32));
}

TEST_F(CombineTarget, SettingsOutOfRangeStayInsideTheBuffers) {
  FillTarget(target_pixels, sentinel);
  for (int code : {17, -1, INT_MAX}) method_code = code, view->CombineTarget();
  EXPECT_TRUE(view->presented == 0 && Bgr(target_pixels[0]) == Bgr(sentinel));
  view->target_rect = {0, 0, 5000, 4000};
  PaintRandom(4);
  method_code = 4, view->perspective_on = true;
  view->InstallEffectKernel(effect_code = 5);
  for (int preview : {0, 1}) view->fast_preview = preview, view->CombineTarget();
  EXPECT_EQ(target_width * 10000 + target_height, 2048 * 10000 + 1536);
  view->target_rect = {100, 100, 50, 20};
  view->CombineTarget();
  EXPECT_EQ(target_width, 0);
  SetTarget(32, 32);
  source_bias = INT_MIN, contrast_bias = INT_MAX, contrast_mode = 2;
  view->channel_adjust[0] = {INT_MAX, INT_MIN}, view->channel_adjust[1] = {INT_MIN, INT_MAX};
  view->position_slopes[0] = {INT_MAX, INT_MIN}, view->position_slopes[1] = {INT_MIN, INT_MIN};
  view->CombineTarget();  // the preview's cross-fade
  view->fast_preview = 0;
  for (int kernel_size : {9, -4, 3}) {
    std::fill_n(view->kernel, 9, INT_MAX);
    view->kernel_size = kernel_size, view->kernel_divisor = -1, view->kernel_offset = INT_MIN;
    for (effect_code = 1; effect_code <= 6; effect_code += 5)
      for (method_code = 0; method_code < 17; ++method_code) view->CombineTarget();
  }
  EXPECT_EQ(view->presented, 4 + 3 * 2 * 17);
}

// Hovering shows one source over the base colour, composed aside from the target.
TEST_F(CombineTarget, SourceAloneLeavesTheTargetAlone) {
  SetTarget(5, 3);
  target_width = 5, target_height = 3, base_color = {10, 20, 30};
  Paint(2, [](int c, int r) { return bgr{200, uint8_t(c), uint8_t(r)}; });
  view->layers[1].Mask(2, 4) = 0;
  FillTarget(target_pixels, sentinel);
  view->ShowSourceAlone(2);
  ASSERT_EQ(view->shown.size(), 15u);
  EXPECT_TRUE(Bgr(view->shown[13]) == (bgr{200, 3, 2}) && Bgr(view->shown[14]) == (bgr{30, 20, 10}));
  EXPECT_EQ(Bgr(target_pixels[14]), Bgr(sentinel));
  for (vsize size : {vsize{5, 3}, vsize{0, 3}, vsize{4096, 3}, vsize{5, -2}}) {
    target_width = size.width, target_height = size.height;
    view->ShowSourceAlone(size.width == 5 && size.height == 3 ? -1 : 1);
    EXPECT_TRUE(view->shown.empty());
  }
}

}  // namespace
