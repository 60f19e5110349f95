#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <tuple>
#include <vector>

#include "sources/le_bytes.h"
#include "sources/row_iterator.h"
#include "tests/core/sources/raster_test_support.h"

namespace {

const char* const zero_size = "CRaster::Create : width and height must be greater than zero";

TEST(Raster, CreateLaysOutAZeroFilledBlock) {
  CRaster image;
  ASSERT_TRUE(image.Create(10, 10, 2, raster_format_pcx));  // 2 bits become 4
  EXPECT_EQ(image.GetBpp(), 4u);
  EXPECT_EQ(image.GetRowBytes(), 8u);
  EXPECT_EQ(image.GetDibSize(), 40u + 64 + 80);
  EXPECT_EQ(image.GetBits(0), image.GetDib() + 40 + 64);
  ASSERT_TRUE(image.Create(10, 10, 32, raster_format_tga));  // 32 bits become 24, without palette
  EXPECT_EQ(image.GetBpp(), 24u);
  EXPECT_EQ(image.GetPalette(), nullptr);
  // The rows are zero even where an earlier image of the same size lay.
  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(image.Create(5, 7, 8, 0));
    uint8_t* dib = image.GetDib();
    EXPECT_TRUE(std::all_of(dib + 40, dib + image.GetDibSize(), [](uint8_t b) { return b == 0; }));
    std::fill(dib + 40, dib + image.GetDibSize(), 0xAB);
  }
}

TEST(Raster, CreateLimits) {
  CRaster image;
  ASSERT_TRUE(image.Create(8192, 8192, 24, 0));
  EXPECT_EQ(image.GetBits(8191)[8192 * 3 - 1], 0);
  EXPECT_TRUE(image.Create(4096, 65536, 8, 0));  // exactly the limit
  // The last two pass at 1 bit when the padded rows, not the pixels, are counted wrongly.
  for (auto [w, h, bits] : {std::tuple<int64_t, int64_t, uint32_t>{16384, 16384, 24},
                            {4097, 65536, 8},  // rows pad to 4100 bytes
                            {65536, 65536, 24},
                            {0x40000000, 4, 8},
                            {0x7FFFFFFF, 2, 1},
                            {1, 0x7FFFFFFF, 24},
                            {0x100000001, 1, 1},
                            {INT64_MAX, INT64_MAX, 24}}) {
    image.SetErrorText("");
    EXPECT_FALSE(image.Create(w, h, bits, 0)) << w << " x " << h;
    EXPECT_STREQ(image.GetErrorText(), "RASTER_MAX_MEMORY exceeded");
    EXPECT_FALSE(image.IsValid());
  }
  for (auto [w, h] : {std::pair<int64_t, int64_t>{0, 5}, {5, 0}, {-1, 5}, {5, -1}, {INT32_MIN, INT32_MIN}}) {
    image.SetErrorText("");
    EXPECT_FALSE(image.Create(w, h, 24, 0));
    EXPECT_STREQ(image.GetErrorText(), zero_size);
    EXPECT_EQ(image.GetWidth(), 0);
  }
  const std::string long_text(400, 'x');
  image.SetErrorText(long_text.c_str());
  EXPECT_EQ(std::strlen(image.GetErrorText()), 255u);
}

TEST(Raster, RowsAndResolutionStayInRange) {
  CRaster image;
  EXPECT_EQ(image.GetBits(0), nullptr);
  ASSERT_TRUE(image.Create(4, 3, 24, 0));
  EXPECT_EQ(image.GetBits(2), image.GetBits(0) + 2 * 12);
  EXPECT_EQ(image.GetBits(3), nullptr);
  EXPECT_EQ(image.GetBits(-1), nullptr);
  CRowIterator rows(image);
  EXPECT_EQ(rows.SetRow(1), image.GetBits(1));
  EXPECT_EQ(rows.SetRow(3), nullptr);
  EXPECT_EQ(rows.SetRow(-1), nullptr);
  EXPECT_EQ(rows.GetRow(), image.GetBits(1));

  image.SetXDpi(72);
  EXPECT_EQ(GetLe32(image.GetDib() + 24), 2835u);  // the block's copy follows
  image.SetYDpi(0);
  EXPECT_EQ(image.GetYDpi(), 96);
  image.SetXDpi(-7);
  EXPECT_EQ(image.GetXDpi(), 96);
  image.SetYDpi(INT32_MAX);  // pels per metre no longer fit: kept at the largest value
  EXPECT_EQ(image.GetHeader().biYPelsPerMeter, INT32_MAX);
}

