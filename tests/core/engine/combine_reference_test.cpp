// The fast pass (one loop per operator class, rows in parallel, the generator
// jumped ahead per row) against a plain pass written the simple way: one virtual
// call per pixel, one row after another, every draw in turn.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "combine_fixture.h"
#include "engine/crt_rand.h"
#include "engine/pixel_operators.h"
#include "engine/quad_transform.h"
#include "engine/wide_lanes.h"

namespace {

class PlainPass : public CombineFixture {
 protected:
  void TearDown() override {
    AllowWideLanes(true);
    CombineFixture::TearDown();
  }

  // The whole pass with the view's settings, sequentially, into the target buffers.
  void RunPlain(crt_rand& rng) {
    const CvorbelViewCore& v = *view;
    const int w = W();
    const int h = H();
    target_width = w;
    target_height = h;
    const picture1 op0;
    const picture2 op1;
    const most op2;
    const least op3;
    const saturated op4;
    const grey op5;
    const subtract12 op6;
    const subtract21 op7;
    const average op8;
    const comp12 op9;
    const comp21 op10;
    const comp_h_12 op11;
    const comp_h_21 op12;
    const comp12_bgnd op13;
    const comp21_bgnd op14;
    const comp_h_12_bgnd op15;
    const comp_h_21_bgnd op16;
    const pixel* ops[] = {&op0, &op1,  &op2,  &op3,  &op4,  &op5,  &op6,  &op7, &op8,
                          &op9, &op10, &op11, &op12, &op13, &op14, &op15, &op16};
    const pixel& op = *ops[method_code];

    for (int r = 0; r < h; ++r)
      for (int c = 0; c < w; ++c) {
        const uint8_t* a = v.layers[0].Pixel(r, c);
        const uint8_t* b = v.layers[1].Pixel(r, c);
        uint8_t ch[3];  // blue, green, red
        op(v.layers[0].Mask(r, c), v.layers[1].Mask(r, c), {a[0], a[1], a[2]}, {b[0], b[1], b[2]}, &ch[0],
           &ch[1], &ch[2]);
        if (contrast_mode == 0) {
          const int g = std::clamp(int(ch[2] * 19.2 + ch[1] * 37.76 + ch[0] * 7.04) >> 6, 0, 255);
          ch[0] = ch[1] = ch[2] = uint8_t(g);
        } else if (contrast_mode == 3) {
          for (uint8_t& x : ch) x = x <= contrast_bias ? 0 : 255;
        } else if (contrast_mode == 2) {
          const uint8_t x = ch[0] + ch[1] + ch[2] > 3 * contrast_bias ? 255 : 0;
          ch[0] = ch[1] = ch[2] = x;
        }
        for (int k = 2; k >= 0; --k) {
          const double f = v.channel_adjust[k].contrast * v.channel_adjust[k].contrast / 2500.0;
          double x = ch[k] * f - (f - 1) * 255 * 0.5 + (v.channel_adjust[k].brightness - 50);
          ch[k] = uint8_t(int(std::clamp(x, 0.0, 255.0)));
        }
        Work(r, c).blue = ch[0];
        Work(r, c).green = ch[1];
        Work(r, c).red = ch[2];
      }

    const int n = v.kernel_size;
    if (n != 0) {
      for (int r = 0; r <= h - n; ++r)
        for (int c = 0; c <= w - n; ++c)
          for (int k = 0; k < 3; ++k) {
            int s = 0;
            for (int i = 0; i < n; ++i)
              for (int j = 0; j < n; ++j) s += v.kernel[i * n + j] * (&Work(r + i, c + j).blue)[k];
            if (v.kernel_divisor != 0) s /= v.kernel_divisor;
            s += v.kernel_offset;
            (&Out(r + n / 2, c + n / 2).blue)[k] = uint8_t(std::clamp(s, 0, 255));
          }
    }
    if (effect_code == 0 || effect_code == 7)
      for (int i = 0; i < w * h; ++i) {
        target_pixels[i].blue = target_work[i].blue;
        target_pixels[i].green = target_work[i].green;
        target_pixels[i].red = target_work[i].red;
      }
    if (effect_code == 6)
      for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c)
          for (int k = 0; k < 3; ++k) {  // red, green, blue
            const float tv =
                (float(r) / float(h) + float(r) / float(h) - 1.0f) * float(v.position_slopes[k].vertical) +
                64.0f;
            const float th =
                (float(c) / float(w) + float(c) / float(w) - 1.0f) * float(v.position_slopes[k].horizontal) +
                64.0f;
            int iv = int(tv);
            const int q1 = rng.Next();
            int ih = int(th);
            const int q2 = rng.Next();
            if ((tv - iv) * 32767.0f > q1) ++iv;
            if ((th - ih) * 32767.0f > q2) ++ih;
            uint8_t& x = (&Out(r, c).blue)[2 - k];
            x = uint8_t(std::clamp((&Work(r, c).blue)[2 - k] + 2 * (iv + ih - 128), 0, 255));
          }
    if (v.perspective_on) {
      std::memcpy(target_work, target_pixels, sizeof(bgra) * w * h);
      ApplyQuadTransform();
    }
  }

