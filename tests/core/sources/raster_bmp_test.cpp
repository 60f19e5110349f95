#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "sources/mem_stream.h"
#include "sources/raster.h"
#include "sources/raster_bmp.h"
#include "tests/core/sources/bmp_builder.h"

namespace {

std::unique_ptr<CRaster> DecodeBytes(const std::vector<uint8_t>& bytes, uint32_t format = raster_format_bmp) {
  return std::make_unique<CRaster>(bytes.data(), bytes.size(), format);
}

std::vector<uint8_t> Row(const CRaster& image, int y, size_t bytes) {
  return std::vector<uint8_t>(image.GetBits(y), image.GetBits(y) + bytes);
}

std::vector<uint8_t> Grey(int entries) {
  std::vector<uint8_t> palette;
  for (int i = 0; i < entries; ++i) palette.insert(palette.end(), {uint8_t(i), uint8_t(i), uint8_t(i), 0});
  return palette;
}

TEST(BmpDecode, TheSaversBareBitmap) {
  bmp_builder bmp;
  bmp.file_header = false;
  bmp.width = 5;
  bmp.height = 3;
  bmp.size_image = 5 * 3 * 4;  // what the saver writes: more than the rows take
  bmp.pixels.resize(16 * 3);
  std::iota(bmp.pixels.begin(), bmp.pixels.end(), 1);
  const auto image = DecodeBytes(bmp.Bytes());
  ASSERT_TRUE(image->IsValid()) << image->GetErrorText();
  EXPECT_EQ(image->GetWidth(), 5);
  EXPECT_EQ(image->GetHeight(), 3);
  EXPECT_EQ(image->GetBpp(), 24u);
  EXPECT_EQ(image->GetXDpi(), 96);
  EXPECT_EQ(image->GetYDpi(), 96);
  EXPECT_EQ(image->GetFormat(), uint32_t(raster_format_bmp));
  for (int y = 0; y < 3; ++y)
    EXPECT_EQ(Row(*image, y, 15), std::vector<uint8_t>(bmp.pixels.begin() + 16 * y, bmp.pixels.begin() + 16 * y + 15));
}

TEST(BmpDecode, CoreHeaderHasThreeBytePaletteEntries) {
  bmp_builder bmp;
  bmp.header_size = 12;
  bmp.width = 2;
  bmp.bits = 8;
  for (int i = 0; i < 256; ++i) bmp.palette.insert(bmp.palette.end(), {uint8_t(i), uint8_t(i + 1), uint8_t(i + 2)});
  bmp.pixels = {7, 200, 0, 0};
  const auto image = DecodeBytes(bmp.Bytes());
  ASSERT_TRUE(image->IsValid()) << image->GetErrorText();
  EXPECT_EQ(image->PixelColorUnchecked(0, 0), (rgb_quad{7, 8, 9, 0}));
  EXPECT_EQ(image->PixelColorUnchecked(1, 0), (rgb_quad{200, 201, 202, 0}));
}

TEST(BmpDecode, PaletteEntriesLoseTheirFourthByte) {
  bmp_builder bmp;
  bmp.bits = 1;
  bmp.palette = {1, 2, 3, 4, 5, 6, 7, 8};
  bmp.pixels = {0x80, 0, 0, 0};
  const auto image = DecodeBytes(bmp.Bytes());
  ASSERT_TRUE(image->IsValid());
  EXPECT_EQ(image->GetPaletteColor(0), (rgb_quad{1, 2, 3, 0}));
  EXPECT_EQ(image->PixelColorUnchecked(0, 0), (rgb_quad{5, 6, 7, 0}));
}

TEST(BmpDecode, ThirtyTwoBitsAlpha) {
  bmp_builder bmp;
  bmp.width = 2;
  bmp.bits = 32;
  bmp.pixels = {10, 20, 30, 0, 40, 50, 60, 0};
  auto image = DecodeBytes(bmp.Bytes());
  ASSERT_TRUE(image->IsValid()) << image->GetErrorText();
  EXPECT_EQ(image->GetBpp(), 24u);
  EXPECT_EQ(image->PixelColorUnchecked(1, 0, true), (rgb_quad{40, 50, 60, 255}));  // all 0: opaque
  EXPECT_EQ(image->AlphaGet(0, 0), 255);

  bmp.pixels[7] = 9;
  image = DecodeBytes(bmp.Bytes());
  EXPECT_EQ(image->AlphaGet(0, 0), 0);
  EXPECT_EQ(image->AlphaGet(1, 0), 9);

  // Bit fields pick the bytes the masks name and make no alpha plane.
  bmp.compression = 3;
  bmp.masks = Masks(0xFF, 0xFF00, 0xFF000000);
  image = DecodeBytes(bmp.Bytes());
  ASSERT_TRUE(image->IsValid());
  EXPECT_FALSE(image->AlphaIsValid());
  EXPECT_EQ(image->PixelColorUnchecked(1, 0), (rgb_quad{9, 50, 40, 0}));
}

TEST(BmpDecode, SixteenBitsWithAndWithoutMasks) {
  bmp_builder bmp;
  bmp.width = 3;
  bmp.bits = 16;
  bmp.pixels = {0xFF, 0x7F, 0x1F, 0x00, 0x00, 0xF8, 0, 0};  // 0x7FFF, 0x001F, 0xF800
  auto image = DecodeBytes(bmp.Bytes());
  ASSERT_TRUE(image->IsValid());
  EXPECT_EQ(Row(*image, 0, 9), (std::vector<uint8_t>{248, 248, 248, 248, 0, 0, 0, 0, 240}));  // 5-5-5

  bmp.compression = 3;
  bmp.masks = Masks(0xF800, 0x07E0, 0x001F);
  image = DecodeBytes(bmp.Bytes());
  ASSERT_TRUE(image->IsValid());
  EXPECT_EQ(Row(*image, 0, 9), (std::vector<uint8_t>{248, 252, 120, 248, 0, 0, 0, 0, 248}));  // 5-6-5
}

TEST(BmpDecode, TopDownRows) {
  bmp_builder bmp;
  bmp.height = -2;
  bmp.bits = 32;
  bmp.pixels = {1, 2, 3, 4, 5, 6, 7, 8};
  const auto image = DecodeBytes(bmp.Bytes());
  ASSERT_TRUE(image->IsValid());
  EXPECT_EQ(image->GetHeight(), 2);
  EXPECT_EQ(image->PixelColorUnchecked(0, 1, true), (rgb_quad{1, 2, 3, 4}));  // first stored row on top
  EXPECT_EQ(image->PixelColorUnchecked(0, 0, true), (rgb_quad{5, 6, 7, 8}));
}

TEST(BmpDecode, LargerHeaders) {
  bmp_builder bmp;
  bmp.header_size = 64;  // skipped after its first 40 bytes
  bmp.bits = 8;
  bmp.colours = 2;
  bmp.palette = {0, 0, 0, 0, 9, 9, 9, 0};
  bmp.pixels = {1, 0, 0, 0};
  EXPECT_EQ(DecodeBytes(bmp.Bytes())->PixelColorUnchecked(0, 0).red, 9);

  bmp.header_size = 108;  // accepted with an image size that holds the rows, one plane, no colour count
  bmp.colours = 0;
  bmp.palette = Grey(256);
  bmp.size_image = 4;
  EXPECT_EQ(DecodeBytes(bmp.Bytes())->PixelColorUnchecked(0, 0).red, 1);
  bmp.size_image = 3;
  EXPECT_STREQ(DecodeBytes(bmp.Bytes())->GetErrorText(), "Error reading BMP info");
  bmp.size_image = 4;
  bmp.planes = 2;
  EXPECT_STREQ(DecodeBytes(bmp.Bytes())->GetErrorText(), "Error reading BMP info");
  bmp.planes = 1;
  bmp.colours = 256;
  EXPECT_STREQ(DecodeBytes(bmp.Bytes())->GetErrorText(), "Error reading BMP info");
  bmp.header_size = 20;
  EXPECT_STREQ(DecodeBytes(bmp.Bytes())->GetErrorText(), "Error reading BMP info");

  // With bit fields the masks lie after the first 40 bytes of the long header.
  bmp_builder fields;
  fields.header_size = 124;
  fields.bits = 16;
  fields.compression = 3;
  fields.size_image = 4;
  fields.pixels = {0x1F, 0, 0, 0};
  std::vector<uint8_t> bytes = fields.Bytes();
  const std::vector<uint8_t> masks = Masks(0x001F, 0x07E0, 0xF800);
  std::copy(masks.begin(), masks.end(), bytes.begin() + 14 + 40);
  const auto image = DecodeBytes(bytes);
  ASSERT_TRUE(image->IsValid()) << image->GetErrorText();
  EXPECT_EQ(image->PixelColorUnchecked(0, 0), (rgb_quad{0, 0, 248, 0}));
}

TEST(BmpDecode, RefusalMessages) {
  EXPECT_STREQ(DecodeBytes({'B', 'M', 0, 0})->GetErrorText(), "Not a BMP");
  EXPECT_STREQ(DecodeBytes(std::vector<uint8_t>(30, 0))->GetErrorText(), "Error reading BMP info");

  bmp_builder bmp;
  bmp.pixels.resize(4);
  bmp.compression = 3;
  EXPECT_STREQ(DecodeBytes(bmp.Bytes())->GetErrorText(), "unknown compression");
  bmp.bits = 32;
  bmp.compression = 2;
  EXPECT_STREQ(DecodeBytes(bmp.Bytes())->GetErrorText(), "unknown compression");
  bmp.bits = 8;
  bmp.compression = 3;
  bmp.palette = Grey(256);
  EXPECT_STREQ(DecodeBytes(bmp.Bytes())->GetErrorText(), "compression type not supported");

  // Depths without pixel data of their own decode to a blank image.
  for (uint16_t bits : {0, 2, 64}) {
    bmp_builder odd;
    odd.bits = bits;
    odd.palette = Grey(4);
    const auto image = DecodeBytes(odd.Bytes());
    EXPECT_TRUE(image->IsValid()) << bits;
  }
}

TEST(BmpDecode, RleRunsStopAtTheRowEnd) {
  bmp_builder bmp;
  bmp.width = 8;
  bmp.height = 2;
  bmp.bits = 8;
  bmp.compression = 1;
  bmp.palette = Grey(256);
  bmp.pixels = {0, 4, 1, 2, 3, 4,  // literal of 4
                10, 9,               // run of 10, 4 bytes before the row end: 4 stored
                0, 0, 2, 5, 0, 1};
  const auto image = DecodeBytes(bmp.Bytes());
  ASSERT_TRUE(image->IsValid());
  EXPECT_EQ(Row(*image, 0, 8), (std::vector<uint8_t>{1, 2, 3, 4, 9, 9, 9, 9}));
  EXPECT_EQ(Row(*image, 1, 8), (std::vector<uint8_t>{5, 5, 0, 0, 0, 0, 0, 0}));
}

TEST(BmpDecode, Rle8DeltasLiteralsAndTheLastRow) {
  bmp_builder bmp;
  bmp.width = 6;
  bmp.height = 3;
  bmp.bits = 8;
  bmp.compression = 1;
  bmp.palette = Grey(256);
  bmp.pixels = {0, 3, 7, 8, 9, 0,   // odd literal with its pad byte
                0, 2, 1, 1,         // delta: right 1, up 1
                2, 6,               // run at x 4 of row 1
                0, 2, 200, 0,       // delta far right: nothing more fits in row 1
                1, 5,
                0, 0,               // row 2
                1, 4,
                0, 7, 1, 1, 1, 1, 1, 1, 1, 0,  // literal too long for its row: not stored
                0, 2, 0, 9,         // delta past the last row ends the decode
                3, 3};
  const auto image = DecodeBytes(bmp.Bytes());
  ASSERT_TRUE(image->IsValid());
  EXPECT_EQ(Row(*image, 0, 6), (std::vector<uint8_t>{7, 8, 9, 0, 0, 0}));
  EXPECT_EQ(Row(*image, 1, 6), (std::vector<uint8_t>{0, 0, 0, 0, 6, 6}));
  EXPECT_EQ(Row(*image, 2, 6), (std::vector<uint8_t>{4, 0, 0, 0, 0, 0}));

  // Line ends past the last row end the decode too.
  bmp.pixels = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2};
  EXPECT_TRUE(DecodeBytes(bmp.Bytes())->IsValid());
}

