#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>
#include <utility>
#include <vector>

#include "engine/process_state.h"
#include "engine/row_parallel.h"
#include "engine/view_core.h"
#include "platform/ui_port.h"
#include "sources/document.h"

struct recording_ui : ui_port {
  std::vector<std::pair<uint32_t, int>> progress;
  int stats_redraws = 0;
  void ShowStatusProgress(uint32_t colour, int percent) override { progress.emplace_back(colour, percent); }
  void RedrawStats() override { ++stats_redraws; }
};

// Counts presentations and keeps the last picture presented in place of the target.
class counting_view : public CvorbelViewCore {
 public:
  using CvorbelViewCore::CvorbelViewCore;
  int presented = 0;
  std::vector<bgra> shown;  // empty when the target itself was presented
  bool PresentPixels(const bgra* pixels) override {
    ++presented;
    shown.clear();
    if (pixels != target_pixels) shown.assign(pixels, pixels + size_t(target_width) * target_height);
    return false;
  }
};

struct bgr {
  uint8_t b, g, r;
  bool operator==(const bgr&) const = default;
};

inline bgr Bgr(const bgra& p) { return {p.blue, p.green, p.red}; }

// A view with two sources counted as loaded, layers filled by the test, and the
// process-wide settings at their starting values.
class CombineFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    SetUiPort(&ui);
    view = std::make_unique<counting_view>(&doc);
    source_count = 2;
    SetTarget(32, 32);
  }
  void TearDown() override {
    SetUiPort(nullptr);
    SetRowThreads(0);
    source_count = 0;
    effect_code = 0;
    method_code = 8;
    contrast_mode = 1;
    source_bias = contrast_bias = 127;
    base_color = {};
  }

  void SetTarget(int w, int h) { view->target_rect = {10, 20, 10 + w, 20 + h}; }
  int W() const { return std::clamp(view->target_rect.Width(), 0, max_target_width); }
  int H() const { return std::clamp(view->target_rect.Height(), 0, max_target_height); }

  // Layer s (1 or 2) covers every pixel with colour(column, row).
  template <class F>
  void Paint(int s, F colour) {
    source_layer& l = view->layers[s - 1];
    for (int r = 0; r < H(); ++r)
      for (int c = 0; c < W(); ++c) {
        const bgr p = colour(c, r);
        uint8_t* px = l.Pixel(r, c);
        px[0] = p.b, px[1] = p.g, px[2] = p.r;
        l.Mask(r, c) = 1;
      }
  }
  void PaintFlat(int s, bgr p) {
    Paint(s, [p](int, int) { return p; });
  }

  // Random colours with uncovered rectangles and scattered holes. In every other
  // row layer 2 stays close to layer 1, where the weighted operators blend rather
  // than pick.
  void PaintRandom(uint32_t seed) {
    std::mt19937 rng(seed);
    for (int s = 0; s < 2; ++s) {
      source_layer& l = view->layers[s];
      for (int r = 0; r < H(); ++r)
        for (int c = 0; c < W(); ++c) {
          const uint8_t* near = view->layers[0].Pixel(r, c);
          for (int k = 0; k < 3; ++k)
            l.Pixel(r, c)[k] =
                s == 1 && r % 2 ? uint8_t(std::clamp(near[k] + int(rng() % 9) - 4, 0, 255)) : uint8_t(rng());
          l.Mask(r, c) = 1;
        }
      for (int hole = 0; hole < 3; ++hole) {
        const int r0 = int(rng() % H()), c0 = int(rng() % W());
        const int r1 = std::min(H(), r0 + 1 + int(rng() % 40)), c1 = std::min(W(), c0 + 1 + int(rng() % 90));
        for (int r = r0; r < r1; ++r)
          for (int c = c0; c < c1; ++c) l.Mask(r, c) = 0;
      }
      for (int r = 0; r < H(); ++r)
        if (rng() % 8 == 0)
          for (int c = 0; c < W(); ++c)
            if (rng() % 3 == 0) l.Mask(r, c) = 0;
    }
  }

  static void FillTarget(bgra* buffer, bgra value) { std::fill(buffer, buffer + target_capacity, value); }
  bgra& Out(int r, int c) { return target_pixels[size_t(r) * target_width + c]; }
  bgra& Work(int r, int c) { return target_work[size_t(r) * target_width + c]; }

  recording_ui ui;
  CvorbelDoc doc;
  std::unique_ptr<counting_view> view;
};
