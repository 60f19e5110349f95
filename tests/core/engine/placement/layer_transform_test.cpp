#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "tests/core/engine/view_fixture.h"

namespace {

bgr Coded(int x, int y) { return {uint8_t(x), uint8_t(y), uint8_t(x * 7 + y * 3)}; }

class LayerTransform : public ViewFixture {
 protected:
  void SetUp() override { view->target_rect = {0, 0, 64, 48}, view->fit_to_target[0] = 0; }

  // Source 1 becomes a w x h image whose pixel (x, y) is colour(x, y).
  template <class F = bgr (*)(int, int)>
  void LoadSource(int w, int h, F colour = Coded) {
    ASSERT_TRUE(doc.source_image[0].Create(w, h));
    for (int i = 0; i < w * h; ++i) {
      const bgr c = colour(i % w, i / w);
      std::memcpy(doc.source_image[0].Pixels() + size_t(i) * 4, &c, 3);
    }
    doc.image_size[0] = {w, h};
    doc.source_kind[0] = kind_file;
  }
  void Build() { view->UpdateSourceGeometry(1), view->BuildSourceLayer(1); }
  bgr At(int row, int col) const { return ViewFixture::At(1, row, col); }
  int Covered(int row, int col) const { return view->layers[0].Mask(row, col); }
  int CoveredCount() const {
    int n = 0;
    for (int i = 0; i < W() * H(); ++i) n += Covered(i / W(), i % W());
    return n;
  }
};

TEST_F(LayerTransform, IdentityOffsetsMirroringAndQuarterTurn) {
  LoadSource(40, 30);
  Build();
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x)
      ASSERT_TRUE(x < 40 && y < 30 ? Covered(y, x) && At(y, x) == Coded(x, y) : !Covered(y, x)) << x << "," << y;
  LoadSource(200, 120);
  view->offset[0] = {-10, -5};
  Build();
  EXPECT_EQ(Covered(20, 9) + Covered(4, 20), 0);
  EXPECT_TRUE(At(5, 10) == Coded(0, 0) && At(47, 63) == Coded(53, 42));
  view->offset[0] = {100, 50};
  Build();
  EXPECT_TRUE(At(0, 0) == Coded(100, 50) && CoveredCount() == 64 * 48);
  // The flip turns about column w / 2 = 5, so column 0 would sample column 10.
  LoadSource(10, 4);
  view->offset[0] = {0, 0};
  doc.mirrored[0] = 1;
  Build();
  EXPECT_EQ(CoveredCount(), 10 * 4);
  for (int x = 1; x <= 10; ++x) ASSERT_EQ(At(3, x), Coded(10 - x, 3)) << x;

  // A quarter turn, clockwise about the integer centre (4, 2). The angle is not exactly
  // a quarter turn (pi is 3.14159 here), which puts one more pixel inside.
  view->fast_preview = 1;
  doc.mirrored[0] = 0;
  LoadSource(8, 4);
  view->rotation[0] = 90.0;
  Build();
  EXPECT_TRUE(At(0, 4) == Coded(0, 0) && At(1, 1) == Coded(0, 3));
  EXPECT_TRUE(At(7, 5) == Coded(7, 0) && At(8, 2) == Coded(7, 3));
  EXPECT_EQ(CoveredCount(), 33);
}

TEST_F(LayerTransform, BilinearNearestAndNothingToPlace) {
  const uint8_t ramp[4] = {0, 100, 200, 250};
  LoadSource(4, 1, [&](int x, int) { return bgr{ramp[x], ramp[x], 0}; });
  view->width_percent[0] = 200.0;
  const int bilinear[8] = {0, 50, 100, 150, 200, 225, 250, 250}, nearest[8] = {0, 0, 100, 100, 200, 200, 250, 250};
  for (const int* expected : {bilinear, nearest}) {
    view->fast_preview = expected == nearest;
    Build();
    for (int c = 0; c < 8; ++c) EXPECT_EQ(At(0, c).b, expected[c]) << c;
  }

  // Uncovered source pixels, a picture under one pixel wide and no picture at all.
  view->width_percent[0] = 100.0;
  LoadSource(6, 6);
  ASSERT_TRUE(doc.source_image[0].MakeMask(0));
  doc.source_image[0].mask[2 * 6 + 3] = 1;
  Build();
  EXPECT_TRUE(CoveredCount() == 1 && At(2, 3) == Coded(3, 2));
  view->width_percent[0] = 100.0 / 12;  // half a pixel wide
  Build();
  EXPECT_TRUE(CoveredCount() == 0 && At(2, 3) == (bgr{0, 0, 0}));
  view->width_percent[0] = 100.0;
  LoadSource(1100, 1000);  // a megapixel: its coverage is scanned in parts
  doc.source_image[0].mask[2 * 1100 + 3] = 0;
  Build();
  EXPECT_EQ(CoveredCount(), 64 * 48 - 1);
  EXPECT_TRUE(Covered(2, 4) && !Covered(2, 3));
  doc.source_image[0].Release();
  Build();
  EXPECT_EQ(CoveredCount(), 0);
}

