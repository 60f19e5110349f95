#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <tuple>
#include <vector>

#include "codecs/row_iterator.h"
#include "tests/core/codecs/raster_test_support.h"

namespace {

TEST(Raster, CreateLimitsAndZeroFilledRows) {
  CRaster image;
  ASSERT_TRUE(image.Create(8192, 8192, 24, 0));
  EXPECT_EQ(image.GetBits(8191)[8192 * 3 - 1], 0);
  EXPECT_TRUE(image.Create(4096, 65536, 8, 0));  // exactly the limit
  // The last two pass at 1 bit when the padded rows, not the pixels, are counted wrongly.
  for (auto [w, h, bits] : {std::tuple<int64_t, int64_t, uint32_t>{16384, 16384, 24}, {0x40000000, 4, 8},
                            {4097, 65536, 8},  // rows pad to 4100 bytes
                            {1, 0x7FFFFFFF, 24}, {INT64_MAX, INT64_MAX, 24}, {0x7FFFFFFF, 2, 1}, {0x100000001, 1, 1}}) {
    EXPECT_FALSE(image.Create(w, h, bits, 0)) << w << " x " << h;
    EXPECT_STREQ(image.GetErrorText(), "RASTER_MAX_MEMORY exceeded");
    image.SetErrorText("");
  }
  for (auto [w, h] : {std::pair<int64_t, int64_t>{0, 5}, {5, -1}, {INT32_MIN, INT32_MIN}}) {
    EXPECT_FALSE(image.Create(w, h, 24, 0));
    EXPECT_STREQ(image.GetErrorText(), "CRaster::Create : width and height must be greater than zero");
  }
  // The rows are zero even where an earlier image of the same size lay.
  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(image.Create(5, 7, 8, 0));
    uint8_t* dib = image.GetDib();
    EXPECT_TRUE(std::all_of(dib + 40, dib + image.GetDibSize(), [](uint8_t b) { return b == 0; }));
    std::fill(dib + 40, dib + image.GetDibSize(), 0xAB);
  }
  image.SetErrorText(std::string(400, 'x').c_str());
  EXPECT_EQ(std::strlen(image.GetErrorText()), 255u);
}

TEST(Raster, RowsResolutionAndPixelsStayInRange) {
  CRaster image;
  EXPECT_EQ(image.GetBits(0), nullptr);
  image.SetPixelIndex(0, 0, 1);  // empty image: nothing happens
  ASSERT_TRUE(image.Create(4, 3, 24, 0));
  CRowIterator rows(image);
  EXPECT_EQ(rows.SetRow(1), image.GetBits(1));
  for (int y : {3, -1}) EXPECT_TRUE(image.GetBits(y) == nullptr && rows.SetRow(y) == nullptr) << y;
  image.SetXDpi(-7);
  EXPECT_EQ(image.GetXDpi(), 96);
  image.SetYDpi(INT32_MAX);  // pels per metre no longer fit: kept at the largest value
  EXPECT_EQ(image.GetHeader().biYPelsPerMeter, INT32_MAX);

  image.SetPixelColor(4, 0, rgb_quad{9, 9, 9, 9}, true);
  EXPECT_EQ(image.GetBits(1)[0], 0);
  ASSERT_TRUE(image.AlphaCreate());
  EXPECT_TRUE(image.AlphaPointer(4, 0) == nullptr && image.AlphaGet(-1, 0) == 0);

  ASSERT_TRUE(image.Create(9, 2, 1, 0));
  EXPECT_FALSE(image.AlphaIsValid());  // a new image has no alpha plane
  image.SetPixelIndex(8, 1, 3), image.SetPixelIndex(9, 1, 1);  // keeps bit 0; outside
  EXPECT_EQ(bytes(image.GetBits(1), image.GetBits(1) + 4), bytes({0, 0x80, 0, 0}));
}

