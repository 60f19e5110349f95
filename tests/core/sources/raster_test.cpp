#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <random>
#include <vector>

#include "sources/le_bytes.h"
#include "sources/raster.h"
#include "sources/row_iterator.h"

namespace {

TEST(Raster, CreateRoundsDepthAndLaysOutTheBlock) {
  CRaster image;
  ASSERT_NE(image.Create(10, 10, 2, raster_format_pcx), nullptr);
  EXPECT_EQ(image.GetBpp(), 4u);
  EXPECT_EQ(image.GetColorCount(), 16u);
  EXPECT_EQ(image.GetFormat(), uint32_t(raster_format_pcx));
  EXPECT_EQ(image.GetRowBytes(), 8u);
  EXPECT_EQ(image.GetDibSize(), 40u + 64 + 80);
  EXPECT_EQ(image.GetBits(0), image.GetDib() + 40 + 64);

  ASSERT_NE(image.Create(10, 10, 32, raster_format_tga), nullptr);
  EXPECT_EQ(image.GetBpp(), 24u);
  EXPECT_EQ(image.GetColorCount(), 0u);
  EXPECT_EQ(image.GetPalette(), nullptr);

  ASSERT_NE(image.Create(3, 1, 24, 0), nullptr);
  EXPECT_EQ(image.GetRowBytes(), 12u);
  ASSERT_NE(image.Create(3, 1, 1, 0), nullptr);
  EXPECT_EQ(image.GetRowBytes(), 4u);

  // The block starts with the header as a bitmap reader sees it.
  ASSERT_NE(image.Create(5, 7, 8, 0), nullptr);
  const uint8_t* dib = image.GetDib();
  EXPECT_EQ(GetLe32(dib), 40u);
  EXPECT_EQ(GetLe32(dib + 4), 5u);
  EXPECT_EQ(GetLe32(dib + 8), 7u);
  EXPECT_EQ(GetLe16(dib + 12), 1u);
  EXPECT_EQ(GetLe16(dib + 14), 8u);
  EXPECT_EQ(GetLe32(dib + 20), 8u * 7);
  EXPECT_EQ(GetLe32(dib + 24), 3780u);  // 96 dpi
  EXPECT_EQ(GetLe32(dib + 32), 256u);
}

TEST(Raster, NewImagesAreZeroFilled) {
  CRaster image;
  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(image.Create(33, 17, 8, 0));
    uint8_t* dib = image.GetDib();
    EXPECT_TRUE(std::all_of(dib + 40, dib + image.GetDibSize(), [](uint8_t b) { return b == 0; }));
    std::fill(dib + 40, dib + image.GetDibSize(), 0xAB);  // the next Create must not reuse this
  }
}

TEST(Raster, CreateLimits) {
  CRaster image;
  EXPECT_EQ(image.Create(16384, 16384, 24, 0), nullptr);
  EXPECT_STREQ(image.GetErrorText(), "RASTER_MAX_MEMORY exceeded");
  EXPECT_FALSE(image.IsValid());

  ASSERT_NE(image.Create(8192, 8192, 24, 0), nullptr);
  EXPECT_EQ(image.GetDibSize(), 40u + 201326592u);
  EXPECT_EQ(image.GetBits(8191)[8192 * 3 - 1], 0);

  // Exactly the limit passes; one more padded row does not.
  EXPECT_NE(image.Create(4096, 65536, 8, 0), nullptr);
  EXPECT_EQ(image.Create(4097, 65536, 8, 0), nullptr);  // rows pad to 4100 bytes
  EXPECT_STREQ(image.GetErrorText(), "RASTER_MAX_MEMORY exceeded");

  // Products that wrap around in 32 bits are refused all the same.
  for (auto [w, h, bits] : {std::tuple<int64_t, int64_t, uint32_t>{65536, 65536, 24},
                            {0x40000000, 4, 8},
                            {0x7FFFFFFF, 2, 1},
                            {1, 0x7FFFFFFF, 24},
                            {0x100000001, 1, 1},
                            {INT64_MAX, INT64_MAX, 24}}) {
    image.SetErrorText("");
    EXPECT_EQ(image.Create(w, h, bits, 0), nullptr) << w << " x " << h;
    EXPECT_STREQ(image.GetErrorText(), "RASTER_MAX_MEMORY exceeded");
  }

  for (auto [w, h] : {std::pair<int64_t, int64_t>{0, 5}, {5, 0}, {0, 0}, {-1, 5}, {5, -1},
                      {INT32_MIN, INT32_MIN}}) {
    image.SetErrorText("");
    EXPECT_EQ(image.Create(w, h, 24, 0), nullptr);
    EXPECT_STREQ(image.GetErrorText(), "CRaster::Create : width and height must be greater than zero");
    EXPECT_FALSE(image.IsValid());
    EXPECT_EQ(image.GetWidth(), 0);
  }
}

