#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <memory>
#include <random>

#include "engine/process_state.h"
#include "engine/row_parallel.h"
#include "engine/view_core.h"
#include "engine/wide_lanes.h"
#include "sources/document.h"

namespace {

struct bgr {
  uint8_t b, g, r;
  bool operator==(const bgr&) const = default;
};

class LayerTransform : public ::testing::Test {
 protected:
  void SetUp() override {
    view = std::make_unique<CvorbelViewCore>(&doc);
    view->target_rect = {0, 0, 64, 48};
    view->fit_to_target[0] = 0;
  }
  void TearDown() override { SetRowThreads(0); }

  // Source 1 becomes a w x h image whose pixel (x, y) is colour(x, y).
  template <class F>
  void LoadSource(int w, int h, F colour) {
    image_record& r = doc.source_image[0];
    ASSERT_TRUE(r.Create(w, h));
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const bgr c = colour(x, y);
        uint8_t* p = r.Pixels() + (size_t(y) * w + x) * 4;
        p[0] = c.b, p[1] = c.g, p[2] = c.r;
      }
    doc.image_size[0] = {w, h};
    doc.source_kind[0] = kind_file;
  }

  void Build() {
    view->UpdateSourceGeometry(1);
    view->BuildSourceLayer(1);
  }

  bgr At(int row, int col) const {
    const uint8_t* p = view->layers[0].Pixel(row, col);
    return {p[0], p[1], p[2]};
  }
  int Covered(int row, int col) const { return view->layers[0].Mask(row, col); }
  int CoveredCount() const {
    int n = 0;
    for (int r = 0; r < view->target_rect.Height(); ++r)
      for (int c = 0; c < view->target_rect.Width(); ++c) n += Covered(r, c);
    return n;
  }

  static bgr Coded(int x, int y) { return {uint8_t(x), uint8_t(y), uint8_t(x * 7 + y * 3)}; }

  CvorbelDoc doc;
  std::unique_ptr<CvorbelViewCore> view;
};

TEST_F(LayerTransform, IdentityAndOffsetsBothWays) {
  LoadSource(40, 30, Coded);
  Build();
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) {
      const bool inside = x < 40 && y < 30;
      ASSERT_EQ(Covered(y, x), inside) << x << "," << y;
      ASSERT_TRUE(!inside || At(y, x) == Coded(x, y)) << x << "," << y;
    }
  LoadSource(200, 120, Coded);
  view->offset[0] = {-10, -5};
  Build();
  EXPECT_EQ(Covered(20, 9) + Covered(4, 20), 0);
  EXPECT_EQ(At(5, 10), Coded(0, 0));
  EXPECT_EQ(At(47, 63), Coded(53, 42));
  view->offset[0] = {100, 50};
  Build();
  EXPECT_EQ(At(0, 0), Coded(100, 50));
  EXPECT_EQ(CoveredCount(), 64 * 48);
}

TEST_F(LayerTransform, MirroringFlipsAboutTheIntegerCentre) {
  LoadSource(10, 4, Coded);
  doc.mirrored[0] = 1;
  Build();
  // The flip turns about column w / 2 = 5, so column 0 would sample column 10.
  for (int y = 0; y < 4; ++y) {
    EXPECT_EQ(Covered(y, 0), 0);
    for (int x = 1; x < 10; ++x) ASSERT_EQ(At(y, x), Coded(10 - x, y)) << x << "," << y;
  }
}

TEST_F(LayerTransform, QuarterTurnIsClockwiseWithTheBoxAtTheOffset) {
  view->fast_preview = 1;
  LoadSource(8, 4, Coded);
  view->rotation[0] = 90.0;
  Build();
  EXPECT_EQ(view->rotated_size[0].width, 4);
  EXPECT_EQ(view->rotated_size[0].height, 8);
  // About the integer centre (4, 2). The angle is not exactly a quarter turn (pi is
  // 3.14159 here), which puts one more pixel inside.
  EXPECT_EQ(At(0, 4), Coded(0, 0));
  EXPECT_EQ(At(1, 1), Coded(0, 3));
  EXPECT_EQ(At(7, 5), Coded(7, 0));
  EXPECT_EQ(At(8, 2), Coded(7, 3));
  EXPECT_EQ(CoveredCount(), 33);
}

TEST_F(LayerTransform, BilinearWeightsAndFastPreviewNearest) {
  const uint8_t ramp[4] = {0, 100, 200, 250};
  LoadSource(4, 1, [&](int x, int) { return bgr{ramp[x], ramp[x], 0}; });
  view->width_percent[0] = 200.0;
  Build();
  const int bilinear[8] = {0, 50, 100, 150, 200, 225, 250, 250};
  for (int c = 0; c < 8; ++c) EXPECT_EQ(At(0, c).b, bilinear[c]) << c;
  view->fast_preview = 1;
  Build();
  const int nearest[8] = {0, 0, 100, 100, 200, 200, 250, 250};
  for (int c = 0; c < 8; ++c) EXPECT_EQ(At(0, c).b, nearest[c]) << c;
}