TEST(Raster, PaletteWritesStayInThePaletteAndTiesGoToTheEarlierEntry) {
  CRaster image;
  EXPECT_EQ(image.NearestPaletteIndex({1, 2, 3, 0}), 0);
  ASSERT_TRUE(image.Create(2, 2, 4, 0));
  image.SetPaletteColor(16, 1, 1, 1);
  std::vector<rgb_quad> many(300, rgb_quad{1, 2, 3, 0});
  image.SetPalette(many.data(), 300);
  EXPECT_EQ(image.GetBits(0)[0], 0);

  ASSERT_TRUE(image.Create(1, 1, 8, 0));
  image.SetPaletteColor(2, 100, 100, 100);
  image.SetPaletteColor(5, 110, 100, 100);
  image.SetPaletteColor(7, 90, 100, 100);
  for (uint32_t i = 8; i < 256; ++i) image.SetPaletteColor(i, 250, 250, 250);
  EXPECT_EQ(image.NearestPaletteIndex({100, 100, 110, 0}), 5);  // exact beats an earlier near one
  EXPECT_EQ(image.NearestPaletteIndex({100, 100, 105, 0}), 2);  // 2 and 5 tie: the earlier
  EXPECT_EQ(image.NearestPaletteIndex({100, 100, 95, 0}), 2);   // 2 and 7 tie
  // The remembered answer is dropped when the palette changes.
  image.SetPaletteColor(2, 0, 0, 0);
  EXPECT_EQ(image.NearestPaletteIndex({100, 100, 105, 0}), 5);
}

TEST(Raster, BitfieldsToRgbForAnyMask) {
  CRaster image;
  ASSERT_TRUE(image.Create(2, 1, 24, 0));
  auto first_row = [&](size_t n) { return bytes(image.GetBits(0), image.GetBits(0) + n); };
  const uint8_t w555[4] = {0xFF, 0x7F, 0x1F, 0x00};  // 0x7FFF, then pure blue
  image.BitfieldsToRgb(w555, 0x7C00, 0x03E0, 0x001F, 16);
  EXPECT_EQ(first_row(6), bytes({248, 248, 248, 248, 0, 0}));
  const uint16_t v565 = 0x1F << 11 | 0x2A << 5 | 0x01;
  const uint8_t w565[4] = {uint8_t(v565), uint8_t(v565 >> 8), 0, 0};
  image.BitfieldsToRgb(w565, 0xF800, 0x07E0, 0x001F, 16);
  EXPECT_EQ(first_row(3), bytes({8, 0x2A << 2, 248}));
  // Wide, empty, scattered and beyond 16 bits.
  const uint8_t wide[4] = {0x34, 0x12, 0xFF, 0xFF};
  image.BitfieldsToRgb(wide, 0xFFFF, 0, 0xFFFF0000, 16);
  EXPECT_EQ(first_row(6), bytes({0, 0, 0x12, 0, 0, 0xFF}));
  image.BitfieldsToRgb(wide, 0x8001, 0x000F, 0xF000, 16);
  EXPECT_EQ(first_row(2), bytes({0x10, 0x40}));
  // 32 bits: the highest non-zero byte of each mask.
  const uint8_t bgra[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  image.BitfieldsToRgb(bgra, 0xFF000000, 0, 0x3FF00000, 32);
  EXPECT_EQ(first_row(3), bytes({4, 1, 4}));

  // In place, as the decoder calls it: the wider output rows overrun input rows not yet read.
  CRaster reference;
  ASSERT_TRUE(MakeImage(image, 5, 3, 24, 7));
  ASSERT_TRUE(reference.Create(5, 3, 24, 0));
  reference.BitfieldsToRgb(image.GetBits(0), 0xF800, 0x07E0, 0x001F, 16);
  image.BitfieldsToRgb(image.GetBits(0), 0xF800, 0x07E0, 0x001F, 16);
  for (int y = 0; y < 3; ++y) EXPECT_EQ(0, std::memcmp(image.GetBits(y), reference.GetBits(y), 15)) << y;
}

TEST(Raster, FlipAndMirrorTwiceGiveTheImageBack) {
  for (uint32_t bits : {1u, 4u, 8u, 24u})
    for (auto [w, h] : {std::pair{13, 7}, std::pair{1, 1}, std::pair{16, 4}}) {
      SCOPED_TRACE(testing::Message() << bits << " bits, " << w << " x " << h);
      CRaster image;
      ASSERT_TRUE(MakeImage(image, w, h, bits, bits * 100 + w, true));
      const bytes before = RgbaTopDown(image);
      const rgb_quad corner = image.PixelColorUnchecked(0, 0, true);
      ASSERT_TRUE(image.Mirror(true) && image.Flip(true));
      EXPECT_EQ(image.PixelColorUnchecked(w - 1, h - 1, true), corner);
      ASSERT_TRUE(image.Mirror(true) && image.Flip(true));
      EXPECT_EQ(RgbaTopDown(image), before);
    }
  EXPECT_FALSE(CRaster().Flip(true));
}

}  // namespace