TEST(BmpDecode, Rle4) {
  bmp_builder bmp;
  bmp.width = 5;
  bmp.height = 4;
  bmp.bits = 4;
  bmp.compression = 2;
  bmp.palette = Grey(16);
  bmp.pixels = {3, 0x12,           // 1 2 1
                0, 3, 0x45, 0x60,  // literal of 3 that ends past x 5: not stored
                0, 0,
                0, 4, 0x9A, 0xBC,        // literal 9 A B C, no pad
                9, 0xDE,                 // run of 9 from x 4: one pixel stored
                0, 0,
                0, 2, 2, 0,              // delta right 2 (one byte)
                7, 0x11,                 // run from x 2: three pixels
                0, 0,
                0, 5, 0x12, 0x34, 0x50, 0,  // literal of 5 and its pad byte
                0, 1};
  const auto image = DecodeBytes(bmp.Bytes());
  ASSERT_TRUE(image->IsValid());
  EXPECT_EQ(Row(*image, 0, 4), (std::vector<uint8_t>{0x12, 0x10, 0, 0}));
  EXPECT_EQ(Row(*image, 1, 4), (std::vector<uint8_t>{0x9A, 0xBC, 0xD0, 0}));
  EXPECT_EQ(Row(*image, 2, 4), (std::vector<uint8_t>{0x00, 0x11, 0x10, 0}));
  EXPECT_EQ(Row(*image, 3, 4), (std::vector<uint8_t>{0x12, 0x34, 0x50, 0}));
}