TEST(Raster, RowAddressesStayInsideTheImage) {
  CRaster image;
  EXPECT_EQ(image.GetBits(0), nullptr);
  ASSERT_TRUE(image.Create(4, 3, 24, 0));
  EXPECT_EQ(image.GetBits(2), image.GetBits(0) + 2 * 12);
  EXPECT_EQ(image.GetBits(3), nullptr);
  EXPECT_EQ(image.GetBits(-1), nullptr);

  CRowIterator rows(image);
  EXPECT_EQ(rows.SetRow(1), image.GetBits(1));
  EXPECT_EQ(rows.SetRow(3), nullptr);  // one past the last row is no row
  EXPECT_EQ(rows.SetRow(-1), nullptr);
  EXPECT_EQ(rows.GetRow(), image.GetBits(1));
  EXPECT_EQ(rows.GetY(), 1);
}

TEST(Raster, ResolutionAndItsArithmetic) {
  CRaster image;
  EXPECT_EQ(image.GetXDpi(), 96);
  EXPECT_EQ(image.GetHeader().biXPelsPerMeter, 3780);
  image.SetXDpi(300);
  image.SetYDpi(0);
  EXPECT_EQ(image.GetHeader().biXPelsPerMeter, 11811);
  EXPECT_EQ(image.GetYDpi(), 96);
  image.SetXDpi(-7);
  EXPECT_EQ(image.GetXDpi(), 96);
  image.SetYDpi(INT32_MAX);  // pels per metre no longer fit: kept at the largest value
  EXPECT_EQ(image.GetHeader().biYPelsPerMeter, INT32_MAX);
  ASSERT_TRUE(image.Create(1, 1, 24, 0));
  image.SetXDpi(72);
  EXPECT_EQ(GetLe32(image.GetDib() + 24), 2835u);  // the block's copy follows
}

TEST(Raster, PaletteAccess) {
  CRaster image;
  EXPECT_EQ(image.GetPaletteColor(0), rgb_quad{});
  ASSERT_TRUE(image.Create(2, 2, 4, 0));
  image.SetGrayPalette();
  for (uint32_t i = 0; i < 16; ++i) EXPECT_EQ(image.GetPaletteColor(i).green, 17 * i);
  image.SetPaletteColor(3, 10, 20, 30, 40);
  EXPECT_EQ(image.GetPaletteColor(3), (rgb_quad{30, 20, 10, 40}));
  image.SetPaletteColor(16, 1, 1, 1);  // out of range: ignored
  EXPECT_EQ(image.GetPaletteColor(16), rgb_quad{});

  // SetPalette never writes past the palette.
  std::vector<rgb_quad> many(300, rgb_quad{1, 2, 3, 0});
  image.SetPalette(many.data(), 300);
  EXPECT_EQ(image.GetPaletteColor(15), (rgb_quad{1, 2, 3, 0}));
  EXPECT_EQ(image.GetBits(0)[0], 0);

  ASSERT_TRUE(image.Create(2, 2, 1, 0));
  image.SetGrayPalette();
  EXPECT_EQ(image.GetPaletteColor(1).red, 255);
  ASSERT_TRUE(image.Create(2, 2, 8, 0));
  image.SetGrayPalette();
  EXPECT_EQ(image.GetPaletteColor(200).blue, 200);

  EXPECT_GT(CRaster::CompareLuminance({255, 255, 255, 0}, {0, 0, 0, 0}), 0);
  EXPECT_EQ(CRaster::CompareLuminance({0, 0, 255, 0}, {0, 0, 255, 9}), 0);
}