// Row bands on two to eight threads and the 32-byte lanes (eight pixels a step) must
// give the bytes of the plain single-threaded scalar pass.
TEST_F(LayerTransform, FastPathsGiveThePlainBytes) {
  std::mt19937 rng(7);
  view->target_rect = {0, 0, 301, 203};
  const source_layer& layer = view->layers[0];
  const size_t plane = 203 * source_layer::stride;
  for (int trial = 0; trial < 18; ++trial) {
    // The first source is large enough for its coverage to be scanned in parts; the
    // last ones are a few pixels blown up, so that most samples meet the last column
    // or row (and the last pixel's right-hand neighbour lies past the pixels).
    const bool tiny = trial >= 12;
    const int w = trial == 0 ? 1400 : tiny ? 1 + int(rng() % 4) : 20 + int(rng() % 400);
    const int h = trial == 0 ? 760 : tiny ? 1 + int(rng() % 4) : 20 + int(rng() % 300);
    LoadSource(w, h, [&](int, int) { return bgr{uint8_t(rng()), uint8_t(rng()), uint8_t(rng())}; });
    doc.mirrored[0] = rng() % 2;
    view->fit_to_target[0] = rng() % 2;
    view->rotation[0] = double(int(rng() % 36000) - 18000) / 100.0;
    view->width_percent[0] = tiny ? 2000.0 + rng() % 6000 : 10.0 + rng() % 300;
    view->height_percent[0] = tiny ? 2000.0 + rng() % 6000 : 10.0 + rng() % 300;
    view->offset[0] = {int(rng() % 400) - 200, int(rng() % 300) - 150};
    view->fast_preview = rng() % 4 == 0;
    image_record& record = doc.source_image[0];
    for (int i = 0; trial % 3 == 0 && i < record.mask_size; ++i) record.mask[i] = rng() % 5 != 0;
    SetRowThreads(1), AllowWideLanes(false);
    Build();
    const std::vector<uint8_t> rgb(layer.rgb.get(), layer.rgb.get() + plane * 3);
    const std::vector<uint8_t> mask(layer.MaskRow(0), layer.MaskRow(0) + plane);
    SetRowThreads(2 + trial % 7), AllowWideLanes(true);
    Build();
    ASSERT_TRUE(std::equal(rgb.begin(), rgb.end(), layer.rgb.get())) << trial;
    ASSERT_TRUE(std::equal(mask.begin(), mask.end(), layer.MaskRow(0))) << trial;
    // Nothing of the previous trial's source may stay where this one leaves no cover.
    for (int r = 0; r < 203; ++r)
      for (int c = 0; c < 301; ++c)
        if (!layer.Mask(r, c)) {
          ASSERT_EQ(At(r, c), (bgr{0, 0, 0})) << trial << " " << r << "," << c;
        }
  }
}

// Rebuilding both sources builds their layers in one pass, both planned before any
// row is built: each must come out as when built alone.
TEST_F(LayerTransform, BothLayersInOnePassGiveTheBytesOfEachAlone) {
  std::mt19937 rng(5);
  view->target_rect = {0, 0, 157, 131};
  const size_t plane = 131 * source_layer::stride;
  auto bytes = [](const uint8_t* p, size_t n) { return std::vector<uint8_t>(p, p + n); };
  for (int trial = 0; trial < 6; ++trial) {
    for (int i = 0; i < 2; ++i) {
      // Once a megapixel source with holes, whose coverage is scanned in parts.
      const bool large = trial == 0 && i == 1;
      const int w = large ? 1100 : 30 + int(rng() % 300), h = large ? 1000 : 30 + int(rng() % 200);
      ASSERT_TRUE(doc.source_image[i].Create(w, h));
      for (size_t k = 0; k < size_t(w) * h * 4; ++k) doc.source_image[i].Pixels()[k] = uint8_t(rng());
      for (int k = 0; large && k < w * h; k += 7) doc.source_image[i].mask[k] = 0;
      doc.image_size[i] = {w, h};
      doc.source_kind[i] = kind_file;
      view->rotation[i] = double(int(rng() % 36000) - 18000) / 100.0;
      view->width_percent[i] = view->height_percent[i] = 20.0 + rng() % 200;
      view->offset[i] = {int(rng() % 200) - 100, int(rng() % 200) - 100};
      view->UpdateSourceGeometry(i + 1);
    }
    view->fast_preview = trial % 3 == 0;
    SetRowThreads(1), AllowWideLanes(false);
    view->BuildSourceLayer(1), view->BuildSourceLayer(2);
    const auto rgb1 = bytes(view->layers[0].rgb.get(), plane * 3), rgb2 = bytes(view->layers[1].rgb.get(), plane * 3);
    const auto mask1 = bytes(view->layers[0].MaskRow(0), plane), mask2 = bytes(view->layers[1].MaskRow(0), plane);
    SetRowThreads(2 + trial), AllowWideLanes(true);
    view->RebuildSources(-1);
    EXPECT_TRUE(bytes(view->layers[0].rgb.get(), plane * 3) == rgb1 && bytes(view->layers[0].MaskRow(0), plane) == mask1) << trial;
    EXPECT_TRUE(bytes(view->layers[1].rgb.get(), plane * 3) == rgb2 && bytes(view->layers[1].MaskRow(0), plane) == mask2) << trial;
  }
}