TEST(Raster, PaletteWritesStayInThePaletteAndTiesGoToTheEarlierEntry) {
  CRaster image;
  EXPECT_EQ(image.NearestPaletteIndex({1, 2, 3, 0}), 0);
  ASSERT_TRUE(image.Create(2, 2, 4, 0));
  image.SetPaletteColor(16, 1, 1, 1);
  std::vector<rgb_quad> many(300, rgb_quad{1, 2, 3, 0});
  image.SetPalette(many.data(), 300);
  EXPECT_EQ(image.GetPaletteColor(15), (rgb_quad{1, 2, 3, 0}));
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

TEST(Raster, PixelAccessPacksBitsAndIgnoresOutsidePoints) {
  CRaster image;
  image.SetPixelIndex(0, 0, 1);  // empty image: nothing happens
  ASSERT_TRUE(image.Create(9, 2, 1, 0));
  image.SetPixelIndex(0, 1, 1);
  image.SetPixelIndex(8, 1, 3);  // keeps bit 0
  image.SetPixelIndex(9, 1, 1);
  EXPECT_EQ(bytes(image.GetBits(1), image.GetBits(1) + 4), bytes({0x80, 0x80, 0, 0}));
  EXPECT_EQ(image.GetPixelIndex(8, 1), 1);

  ASSERT_TRUE(image.Create(3, 1, 4, 0));
  for (int x = 0; x < 3; ++x) image.SetPixelIndex(x, 0, uint8_t(0x1A + x * 0x15));  // A, F, 4
  EXPECT_EQ(bytes(image.GetBits(0), image.GetBits(0) + 2), bytes({0xAF, 0x40}));
  EXPECT_EQ(image.GetPixelIndex(5, 5), 0xAF);  // outside: the first byte of the rows

  ASSERT_TRUE(image.Create(2, 2, 24, 0));
  image.SetPixelColor(1, 0, COLORREF(0x112233));
  EXPECT_EQ(image.PixelColorUnchecked(1, 0), (rgb_quad{0x11, 0x22, 0x33, 0}));
  image.SetPixelColor(2, 0, rgb_quad{9, 9, 9, 9}, true);
  EXPECT_EQ(image.GetBits(0)[6], 0);
  EXPECT_FALSE(image.AlphaIsValid());
  ASSERT_TRUE(image.AlphaCreate());
  EXPECT_EQ(image.AlphaGet(1, 1), 255);
  image.AlphaSet(2, 1, 9);
  EXPECT_EQ(image.AlphaPointer(2, 0), nullptr);
  EXPECT_EQ(image.AlphaGet(-1, 0), 0);
  ASSERT_TRUE(image.Create(2, 2, 24, 0));
  EXPECT_FALSE(image.AlphaIsValid());  // a new image has no alpha plane
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
  image.BitfieldsToRgb(bgra, 0xFF0000, 0xFF00, 0xFF, 32);
  EXPECT_EQ(first_row(6), bytes({1, 2, 3, 5, 6, 7}));
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
      ASSERT_TRUE(image.Mirror(true));
      EXPECT_EQ(image.PixelColorUnchecked(w - 1, 0, true), corner);
      ASSERT_TRUE(image.Mirror(true));
      EXPECT_EQ(RgbaTopDown(image), before);
      ASSERT_TRUE(image.Flip(true));
      EXPECT_EQ(image.PixelColorUnchecked(0, h - 1, true), corner);
      ASSERT_TRUE(image.Flip(true));
      EXPECT_EQ(RgbaTopDown(image), before);
    }
  CRaster empty;
  EXPECT_FALSE(empty.Flip(true));
  EXPECT_FALSE(empty.Mirror(true));
}

TEST(Raster, CopyTakeOverAndShallowView) {
  CRaster source;
  ASSERT_TRUE(MakeImage(source, 5, 4, 24, 3, true));
  source.SetXDpi(150);
  CRaster full(source, true, true);
  EXPECT_EQ(RgbaTopDown(full), RgbaTopDown(source));
  EXPECT_NE(full.GetDib(), source.GetDib());
  EXPECT_EQ(full.GetXDpi(), 150);

  {  // views free nothing and refuse to change the pixels they show
    CRaster view;
    view.MakeShallowView(full);
    EXPECT_EQ(view.GetDib(), full.GetDib());
    EXPECT_FALSE(view.Destroy());
    EXPECT_FALSE(view.Create(2, 2, 8, 0));
    EXPECT_FALSE(view.Mirror(true));
    CRaster copy_of_view(view, true, true);
    EXPECT_EQ(copy_of_view.GetDib(), full.GetDib());
  }
  EXPECT_EQ(RgbaTopDown(full), RgbaTopDown(source));

  CRaster taker;
  ASSERT_TRUE(taker.Create(1, 1, 24, 0));
  const uint8_t* block = full.GetDib();
  ASSERT_TRUE(taker.TakeOver(full));
  EXPECT_EQ(taker.GetDib(), block);
  EXPECT_FALSE(full.IsValid());
  EXPECT_FALSE(full.AlphaIsValid());
  EXPECT_EQ(RgbaTopDown(taker), RgbaTopDown(source));
}

}  // namespace