  // Runs both passes from the same buffers and generator state; true when they agree.
  void ExpectSameAsPlain(const char* what) {
    const size_t n = size_t(W()) * H();
    const std::vector<bgra> pixels0(target_pixels, target_pixels + n);
    const std::vector<bgra> work0(target_work, target_work + n);
    const uint32_t rand0 = run_time_rand.state;

    view->CombineTarget();
    const std::vector<bgra> pixels1(target_pixels, target_pixels + n);
    const std::vector<bgra> work1(target_work, target_work + n);

    std::copy(pixels0.begin(), pixels0.end(), target_pixels);
    std::copy(work0.begin(), work0.end(), target_work);
    crt_rand plain{rand0};
    RunPlain(plain);
    EXPECT_EQ(run_time_rand.state, plain.state) << what;
    for (size_t i = 0; i < n; ++i) {
      ASSERT_EQ(std::memcmp(&target_pixels[i], &pixels1[i], 4), 0) << what << " target pixel " << i;
      ASSERT_EQ(std::memcmp(&target_work[i], &work1[i], 4), 0) << what << " work pixel " << i;
    }
  }

  // Random contents in both target buffers, fourth bytes included.
  void ScrambleTarget(std::mt19937& rng) {
    for (size_t i = 0; i < size_t(W()) * H(); ++i) {
      const uint32_t x = rng();
      const uint32_t y = rng();
      std::memcpy(&target_pixels[i], &x, 4);
      std::memcpy(&target_work[i], &y, 4);
    }
  }
};

TEST_F(PlainPass, EveryOperatorModeAndEffect) {
  SetTarget(53, 190);
  SetRowThreads(4);
  PaintRandom(11);
  std::mt19937 rng(12);
  base_color = {40, 50, 60};
  for (int method = 0; method < operator_count; ++method)
    for (int mode = 0; mode < 4; ++mode)
      for (int effect = 0; effect < 8; ++effect) {
        method_code = method;
        contrast_mode = mode;
        source_bias = int(rng() % 257);
        contrast_bias = int(rng() % 256);
        effect_code = effect;
        AllowWideLanes(effect % 2 == 0);
        // Highlight and Articulate run with whatever kernel came before them.
        view->InstallEffectKernel(effect < 6 ? effect : int(rng() % 6));
        for (channel_pair& p : view->channel_adjust)
          p = rng() % 2 ? channel_pair{50, 50} : channel_pair{int(rng() % 101), int(rng() % 101)};
        for (slope_pair& s : view->position_slopes) s = {int(rng() % 129) - 64, int(rng() % 129) - 64};
        ScrambleTarget(rng);
        ExpectSameAsPlain(testing::PrintToString(std::vector<int>{method, mode, effect}).c_str());
        if (HasFatalFailure()) return;
      }
  source_bias = 127;
  contrast_bias = 127;
}

TEST_F(PlainPass, ThreadCountsSizesAndLanes) {
  std::mt19937 rng(21);
  for (int threads : {1, 2, 3, 8})
    for (auto [w, h] :
         {std::pair{1, 1}, std::pair{2, 2}, std::pair{3, 40}, std::pair{97, 13}, std::pair{130, 301}}) {
      SetRowThreads(threads);
      SetTarget(w, h);
      PaintRandom(rng());
      method_code = int(rng() % operator_count);
      contrast_mode = int(rng() % 4);
      for (int effect : {0, 1, 2, 3, 4, 5, 6}) {
        effect_code = effect;
        view->InstallEffectKernel(effect == 6 ? 2 : effect);
        AllowWideLanes(rng() % 2 == 0);
        view->position_slopes[0] = {int(rng() % 200) - 100, 37};
        view->position_slopes[2] = {-5, int(rng() % 200) - 100};
        ScrambleTarget(rng);
        ExpectSameAsPlain(testing::PrintToString(std::vector<int>{threads, w, h, effect}).c_str());
        if (HasFatalFailure()) return;
      }
    }
}

TEST_F(PlainPass, FastPreviewCrossFade) {
  SetTarget(150, 90);
  PaintRandom(41);
  std::mt19937 rng(42);
  base_color = {5, 6, 7};
  view->fast_preview = 1;
  for (int bias : {0, 1, 127, 200, 256}) {
    source_bias = bias;
    ScrambleTarget(rng);
    const std::vector<bgra> before(target_pixels, target_pixels + 150 * 90);
    view->CombineTarget();
    const int w2 = bias, w1 = 256 - bias;
    for (int r = 0; r < 90; ++r)
      for (int c = 0; c < 150; ++c) {
        const uint8_t* a = view->layers[0].Pixel(r, c);
        const uint8_t* b = view->layers[1].Pixel(r, c);
        const bool in1 = view->layers[0].Mask(r, c) == 1, in2 = view->layers[1].Mask(r, c) == 1;
        const bgr expected =
            in1 && in2 ? bgr{uint8_t((a[0] * w1 + b[0] * w2) >> 8), uint8_t((a[1] * w1 + b[1] * w2) >> 8),
                             uint8_t((a[2] * w1 + b[2] * w2) >> 8)}
            : in1      ? bgr{a[0], a[1], a[2]}
            : in2      ? bgr{b[0], b[1], b[2]}
                       : bgr{7, 6, 5};  // base_color is red, green, blue
        ASSERT_EQ(Bgr(Out(r, c)), expected) << bias << " " << r << "," << c;
        ASSERT_EQ(Out(r, c).fourth, before[size_t(r) * 150 + c].fourth);
      }
  }
  source_bias = 127;
}

TEST_F(PlainPass, PerspectiveEndsEveryCombine) {
  SetTarget(40, 30);
  PaintRandom(31);
  std::mt19937 rng(32);
  view->perspective_on = true;
  for (int effect : {0, 3, 6}) {
    effect_code = effect;
    view->InstallEffectKernel(effect == 6 ? 0 : effect);
    ScrambleTarget(rng);
    ExpectSameAsPlain("perspective");
  }
}

}  // namespace
