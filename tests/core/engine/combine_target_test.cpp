#include <gtest/gtest.h>

#include <climits>

#include "combine_fixture.h"
#include "engine/crt_rand.h"

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
  template <size_t n>
  void PaintRow(const bgr (&colours)[n]) {
    SetTarget(int(n), 1);
    Paint(1, [&](int c, int) { return colours[c]; });
  }
};

TEST_F(CombineTarget, WithOneSourceNothingHappens) {
  source_count = 1;
  FillTarget(target_pixels, sentinel);
  target_width = 5;
  view->zone_applied = 1;
  view->CombineTarget();
  EXPECT_EQ(view->presented + ui.stats_redraws + int(ui.progress.size()), 0);
  EXPECT_EQ(target_width, 5);
  EXPECT_EQ(view->zone_applied, 1);
  EXPECT_EQ(Bgr(target_pixels[0]), Bgr(sentinel));
}

// The progress pane is told only when its percentage changes, then grey at 100.
TEST_F(CombineTarget, ProgressPresentationAndZoneMark) {
  SetTarget(64, 1536);
  SetRowThreads(3);
  PaintRandom(1);
  view->zone_applied = 1;
  view->CombineTarget();
  EXPECT_EQ(view->presented, 1);
  EXPECT_EQ(ui.stats_redraws, 1);
  EXPECT_EQ(view->zone_applied, 0);
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

TEST_F(CombineTarget, ContrastModesAtTheirThresholds) {
  PaintRow({{255, 255, 255}, {0, 0, 255}, {0, 255, 0}, {255, 0, 0}});
  contrast_mode = 0;
  CombineSource1();
  EXPECT_EQ(Bgr(Out(0, 0)), (bgr{255, 255, 255}));
  EXPECT_EQ(Bgr(Out(0, 1)), (bgr{76, 76, 76}));
  EXPECT_EQ(Bgr(Out(0, 2)), (bgr{150, 150, 150}));
  EXPECT_EQ(Bgr(Out(0, 3)), (bgr{28, 28, 28}));

  PaintRow({{128, 127, 127}, {127, 127, 127}, {254, 0, 127}, {0, 128, 255}});
  contrast_mode = 2;
  CombineSource1();
  EXPECT_EQ(Bgr(Out(0, 0)), (bgr{255, 255, 255}));  // sums to 382
  EXPECT_EQ(Bgr(Out(0, 1)), (bgr{0, 0, 0}));        // 381
  EXPECT_EQ(Bgr(Out(0, 2)), (bgr{0, 0, 0}));
  contrast_mode = 3;
  CombineSource1();
  EXPECT_EQ(Bgr(Out(0, 0)), (bgr{255, 0, 0}));
  EXPECT_EQ(Bgr(Out(0, 3)), (bgr{0, 255, 255}));
  contrast_bias = 0;
  CombineSource1();
  EXPECT_EQ(Bgr(Out(0, 2)), (bgr{255, 0, 255}));
}

TEST_F(CombineTarget, ChannelContrastAndBrightness) {
  PaintRow({{200, 200, 200}, {100, 100, 100}, {0, 127, 255}});
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

TEST_F(CombineTarget, BlurAndEmbossLeaveTheOuterFrameAlone) {
  Paint(1, [](int c, int r) { return bgr{uint8_t(c * 8), uint8_t(r * 8), 90}; });
  FillTarget(target_pixels, sentinel);
  UseEffect(1);
  CombineSource1();
  for (int r = 0; r < 32; ++r)
    for (int c = 0; c < 32; ++c) {
      const bool frame = r == 0 || r == 31 || c == 0 || c == 31;
      ASSERT_EQ(Bgr(Out(r, c)), (frame ? Bgr(sentinel) : bgr{uint8_t(c * 8), uint8_t(r * 8), 90})) << r << "," << c;
      ASSERT_EQ(Out(r, c).fourth, sentinel.fourth);
    }
  PaintFlat(1, {30, 140, 250});
  UseEffect(3);
  CombineSource1();
  EXPECT_EQ(Bgr(Out(1, 1)), (bgr{127, 127, 127}));
  EXPECT_EQ(Bgr(Out(30, 30)), (bgr{127, 127, 127}));
  EXPECT_EQ(Bgr(Out(31, 31)), Bgr(sentinel));
}

TEST_F(CombineTarget, SharpenTruncatesTheQuotientTowardsZero) {
  SetTarget(3, 3);
  // Centre 10, neighbours summing to 74: 76 / 7 truncates to 10.
  Paint(1, [](int c, int r) { return bgr{uint8_t(r == 0 && c == 0 ? 4 : 10), 50, 0}; });
  UseEffect(4);
  CombineSource1();
  EXPECT_EQ(Bgr(Out(1, 1)), (bgr{10, 50, 0}));
  const int centre_only[9] = {0, 0, 0, 0, -1, 0, 0, 0, 0};
  std::copy_n(centre_only, 9, view->kernel);
  view->kernel_divisor = 2;
  view->kernel_offset = 100;
  PaintFlat(1, {5, 6, 7});
  CombineSource1();
  EXPECT_EQ(Bgr(Out(1, 1)), (bgr{98, 97, 97}));  // -5 / 2 is -2
}

// Highlight and Articulate keep the kernel chosen before them, which must not show.
TEST_F(CombineTarget, HighlightAndArticulateOverwriteALeftoverKernel) {
  PaintRandom(3);
  UseEffect(4);
  for (int code : {6, 7, -3}) view->InstallEffectKernel(code);
  EXPECT_EQ(view->kernel_divisor, 7);
  for (int effect : {7, 6}) {
    effect_code = effect;
    const uint32_t before = run_time_rand.state;
    CombineSource1();
    for (int i = 0; i < 32 * 32; ++i) ASSERT_EQ(Bgr(target_pixels[i]), Bgr(target_work[i])) << effect << " " << i;
    EXPECT_EQ(run_time_rand.state, effect == 6 ? crt_rand::Skip(before, 6 * 32 * 32) : before);
  }
  PaintFlat(1, {100, 100, 100});
  view->position_slopes[0] = {16, 0};  // red: brighter towards the bottom
  view->position_slopes[2] = {0, -8};  // blue: darker towards the right
  CombineSource1();
  EXPECT_EQ(Bgr(Out(0, 0)), (bgr{100 + 16, 100, 100 - 32}));
  EXPECT_EQ(Bgr(Out(16, 16)), (bgr{100, 100, 100}));
}

TEST_F(CombineTarget, SettingsOutOfRangeStayInsideTheBuffers) {
  PaintRandom(2);
  FillTarget(target_pixels, sentinel);
  for (int code : {17, -1, INT_MAX}) {
    method_code = code;
    view->CombineTarget();
  }
  EXPECT_EQ(view->presented, 0);
  EXPECT_EQ(Bgr(target_pixels[0]), Bgr(sentinel));

  view->target_rect = {0, 0, 5000, 4000};
  PaintRandom(4);
  method_code = 4;
  UseEffect(5);
  view->perspective_on = true;
  view->CombineTarget();
  EXPECT_EQ(target_width * 10000 + target_height, 2048 * 10000 + 1536);
  view->fast_preview = 1;
  view->CombineTarget();
  view->target_rect = {100, 100, 50, 20};
  view->fast_preview = 0;
  view->CombineTarget();
  EXPECT_EQ(target_width, 0);

  SetTarget(32, 32);
  view->perspective_on = false;
  source_bias = INT_MIN;
  contrast_bias = INT_MAX;
  contrast_mode = 2;
  view->channel_adjust[0] = {INT_MAX, INT_MIN};
  view->channel_adjust[1] = {INT_MIN, INT_MAX};
  view->position_slopes[0] = {INT_MAX, INT_MIN};
  view->position_slopes[1] = {INT_MIN, INT_MIN};
  for (int kernel_size : {9, -4, 3}) {
    view->kernel_size = kernel_size;
    std::fill_n(view->kernel, 9, INT_MAX);
    view->kernel_divisor = -1;
    view->kernel_offset = INT_MIN;
    for (int effect : {1, 6})
      for (method_code = 0; method_code < 17; ++method_code) {
        effect_code = effect;
        view->CombineTarget();
      }
  }
  method_code = 8;
  view->fast_preview = 1;
  view->CombineTarget();
  EXPECT_EQ(view->presented, 3 + 3 * 2 * 17 + 1);
}

// Hovering shows one source over the base colour, composed aside from the target.
TEST_F(CombineTarget, SourceAloneLeavesTheTargetBuffersAlone) {
  SetTarget(5, 3);
  target_width = 5;
  target_height = 3;
  base_color = {10, 20, 30};
  Paint(1, [](int c, int r) { return bgr{100, uint8_t(r), uint8_t(c)}; });
  Paint(2, [](int c, int r) { return bgr{200, uint8_t(c), uint8_t(r)}; });
  view->layers[0].Mask(1, 1) = view->layers[1].Mask(2, 4) = 0;
  FillTarget(target_pixels, sentinel);
  FillTarget(target_copy, sentinel);
  view->ShowSourceAlone(1);
  ASSERT_EQ(view->shown.size(), 15u);
  EXPECT_EQ(Bgr(view->shown[5]), (bgr{100, 1, 0}));
  EXPECT_EQ(Bgr(view->shown[6]), (bgr{30, 20, 10}));
  view->ShowSourceAlone(2);
  EXPECT_EQ(Bgr(view->shown[13]), (bgr{200, 3, 2}));
  EXPECT_EQ(Bgr(view->shown[14]), (bgr{30, 20, 10}));
  EXPECT_EQ(Bgr(target_pixels[14]), Bgr(sentinel));
  EXPECT_EQ(Bgr(target_copy[14]), Bgr(sentinel));
  for (vsize size : {vsize{5, 3}, vsize{0, 3}, vsize{4096, 3}, vsize{5, -2}}) {
    target_width = size.width;
    target_height = size.height;
    view->ShowSourceAlone(size.width == 5 && size.height == 3 ? -1 : 1);
    EXPECT_TRUE(view->shown.empty());
  }
}

}  // namespace
