#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "tests/core/codecs/bmp_builder.h"
#include "tests/core/codecs/raster_test_support.h"

namespace {

std::unique_ptr<CRaster> DecodeBytes(const bytes& file) { return DecodeAs(file, raster_format_bmp, false); }

const char* ErrorOf(const bmp_builder& bmp) {
  static std::unique_ptr<CRaster> last;
  last = DecodeBytes(bmp.Bytes());
  return last->IsValid() ? "" : last->GetErrorText();
}

// The first n bytes of each row, bottom row first.
bytes Rows(const CRaster& image, size_t n) {
  bytes out;
  for (int y = 0; y < image.GetHeight(); ++y) out.insert(out.end(), image.GetBits(y), image.GetBits(y) + n);
  return out;
}

bytes Grey(int entries) {
  bytes palette;
  for (int i = 0; i < entries; ++i) palette.insert(palette.end(), {uint8_t(i), uint8_t(i), uint8_t(i), 0});
  return palette;
}

std::unique_ptr<CRaster> Rle(int32_t width, int32_t height, uint16_t bits, bytes data) {
  bmp_builder bmp;
  bmp.width = width, bmp.height = height, bmp.bits = bits;
  bmp.compression = bits == 4 ? 2 : 1;
  bmp.palette = Grey(1 << bits);
  bmp.pixels = std::move(data);
  return DecodeAs(bmp.Bytes(), raster_format_bmp, true);
}

TEST(BmpDecode, RefusalsAndHostileSizes) {
  EXPECT_STREQ(DecodeBytes({'B', 'M', 0, 0})->GetErrorText(), "Not a BMP");
  EXPECT_STREQ(DecodeBytes(bytes(30, 0))->GetErrorText(), "Error reading BMP info");
  const char* const info = "Error reading BMP info";
  const char* const too_big = "RASTER_MAX_MEMORY exceeded";
  const char* const zero = "CRaster::Create : width and height must be greater than zero";
  // Each case changes a sound 8-bit file of one pixel.
  const std::pair<void (*)(bmp_builder&), const char*> cases[] = {
      {[](bmp_builder& b) { b.header_size = 108, b.size_image = 4; }, ""},
      {[](bmp_builder& b) { b.compression = 3; }, "compression type not supported"},
      {[](bmp_builder& b) { b.compression = 3, b.bits = 24; }, "unknown compression"},
      // A long header needs an image size that holds the rows, one plane, no colour count.
      {[](bmp_builder& b) { b.header_size = 108, b.size_image = 3; }, info},
      {[](bmp_builder& b) { b.header_size = 108, b.size_image = 4, b.planes = 2; }, info},
      {[](bmp_builder& b) { b.header_size = 108, b.size_image = 4, b.colours = 256; }, info},
      {[](bmp_builder& b) { b.header_size = 20; }, info},
      // A size test that would wrap in 32 or 64 bits.
      {[](bmp_builder& b) { b.header_size = 124, b.width = b.height = INT32_MAX, b.bits = 0xFFFF, b.size_image = ~0u; },
       info},
      {[](bmp_builder& b) { b.width = b.height = 100000; }, too_big},
      {[](bmp_builder& b) { b.width = 0x40000000, b.height = 4, b.bits = 32; }, too_big},
      {[](bmp_builder& b) { b.height = INT32_MIN; }, too_big},  // top-down, 2^31 rows
      {[](bmp_builder& b) { b.width = -3; }, zero},
      {[](bmp_builder& b) { b.height = 0; }, zero},
  };
  for (const auto& [change, message] : cases) {
    bmp_builder bmp;
    bmp.bits = 8;
    bmp.palette = Grey(256);
    bmp.pixels.resize(4);
    change(bmp);
    EXPECT_STREQ(ErrorOf(bmp), message) << message;
  }
  // Depths the codec cannot read are refused before any image is made, also by the
  // automatic pass (which would otherwise make a blank image of the declared size).
  for (uint16_t bits : {0, 2, 3, 64, 65535}) {
    bmp_builder bad;
    bad.bits = bits, bad.width = bad.height = 8000;
    EXPECT_STREQ(ErrorOf(bad), "bit count not supported") << bits;
    EXPECT_FALSE(CRaster(bad.Bytes().data(), bad.Bytes().size(), raster_format_unknown).IsValid()) << bits;
  }
  bmp_builder bmp;
  bmp.x_pels = INT32_MAX;  // pels per metre at the ends of their range
  bmp.y_pels = INT32_MIN;
  bmp.pixels.resize(4);
  EXPECT_EQ(DecodeBytes(bmp.Bytes())->GetXDpi(), 54546085);
  EXPECT_EQ(DecodeBytes(bmp.Bytes())->GetYDpi(), 96);
}

TEST(BmpDecode, ReadsNeverGoPastTheImageThePaletteOrTheFile) {
  bmp_builder bmp;  // the file's image size never sizes the read
  bmp.width = bmp.height = 2;
  bmp.size_image = 0xFFFFFFF0;
  bmp.pixels = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0, 0xEE, 0xEE, 0xEE, 0xEE};
  auto image = DecodeBytes(bmp.Bytes());
  ASSERT_TRUE(image->IsValid());
  EXPECT_EQ(Rows(*image, 8), bytes({1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0}));
  bytes file = bmp.Bytes();
  file.resize(file.size() - 5);
  EXPECT_STREQ(DecodeBytes(file)->GetErrorText(), "corrupted BMP");

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

TEST(BmpDecode, RleRunsLiteralsAndDeltasStayInsideTheRows) {
  auto image = Rle(6, 3, 8, {0, 3, 7, 8, 9, 0,              // odd literal with its pad byte
                             0, 2, 1, 1,                    // delta: right 1, up 1
                             9, 6,                          // run from x 4 of row 1: 2 stored
                             0, 0,                          //
                             0, 7, 1, 1, 1, 1, 1, 1, 1, 0,  // literal too long for its row
                             0, 2, 0, 9,                    // delta past the last row ends it
                             3, 3});
  EXPECT_EQ(Rows(*image, 6), bytes({7, 8, 9, 0, 0, 0, 0, 0, 0, 0, 6, 6, 0, 0, 0, 0, 0, 0}));

  image = Rle(7, 3, 4, {9, 0x12, 0, 0,                                          // run of 9 from x 0: seven pixels
                        0, 3, 0x45, 0x60, 0, 5, 0x9A, 0xBC, 0xD0, 0, 0, 0,  // the second literal ends past x 7
                        0, 5, 0x12, 0x34, 0x50, 0, 2, 0x88});               // a literal and its pad byte
  EXPECT_EQ(Rows(*image, 4), bytes({0x12, 0x12, 0x12, 0x10, 0x45, 0x60, 0, 0, 0x12, 0x34, 0x58, 0x80}));

  // 1-bit rows hold 4 bytes for 20 pixels; runs as long as the pixel count fill only them.
  image = Rle(20, 2, 1, {20, 0xFF, 0, 0, 0, 20, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0, 1});
  EXPECT_EQ(Rows(*image, 4), bytes({0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0}));
}

}  // namespace