TEST(Raster, NearestPaletteIndexKeepsTheEarlierOfEquallyNearEntries) {
  CRaster image;
  EXPECT_EQ(image.NearestPaletteIndex({1, 2, 3, 0}), 0);
  ASSERT_TRUE(image.Create(1, 1, 8, 0));
  image.SetPaletteColor(2, 100, 100, 100);
  image.SetPaletteColor(5, 110, 100, 100);
  image.SetPaletteColor(7, 90, 100, 100);
  for (uint32_t i = 8; i < 256; ++i) image.SetPaletteColor(i, 250, 250, 250);
  EXPECT_EQ(image.NearestPaletteIndex({100, 100, 110, 0}), 5);  // exact beats an earlier near one
  EXPECT_EQ(image.NearestPaletteIndex({100, 100, 105, 0}), 2);  // 2 and 5 tie: the earlier
  EXPECT_EQ(image.NearestPaletteIndex({100, 100, 95, 0}), 2);   // 2 and 7 tie
  EXPECT_EQ(image.NearestPaletteIndex({0, 0, 0, 0}), 0);        // entry 0 is black
  // The remembered answer is dropped when the palette changes.
  EXPECT_EQ(image.NearestPaletteIndex({100, 100, 105, 0}), 2);
  image.SetPaletteColor(2, 0, 0, 0);
  EXPECT_EQ(image.NearestPaletteIndex({100, 100, 105, 0}), 5);
}

TEST(Raster, PixelAccessAtEveryDepth) {
  CRaster image;
  image.SetPixelIndex(0, 0, 1);  // empty image: nothing happens
  EXPECT_EQ(image.GetPixelIndex(0, 0), 0);

  ASSERT_TRUE(image.Create(9, 2, 1, 0));
  image.SetPixelIndex(0, 1, 1);
  image.SetPixelIndex(8, 1, 3);  // keeps bit 0
  EXPECT_EQ(image.GetBits(1)[0], 0x80);
  EXPECT_EQ(image.GetBits(1)[1], 0x80);
  EXPECT_EQ(image.GetPixelIndex(8, 1), 1);
  image.SetPixelIndex(9, 1, 1);  // outside
  EXPECT_EQ(image.GetBits(1)[1], 0x80);
  EXPECT_EQ(image.GetPixelIndex(-1, 0), 0);  // outside: the first byte of the rows

  ASSERT_TRUE(image.Create(3, 1, 4, 0));
  image.SetPixelIndex(0, 0, 0x1A);
  image.SetPixelIndex(1, 0, 0x5);
  image.SetPixelIndex(2, 0, 0xF);
  EXPECT_EQ(image.GetBits(0)[0], 0xA5);
  EXPECT_EQ(image.GetBits(0)[1], 0xF0);
  EXPECT_EQ(image.GetPixelIndex(1, 0), 5);
  EXPECT_EQ(image.GetPixelIndex(5, 5), 0xA5);  // outside: the first byte of the rows

  ASSERT_TRUE(image.Create(2, 2, 8, 0));
  image.SetPaletteColor(4, 200, 100, 50);
  image.SetPixelColor(1, 1, rgb_quad{52, 98, 201, 0});
  EXPECT_EQ(image.GetPixelIndex(1, 1), 4);
  EXPECT_EQ(image.PixelColorUnchecked(1, 1), (rgb_quad{50, 100, 200, 0}));

  ASSERT_TRUE(image.Create(2, 2, 24, 0));
  image.SetPixelColor(1, 0, COLORREF(0x112233));
  EXPECT_EQ(image.PixelColorUnchecked(1, 0), (rgb_quad{0x11, 0x22, 0x33, 0}));
  image.SetPixelColor(0, 1, rgb_quad{1, 2, 3, 77}, true);  // no alpha plane yet
  EXPECT_EQ(image.PixelColorUnchecked(0, 1, true), (rgb_quad{1, 2, 3, 0}));
  ASSERT_TRUE(image.AlphaCreate());
  image.SetPixelColor(0, 1, rgb_quad{1, 2, 3, 77}, true);
  EXPECT_EQ(image.PixelColorUnchecked(0, 1, true), (rgb_quad{1, 2, 3, 77}));
  image.SetPixelColor(2, 0, rgb_quad{9, 9, 9, 9}, true);  // outside
  EXPECT_EQ(image.GetBits(0)[6], 0);
}

