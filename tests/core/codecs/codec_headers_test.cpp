// The header fields our TGA and PCX encoders write, field by field as the formats'
// tables give them. Round trips through our own decoder would not notice a field
// that the decoder ignores.
#include <gtest/gtest.h>

#include "codecs/raster.h"
#include "tests/core/codecs/raster_test_support.h"

namespace {

uint32_t Le16(const bytes& b, size_t at) { return b[at] | b[at + 1] << 8; }

TEST(CodecHeaders, PcxFields) {
  CRaster colour, indexed;
  ASSERT_TRUE(colour.Create(5, 3, 24, raster_format_unknown));
  colour.SetXDpi(96);
  colour.SetYDpi(72);
  const bytes c = EncodeToBytes(colour, raster_format_pcx);
  ASSERT_GE(c.size(), 128u);
  EXPECT_EQ(bytes(c.begin(), c.begin() + 4), bytes({10, 5, 1, 8}));
  EXPECT_EQ(Le16(c, 4), 0u);
  EXPECT_EQ(Le16(c, 6), 0u);
  EXPECT_EQ(Le16(c, 8), 4u);  // x max: width - 1
  EXPECT_EQ(Le16(c, 10), 2u);
  EXPECT_EQ(Le16(c, 12), 96u);
  EXPECT_EQ(Le16(c, 14), 72u);
  EXPECT_EQ(bytes(c.begin() + 16, c.begin() + 65), bytes(49, 0));  // colour map and reserved
  EXPECT_EQ(c[65], 3);                                              // planes
  EXPECT_EQ(Le16(c, 66), 6u);                                       // 5 bytes a plane, made even
  EXPECT_EQ(Le16(c, 68), 1u);                                       // no palette
  EXPECT_EQ(bytes(c.begin() + 70, c.begin() + 128), bytes(58, 0));

  ASSERT_TRUE(indexed.Create(3, 2, 8, raster_format_unknown));
  const bytes i = EncodeToBytes(indexed, raster_format_pcx);
  ASSERT_GE(i.size(), 128u);
  EXPECT_EQ(i[3], 8);
  EXPECT_EQ(i[65], 1);
  EXPECT_EQ(Le16(i, 66), 4u);  // 3, made even
  EXPECT_EQ(Le16(i, 68), 0u);  // a palette
}

TEST(CodecHeaders, TgaFields) {
  CRaster colour, indexed;
  ASSERT_TRUE(colour.Create(5, 3, 24, raster_format_unknown));
  const bytes c = EncodeToBytes(colour, raster_format_tga);
  ASSERT_GE(c.size(), 18u);
  EXPECT_EQ(bytes(c.begin(), c.begin() + 3), bytes({0, 0, 2}));  // no ID, no map, true colour
  EXPECT_EQ(bytes(c.begin() + 3, c.begin() + 12), bytes(9, 0));   // map fields and origins
  EXPECT_EQ(Le16(c, 12), 5u);
  EXPECT_EQ(Le16(c, 14), 3u);
  EXPECT_EQ(c[16], 24);
  EXPECT_EQ(c[17], 0);  // bottom row first, left to right

  ASSERT_TRUE(indexed.Create(3, 2, 8, raster_format_unknown));
  const bytes i = EncodeToBytes(indexed, raster_format_tga);
  ASSERT_GE(i.size(), 18u);
  EXPECT_EQ(bytes(i.begin(), i.begin() + 3), bytes({0, 1, 1}));
  EXPECT_EQ(Le16(i, 3), 0u);
  EXPECT_EQ(Le16(i, 5), 256u);
  EXPECT_EQ(i[7], 24);
  EXPECT_EQ(Le16(i, 12), 3u);
  EXPECT_EQ(Le16(i, 14), 2u);
  EXPECT_EQ(i[16], 8);
}

}  // namespace
