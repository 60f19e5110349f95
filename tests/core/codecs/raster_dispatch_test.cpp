#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "tests/core/codecs/bmp_builder.h"
#include "tests/core/codecs/raster_test_support.h"

namespace {

namespace fs = std::filesystem;

// Longer than any header the codecs read first.
bytes SomeText() { return bytes(300, 'x'); }

TEST(RasterDispatch, Refusals) {
  CRaster image;
  bytes file = SomeText();
  CMemStream stream(file.data(), int64_t(file.size()));
  EXPECT_FALSE(image.Decode(&stream, 5));
  EXPECT_STREQ(image.GetErrorText(), "Decode: Unknown or wrong format");
  EXPECT_FALSE(image.Encode(&stream, 5));
  EXPECT_STREQ(image.GetErrorText(), "Encode: Unknown format");
  EXPECT_FALSE(image.Encode(&stream, raster_format_bmp));
  EXPECT_STREQ(image.GetErrorText(), "null image!!!");

  // A failed decode leaves the image as it was.
  ASSERT_TRUE(image.Create(3, 3, 8, raster_format_tga));
  const uint8_t* block = image.GetDib();
  EXPECT_FALSE(image.Decode(&stream, raster_format_bmp));
  EXPECT_EQ(image.GetDib(), block);
  EXPECT_EQ(image.GetFormat(), uint32_t(raster_format_tga));
  EXPECT_FALSE(image.Encode(static_cast<CByteStream*>(nullptr), raster_format_bmp));
  EXPECT_TRUE(image.IsValid());  // the codec object was a view: it freed nothing
}

TEST(RasterDispatch, EncodeThenDecodeGivesBackThePixelsAtOddWidths) {
  for (uint32_t format : {raster_format_bmp, raster_format_tga, raster_format_pcx})
    for (uint32_t bits : {1u, 4u, 8u, 24u, 32u})
      for (int32_t width : {1, 3, 37}) {
        if (format == raster_format_tga && bits < 8) continue;
        SCOPED_TRACE(testing::Message() << "format " << format << ", " << bits << " bits, width " << width);
        CRaster image, back;
        ASSERT_TRUE(MakeImage(image, width, 5, bits == 32 ? 24 : bits, uint32_t(width * bits + format), bits == 32));
        const bool inverted = bits == 1 && format == raster_format_pcx;  // written with black first
        if (inverted) image.SetPaletteColor(0, 255, 255, 255), image.SetPaletteColor(1, 0, 0, 0);
        image.SetXDpi(300), image.SetYDpi(72);
        CMemStream stream;
        ASSERT_TRUE(stream.Open());
        ASSERT_TRUE(image.Encode(&stream, format)) << image.GetErrorText();
        ASSERT_TRUE(stream.Seek(0, 0));
        ASSERT_TRUE(back.Decode(&stream, format)) << back.GetErrorText();
        EXPECT_EQ(RgbaTopDown(back), RgbaTopDown(image));
        for (int32_t y = 0; y < 5 && !inverted; ++y)  // indices too, not only colours
          EXPECT_EQ(0, std::memcmp(back.GetBits(y), image.GetBits(y), size_t(width) * image.GetBpp() / 8)) << y;
        if (format != raster_format_tga) {
          EXPECT_EQ(back.GetXDpi() * 1000 + back.GetYDpi(), 300072);
        }
      }
}

TEST(RasterDispatch, TheAutomaticPass) {
  const std::string at = testing::TempDir() + "vorbel_" + std::to_string(getpid()) + "_";
  // A BMP named .tga: TGA fails, the automatic pass finds BMP.
  bmp_builder bmp;
  bmp.width = 2;
  bmp.pixels = {1, 2, 3, 4, 5, 6, 0, 0};
  WriteFile(at + "picture.tga", bmp.Bytes());
  CRaster image((at + "picture.tga").c_str(), raster_format_tga);
  ASSERT_TRUE(image.IsValid()) << image.GetErrorText();
  EXPECT_EQ(image.GetFormat(), uint32_t(raster_format_bmp));
  EXPECT_EQ(image.PixelColorUnchecked(1, 0), (rgb_quad{4, 5, 6, 0}));

  // Text that is no image: the error is the one of the format asked for.
  const std::string text = at + "notes.pcx";
  WriteFile(text, SomeText());
  EXPECT_STREQ(CRaster(text.c_str(), raster_format_pcx).GetErrorText(), "Error: Not a PCX file");
  EXPECT_STREQ(CRaster(text.c_str(), raster_format_unknown).GetErrorText(), "Decode: Unknown or wrong format");

  // Nothing fits: the stream is back where it was.
  bytes shifted = Concat({{0, 0, 0}, SomeText()});
  CMemStream stream(shifted.data(), int64_t(shifted.size()));
  ASSERT_TRUE(stream.Seek(3, 0));
  EXPECT_FALSE(image.Decode(&stream, raster_format_unknown));
  EXPECT_EQ(stream.Tell(), 3);

  CRaster missing;
  missing.SetErrorText("earlier");
  EXPECT_FALSE(missing.Load((at + "missing.tga").c_str(), raster_format_tga));
  EXPECT_FALSE(missing.Load(nullptr, raster_format_unknown));
  EXPECT_STREQ(missing.GetErrorText(), "earlier");
  fs::remove(at + "picture.tga"), fs::remove(text);
}

TEST(RasterDispatch, EveryEncoderReportsAFullDisk) {
  for (uint32_t format : {raster_format_bmp, raster_format_tga, raster_format_pcx})
    for (uint32_t bits : {1u, 8u, 24u}) {
      CRaster full;
      ASSERT_TRUE(MakeImage(full, 9, 3, bits, 1));
      EXPECT_FALSE(full.Save("/dev/full", format)) << format << " at " << bits << " bits";
    }
}

}  // namespace