TEST(Raster, AlphaPlane) {
  CRaster image;
  EXPECT_FALSE(image.AlphaCreate());
  ASSERT_TRUE(image.Create(3, 2, 24, 0));
  EXPECT_FALSE(image.AlphaIsValid());
  EXPECT_EQ(image.AlphaGet(0, 0), 0);
  ASSERT_TRUE(image.AlphaCreate());
  EXPECT_EQ(image.AlphaGet(2, 1), 255);
  image.AlphaSet(1, 1, 7);
  image.AlphaSet(3, 1, 9);  // outside
  EXPECT_EQ(image.AlphaGet(1, 1), 7);
  EXPECT_EQ(*image.AlphaPointer(1, 1), 7);
  EXPECT_EQ(image.AlphaPointer(3, 0), nullptr);
  EXPECT_EQ(image.AlphaGet(-1, 0), 0);
  image.AlphaInvert();
  EXPECT_EQ(image.AlphaGet(1, 1), 248);
  EXPECT_EQ(image.AlphaGet(0, 0), 0);
  image.AlphaDelete();
  EXPECT_FALSE(image.AlphaIsValid());
  // A new image has no alpha plane.
  ASSERT_TRUE(image.AlphaCreate());
  ASSERT_TRUE(image.Create(3, 2, 24, 0));
  EXPECT_FALSE(image.AlphaIsValid());
}

