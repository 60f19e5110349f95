// The fast pass (one loop per operator class, rows in parallel, the generator
// jumped ahead per row) against a plain pass written the simple way: one virtual
// call per pixel, one row after another, every draw in turn.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
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

  void RunPlain(crt_rand& rng) {
    const CvorbelViewCore& v = *view;
    const int w = W(), h = H();
    target_width = w;
    target_height = h;
    for (int r = 0; r < h; ++r)
      for (int c = 0; c < w; ++c) {
        const uint8_t* a = v.layers[0].Pixel(r, c);
        const uint8_t* b = v.layers[1].Pixel(r, c);
        uint8_t ch[3] = {};  // blue, green, red
        WithOperator(method_code, [&](const auto& concrete) {
          const pixel& op = concrete;
          op(v.layers[0].Mask(r, c), v.layers[1].Mask(r, c), {a[0], a[1], a[2]}, {b[0], b[1], b[2]}, &ch[0],
             &ch[1], &ch[2]);
        });
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
          const double x = ch[k] * f - (f - 1) * 255 * 0.5 + (v.channel_adjust[k].brightness - 50);
          ch[k] = uint8_t(int(std::clamp(x, 0.0, 255.0)));
        }
        std::memcpy(&Work(r, c), ch, 3);
      }

    const int n = v.kernel_size;
    for (int r = 0; n != 0 && r <= h - n; ++r)
      for (int c = 0; c <= w - n; ++c)
        for (int k = 0; k < 3; ++k) {
          int s = 0;
          for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) s += v.kernel[i * n + j] * (&Work(r + i, c + j).blue)[k];
          if (v.kernel_divisor != 0) s /= v.kernel_divisor;
          (&Out(r + n / 2, c + n / 2).blue)[k] = uint8_t(std::clamp(s + v.kernel_offset, 0, 255));
        }
    if (effect_code == 0 || effect_code == 7)
      for (int i = 0; i < w * h; ++i) std::memcpy(&target_pixels[i], &target_work[i], 3);
    if (effect_code == 6)
      for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c)
          for (int k = 0; k < 3; ++k) {  // red, green, blue
            const float tv =
                (float(r) / float(h) + float(r) / float(h) - 1.0f) * float(v.position_slopes[k].vertical) + 64.0f;
            const float th =
                (float(c) / float(w) + float(c) / float(w) - 1.0f) * float(v.position_slopes[k].horizontal) +
                64.0f;
            int iv = int(tv);
            const int q1 = rng.Next();
            int ih = int(th);
            const int q2 = rng.Next();
            if ((tv - iv) * 32767.0f > q1) ++iv;
            if ((th - ih) * 32767.0f > q2) ++ih;
            (&Out(r, c).blue)[2 - k] = uint8_t(std::clamp((&Work(r, c).blue)[2 - k] + 2 * (iv + ih - 128), 0, 255));
          }
    if (v.perspective_on) {
      std::memcpy(target_work, target_pixels, sizeof(bgra) * w * h);
      ApplyQuadTransform();
    }
  }

  // Runs both passes from the same random buffers and generator state.
  void ExpectSameAsPlain(std::mt19937& rng, const std::vector<int>& what) {
    const size_t n = size_t(W()) * H();
    for (size_t i = 0; i < n; ++i) {
      const uint32_t x = rng(), y = rng();
      std::memcpy(&target_pixels[i], &x, 4);
      std::memcpy(&target_work[i], &y, 4);
    }
    const std::vector<bgra> pixels0(target_pixels, target_pixels + n), work0(target_work, target_work + n);
    const uint32_t rand0 = run_time_rand.state;
    view->CombineTarget();
    const std::vector<bgra> pixels1(target_pixels, target_pixels + n), work1(target_work, target_work + n);
    std::copy(pixels0.begin(), pixels0.end(), target_pixels);
    std::copy(work0.begin(), work0.end(), target_work);
    crt_rand plain{rand0};
    RunPlain(plain);
    EXPECT_EQ(run_time_rand.state, plain.state) << testing::PrintToString(what);
    ASSERT_EQ(std::memcmp(target_pixels, pixels1.data(), n * 4), 0) << testing::PrintToString(what);
    ASSERT_EQ(std::memcmp(target_work, work1.data(), n * 4), 0) << testing::PrintToString(what);
  }
};

// Every operator, contrast mode and effect, at sizes down to one pixel and with
// several thread counts.
TEST_F(PlainPass, EveryOperatorModeAndEffect) {
  const std::pair<int, int> sizes[] = {{53, 190}, {1, 1}, {2, 2}, {3, 40}, {97, 13}, {130, 301}};
  std::mt19937 rng(12);
  base_color = {40, 50, 60};
  for (int method = 0; method < operator_count; ++method) {
    SetRowThreads(std::array{1, 2, 3, 8}[method % 4]);
    SetTarget(sizes[method % 6].first, sizes[method % 6].second);
    PaintRandom(rng());
    for (int mode = 0; mode < 4; ++mode)
      for (int effect = 0; effect < 8; ++effect) {
        method_code = method;
        contrast_mode = mode;
        source_bias = int(rng() % 257);
        contrast_bias = int(rng() % 256);
        effect_code = effect;
        AllowWideLanes(rng() % 2 == 0);
        // Highlight and Articulate run with whatever kernel came before them.
        view->InstallEffectKernel(effect < 6 ? effect : int(rng() % 6));
        for (channel_pair& p : view->channel_adjust)
          p = rng() % 2 ? channel_pair{50, 50} : channel_pair{int(rng() % 101), int(rng() % 101)};
        for (slope_pair& s : view->position_slopes) s = {int(rng() % 200) - 100, int(rng() % 200) - 100};
        view->perspective_on = rng() % 8 == 0;
        ExpectSameAsPlain(rng, {method, mode, effect});
        if (HasFatalFailure()) return;
      }
  }
}

// The preview writes the cross-fade straight into the target: no operator, no
// progress, no warp, the work buffer and the fourth bytes untouched.
TEST_F(PlainPass, FastPreviewCrossFade) {
  SetTarget(150, 90);
  PaintRandom(41);
  base_color = {5, 6, 7};
  view->fast_preview = 1;
  view->perspective_on = true;
  method_code = 3;
  effect_code = 6;
  FillTarget(target_pixels, {1, 2, 3, 4});
  FillTarget(target_work, {1, 2, 3, 4});
  for (int bias : {0, 1, 127, 200, 256}) {
    source_bias = bias;
    view->CombineTarget();
    for (int r = 0; r < 90; ++r)
      for (int c = 0; c < 150; ++c) {
        const uint8_t* a = view->layers[0].Pixel(r, c);
        const uint8_t* b = view->layers[1].Pixel(r, c);
        const bool in1 = view->layers[0].Mask(r, c) == 1, in2 = view->layers[1].Mask(r, c) == 1;
        auto fade = [&](int k) { return uint8_t((a[k] * (256 - bias) + b[k] * bias) >> 8); };
        const bgr expected = in1 && in2 ? bgr{fade(0), fade(1), fade(2)}
                             : in1      ? bgr{a[0], a[1], a[2]}
                             : in2      ? bgr{b[0], b[1], b[2]}
                                        : bgr{7, 6, 5};
        ASSERT_EQ(Bgr(Out(r, c)), expected) << bias << " " << r << "," << c;
        ASSERT_EQ(Out(r, c).fourth, 4);
      }
  }
  EXPECT_EQ(Bgr(target_work[0]), (bgr{1, 2, 3}));
  EXPECT_TRUE(ui.progress.empty());
  EXPECT_EQ(view->presented, 5);
}

}  // namespace