TEST(BmpDecode, RleWithFewerBitsStaysInsideTheRows) {
  // 1-bit rows hold 4 bytes for 20 pixels; runs as long as the pixel count fill only them.
  for (uint32_t compression : {1u, 2u}) {
    bmp_builder bmp;
    bmp.width = 20;
    bmp.height = 2;
    bmp.bits = 1;
    bmp.compression = compression;
    bmp.palette = Grey(2);
    bmp.pixels = {20, 0xFF, 0, 0, 0, 20, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0, 1};
    const auto image = DecodeBytes(bmp.Bytes());
    ASSERT_TRUE(image->IsValid()) << compression;
    EXPECT_EQ(Row(*image, 0, 4), (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF})) << compression;
    EXPECT_EQ(Row(*image, 1, 4), (std::vector<uint8_t>{0, 0, 0, 0})) << compression;  // the literal does not fit
  }
}

// Files that once reached outside a buffer or overflowed an integer.
TEST(BmpDecode, HostileSizes) {
  bmp_builder bmp;
  bmp.width = 100000;
  bmp.height = 100000;
  EXPECT_STREQ(DecodeBytes(bmp.Bytes())->GetErrorText(), "RASTER_MAX_MEMORY exceeded");
  bmp.width = 0x40000000;
  bmp.height = 4;
  bmp.bits = 32;
  EXPECT_STREQ(DecodeBytes(bmp.Bytes())->GetErrorText(), "RASTER_MAX_MEMORY exceeded");
  bmp.width = 1;
  bmp.height = INT32_MIN;  // top-down, 2^31 rows
  EXPECT_STREQ(DecodeBytes(bmp.Bytes())->GetErrorText(), "RASTER_MAX_MEMORY exceeded");
  bmp.height = 1;
  bmp.width = -3;
  EXPECT_STREQ(DecodeBytes(bmp.Bytes())->GetErrorText(),
               "CRaster::Create : width and height must be greater than zero");
  bmp.width = 3;
  bmp.height = 0;
  EXPECT_STREQ(DecodeBytes(bmp.Bytes())->GetErrorText(),
               "CRaster::Create : width and height must be greater than zero");

  // A long header whose size test would wrap in 32 or 64 bits.
  bmp_builder wide;
  wide.header_size = 124;
  wide.width = INT32_MAX;
  wide.height = INT32_MAX;
  wide.bits = 0xFFFF;
  wide.size_image = 0xFFFFFFFF;
  EXPECT_STREQ(DecodeBytes(wide.Bytes())->GetErrorText(), "Error reading BMP info");
  wide.height = INT32_MIN;
  wide.bits = 24;
  EXPECT_STREQ(DecodeBytes(wide.Bytes())->GetErrorText(), "RASTER_MAX_MEMORY exceeded");
}