TEST_F(LayerTransform, UncoveredOrNothingToPlaceLeavesTheLayerUncovered) {
  LoadSource(6, 6, Coded);
  ASSERT_TRUE(doc.source_image[0].MakeMask(0));
  doc.source_image[0].mask[2 * 6 + 3] = 1;
  Build();
  EXPECT_EQ(CoveredCount(), 1);
  EXPECT_EQ(At(2, 3), Coded(3, 2));

  LoadSource(50, 40, Coded);
  Build();
  view->width_percent[0] = 1.0;  // half a pixel wide
  Build();
  EXPECT_EQ(CoveredCount(), 0);
  EXPECT_EQ(At(0, 0), (bgr{0, 0, 0}));
  view->width_percent[0] = 100.0;
  Build();
  doc.source_image[0].Release();
  Build();
  EXPECT_EQ(CoveredCount(), 0);
}

TEST_F(LayerTransform, FittingKeepsProportionsButNotForText) {
  LoadSource(100, 20, Coded);
  view->fit_to_target[0] = 1;
  view->UpdateSourceGeometry(1);
  EXPECT_DOUBLE_EQ(view->fit_factor_x[0], 0.64);
  EXPECT_DOUBLE_EQ(view->fit_factor_y[0], 0.64);
  doc.source_kind[0] = kind_text;
  view->UpdateSourceGeometry(1);
  EXPECT_EQ(view->fit_factor_x[0] + view->fit_factor_y[0], 2.0);
}

// Row bands on several threads and the 32-byte lanes must give the bytes of the plain
// single-threaded scalar pass.
TEST_F(LayerTransform, FastPathsGiveThePlainBytes) {
  std::mt19937 rng(7);
  view->target_rect = {0, 0, 301, 203};
  const auto& layer = view->layers[0];
  for (int trial = 0; trial < 12; ++trial) {
    LoadSource(20 + int(rng() % 400), 20 + int(rng() % 300),
               [&](int, int) { return bgr{uint8_t(rng()), uint8_t(rng()), uint8_t(rng())}; });
    doc.mirrored[0] = rng() % 2;
    view->fit_to_target[0] = rng() % 2;
    view->rotation[0] = double(int(rng() % 36000) - 18000) / 100.0;
    view->width_percent[0] = 10.0 + rng() % 300;
    view->height_percent[0] = 10.0 + rng() % 300;
    view->offset[0] = {int(rng() % 400) - 200, int(rng() % 300) - 150};
    view->fast_preview = rng() % 4 == 0;
    if (trial % 3 == 0) {
      image_record& r = doc.source_image[0];
      for (int i = 0; i < r.mask_size; ++i) r.mask[i] = rng() % 5 != 0;
    }
    SetRowThreads(1);
    AllowWideLanes(false);
    Build();
    const std::vector<uint8_t> rgb(layer.rgb.get(), layer.rgb.get() + 203 * source_layer::stride * 3);
    const std::vector<uint8_t> mask(layer.mask.get(), layer.mask.get() + 203 * source_layer::stride);
    SetRowThreads(4);
    AllowWideLanes(true);
    Build();
    ASSERT_EQ(0, std::memcmp(rgb.data(), layer.rgb.get(), rgb.size())) << trial;
    ASSERT_EQ(0, std::memcmp(mask.data(), layer.mask.get(), mask.size())) << trial;
  }
}

// Broken settings must never read outside the record or write outside the layer.
TEST_F(LayerTransform, ExtremeSettingsStayInsideTheBuffers) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  LoadSource(7, 5, Coded);
  view->target_rect = {0, 0, 5000, -3};
  Build();
  view->target_rect = {0, 0, 33, 17};
  view->fit_to_target[0] = 1;
  for (double v : {nan, inf, -inf, 1e300, -1e300, 0.0, 1e-300, 5e4})
    for (const vpoint& o : {vpoint{INT32_MIN, INT32_MIN}, vpoint{INT32_MAX, INT32_MAX}, vpoint{-2047, 1535}}) {
      view->rotation[0] = view->width_percent[0] = v;
      view->offset[0] = o;
      Build();
      view->width_percent[0] = 100.0;
      view->height_percent[0] = v;
      Build();
    }
  doc.image_size[0] = {70, 50};  // larger than the record
  view->rotation[0] = 0;
  view->height_percent[0] = 100.0;
  view->offset[0] = {0, 0};
  Build();
  EXPECT_EQ(CoveredCount(), 0);
  ASSERT_TRUE(doc.source_image[0].Create(0, 0));
  doc.image_size[0] = {0, 0};
  Build();
  EXPECT_EQ(CoveredCount(), 0);
}

}  // namespace
