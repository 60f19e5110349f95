#include <gtest/gtest.h>

#include <memory>
#include <numeric>
#include <vector>

#include "tests/core/sources/bmp_builder.h"
#include "tests/core/sources/raster_test_support.h"

namespace {

std::unique_ptr<CRaster> DecodeBytes(const bytes& file) {
  return std::make_unique<CRaster>(file.data(), file.size(), raster_format_bmp);
}

const char* ErrorOf(const bmp_builder& bmp) {
  static std::unique_ptr<CRaster> last;
  last = DecodeBytes(bmp.Bytes());
  return last->IsValid() ? "" : last->GetErrorText();
}

bytes Row(const CRaster& image, int y, size_t n) { return bytes(image.GetBits(y), image.GetBits(y) + n); }

bytes Grey(int entries) {
  bytes palette;
  for (int i = 0; i < entries; ++i) palette.insert(palette.end(), {uint8_t(i), uint8_t(i), uint8_t(i), 0});
  return palette;
}

bmp_builder Rle(int32_t width, int32_t height, uint16_t bits, bytes data) {
  bmp_builder bmp;
  bmp.width = width;
  bmp.height = height;
  bmp.bits = bits;
  bmp.compression = bits == 4 ? 2 : 1;
  bmp.palette = Grey(1 << bits);
  bmp.pixels = std::move(data);
  return bmp;
}

TEST(BmpDecode, TheSaversBareBitmapReadFromWhereTheStreamIs) {
  bmp_builder bmp;
  bmp.file_header = false;
  bmp.width = 5;
  bmp.height = 3;
  bmp.size_image = 5 * 3 * 4;  // what the saver writes: more than the rows take
  bmp.pixels.resize(16 * 3);
  std::iota(bmp.pixels.begin(), bmp.pixels.end(), 1);
  bytes file = Concat({bytes(5, 0xAA), bmp.Bytes()});
  CMemStream stream(file.data(), int64_t(file.size()));
  ASSERT_TRUE(stream.Seek(5, 0));
  CRaster image;
  ASSERT_TRUE(image.Decode(&stream, raster_format_bmp)) << image.GetErrorText();
  EXPECT_EQ(image.GetXDpi(), 96);
  for (int y = 0; y < 3; ++y) EXPECT_EQ(Row(image, y, 15), bytes(&bmp.pixels[16 * y], &bmp.pixels[16 * y + 15]));
}

TEST(BmpDecode, RefusalMessages) {
  EXPECT_STREQ(DecodeBytes({'B', 'M', 0, 0})->GetErrorText(), "Not a BMP");
  EXPECT_STREQ(DecodeBytes(bytes(30, 0))->GetErrorText(), "Error reading BMP info");
  bmp_builder bmp;
  bmp.pixels.resize(4);
  bmp.compression = 3;
  EXPECT_STREQ(ErrorOf(bmp), "unknown compression");
  bmp.bits = 32;
  bmp.compression = 2;
  EXPECT_STREQ(ErrorOf(bmp), "unknown compression");
  bmp.bits = 8;
  bmp.compression = 3;
  bmp.palette = Grey(256);
  EXPECT_STREQ(ErrorOf(bmp), "compression type not supported");

  // A long header needs an image size that holds the rows, one plane, no colour count.
  bmp.compression = 0;
  bmp.header_size = 108;
  bmp.size_image = 4;
  EXPECT_STREQ(ErrorOf(bmp), "");
  bmp.size_image = 3;
  EXPECT_STREQ(ErrorOf(bmp), "Error reading BMP info");
  bmp.size_image = 4;
  bmp.planes = 2;
  EXPECT_STREQ(ErrorOf(bmp), "Error reading BMP info");
  bmp.planes = 1;
  bmp.colours = 256;
  EXPECT_STREQ(ErrorOf(bmp), "Error reading BMP info");
  bmp.header_size = 20;
  EXPECT_STREQ(ErrorOf(bmp), "Error reading BMP info");

  for (uint16_t bits : {0, 2, 64}) {  // depths without pixel data of their own: a blank image
    bmp_builder odd;
    odd.bits = bits;
    odd.palette = Grey(4);
    EXPECT_STREQ(ErrorOf(odd), "") << bits;
  }
}

TEST(BmpDecode, HostileSizes) {
  const char* const too_big = "RASTER_MAX_MEMORY exceeded";
  const char* const zero = "CRaster::Create : width and height must be greater than zero";
  bmp_builder bmp;
  bmp.x_pels = INT32_MAX;  // pels per metre at the ends of their range
  bmp.y_pels = INT32_MIN;
  bmp.pixels.resize(4);
  const auto image = DecodeBytes(bmp.Bytes());
  EXPECT_EQ(image->GetXDpi(), 54546085);
  EXPECT_EQ(image->GetYDpi(), 96);
  for (auto [w, h, bits, message] : {std::tuple<int32_t, int32_t, uint16_t, const char*>{100000, 100000, 24, too_big},
                                     {0x40000000, 4, 32, too_big},
                                     {1, INT32_MIN, 24, too_big},  // top-down, 2^31 rows
                                     {-3, 1, 24, zero},
                                     {3, 0, 24, zero}}) {
    bmp.width = w, bmp.height = h, bmp.bits = bits;
    EXPECT_STREQ(ErrorOf(bmp), message) << w << " x " << h;
  }
  // A long header whose size test would wrap in 32 or 64 bits.
  bmp.header_size = 124;
  bmp.width = bmp.height = INT32_MAX;
  bmp.bits = 0xFFFF;
  bmp.size_image = 0xFFFFFFFF;
  EXPECT_STREQ(ErrorOf(bmp), "Error reading BMP info");
  bmp.height = INT32_MIN;
  bmp.bits = 24;
  EXPECT_STREQ(ErrorOf(bmp), too_big);
}

TEST(BmpDecode, ReadsNeverGoPastTheImageOrThePalette) {
  // The file's image size never sizes the read.
  bmp_builder bmp;
  bmp.width = bmp.height = 2;
  bmp.size_image = 0xFFFFFFF0;
  bmp.pixels = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0, 0xEE, 0xEE, 0xEE, 0xEE};
  auto image = DecodeBytes(bmp.Bytes());
  ASSERT_TRUE(image->IsValid());
  EXPECT_EQ(Row(*image, 1, 8), bytes({7, 8, 9, 10, 11, 12, 0, 0}));

