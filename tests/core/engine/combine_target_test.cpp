#include <gtest/gtest.h>

#include <climits>

#include "combine_fixture.h"
#include "engine/crt_rand.h"
#include "engine/effect_kernels.h"

namespace {

constexpr bgra sentinel{1, 2, 3, 4};

class CombineTarget : public CombineFixture {
 protected:
  // Source 1 alone decides the colour (operator picture1).
  void CombineSource1() {
    method_code = 0;
    view->CombineTarget();
  }
  void UseEffect(int code) {
    effect_code = code;
    view->InstallEffectKernel(code);
  }
};

// --- The pass as a whole ---

TEST_F(CombineTarget, WithOneSourceNothingIsCombinedOrPresented) {
  source_count = 1;
  PaintFlat(1, {9, 9, 9});
  PaintFlat(2, {9, 9, 9});
  FillTarget(target_pixels, sentinel);
  target_width = target_height = 5;
  view->zone_applied = 1;
  view->CombineTarget();
  EXPECT_EQ(view->presented, 0);
  EXPECT_EQ(ui.stats_redraws, 0);
  EXPECT_TRUE(ui.progress.empty());
  EXPECT_EQ(target_width, 5);
  EXPECT_EQ(view->zone_applied, 1);
  EXPECT_EQ(Bgr(target_pixels[0]), Bgr(sentinel));
}

TEST_F(CombineTarget, EndsByPresentingAndClearingTheZoneMark) {
  SetTarget(40, 30);
  PaintFlat(1, {10, 20, 30});
  PaintFlat(2, {10, 20, 30});
  view->zone_applied = 1;
  view->CombineTarget();
  EXPECT_EQ(target_width, 40);
  EXPECT_EQ(target_height, 30);
  EXPECT_EQ(view->presented, 1);
  EXPECT_EQ(ui.stats_redraws, 1);
  EXPECT_EQ(view->zone_applied, 0);
  EXPECT_EQ(Bgr(Out(29, 39)), (bgr{10, 20, 30}));
}

TEST_F(CombineTarget, ProgressIsGreenWhenItChangesThenGrey) {
  SetTarget(64, 1536);
  SetRowThreads(3);
  PaintRandom(1);
  view->CombineTarget();
  ASSERT_GE(ui.progress.size(), 2u);
  ASSERT_LE(ui.progress.size(), 101u);
  EXPECT_EQ(ui.progress.back(), (std::pair<uint32_t, int>(0x808080, 100)));
  int last = -1;
  for (size_t i = 0; i + 1 < ui.progress.size(); ++i) {
    EXPECT_EQ(ui.progress[i].first, 0x00FF00u);
    EXPECT_GT(ui.progress[i].second, last);
    last = ui.progress[i].second;
  }
  EXPECT_EQ(last, 1535 * 100 / 1536);
}

TEST_F(CombineTarget, FastPreviewCrossFadesStraightIntoTheTarget) {
  SetTarget(8, 4);
  Paint(1, [](int c, int) { return bgr{uint8_t(c * 30), 200, 0}; });
  Paint(2, [](int, int r) { return bgr{100, uint8_t(r * 60), 255}; });
  view->layers[0].Mask(0, 0) = 0;
  view->layers[1].Mask(0, 1) = 0;
  view->layers[0].Mask(0, 2) = 0;
  view->layers[1].Mask(0, 2) = 0;
  base_color = {1, 2, 3};
  method_code = 3;  // not used by the preview
  contrast_mode = 0;
  effect_code = 6;
  FillTarget(target_work, sentinel);
  view->fast_preview = 1;
  view->CombineTarget();
  EXPECT_EQ(Bgr(Out(0, 0)), (bgr{100, 0, 255}));
  EXPECT_EQ(Bgr(Out(0, 1)), (bgr{30, 200, 0}));
  EXPECT_EQ(Bgr(Out(0, 2)), (bgr{3, 2, 1}));
  EXPECT_EQ(Bgr(Out(2, 3)), (bgr{(90 * 129 + 100 * 127) >> 8, (200 * 129 + 120 * 127) >> 8, 127 * 255 >> 8}));
  EXPECT_EQ(Bgr(Work(2, 3)), Bgr(sentinel));
  EXPECT_TRUE(ui.progress.empty());
  EXPECT_EQ(view->presented, 1);
}

TEST_F(CombineTarget, WarpInputIsTheWholeTarget) {
  SetTarget(16, 16);
  PaintRandom(5);
  UseEffect(1);
  FillTarget(target_pixels, sentinel);
  view->perspective_on = true;
  view->CombineTarget();
  for (int i = 0; i < 16 * 16; ++i) {
    ASSERT_EQ(Bgr(target_work[i]), Bgr(target_pixels[i])) << i;
    ASSERT_EQ(target_work[i].fourth, target_pixels[i].fourth) << i;
  }
  // Not while previewing.
  FillTarget(target_work, sentinel);
  view->fast_preview = 1;
  view->CombineTarget();
  EXPECT_EQ(Bgr(target_work[0]), Bgr(sentinel));
}

// --- Contrast modes and channel adjustment ---

TEST_F(CombineTarget, InfiniteContrastThresholds) {
  SetTarget(4, 1);
  Paint(1, [](int c, int) {
    const bgr cases[] = {{128, 127, 127}, {127, 127, 127}, {254, 0, 127}, {0, 128, 255}};
    return cases[c];
  });
  contrast_mode = 2;
  CombineSource1();
  EXPECT_EQ(Bgr(Out(0, 0)), (bgr{255, 255, 255}));  // sums to 382
  EXPECT_EQ(Bgr(Out(0, 1)), (bgr{0, 0, 0}));        // 381
  EXPECT_EQ(Bgr(Out(0, 2)), (bgr{0, 0, 0}));
  EXPECT_EQ(Bgr(Out(0, 3)), (bgr{255, 255, 255}));
  contrast_mode = 3;
  CombineSource1();
  EXPECT_EQ(Bgr(Out(0, 0)), (bgr{255, 0, 0}));
  EXPECT_EQ(Bgr(Out(0, 3)), (bgr{0, 255, 255}));
  contrast_bias = 0;
  CombineSource1();
  EXPECT_EQ(Bgr(Out(0, 2)), (bgr{255, 0, 255}));
}

TEST_F(CombineTarget, GreyScaleWeighsTheChannels) {
  SetTarget(4, 1);
  Paint(1, [](int c, int) {
    const bgr cases[] = {{255, 255, 255}, {0, 0, 255}, {0, 255, 0}, {255, 0, 0}};
    return cases[c];
  });
  contrast_mode = 0;
  CombineSource1();
  EXPECT_EQ(Bgr(Out(0, 0)), (bgr{255, 255, 255}));
  EXPECT_EQ(Bgr(Out(0, 1)), (bgr{76, 76, 76}));
  EXPECT_EQ(Bgr(Out(0, 2)), (bgr{150, 150, 150}));
  EXPECT_EQ(Bgr(Out(0, 3)), (bgr{28, 28, 28}));
}

TEST_F(CombineTarget, ChannelContrastAndBrightness) {
  SetTarget(3, 1);
  Paint(1, [](int c, int) {
    const bgr cases[] = {{200, 200, 200}, {100, 100, 100}, {0, 127, 255}};
    return cases[c];
  });
  view->channel_adjust[0] = {100, 50};  // blue: four times the distance from mid-grey
  view->channel_adjust[1] = {0, 50};    // green: flat mid-grey
  view->channel_adjust[2] = {50, 100};  // red: 50 brighter
  CombineSource1();
  EXPECT_EQ(Bgr(Out(0, 0)), (bgr{255, 127, 250}));
  EXPECT_EQ(Bgr(Out(0, 1)), (bgr{17, 127, 150}));  // 400 - 382.5 truncates to 17
  EXPECT_EQ(Bgr(Out(0, 2)), (bgr{0, 127, 255}));
  view->channel_adjust[2] = {50, 0};
  CombineSource1();
  EXPECT_EQ(Bgr(Out(0, 2)).r, 205);
}

// --- Effects ---

TEST_F(CombineTarget, EffectTableRows) {
  UseEffect(3);
  EXPECT_EQ(view->kernel[0], -1);
  EXPECT_EQ(view->kernel[8], 1);
  EXPECT_EQ(view->kernel_size, 3);
  EXPECT_EQ(view->kernel_divisor, 0);
  EXPECT_EQ(view->kernel_offset, 127);
  UseEffect(4);
  EXPECT_EQ(view->kernel[4], 15);
  EXPECT_EQ(view->kernel_divisor, 7);
  EXPECT_EQ(view->kernel_offset, 0);
  // Highlight and Articulate keep the kernel chosen before them.
  view->InstallEffectKernel(6);
  view->InstallEffectKernel(7);
  view->InstallEffectKernel(-3);
  EXPECT_EQ(view->kernel[4], 15);
  EXPECT_EQ(view->kernel_divisor, 7);
  UseEffect(0);
  EXPECT_EQ(view->kernel_size, 0);
  EXPECT_EQ(view->kernel_divisor, 0);
  EXPECT_EQ(view->kernel[4], 1);
}

TEST_F(CombineTarget, BlurLeavesTheOuterFrameAlone) {
  Paint(1, [](int c, int r) { return bgr{uint8_t(c * 8), uint8_t(r * 8), 90}; });
  FillTarget(target_pixels, sentinel);
  UseEffect(1);
  CombineSource1();
  for (int r = 0; r < 32; ++r)
    for (int c = 0; c < 32; ++c) {
      const bool frame = r == 0 || r == 31 || c == 0 || c == 31;
      const bgr expected = frame ? Bgr(sentinel) : bgr{uint8_t(c * 8), uint8_t(r * 8), 90};
      ASSERT_EQ(Bgr(Out(r, c)), expected) << r << "," << c;
      ASSERT_EQ(Out(r, c).fourth, sentinel.fourth);
    }
  // The frame's colours are still in the work buffer.
  EXPECT_EQ(Bgr(Work(0, 0)), (bgr{0, 0, 90}));
}

TEST_F(CombineTarget, EmbossOnAFlatImageIsMidGrey) {
  PaintFlat(1, {30, 140, 250});
  FillTarget(target_pixels, sentinel);
  UseEffect(3);
  CombineSource1();
  EXPECT_EQ(Bgr(Out(1, 1)), (bgr{127, 127, 127}));
  EXPECT_EQ(Bgr(Out(30, 30)), (bgr{127, 127, 127}));
  EXPECT_EQ(Bgr(Out(0, 5)), Bgr(sentinel));
  EXPECT_EQ(Bgr(Out(31, 31)), Bgr(sentinel));
}

TEST_F(CombineTarget, SharpenTruncatesTheQuotient) {
  SetTarget(3, 3);
  // Centre 10, neighbours summing to 74: 76 / 7 truncates to 10.
  Paint(1, [](int c, int r) {
    const uint8_t v = r == 1 && c == 1 ? 10 : r == 0 && c == 0 ? 4 : 10;
    return bgr{v, 50, 0};
  });
  UseEffect(4);
  CombineSource1();
  EXPECT_EQ(Bgr(Out(1, 1)), (bgr{10, 50, 0}));
  // A kernel with a negative sum and an offset shows the direction: -5 / 2 is -2.
  const int centre_only[9] = {0, 0, 0, 0, -1, 0, 0, 0, 0};
  std::copy_n(centre_only, 9, view->kernel);
  view->kernel_divisor = 2;
  view->kernel_offset = 100;
  PaintFlat(1, {5, 6, 7});
  CombineSource1();
  EXPECT_EQ(Bgr(Out(1, 1)), (bgr{98, 97, 97}));
}

TEST_F(CombineTarget, ArticulateCopiesAndALeftoverKernelDoesNotShow) {
  PaintRandom(9);
  UseEffect(4);
  effect_code = 7;
  CombineSource1();
  for (int i = 0; i < 32 * 32; ++i) ASSERT_EQ(Bgr(target_pixels[i]), Bgr(target_work[i])) << i;
}

TEST_F(CombineTarget, HighlightingWithZeroSlopesReproducesTheWorkBuffer) {
  PaintRandom(3);
  UseEffect(4);  // left over; overwritten by the highlighting
  effect_code = 6;
  const uint32_t before = run_time_rand.state;
  CombineSource1();
  for (int i = 0; i < 32 * 32; ++i) ASSERT_EQ(Bgr(target_pixels[i]), Bgr(target_work[i])) << i;
  EXPECT_EQ(run_time_rand.state, crt_rand::Skip(before, 6 * 32 * 32));
}

TEST_F(CombineTarget, HighlightingSlopesBrightenTheirEdge) {
  PaintFlat(1, {100, 100, 100});
  effect_code = 6;
  view->position_slopes[0] = {16, 0};  // red: brighter towards the bottom
  view->position_slopes[2] = {0, -8};  // blue: darker towards the right
  CombineSource1();
  EXPECT_EQ(Out(0, 0).red, 100 - 32);
  EXPECT_EQ(Out(0, 0).green, 100);
  EXPECT_EQ(Out(0, 0).blue, 100 + 16);
  EXPECT_EQ(Out(16, 16).red, 100);
  EXPECT_EQ(Out(16, 16).blue, 100);
  EXPECT_NEAR(Out(31, 31).red, 100 + 30, 2);
  EXPECT_NEAR(Out(31, 31).blue, 100 - 15, 2);
}

// --- Settings outside their ranges ---

TEST_F(CombineTarget, OperatorCodeOutsideTheTableIsRefused) {
  PaintRandom(2);
  FillTarget(target_pixels, sentinel);
  for (int code : {17, -1, INT_MAX}) {
    method_code = code;
    view->CombineTarget();
  }
  EXPECT_EQ(view->presented, 0);
  EXPECT_EQ(Bgr(target_pixels[0]), Bgr(sentinel));
}

TEST_F(CombineTarget, OversizedOrInvertedTargetStaysInsideTheBuffers) {
  view->target_rect = {0, 0, 5000, 4000};
  PaintRandom(4);
  method_code = 4;
  UseEffect(5);
  view->perspective_on = true;
  view->CombineTarget();
  EXPECT_EQ(target_width, 2048);
  EXPECT_EQ(target_height, 1536);
  view->fast_preview = 1;
  view->CombineTarget();
  view->target_rect = {100, 100, 50, 20};
  view->fast_preview = 0;
  view->CombineTarget();
  EXPECT_EQ(target_width, 0);
  EXPECT_EQ(target_height, 0);
  EXPECT_EQ(view->presented, 3);
}

TEST_F(CombineTarget, WildSettingsStayDefined) {
  PaintRandom(6);
  source_bias = INT_MIN;
  contrast_bias = INT_MAX;
  contrast_mode = 2;
  view->channel_adjust[0] = {INT_MAX, INT_MIN};
  view->channel_adjust[1] = {INT_MIN, INT_MAX};
  view->kernel_size = 9;
  effect_code = 1;
  for (int code = 0; code < 17; ++code) {
    method_code = code;
    view->CombineTarget();
  }
  view->kernel_size = -4;
  view->CombineTarget();
  view->kernel_size = 3;
  std::fill_n(view->kernel, 9, INT_MAX);
  view->kernel_divisor = -1;
  view->kernel_offset = INT_MIN;
  view->CombineTarget();
  effect_code = 6;
  view->position_slopes[0] = {INT_MAX, INT_MIN};
  view->position_slopes[1] = {INT_MIN, INT_MIN};
  view->CombineTarget();
  view->fast_preview = 1;
  view->CombineTarget();
  EXPECT_EQ(view->presented, 21);
  source_bias = 127;
  contrast_bias = 127;
}

}  // namespace