TEST(BmpDecode, TheFilesImageSizeNeverSizesTheRead) {
  bmp_builder bmp;
  bmp.width = 2;
  bmp.height = 2;
  bmp.size_image = 0xFFFFFFF0;
  bmp.pixels = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0, 0xEE, 0xEE, 0xEE, 0xEE};
  const auto image = DecodeBytes(bmp.Bytes());
  ASSERT_TRUE(image->IsValid());
  EXPECT_EQ(Row(*image, 1, 8), (std::vector<uint8_t>{7, 8, 9, 10, 11, 12, 0, 0}));
}

TEST(BmpDecode, ColourCountsBeyondThePalette) {
  // The extra entries are skipped; the pixel data is found at the file's offset.
  bmp_builder bmp;
  bmp.bits = 8;
  bmp.colours = 5000;
  bmp.palette = Grey(5000);
  bmp.pixels = {200, 0, 0, 0};
  auto image = DecodeBytes(bmp.Bytes());
  ASSERT_TRUE(image->IsValid()) << image->GetErrorText();
  EXPECT_EQ(image->PixelColorUnchecked(0, 0).red, 200);
  EXPECT_EQ(image->GetPaletteColor(255).red, 255);

  // A bare bitmap: the skip runs far past the data.
  bmp.file_header = false;
  bmp.colours = 0xFFFFFFFF;
  image = DecodeBytes(bmp.Bytes());
  EXPECT_FALSE(image->IsValid());
  EXPECT_STREQ(image->GetErrorText(), "corrupted BMP");
}

