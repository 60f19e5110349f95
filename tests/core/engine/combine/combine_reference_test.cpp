// The fast pass (one loop per operator class, rows in parallel, the generator jumped ahead
// per row) against a plain pass written the simple way: the combining methods of its own,
// one pixel at a time, one row after another, every draw in turn. The preview's
// cross-fade is the average method.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "engine/base/crt_rand.h"
#include "engine/warp/quad_transform.h"
#include "tests/core/engine/view_fixture.h"

namespace {

constexpr int method_count = 17;

// The combining methods from their formulas, written apart from the program's operators
// so that a fault in those shows here. Channels are blue, green, red.
void ReferenceMethod(int code, uint8_t in1, uint8_t in2, const uint8_t* p1, const uint8_t* p2, uint8_t* out) {
  const uint8_t base[3] = {base_color.blue, base_color.green, base_color.red};
  const auto copy = [out](const uint8_t* p) { std::copy_n(p, 3, out); };
  if (code == 0) return copy(in1 == 1 ? p1 : base);
  if (code == 1) return copy(in2 == 1 ? p2 : base);
  if (in1 != 1 || in2 != 1) return copy(in1 == 1 ? p1 : in1 == 0 && in2 == 0 ? base : p2);

  const int bias = source_bias;
  // t of 256 (or 255) parts of source 1, the rest source 2, truncated.
  const auto blend = [&](double t, double whole) {
    for (int k = 0; k < 3; ++k) out[k] = uint8_t(int((p1[k] * t + p2[k] * (whole - t)) * 0.00390625));
  };
  const auto chroma = [](const uint8_t* p) {
    const float r = p[2], g = p[1], b = p[0];
    const double x = r - g * 0.5 - b * 0.5, y = 0.8660254037844386 * (g - b);
    return float(std::sqrt(x * x + y * y));
  };
  if (code == 2 || code == 3) {
    const double weight[3] = {7.04, 37.76, 19.2};
    int d = 0;
    for (int k = 0; k < 3; ++k) d += int(weight[k] * p1[k]) - int(weight[k] * p2[k]);
    const double whole = code == 2 ? 256.0 : 255.0;
    const int t = (127 - bias) * 128 + (code == 2 ? d : -d);
    return blend(std::clamp(0.1 * t, 0.0, whole), whole);
  }
  if (code == 4 || code == 5) {
    const float k1 = chroma(p1), k2 = chroma(p2), lift = float((127 - bias) * 128);
    const float s = code == 4 ? 64.0f * k1 - 64.0f * k2 + lift : 64.0f * (255.0f - k1) - 64.0f * (255.0f - k2) + lift;
    return blend(std::clamp(0.1 * s, 0.0, 256.0), 256.0);
  }
  if (code == 6 || code == 7) {
    const int a = bias <= 127 ? 127 : 255 - bias, b = bias <= 127 ? bias : 127;
    for (int k = 0; k < 3; ++k)
      out[k] = uint8_t(std::clamp(code == 6 ? ((p1[k] * a - p2[k] * b) >> 7) + bias
                                            : ((p2[k] * b - p1[k] * a) >> 7) - bias + 255,
                                  0, 255));
    return;
  }
  if (code == 8) {
    for (int k = 0; k < 3; ++k) out[k] = uint8_t((p1[k] * (256 - bias) + p2[k] * bias) >> 8);
    return;
  }
  // 9..16: a grey threshold on source 1 (9, 10, 13, 14) or on source 2, then the
  // source or base colour that passes or fails it.
  const bool on_source1 = code == 9 || code == 10 || code == 13 || code == 14;
  bool pass = true;
  for (int k = 0; k < 3; ++k) pass = pass && (on_source1 ? p1[k] >= bias : p2[k] + bias > 255);
  const uint8_t* when[8][2] = {{p1, p2}, {p2, p1}, {p1, p2}, {p2, p1}, {p1, base}, {p2, base}, {p1, base}, {p2, base}};
  copy(when[code - 9][pass ? 0 : 1]);
}

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
        // The preview takes a coverage byte other than 1 for none.
        const uint8_t m1 = v.layers[0].Mask(r, c), m2 = v.layers[1].Mask(r, c);
        if (v.fast_preview == 1)
          ReferenceMethod(8, m1 == 1, m2 == 1, a, b, ch);
        else
          ReferenceMethod(method_code, m1, m2, a, b, ch);
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
  for (method_code = 0; method_code < method_count; ++method_code) {
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

// A pass keeps which rows both layers cover for the next; coverage written in
// between, a byte or a span along a row, with values other than 0 and 1, shows in it.
TEST_F(PlainPass, CoverageWrittenBetweenPasses) {
  std::mt19937 rng(31);
  base_color = {40, 50, 60};
  SetTarget(133, 37);
  for (int round = 0; round < 12; ++round) {
    method_code = int(rng() % method_count);
    source_bias = int(rng() % 257);
    view->fast_preview = round % 4 == 3;
    SetRowThreads(1 + round % 3);
    AllowWideLanes(round % 2 == 0);
    for (int s = 1; s <= 2; ++s) Paint(s, [&](int, int) { return bgr{uint8_t(rng()), uint8_t(rng()), uint8_t(rng())}; });
    SCOPED_TRACE(testing::Message() << "round " << round << ", method " << method_code);
    ExpectSameAsPlain(rng);
    for (int k = 0; k < 5; ++k) {
      source_layer& l = view->layers[rng() % 2];
      const int r = int(rng() % H()), c = int(rng() % W()), n = 1 + int(rng() % (W() - c));
      std::fill_n(&l.Mask(r, c), k == 0 ? 1 : n, std::array<uint8_t, 3>{0, 2, 9}[rng() % 3]);
    }
    ExpectSameAsPlain(rng);
    if (HasFatalFailure()) return;
  }
}

// Every method at every bias with both lane widths, on rows whose widths are no
// multiple of a vector step. Half the pixels have every byte within two of the grey
// threshold their source is tested against, so that it falls either way; one row has
// a gap in its coverage.
TEST_F(PlainPass, EveryMethodAtEveryBiasAndLaneWidth) {
  const int widths[] = {11, 21, 37, 71, 131};
  std::mt19937 rng(5);
  base_color = {40, 50, 60};
  contrast_mode = 1;
  effect_code = 0;
  view->InstallEffectKernel(0);
  for (method_code = 0; method_code < method_count; ++method_code)
    for (source_bias = 0; source_bias <= 256; ++source_bias)
      for (const bool wide : {false, true}) {
        AllowWideLanes(wide);
        SetTarget(widths[(method_code + source_bias) % 5], 3);
        for (int s = 1; s <= 2; ++s) {
          const int level = s == 1 ? source_bias : 256 - source_bias;
          const auto byte = [&](bool near) {
            return uint8_t(near ? std::clamp(level + int(rng() % 5) - 2, 0, 255) : int(rng() % 256));
          };
          Paint(s, [&](int, int) {
            const bool near = rng() % 2 == 0;
            return bgr{byte(near), byte(near), byte(near)};
          });
        }
        const int gap = int(rng() % W());
        std::fill_n(&view->layers[rng() % 2].Mask(1, gap), std::min(5, W() - gap), uint8_t(0));
        SCOPED_TRACE(testing::Message() << "method " << method_code << ", bias " << source_bias
                                        << (wide ? ", wide lanes" : ", narrow lanes"));
        ExpectSameAsPlain(rng);
        if (HasFatalFailure()) return;
      }
}

}  // namespace
