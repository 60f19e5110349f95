#include "engine/base/image_record.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

namespace {

uint32_t Le32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }
bool All(const uint8_t* p, size_t n, uint8_t v) { return std::all_of(p, p + n, [v](uint8_t b) { return b == v; }); }

TEST(ImageRecord, HeaderMaskLimitsAndRefusalLeavingAnEmptyRecord) {
  image_record r;
  ASSERT_TRUE(r.Create(3, 2));
  // Header size, width, height, bits per pixel (a 16-bit field) and pixel bytes.
  EXPECT_EQ((std::array{Le32(r.bitmap), Le32(r.bitmap + 4), Le32(r.bitmap + 8), Le32(r.bitmap + 12) >> 16,
                        Le32(r.bitmap + 20)}),
            (std::array{40u, 3u, 2u, 32u, 24u}));
  EXPECT_TRUE(All(r.bitmap + 40, 24 + 14, 0));  // pixels and the spare bytes after them
  EXPECT_TRUE(r.mask_size == 6 && All(r.mask, 6, 1));
  r.bitmap[0] = 44;  // readers take the pixel offset from the header
  EXPECT_EQ(r.Pixels(), r.bitmap + 44);
  ASSERT_TRUE(r.MakeMask(0));
  EXPECT_TRUE(r.has_mask == 1 && All(r.mask, 6, 0));
  EXPECT_FALSE(image_record().MakeMask(1));
  EXPECT_TRUE(r.Create(0, 0) && r.bitmap != nullptr && r.Create(20000, 2499));  // 199,920,054 bytes
  for (auto [w, h] : {std::pair{20000, 2500}, {20001, 1}, {-1, 5}, {5, -1}, {20000, 20000}}) {
    ASSERT_TRUE(r.Create(4, 4));
    EXPECT_FALSE(r.Create(w, h)) << w << "x" << h;
    EXPECT_TRUE(r.bitmap == nullptr && r.mask == nullptr && r.has_mask + r.mask_size == 0) << w << "x" << h;
  }
}

}  // namespace
