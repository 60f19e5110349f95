#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/process_state.h"
#include "engine/view_core.h"
#include "sources/document.h"

namespace {

// Keeps what each presentation was given.
class recording_view : public CvorbelViewCore {
 public:
  using CvorbelViewCore::CvorbelViewCore;
  bool PresentPixels(const bgra* pixels) override {
    presented_target.push_back(pixels == target_pixels);
    if (target_width > 0 && target_height > 0 && target_width * target_height <= 15)
      shown.assign(pixels, pixels + target_width * target_height);
    return false;
  }
  std::vector<bool> presented_target;
  std::vector<bgra> shown;
};

class SourceAlone : public ::testing::Test {
 protected:
  void SetUp() override {
    target_width = 5;
    target_height = 3;
    base_color = {10, 20, 30};
    for (int i = 0; i < 15; ++i) {
      target_pixels[i] = {uint8_t(i), 1, 2, 0};
      target_copy[i] = {9, 9, 9, 9};
    }
    // Source 1 covers the left column, source 2 every pixel but the middle one.
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 5; ++c) {
        view.layers[0].Mask(r, c) = c == 0;
        uint8_t* p1 = view.layers[0].Pixel(r, c);
        p1[0] = 100, p1[1] = uint8_t(r), p1[2] = uint8_t(c);
        view.layers[1].Mask(r, c) = !(r == 1 && c == 2);
        uint8_t* p2 = view.layers[1].Pixel(r, c);
        p2[0] = 200, p2[1] = uint8_t(c), p2[2] = uint8_t(r);
      }
  }
  CvorbelDoc doc;
  recording_view view{&doc};
};

TEST_F(SourceAlone, ComposesEachSourceOverTheBaseColourAndLeavesTheBuffersAlone) {
  std::vector<bgra> pixels_before(target_pixels, target_pixels + 15);
  view.ShowSourceAlone(1);
  ASSERT_EQ(view.presented_target, std::vector<bool>{false});
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 5; ++c) {
      const bgra& p = view.shown[r * 5 + c];
      if (c == 0) {
        EXPECT_EQ(p.blue, 100);
        EXPECT_EQ(p.green, r);
        EXPECT_EQ(p.red, 0);
      } else {
        EXPECT_EQ(p.blue, 30);
        EXPECT_EQ(p.green, 20);
        EXPECT_EQ(p.red, 10);
      }
    }
  view.ShowSourceAlone(2);
  EXPECT_EQ(view.shown[1 * 5 + 2].blue, 30);
  EXPECT_EQ(view.shown[2 * 5 + 4].blue, 200);
  EXPECT_EQ(view.shown[2 * 5 + 4].green, 4);
  EXPECT_EQ(view.shown[2 * 5 + 4].red, 2);

  EXPECT_EQ(std::memcmp(pixels_before.data(), target_pixels, sizeof(bgra) * 15), 0);
  for (int i = 0; i < 15; ++i) EXPECT_EQ(target_copy[i].blue, 9);

  view.ShowSourceAlone(-1);
  EXPECT_TRUE(view.presented_target.back());
}

TEST_F(SourceAlone, AnUnusableTargetSizeOnlyPresentsTheTarget) {
  for (vsize size : {vsize{0, 3}, vsize{5, 0}, vsize{4096, 3}, vsize{5, -2}}) {
    target_width = size.width;
    target_height = size.height;
    view.ShowSourceAlone(1);
    EXPECT_TRUE(view.presented_target.back());
  }
}

}  // namespace