  // Colour counts beyond the palette: the rest is skipped, the pixels found at the offset.
  bmp_builder many;
  many.bits = 8;
  many.colours = 5000;
  many.palette = Grey(5000);
  many.pixels = {200, 0, 0, 0};
  image = DecodeBytes(many.Bytes());
  ASSERT_TRUE(image->IsValid()) << image->GetErrorText();
  EXPECT_EQ(image->PixelColorUnchecked(0, 0).red, 200);
  many.file_header = false;  // a bare bitmap: the skip runs far past the data
  many.colours = 0xFFFFFFFF;
  EXPECT_STREQ(ErrorOf(many), "corrupted BMP");
}

TEST(BmpDecode, TruncatedFilesAreRefused) {
  bmp_builder whole;
  whole.width = whole.height = 4;
  whole.pixels.resize(12 * 4);
  bytes file = whole.Bytes();
  file.pop_back();
  EXPECT_STREQ(DecodeBytes(file)->GetErrorText(), "corrupted BMP");
  for (uint16_t bits : {1, 4, 8, 16, 32}) {
    bmp_builder cut;
    cut.width = cut.height = 4;
    cut.bits = bits;
    cut.compression = bits >= 16 ? 3 : 0;
    cut.masks = bits >= 16 ? Masks(0xF800, 0x07E0, 0x1F) : bytes{};
    cut.palette = bits <= 8 ? Grey(1 << bits) : bytes{};
    file = cut.Bytes();  // no pixel data at all
    EXPECT_STREQ(DecodeBytes(file)->GetErrorText(), "corrupted BMP") << bits;
    file.resize(14 + 40 + 6);  // inside the palette or the masks
    EXPECT_STREQ(DecodeBytes(file)->GetErrorText(), "corrupted BMP") << bits;
  }
}

