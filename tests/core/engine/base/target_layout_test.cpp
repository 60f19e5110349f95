#include <gtest/gtest.h>

#include "engine/base/target_layout.h"

TEST(target_layout, CentresWithATwentyPixelMarginAndScrollsOverTheScaledTarget) {
  const target_layout fits = CentredTarget(800, 600, 1024, 768, 0.5f);
  EXPECT_EQ(fits.x, 144);
  EXPECT_EQ(fits.y, 108);
  EXPECT_EQ(fits.scroll_width, 800);
  EXPECT_EQ(fits.scroll_height, 600);

  const target_layout larger = CentredTarget(800, 600, 2048, 1536, 1.0f);
  EXPECT_EQ(larger.x, 20);
  EXPECT_EQ(larger.y, 20);
  EXPECT_EQ(larger.scroll_width, 2048 + 40);
  EXPECT_EQ(larger.scroll_height, 1536 + 40);

  // An odd leftover divides toward zero; a scale that truncates keeps the whole pixels.
  const target_layout odd = CentredTarget(801, 601, 333, 333, 0.7f);
  EXPECT_EQ(odd.x, (801 - 233) / 2);
  EXPECT_EQ(odd.scroll_width, 233 + 2 * odd.x);
}

TEST(target_layout, FitScaleStaysPositiveForAWindowSqueezedToNothing) {
  EXPECT_FLOAT_EQ(FitScale(1104, 848, 1024, 768), 1.0f);
  EXPECT_FLOAT_EQ(FitScale(552, 2000, 1024, 768), 0.5f);
  for (const auto& [w, h] : {std::pair{0, 0}, std::pair{-5, 300}, std::pair{300, 0}}) {
    const float scale = FitScale(w, h, 2048, 1536);
    EXPECT_GT(scale, 0.0f) << w << "x" << h;
    EXPECT_GT(CentredTarget(w, h, 2048, 1536, scale).scroll_width, 0);
  }
}