TEST(BmpDecode, TruncatedFilesAreRefused) {
  bmp_builder bmp;
  bmp.width = 4;
  bmp.height = 4;
  bmp.pixels.resize(12 * 4);
  std::vector<uint8_t> whole = bmp.Bytes();
  ASSERT_TRUE(DecodeBytes(whole)->IsValid());
  whole.pop_back();
  EXPECT_STREQ(DecodeBytes(whole)->GetErrorText(), "corrupted BMP");

  for (uint16_t bits : {1, 4, 8, 16, 32}) {
    bmp_builder cut;
    cut.width = 4;
    cut.height = 4;
    cut.bits = bits;
    cut.compression = bits >= 16 ? 3 : 0;
    cut.masks = bits >= 16 ? Masks(0xF800, 0x07E0, 0x1F) : std::vector<uint8_t>{};
    cut.palette = bits <= 8 ? Grey(1 << bits) : std::vector<uint8_t>{};
    std::vector<uint8_t> bytes = cut.Bytes();  // no pixel data at all
    EXPECT_STREQ(DecodeBytes(bytes)->GetErrorText(), "corrupted BMP") << bits;
    bytes.resize(14 + 40 + 6);  // inside the palette or the masks
    EXPECT_STREQ(DecodeBytes(bytes)->GetErrorText(), "corrupted BMP") << bits;
  }
}

TEST(BmpDecode, ResolutionFromAnyPelsPerMetre) {
  bmp_builder bmp;
  bmp.pixels.resize(4);
  bmp.x_pels = 11811;
  bmp.y_pels = -5;
  auto image = DecodeBytes(bmp.Bytes());
  EXPECT_EQ(image->GetXDpi(), 300);
  EXPECT_EQ(image->GetYDpi(), 96);
  bmp.x_pels = INT32_MAX;
  bmp.y_pels = INT32_MIN;
  image = DecodeBytes(bmp.Bytes());
  EXPECT_EQ(image->GetXDpi(), 54546085);
  EXPECT_EQ(image->GetYDpi(), 96);
}

TEST(BmpDecode, StartsWhereTheStreamIs) {
  bmp_builder bmp;
  bmp.pixels = {1, 2, 3, 0};
  std::vector<uint8_t> bytes(5, 0xAA);
  const std::vector<uint8_t> file = bmp.Bytes();
  bytes.insert(bytes.end(), file.begin(), file.end());
  CMemStream stream(bytes.data(), int64_t(bytes.size()));
  ASSERT_TRUE(stream.Seek(5, 0));
  CRaster image;
  ASSERT_TRUE(image.Decode(&stream, raster_format_bmp)) << image.GetErrorText();
  EXPECT_EQ(image.PixelColorUnchecked(0, 0), (rgb_quad{1, 2, 3, 0}));

  bmp.file_header = false;
  const std::vector<uint8_t> bare = bmp.Bytes();
  bytes.resize(5);
  bytes.insert(bytes.end(), bare.begin(), bare.end());
  CMemStream bare_stream(bytes.data(), int64_t(bytes.size()));
  ASSERT_TRUE(bare_stream.Seek(5, 0));
  ASSERT_TRUE(image.Decode(&bare_stream, raster_format_bmp)) << image.GetErrorText();
  EXPECT_EQ(image.PixelColorUnchecked(0, 0), (rgb_quad{1, 2, 3, 0}));
}

}  // namespace
