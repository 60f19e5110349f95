#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "sources/mem_stream.h"
#include "sources/raster.h"
#include "tests/core/sources/bmp_builder.h"

namespace {

namespace fs = std::filesystem;

class RasterFiles : public testing::Test {
 protected:
  void SetUp() override {
    folder = fs::path(testing::TempDir()) /
             ("raster_files_" + std::to_string(getpid()) + "_" +
              testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }

  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
    const fs::path path = folder / name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path.string();
  }

  fs::path folder;
};

std::vector<uint8_t> SmallBmp() {
  bmp_builder bmp;
  bmp.width = 2;
  bmp.pixels = {1, 2, 3, 4, 5, 6, 0, 0};
  return bmp.Bytes();
}

// Longer than any header the codecs read first.
std::vector<uint8_t> SomeText() {
  const std::string line = "Just some text, not an image at all.\n";
  std::vector<uint8_t> text;
  for (int i = 0; i < 8; ++i) text.insert(text.end(), line.begin(), line.end());
  return text;
}

const std::vector<uint8_t> some_text = SomeText();

TEST(RasterDispatch, RefusalsWithoutCodecOrStream) {
  CRaster image;
  EXPECT_FALSE(image.Decode(static_cast<CByteStream*>(nullptr), raster_format_bmp));
  EXPECT_STREQ(image.GetErrorText(), "null file handler");
  image.SetErrorText("");
  EXPECT_FALSE(image.Decode(static_cast<FILE*>(nullptr), raster_format_unknown));
  EXPECT_STREQ(image.GetErrorText(), "null file handler");

  std::vector<uint8_t> bytes = SmallBmp();
  CMemStream stream(bytes.data(), int64_t(bytes.size()));
  EXPECT_FALSE(image.Decode(&stream, 5));
  EXPECT_STREQ(image.GetErrorText(), "Decode: Unknown or wrong format");
  EXPECT_EQ(stream.Tell(), 0);  // nothing read

  EXPECT_FALSE(image.Encode(&stream, 5));
  EXPECT_STREQ(image.GetErrorText(), "Encode: Unknown format");
  EXPECT_FALSE(image.Encode(&stream, raster_format_bmp));
  EXPECT_STREQ(image.GetErrorText(), "null image!!!");
  ASSERT_TRUE(image.Create(1, 1, 24, 0));
  EXPECT_FALSE(image.Encode(static_cast<CByteStream*>(nullptr), raster_format_bmp));
  EXPECT_STREQ(image.GetErrorText(), "null file handler");
  EXPECT_TRUE(image.IsValid());  // the codec object was a view: it freed nothing
}

TEST(RasterDispatch, AutomaticPassPutsTheStreamBackWhenNothingFits) {
  std::vector<uint8_t> bytes = {0, 0, 0};
  bytes.insert(bytes.end(), some_text.begin(), some_text.end());
  CMemStream stream(bytes.data(), int64_t(bytes.size()));
  ASSERT_TRUE(stream.Seek(3, 0));
  CRaster image;
  EXPECT_FALSE(image.Decode(&stream, raster_format_unknown));
  EXPECT_STREQ(image.GetErrorText(), "Decode: Unknown or wrong format");
  EXPECT_EQ(stream.Tell(), 3);

  const std::vector<uint8_t> bmp = SmallBmp();
  CRaster found(bmp.data(), bmp.size(), raster_format_unknown);
  ASSERT_TRUE(found.IsValid());
  EXPECT_EQ(found.GetFormat(), uint32_t(raster_format_bmp));
}

TEST(RasterDispatch, FailedDecodeLeavesTheImageAsItWas) {
  CRaster image;
  ASSERT_TRUE(image.Create(3, 3, 8, raster_format_tga));
  const uint8_t* block = image.GetDib();
  bmp_builder bad;
  bad.compression = 3;
  bad.pixels.resize(4);
  const std::vector<uint8_t> bytes = bad.Bytes();
  CMemStream stream(const_cast<uint8_t*>(bytes.data()), int64_t(bytes.size()));
  EXPECT_FALSE(image.Decode(&stream, raster_format_bmp));
  EXPECT_STREQ(image.GetErrorText(), "unknown compression");
  EXPECT_EQ(image.GetDib(), block);
  EXPECT_EQ(image.GetWidth(), 3);
  EXPECT_EQ(image.GetFormat(), uint32_t(raster_format_tga));
}

// Random pixels, palette and (at 24 bits, when asked) alpha.
void Fill(CRaster& image, bool with_alpha, uint32_t seed) {
  std::mt19937 random(seed);
  for (uint32_t i = 0; i < image.GetColorCount(); ++i)
    image.SetPaletteColor(i, uint8_t(random()), uint8_t(random()), uint8_t(random()));
  for (int y = 0; y < image.GetHeight(); ++y)
    for (int x = 0; x < image.GetWidth(); ++x) {
      if (image.GetBpp() == 24)
        image.SetPixelColor(x, y, COLORREF(random() & 0xFFFFFF));
      else
        image.SetPixelIndex(x, y, uint8_t(random()));
    }
  if (with_alpha && image.AlphaCreate())
    for (int y = 0; y < image.GetHeight(); ++y)
      for (int x = 0; x < image.GetWidth(); ++x) image.AlphaSet(x, y, uint8_t(random()));
}

TEST(RasterDispatch, BmpRoundTripsThroughAMemoryStream) {
  for (uint32_t bits : {1u, 4u, 8u, 24u}) {
    for (bool with_alpha : {false, true}) {
      SCOPED_TRACE(testing::Message() << bits << " bits" << (with_alpha ? " with alpha" : ""));
      CRaster image;
      ASSERT_TRUE(image.Create(11, 5, bits, 0));
      Fill(image, with_alpha && bits == 24, bits);
      image.SetXDpi(300);

      CMemStream stream;
      ASSERT_TRUE(stream.Open());
      ASSERT_TRUE(image.Encode(&stream, raster_format_bmp)) << image.GetErrorText();
      const int64_t size = stream.Tell();
      EXPECT_EQ(stream.GetBuffer(false)[0], 'B');
      ASSERT_TRUE(stream.Seek(0, 0));
      CRaster back;
      ASSERT_TRUE(back.Decode(&stream, raster_format_unknown)) << back.GetErrorText();
      EXPECT_EQ(stream.Tell(), size);
      EXPECT_EQ(back.GetBpp(), bits);
      EXPECT_EQ(back.GetXDpi(), 300);
      EXPECT_EQ(back.AlphaIsValid(), image.AlphaIsValid());
      for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 11; ++x)
          ASSERT_EQ(back.PixelColorUnchecked(x, y, true), image.PixelColorUnchecked(x, y, true)) << x << "," << y;
    }
  }
}