TEST(BmpDecode, RleRunsLiteralsAndDeltasStayInsideTheRows) {
  auto image = DecodeBytes(Rle(8, 2, 8, {0, 4, 1, 2, 3, 4,  // literal of 4
                                         10, 9,             // run of 10 with 4 pixels left: 4 stored
                                         0, 0, 2, 5, 0, 1})
                               .Bytes());
  ASSERT_TRUE(image->IsValid());
  EXPECT_EQ(Row(*image, 0, 8), bytes({1, 2, 3, 4, 9, 9, 9, 9}));
  EXPECT_EQ(Row(*image, 1, 8), bytes({5, 5, 0, 0, 0, 0, 0, 0}));

  image = DecodeBytes(Rle(6, 3, 8, {0, 3, 7, 8, 9, 0,            // odd literal with its pad byte
                                    0, 2, 1, 1,                  // delta: right 1, up 1
                                    2, 6,                        // run at x 4 of row 1
                                    0, 2, 200, 0,                // delta far right
                                    1, 5, 0, 0,                  // nothing fits; on to row 2
                                    1, 4,                        //
                                    0, 7, 1, 1, 1, 1, 1, 1, 1, 0,  // literal too long for its row
                                    0, 2, 0, 9,                  // delta past the last row ends it
                                    3, 3})
                          .Bytes());
  ASSERT_TRUE(image->IsValid());
  EXPECT_EQ(Row(*image, 0, 6), bytes({7, 8, 9, 0, 0, 0}));
  EXPECT_EQ(Row(*image, 1, 6), bytes({0, 0, 0, 0, 6, 6}));
  EXPECT_EQ(Row(*image, 2, 6), bytes({4, 0, 0, 0, 0, 0}));
  EXPECT_TRUE(DecodeBytes(Rle(6, 3, 8, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2}).Bytes())->IsValid());  // line ends too

  image = DecodeBytes(Rle(5, 4, 4, {3, 0x12,                        // 1 2 1
                                    0, 3, 0x45, 0x60,               // literal ending past x 5: not stored
                                    0, 0, 0, 4, 0x9A, 0xBC,         // literal without pad
                                    9, 0xDE,                        // run of 9 from x 4: one pixel
                                    0, 0, 0, 2, 2, 0,               // delta right 2
                                    7, 0x11,                        // run from x 2: three pixels
                                    0, 0, 0, 5, 0x12, 0x34, 0x50, 0,  // literal of 5 and its pad byte
                                    0, 1})
                          .Bytes());
  ASSERT_TRUE(image->IsValid());
  EXPECT_EQ(Row(*image, 0, 4), bytes({0x12, 0x10, 0, 0}));
  EXPECT_EQ(Row(*image, 1, 4), bytes({0x9A, 0xBC, 0xD0, 0}));
  EXPECT_EQ(Row(*image, 2, 4), bytes({0x00, 0x11, 0x10, 0}));
  EXPECT_EQ(Row(*image, 3, 4), bytes({0x12, 0x34, 0x50, 0}));

  // 1-bit rows hold 4 bytes for 20 pixels; runs as long as the pixel count fill only them.
  for (uint32_t compression : {1u, 2u}) {
    bmp_builder bmp = Rle(20, 2, 1, {20, 0xFF, 0, 0, 0, 20, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0, 1});
    bmp.compression = compression;
    image = DecodeBytes(bmp.Bytes());
    ASSERT_TRUE(image->IsValid()) << compression;
    EXPECT_EQ(Row(*image, 0, 4), bytes({0xFF, 0xFF, 0xFF, 0xFF})) << compression;
    EXPECT_EQ(Row(*image, 1, 4), bytes({0, 0, 0, 0})) << compression;
  }
}

}  // namespace
