#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "engine/image_record.h"

namespace {

uint32_t Le32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }

TEST(ImageRecord, CreateWritesHeaderZeroPixelsAndFullMask) {
  image_record r;
  ASSERT_TRUE(r.Create(3, 2));
  EXPECT_EQ(Le32(r.bitmap), 40u);
  EXPECT_EQ(Le32(r.bitmap + 4), 3u);
  EXPECT_EQ(Le32(r.bitmap + 8), 2u);
  EXPECT_EQ(r.bitmap[12] | r.bitmap[13] << 8, 1);
  EXPECT_EQ(r.bitmap[14] | r.bitmap[15] << 8, 32);
  EXPECT_EQ(Le32(r.bitmap + 20), 24u);
  EXPECT_EQ(r.Pixels(), r.bitmap + 40);
  // Pixels and the 14 spare bytes after them are zero.
  EXPECT_TRUE(std::all_of(r.bitmap + 40, r.bitmap + 40 + 24 + 14, [](uint8_t b) { return b == 0; }));
  EXPECT_EQ(r.mask_size, 6);
  EXPECT_EQ(r.has_mask, 1);
  EXPECT_TRUE(std::all_of(r.mask, r.mask + 6, [](uint8_t b) { return b == 1; }));
}

TEST(ImageRecord, ReadersTakeThePixelOffsetFromTheHeader) {
  image_record r;
  ASSERT_TRUE(r.Create(1, 1));
  r.bitmap[0] = 44;  // a longer header moves the pixels
  EXPECT_EQ(r.Pixels(), r.bitmap + 44);
}

TEST(ImageRecord, SizeLimits) {
  image_record r;
  EXPECT_TRUE(r.Create(0, 0));
  EXPECT_NE(r.bitmap, nullptr);
  EXPECT_EQ(r.mask_size, 0);
  EXPECT_EQ(r.has_mask, 1);

  EXPECT_TRUE(r.Create(20000, 2499));  // 199,920,054 bytes
  EXPECT_EQ(r.Width(), 20000);
  EXPECT_FALSE(r.Create(20000, 2500));  // 200,000,054 bytes
  EXPECT_FALSE(r.Create(20001, 1));
  EXPECT_FALSE(r.Create(-1, 5));
  EXPECT_FALSE(r.Create(5, -1));
  EXPECT_FALSE(r.Create(20000, 20000));
}

TEST(ImageRecord, RefusalLeavesAnEmptyRecordNotAPartialOne) {
  image_record r;
  ASSERT_TRUE(r.Create(4, 4));
  EXPECT_FALSE(r.Create(20001, 1));
  EXPECT_EQ(r.bitmap, nullptr);
  EXPECT_EQ(r.mask, nullptr);
  EXPECT_EQ(r.has_mask, 0);
  EXPECT_EQ(r.mask_size, 0);
  EXPECT_TRUE(r.Empty());
}

TEST(ImageRecord, MakeMaskZeroStillMarksTheMask) {
  image_record r;
  ASSERT_TRUE(r.Create(5, 3));
  ASSERT_TRUE(r.MakeMask(0));
  EXPECT_EQ(r.has_mask, 1);
  EXPECT_EQ(r.mask_size, 15);
  EXPECT_TRUE(std::all_of(r.mask, r.mask + 15, [](uint8_t b) { return b == 0; }));
  image_record empty;
  EXPECT_FALSE(empty.MakeMask(1));
}

TEST(ImageRecord, MovesAndSwapsOwnership) {
  image_record a;
  ASSERT_TRUE(a.Create(2, 2));
  a.Pixels()[0] = 77;
  image_record b(std::move(a));
  EXPECT_TRUE(a.Empty());
  ASSERT_FALSE(b.Empty());
  EXPECT_EQ(b.Pixels()[0], 77);
  image_record c;
  ASSERT_TRUE(c.Create(1, 1));
  c = std::move(b);
  EXPECT_EQ(c.Width(), 2);
  c.Release();
  EXPECT_TRUE(c.Empty());
}

}  // namespace