// A source neither scaled nor turned is copied pixel for pixel instead of sampled:
// the copy must give the sampled bytes wherever the source sits, mirrored or not,
// with holes in its coverage or without, and whatever its size against the target.
TEST_F(LayerTransform, CopiedLayersGiveTheSampledBytes) {
  std::mt19937 rng(11);
  const source_layer& layer = view->layers[0];
  for (int trial = 0; trial < 24; ++trial) {
    const int tw = 1 + int(rng() % 300), th = 1 + int(rng() % 200);
    view->target_rect = {0, 0, tw, th};
    // Every fourth source is the target's size and fitted to it, as in a batch of photographs.
    const bool fitted = trial % 4 == 0;
    // Two megapixel sources, whose coverage is otherwise scanned on the row pool.
    const bool large = trial == 1 || trial == 2;
    const int w = fitted ? tw : large ? 1100 : 1 + int(rng() % 400), h = fitted ? th : large ? 1000 : 1 + int(rng() % 300);
    LoadSource(w, h, [&](int, int) { return bgr{uint8_t(rng()), uint8_t(rng()), uint8_t(rng())}; });
    doc.mirrored[0] = rng() % 2;
    view->fit_to_target[0] = fitted;
    view->rotation[0] = trial % 5 == 1 ? -0.0 : 0.0;
    view->width_percent[0] = view->height_percent[0] = 100.0;
    // Anywhere from past the source's right or lower edge to a corner inside the target.
    view->offset[0] = {int(rng() % (tw + 400)) - tw + 1, int(rng() % (th + 300)) - th + 1};
    view->fast_preview = rng() % 4 == 0;
    image_record& record = doc.source_image[0];
    for (int i = 0; trial % 3 == 0 && i < record.mask_size; ++i) record.mask[i] = rng() % 5 != 0;
    for (int i = 0; trial == 1 && i < record.mask_size; i += 4099) record.mask[i] = 0;
    SetRowThreads(1), AllowWideLanes(false), AllowLayerCopies(false);
    Build();
    const size_t plane = size_t(th) * source_layer::stride;
    const std::vector<uint8_t> rgb(layer.rgb.get(), layer.rgb.get() + plane * 3);
    const std::vector<uint8_t> mask(layer.MaskRow(0), layer.MaskRow(0) + plane);
    SetRowThreads(1 + trial % 8), AllowWideLanes(true), AllowLayerCopies(true);
    const int copies = LayerCopies();
    Build();
    ASSERT_EQ(LayerCopies(), copies + 1) << trial;
    ASSERT_TRUE(std::equal(rgb.begin(), rgb.end(), layer.rgb.get())) << trial;
    ASSERT_TRUE(std::equal(mask.begin(), mask.end(), layer.MaskRow(0))) << trial;
  }
  // A scale or a turn away from one samples again.
  const int copies = LayerCopies();
  view->width_percent[0] = 101.0;
  Build();
  view->width_percent[0] = 100.0, view->rotation[0] = 90.0;
  Build();
  EXPECT_EQ(LayerCopies(), copies);
}

// Broken settings must never read outside the record or write outside the layer.
TEST_F(LayerTransform, ExtremeSettingsStayInsideTheBuffers) {
  constexpr double inf = std::numeric_limits<double>::infinity();
  LoadSource(7, 5);
  view->target_rect = {0, 0, 5000, -3};
  Build();
  view->target_rect = {0, 0, 33, 17};
  view->fit_to_target[0] = 1;
  for (double v : {std::numeric_limits<double>::quiet_NaN(), inf, -inf, 1e300, -1e300, 0.0, 1e-300, 5e4})
    for (const vpoint& o : {vpoint{INT32_MIN, INT32_MIN}, vpoint{INT32_MAX, INT32_MAX}, vpoint{-2047, 1535}}) {
      view->rotation[0] = view->width_percent[0] = v, view->offset[0] = o;
      Build();
      view->width_percent[0] = 100.0, view->height_percent[0] = v;
      Build();
    }
  view->rotation[0] = 0, view->height_percent[0] = 100.0, view->offset[0] = {0, 0};
  doc.image_size[0] = {70, 50};  // larger than the record
  Build();
  EXPECT_EQ(CoveredCount(), 0);
  ASSERT_TRUE(doc.source_image[0].Create(0, 0));
  doc.image_size[0] = {0, 0};
  Build();
  EXPECT_EQ(CoveredCount(), 0);
}

}  // namespace
