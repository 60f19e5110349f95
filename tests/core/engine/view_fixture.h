#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <utility>
#include <vector>

#include "engine/placement/layer_rows.h"
#include "engine/base/process_state.h"
#include "engine/base/row_parallel.h"
#include "engine/base/view_core.h"
#include "engine/base/wide_lanes.h"
#include "platform/ui_port.h"
#include "sources/document.h"

struct recording_ui : ui_port {
  std::vector<std::pair<uint32_t, int>> progress;
  int stats_redraws = 0;
  void ShowStatusProgress(uint32_t colour, int percent) override { progress.emplace_back(colour, percent); }
  void RedrawStats() override { ++stats_redraws; }
};

// Counts presentations and keeps a copy of a picture presented in place of the target.
class counting_view : public CvorbelViewCore {
 public:
  using CvorbelViewCore::CvorbelViewCore;
  int presented = 0;
  std::vector<bgra> shown;
  bool PresentPixels(const bgra* pixels) override {
    ++presented;
    shown.assign(pixels, pixels == target_pixels ? pixels : pixels + size_t(target_width) * target_height);
    return false;
  }
};

struct bgr {
  uint8_t b, g, r;
  bool operator==(const bgr&) const = default;
};
inline bgr Bgr(const bgra& p) { return {p.blue, p.green, p.red}; }

// A view with two sources counted as loaded; the process-wide settings restored afterwards.
class ViewFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    SetUiPort(&ui);
    source_count = 2;
    SetTarget(32, 32);
  }
  void TearDown() override {
    SetUiPort(nullptr);
    SetRowThreads(0);
    AllowWideLanes(true);
    AllowLayerCopies(true);
    source_count = effect_code = 0, method_code = 8, contrast_mode = 1, source_bias = contrast_bias = 127;
    base_color = {};
  }
  void SetTarget(int w, int h) { view->target_rect = {10, 20, 10 + w, 20 + h}; }
  int W() const { return std::clamp(view->target_rect.Width(), 0, max_target_width); }
  int H() const { return std::clamp(view->target_rect.Height(), 0, max_target_height); }
  bgr At(int s, int r, int c) const {
    const uint8_t* p = view->layers[s - 1].Pixel(r, c);
    return {p[0], p[1], p[2]};
  }
  // Layer s (1 or 2) covers every pixel with colour(column, row).
  template <class F>
  void Paint(int s, F colour) {
    source_layer& l = view->layers[s - 1];
    for (int r = 0; r < H(); ++r)
      for (int c = 0; c < W(); ++c) {
        const bgr p = colour(c, r);
        std::memcpy(l.Pixel(r, c), &p, 3);
        l.Mask(r, c) = 1;
      }
  }
  // Random colours with holes; odd rows of layer 2 near layer 1, where operators blend.
  void PaintRandom(uint32_t seed) {
    std::mt19937 rng(seed);
    for (int s = 1; s <= 2; ++s) {
      Paint(s, [&](int c, int r) {
        bgr p = At(1, r, c);
        for (uint8_t* k : {&p.b, &p.g, &p.r})
          *k = uint8_t(s == 2 && r % 2 ? std::clamp(*k + int(rng() % 9) - 4, 0, 255) : rng() & 255);
        return p;
      });
      source_layer& l = view->layers[s - 1];
      for (int r = 2 + s; r < H(); r += 8)
        for (int c = 0; c < W(); ++c) l.Mask(r, c) = rng() % 3 != 0;
      for (int hole = 0; hole < 3; ++hole) {
        const int r0 = int(rng() % H()), c0 = int(rng() % W());
        const int r1 = std::min(H(), r0 + 1 + int(rng() % 40)), n = std::min(W() - c0, 1 + int(rng() % 90));
        for (int r = r0; r < r1; ++r) std::fill_n(&l.Mask(r, c0), n, 0);
      }
    }
  }
  static void FillTarget(bgra* buffer, bgra value) { std::fill(buffer, buffer + target_capacity, value); }
  bgra& Out(int r, int c) { return target_pixels[size_t(r) * target_width + c]; }
  bgra& Work(int r, int c) { return target_work[size_t(r) * target_width + c]; }
  recording_ui ui;
  CvorbelDoc doc;
  std::unique_ptr<counting_view> view = std::make_unique<counting_view>(&doc);
};