TEST_F(RasterFiles, LoadTriesEveryFormatWhenTheAskedOneFails) {
  // A BMP named .tga: TGA fails, the automatic pass finds BMP.
  CRaster image(Write("picture.tga", SmallBmp()).c_str(), raster_format_tga);
  ASSERT_TRUE(image.IsValid()) << image.GetErrorText();
  EXPECT_EQ(image.GetFormat(), uint32_t(raster_format_bmp));
  EXPECT_EQ(image.PixelColorUnchecked(1, 0), (rgb_quad{4, 5, 6, 0}));

  // Text that is no image: the error is the one of the format asked for.
  const std::string text = Write("notes.pcx", some_text);
  CRaster as_pcx(text.c_str(), raster_format_pcx);
  EXPECT_FALSE(as_pcx.IsValid());
  CRaster direct;
  std::vector<uint8_t> bytes = some_text;
  CMemStream stream(bytes.data(), int64_t(bytes.size()));
  EXPECT_FALSE(direct.Decode(&stream, raster_format_pcx));
  EXPECT_STREQ(as_pcx.GetErrorText(), direct.GetErrorText());
  EXPECT_STREQ(as_pcx.GetErrorText(), "Error: Not a PCX file");

  CRaster as_bmp(text.c_str(), raster_format_bmp);
  EXPECT_FALSE(as_bmp.IsValid());
  EXPECT_STREQ(as_bmp.GetErrorText(), "Error reading BMP info");

  CRaster as_anything(text.c_str(), raster_format_unknown);
  EXPECT_STREQ(as_anything.GetErrorText(), "Decode: Unknown or wrong format");

  CRaster missing;
  missing.SetErrorText("earlier");
  EXPECT_FALSE(missing.Load((folder / "missing.tga").c_str(), raster_format_tga));
  EXPECT_FALSE(missing.Load(nullptr, raster_format_unknown));
  EXPECT_STREQ(missing.GetErrorText(), "earlier");
}

TEST_F(RasterFiles, SaveWritesOrReportsWhyNot) {
  const std::vector<uint8_t> bmp = SmallBmp();
  CRaster image(bmp.data(), bmp.size(), raster_format_bmp);
  ASSERT_TRUE(image.IsValid());
  const std::string path = (folder / "out.bmp").string();
  ASSERT_TRUE(image.Save(path.c_str(), raster_format_bmp));
  CRaster back(path.c_str(), raster_format_bmp);
  ASSERT_TRUE(back.IsValid());
  EXPECT_EQ(back.PixelColorUnchecked(1, 0), (rgb_quad{4, 5, 6, 0}));

  EXPECT_FALSE(image.Save((folder / "no" / "such" / "folder.bmp").c_str(), raster_format_bmp));
  EXPECT_FALSE(image.Save(path.c_str(), 5));
  EXPECT_STREQ(image.GetErrorText(), "Encode: Unknown format");
  if (FILE* full = std::fopen("/dev/full", "wb")) {
    std::fclose(full);
    image.SetErrorText("");
    EXPECT_FALSE(image.Save("/dev/full", raster_format_bmp));  // the bytes cannot be written out
    EXPECT_STRNE(image.GetErrorText(), "");
  }
}

}  // namespace
