#include "engine/image_record.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

uint32_t Le32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }
bool All(const uint8_t* p, size_t n, uint8_t v) { return std::all_of(p, p + n, [v](uint8_t b) { return b == v; }); }

TEST(ImageRecord, CreateWritesTheHeaderZeroPixelsAndAFullMask) {
  image_record r;
  ASSERT_TRUE(r.Create(3, 2));
  EXPECT_EQ(Le32(r.bitmap), 40u);
  EXPECT_EQ(Le32(r.bitmap + 4), 3u);
  EXPECT_EQ(Le32(r.bitmap + 8), 2u);
  EXPECT_EQ(r.bitmap[14] | r.bitmap[15] << 8, 32);
  EXPECT_EQ(Le32(r.bitmap + 20), 24u);
  EXPECT_TRUE(All(r.bitmap + 40, 24 + 14, 0));  // pixels and the spare bytes after them
  EXPECT_EQ(r.mask_size, 6);
  EXPECT_TRUE(All(r.mask, 6, 1));
  r.bitmap[0] = 44;  // readers take the pixel offset from the header
  EXPECT_EQ(r.Pixels(), r.bitmap + 44);
  ASSERT_TRUE(r.MakeMask(0));
  EXPECT_EQ(r.has_mask, 1);
  EXPECT_TRUE(All(r.mask, 6, 0));
  EXPECT_FALSE(image_record().MakeMask(1));
  image_record moved(std::move(r));
  EXPECT_TRUE(r.Empty());
  ASSERT_TRUE(r.Create(1, 1));
  r = std::move(moved);
  EXPECT_EQ(r.Width(), 3);
}

TEST(ImageRecord, SizeLimitsAndRefusalLeavesAnEmptyRecord) {
  image_record r;
  EXPECT_TRUE(r.Create(0, 0));
  EXPECT_NE(r.bitmap, nullptr);
  EXPECT_TRUE(r.Create(20000, 2499));  // 199,920,054 bytes
  for (auto [w, h] : {std::pair{20000, 2500}, {20001, 1}, {-1, 5}, {5, -1}, {20000, 20000}}) {
    ASSERT_TRUE(r.Create(4, 4));
    EXPECT_FALSE(r.Create(w, h)) << w << "x" << h;
    EXPECT_EQ(r.bitmap, nullptr);
    EXPECT_EQ(r.mask, nullptr);
    EXPECT_EQ(r.has_mask + r.mask_size, 0);
  }
}

}  // namespace
