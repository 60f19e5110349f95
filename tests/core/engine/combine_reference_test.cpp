// The fast pass (one loop per operator class, rows in parallel, the generator jumped ahead
// per row) against a plain pass written the simple way: one virtual call per pixel, one row
// after another, every draw in turn. The preview's cross-fade is the average operator.
#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "engine/base/crt_rand.h"
#include "engine/combine/pixel_operators.h"
#include "engine/warp/quad_transform.h"
#include "view_fixture.h"

namespace {

class PlainPass : public ViewFixture {
 protected:
  static uint8_t* Channels(bgra& p) { return &p.blue; }
  void RunPlain(crt_rand& rng) {
    const CvorbelViewCore& v = *view;
    const int w = target_width = W(), h = target_height = H();
    for (int r = 0; r < h; ++r)
      for (int c = 0; c < w; ++c) {
        const uint8_t *a = v.layers[0].Pixel(r, c), *b = v.layers[1].Pixel(r, c);
        uint8_t ch[3] = {};  // blue, green, red
        WithOperator(v.fast_preview == 1 ? 8 : method_code, [&](const pixel& op) {
          op(v.layers[0].Mask(r, c), v.layers[1].Mask(r, c), {a[0], a[1], a[2]}, {b[0], b[1], b[2]}, ch, ch + 1,
             ch + 2);
        });
        if (v.fast_preview == 1) {
          std::memcpy(&Out(r, c), ch, 3);
          continue;
        }
        if (contrast_mode == 0)
          std::fill_n(ch, 3, uint8_t(std::clamp(int(ch[2] * 19.2 + ch[1] * 37.76 + ch[0] * 7.04) >> 6, 0, 255)));
        else if (contrast_mode == 3)
          for (uint8_t& x : ch) x = x <= contrast_bias ? 0 : 255;
        else if (contrast_mode == 2)
          std::fill_n(ch, 3, ch[0] + ch[1] + ch[2] > 3 * contrast_bias ? 255 : 0);
        for (int k = 2; k >= 0; --k) {
          const double f = v.channel_adjust[k].contrast * v.channel_adjust[k].contrast / 2500.0;
          const double x = ch[k] * f - (f - 1) * 255 * 0.5 + (v.channel_adjust[k].brightness - 50);
          ch[k] = uint8_t(int(std::clamp(x, 0.0, 255.0)));
        }
        std::memcpy(&Work(r, c), ch, 3);
      }
    if (v.fast_preview == 1) return;
    const int n = v.kernel_size;
    for (int r = 0; n != 0 && r <= h - n; ++r)
      for (int c = 0; c <= w - n; ++c)
        for (int k = 0; k < 3; ++k) {
          int s = 0;
          for (int i = 0; i < n * n; ++i) s += v.kernel[i] * Channels(Work(r + i / n, c + i % n))[k];
          if (v.kernel_divisor != 0) s /= v.kernel_divisor;
          Channels(Out(r + n / 2, c + n / 2))[k] = uint8_t(std::clamp(s + v.kernel_offset, 0, 255));
        }
    if (effect_code == 0 || effect_code == 7)
      for (int i = 0; i < w * h; ++i) std::memcpy(&target_pixels[i], &target_work[i], 3);
    auto level = [](int i, int n, int slope) {
      return (float(i) / float(n) + float(i) / float(n) - 1.0f) * float(slope) + 64.0f;
    };
    for (int r = 0; effect_code == 6 && r < h; ++r)
      for (int c = 0; c < w; ++c)
        for (int k = 0; k < 3; ++k) {  // red, green, blue
          const float tv = level(r, h, v.position_slopes[k].vertical);
          const float th = level(c, w, v.position_slopes[k].horizontal);
          const int q1 = rng.Next(), q2 = rng.Next();
          const int iv = int(tv) + ((tv - int(tv)) * 32767.0f > q1), ih = int(th) + ((th - int(th)) * 32767.0f > q2);
          Channels(Out(r, c))[2 - k] = uint8_t(std::clamp(Channels(Work(r, c))[2 - k] + 2 * (iv + ih - 128), 0, 255));
        }
    if (v.perspective_on) {
      std::memcpy(target_work, target_pixels, sizeof(bgra) * w * h);
      ApplyQuadTransform();
    }
  }

  // Runs both passes from the same random buffers and generator state.
  void ExpectSameAsPlain(std::mt19937& rng) {
    const size_t n = size_t(W()) * H() * sizeof(bgra);
    auto bytes = [n](const bgra* p) { return std::vector<uint8_t>(&p->blue, &p->blue + n); };
    std::vector<uint8_t> start(2 * n);
    for (uint8_t& x : start) x = uint8_t(rng());
    auto restart = [&] { std::memcpy(target_pixels, start.data(), n), std::memcpy(target_work, start.data() + n, n); };
    restart();
    crt_rand plain{run_time_rand.state};
    view->CombineTarget();
    const std::vector<uint8_t> pixels = bytes(target_pixels), work = bytes(target_work);
    restart();
    RunPlain(plain);
    EXPECT_EQ(run_time_rand.state, plain.state);
    ASSERT_TRUE(bytes(target_pixels) == pixels);
    // Without an effect or the warp nothing reads target_work after the full pass,
    // which then leaves it as it was.
    const bool work_unread = (effect_code == 0 || effect_code == 7) && !view->perspective_on;
    const std::vector<uint8_t> unread(start.begin() + long(n), start.end());
    ASSERT_TRUE(work == (work_unread ? unread : bytes(target_work)));
  }
};

// Every operator, contrast mode and effect, and the preview, at sizes down to one
// pixel and with several thread counts.
TEST_F(PlainPass, EveryOperatorModeAndEffect) {
  const std::pair<int, int> sizes[] = {{53, 190}, {1, 1}, {2, 2}, {3, 40}, {97, 13}, {130, 301}};
  std::mt19937 rng(12);
  base_color = {40, 50, 60};
  for (method_code = 0; method_code < operator_count; ++method_code) {
    SetRowThreads(std::array{1, 2, 3, 8}[method_code % 4]);
    for (contrast_mode = 0; contrast_mode < 4; ++contrast_mode)
      for (effect_code = 0; effect_code < 8; ++effect_code) {
        const auto [w, h] = sizes[(method_code + contrast_mode + effect_code) % 6];
        SetTarget(w, h);
        PaintRandom(rng());
        source_bias = int(rng() % 257);
        contrast_bias = int(rng() % 256);
        AllowWideLanes(rng() % 2 == 0);
        // Highlight and Articulate run with whatever kernel came before them.
        view->InstallEffectKernel(effect_code < 6 ? effect_code : int(rng() % 6));
        for (channel_pair& p : view->channel_adjust)
          p = rng() % 2 ? channel_pair{50, 50} : channel_pair{int(rng() % 101), int(rng() % 101)};
        for (slope_pair& s : view->position_slopes) s = {int(rng() % 200) - 100, int(rng() % 200) - 100};
        view->perspective_on = rng() % 8 == 0;
        view->fast_preview = rng() % 8 == 0;
        SCOPED_TRACE(testing::Message() << method_code << " " << contrast_mode << " " << effect_code);
        ExpectSameAsPlain(rng);
        if (HasFatalFailure()) return;
      }
  }
}

}  // namespace