TEST(Raster, BitfieldsToRgb) {
  CRaster image;
  ASSERT_TRUE(image.Create(2, 1, 24, 0));
  const uint8_t w555[4] = {0xFF, 0x7F, 0x1F, 0x00};  // 0x7FFF, then pure blue
  image.BitfieldsToRgb(w555, 0x7C00, 0x03E0, 0x001F, 16);
  EXPECT_EQ(std::vector<uint8_t>(image.GetBits(0), image.GetBits(0) + 6),
            (std::vector<uint8_t>{248, 248, 248, 248, 0, 0}));

  const uint16_t v565 = 0x1F << 11 | 0x2A << 5 | 0x01;
  const uint8_t w565[4] = {uint8_t(v565), uint8_t(v565 >> 8), 0, 0};
  image.BitfieldsToRgb(w565, 0xF800, 0x07E0, 0x001F, 16);
  EXPECT_EQ(std::vector<uint8_t>(image.GetBits(0), image.GetBits(0) + 3),
            (std::vector<uint8_t>{8, 0x2A << 2, 248}));

  // Any mask is defined: wide, empty, scattered, beyond 16 bits.
  const uint8_t wide[4] = {0x34, 0x12, 0xFF, 0xFF};
  image.BitfieldsToRgb(wide, 0xFFFF, 0, 0xFFFF0000, 16);
  EXPECT_EQ(std::vector<uint8_t>(image.GetBits(0), image.GetBits(0) + 6),
            (std::vector<uint8_t>{0, 0, 0x12, 0, 0, 0xFF}));
  image.BitfieldsToRgb(wide, 0x8001, 0x000F, 0xF000, 16);
  EXPECT_EQ(image.GetBits(0)[0], 0x10);
  EXPECT_EQ(image.GetBits(0)[1], 0x40);

  // 32 bits: the highest non-zero byte of each mask.
  const uint8_t bgra[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  image.BitfieldsToRgb(bgra, 0xFF0000, 0xFF00, 0xFF, 32);
  EXPECT_EQ(std::vector<uint8_t>(image.GetBits(0), image.GetBits(0) + 6),
            (std::vector<uint8_t>{1, 2, 3, 5, 6, 7}));
  image.BitfieldsToRgb(bgra, 0xFF000000, 0, 0x3FF00000, 32);
  EXPECT_EQ(std::vector<uint8_t>(image.GetBits(0), image.GetBits(0) + 3),
            (std::vector<uint8_t>{4, 1, 4}));
}

TEST(Raster, BitfieldsToRgbConvertsInPlace) {
  CRaster image;
  ASSERT_TRUE(image.Create(5, 3, 24, 0));
  std::vector<uint8_t> words(4 * 3 * 3);  // rows of ((5 + 1) / 2) * 4 bytes
  std::mt19937 random(7);
  for (auto& b : words) b = uint8_t(random());
  std::memcpy(image.GetBits(0), words.data(), words.size());
  CRaster reference;
  ASSERT_TRUE(reference.Create(5, 3, 24, 0));
  reference.BitfieldsToRgb(words.data(), 0xF800, 0x07E0, 0x001F, 16);
  image.BitfieldsToRgb(image.GetBits(0), 0xF800, 0x07E0, 0x001F, 16);
  for (int y = 0; y < 3; ++y) EXPECT_EQ(0, std::memcmp(image.GetBits(y), reference.GetBits(y), 15)) << y;
}

// Fills an image with random pixels and, with alpha, a random alpha plane.
void Scramble(CRaster& image, bool with_alpha, uint32_t seed) {
  std::mt19937 random(seed);
  for (int64_t y = 0; y < image.GetHeight(); ++y)
    for (int64_t x = 0; x < image.GetWidth(); ++x) {
      if (image.GetBpp() == 24)
        image.SetPixelColor(x, y, COLORREF(random() & 0xFFFFFF));
      else
        image.SetPixelIndex(x, y, uint8_t(random()));
    }
  for (uint32_t i = 0; i < image.GetColorCount(); ++i)
    image.SetPaletteColor(i, uint8_t(random()), uint8_t(random()), uint8_t(random()));
  if (with_alpha) {
    ASSERT_TRUE(image.AlphaCreate());
    for (int64_t y = 0; y < image.GetHeight(); ++y)
      for (int64_t x = 0; x < image.GetWidth(); ++x) image.AlphaSet(x, y, uint8_t(random()));
  }
}

std::vector<uint8_t> Snapshot(const CRaster& image) {
  std::vector<uint8_t> bytes(image.GetDib(), image.GetDib() + image.GetDibSize());
  if (image.AlphaIsValid())
    bytes.insert(bytes.end(), image.AlphaPointer(), image.AlphaPointer() + image.GetWidth() * image.GetHeight());
  return bytes;
}

TEST(Raster, FlipAndMirrorTwiceGiveTheImageBack) {
  for (uint32_t bits : {1u, 4u, 8u, 24u}) {
    for (auto [w, h] : {std::pair{13, 7}, std::pair{1, 1}, std::pair{16, 4}}) {
      SCOPED_TRACE(testing::Message() << bits << " bits, " << w << " x " << h);
      CRaster image;
      ASSERT_TRUE(image.Create(w, h, bits, 0));
      Scramble(image, true, bits * 100 + w);
      const std::vector<uint8_t> before = Snapshot(image);
      const uint8_t corner = image.GetPixelIndex(0, 0);
      const uint8_t corner_alpha = image.AlphaGet(0, 0);
      const rgb_quad corner_colour = image.PixelColorUnchecked(0, 0);

      ASSERT_TRUE(image.Mirror(true));
      EXPECT_EQ(image.GetPixelIndex(w - 1, 0), corner);
      EXPECT_EQ(image.PixelColorUnchecked(w - 1, 0), corner_colour);
      EXPECT_EQ(image.AlphaGet(w - 1, 0), corner_alpha);
      ASSERT_TRUE(image.Mirror(true));
      EXPECT_EQ(Snapshot(image), before);

      ASSERT_TRUE(image.Flip(true));
      EXPECT_EQ(image.PixelColorUnchecked(0, h - 1), corner_colour);
      EXPECT_EQ(image.AlphaGet(0, h - 1), corner_alpha);
      ASSERT_TRUE(image.Flip(true));
      EXPECT_EQ(Snapshot(image), before);
    }
  }
  CRaster empty;
  EXPECT_FALSE(empty.Flip(true));
  EXPECT_FALSE(empty.Mirror(true));
}

TEST(Raster, FlipAndMirrorWithoutAlphaLeaveThePlane) {
  CRaster image;
  ASSERT_TRUE(image.Create(2, 2, 24, 0));
  ASSERT_TRUE(image.AlphaCreate());
  image.AlphaSet(0, 0, 1);
  ASSERT_TRUE(image.Mirror(false));
  EXPECT_EQ(image.AlphaGet(0, 0), 1);
  ASSERT_TRUE(image.Flip(false));
  EXPECT_EQ(image.AlphaGet(0, 0), 1);
}

TEST(Raster, CopyTakeOverAndShallowView) {
  CRaster source;
  ASSERT_TRUE(source.Create(5, 4, 8, raster_format_tga));
  Scramble(source, true, 3);
  source.SetXDpi(150);

  CRaster full(source, true, true);
  EXPECT_EQ(Snapshot(full), Snapshot(source));
  EXPECT_EQ(full.GetXDpi(), 150);
  EXPECT_EQ(full.GetFormat(), uint32_t(raster_format_tga));

  CRaster palette_only(source, false, false);
  EXPECT_EQ(0, std::memcmp(palette_only.GetPalette(), source.GetPalette(), 1024));
  EXPECT_EQ(palette_only.GetBits(3)[4], 0);
  EXPECT_FALSE(palette_only.AlphaIsValid());

  {
    CRaster view;
    view.MakeShallowView(full);
    EXPECT_EQ(view.GetDib(), full.GetDib());
    EXPECT_FALSE(view.Destroy());
    EXPECT_EQ(view.Create(2, 2, 8, 0), nullptr);
    EXPECT_FALSE(view.Mirror(true));
    CRaster copy_of_view(view, true, true);  // a view copies as a view
    EXPECT_EQ(copy_of_view.GetDib(), full.GetDib());
  }
  EXPECT_EQ(Snapshot(full), Snapshot(source));  // the views freed nothing

  CRaster taker;
  ASSERT_TRUE(taker.Create(1, 1, 24, 0));
  const uint8_t* block = full.GetDib();
  ASSERT_TRUE(taker.TakeOver(full));
  EXPECT_EQ(taker.GetDib(), block);
  EXPECT_TRUE(taker.AlphaIsValid());
  EXPECT_FALSE(full.IsValid());
  EXPECT_FALSE(full.AlphaIsValid());
  EXPECT_EQ(Snapshot(taker), Snapshot(source));

  CRaster empty;
  empty.SetErrorText("before");
  empty.CopyInfoIfEmpty(source);
  EXPECT_EQ(empty.GetXDpi(), 150);
  EXPECT_STREQ(empty.GetErrorText(), "");
  taker.SetXDpi(10);
  taker.CopyInfoIfEmpty(source);  // has pixels: keeps its own
  EXPECT_EQ(taker.GetXDpi(), 10);
}

TEST(Raster, ErrorTextIsCutTo255Characters) {
  CRaster image;
  const std::string long_text(400, 'x');
  image.SetErrorText(long_text.c_str());
  EXPECT_EQ(std::strlen(image.GetErrorText()), 255u);
}

}  // namespace
