#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "tests/core/sources/bmp_builder.h"
#include "tests/core/sources/raster_test_support.h"

namespace {

namespace fs = std::filesystem;

bytes SmallBmp() {
  bmp_builder bmp;
  bmp.width = 2;
  bmp.pixels = {1, 2, 3, 4, 5, 6, 0, 0};
  return bmp.Bytes();
}

// Longer than any header the codecs read first.
bytes SomeText() {
  const std::string line = "Just some text, not an image at all.\n";
  bytes text;
  for (int i = 0; i < 8; ++i) text.insert(text.end(), line.begin(), line.end());
  return text;
}

class RasterFiles : public testing::Test {
 protected:
  void SetUp() override {
    folder = fs::path(testing::TempDir()) / ("raster_files_" + std::to_string(getpid()));
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }
  std::string Write(const std::string& name, const bytes& data) {
    WriteFile(folder / name, data);
    return (folder / name).string();
  }
  fs::path folder;
};

TEST(RasterDispatch, Refusals) {
  CRaster image;
  bytes file = SmallBmp();
  CMemStream stream(file.data(), int64_t(file.size()));
  EXPECT_FALSE(image.Decode(&stream, 5));
  EXPECT_STREQ(image.GetErrorText(), "Decode: Unknown or wrong format");
  EXPECT_FALSE(image.Encode(&stream, 5));
  EXPECT_STREQ(image.GetErrorText(), "Encode: Unknown format");
  EXPECT_FALSE(image.Encode(&stream, raster_format_bmp));
  EXPECT_STREQ(image.GetErrorText(), "null image!!!");
  EXPECT_EQ(stream.Tell(), 0);

  // A failed decode leaves the image as it was.
  ASSERT_TRUE(image.Create(3, 3, 8, raster_format_tga));
  const uint8_t* block = image.GetDib();
  bmp_builder bad;
  bad.compression = 3;
  bad.pixels.resize(4);
  file = bad.Bytes();
  CMemStream bad_stream(file.data(), int64_t(file.size()));
  EXPECT_FALSE(image.Decode(&bad_stream, raster_format_bmp));
  EXPECT_STREQ(image.GetErrorText(), "unknown compression");
  EXPECT_EQ(image.GetDib(), block);
  EXPECT_EQ(image.GetFormat(), uint32_t(raster_format_tga));
  EXPECT_FALSE(image.Encode(static_cast<CByteStream*>(nullptr), raster_format_bmp));
  EXPECT_TRUE(image.IsValid());  // the codec object was a view: it freed nothing
}

TEST(RasterDispatch, BmpRoundTripsThroughAMemoryStream) {
  for (uint32_t bits : {1u, 4u, 8u, 24u, 32u}) {
    SCOPED_TRACE(testing::Message() << bits << " bits");
    CRaster image;
    ASSERT_TRUE(MakeImage(image, 11, 5, bits == 32 ? 24 : bits, bits, bits == 32));
    image.SetXDpi(300);
    CMemStream stream;
    ASSERT_TRUE(stream.Open());
    ASSERT_TRUE(image.Encode(&stream, raster_format_bmp)) << image.GetErrorText();
    const int64_t size = stream.Tell();
    ASSERT_TRUE(stream.Seek(0, 0));
    CRaster back;
    ASSERT_TRUE(back.Decode(&stream, raster_format_unknown)) << back.GetErrorText();
    EXPECT_EQ(stream.Tell(), size);
    EXPECT_EQ(back.GetBpp(), image.GetBpp());
    EXPECT_EQ(back.GetXDpi(), 300);
    EXPECT_EQ(RgbaTopDown(back), RgbaTopDown(image));
  }
}

TEST_F(RasterFiles, TheAutomaticPass) {
  // A BMP named .tga: TGA fails, the automatic pass finds BMP.
  CRaster image(Write("picture.tga", SmallBmp()).c_str(), raster_format_tga);
  ASSERT_TRUE(image.IsValid()) << image.GetErrorText();
  EXPECT_EQ(image.GetFormat(), uint32_t(raster_format_bmp));
  EXPECT_EQ(image.PixelColorUnchecked(1, 0), (rgb_quad{4, 5, 6, 0}));

  // Text that is no image: the error is the one of the format asked for.
  const std::string text = Write("notes.pcx", SomeText());
  EXPECT_STREQ(CRaster(text.c_str(), raster_format_pcx).GetErrorText(), "Error: Not a PCX file");
  EXPECT_STREQ(CRaster(text.c_str(), raster_format_bmp).GetErrorText(), "Error reading BMP info");
  EXPECT_STREQ(CRaster(text.c_str(), raster_format_unknown).GetErrorText(), "Decode: Unknown or wrong format");

  // Nothing fits: the stream is back where it was.
  bytes shifted = Concat({{0, 0, 0}, SomeText()});
  CMemStream stream(shifted.data(), int64_t(shifted.size()));
  ASSERT_TRUE(stream.Seek(3, 0));
  EXPECT_FALSE(image.Decode(&stream, raster_format_unknown));
  EXPECT_EQ(stream.Tell(), 3);

  CRaster missing;
  missing.SetErrorText("earlier");
  EXPECT_FALSE(missing.Load((folder / "missing.tga").c_str(), raster_format_tga));
  EXPECT_FALSE(missing.Load(nullptr, raster_format_unknown));
  EXPECT_STREQ(missing.GetErrorText(), "earlier");
}

TEST_F(RasterFiles, SaveWritesOrReportsWhyNot) {
  const bytes file = SmallBmp();
  CRaster image(file.data(), file.size(), raster_format_bmp);
  const std::string path = (folder / "out.bmp").string();
  ASSERT_TRUE(image.Save(path.c_str(), raster_format_bmp));
  EXPECT_EQ(CRaster(path.c_str(), raster_format_bmp).PixelColorUnchecked(1, 0), (rgb_quad{4, 5, 6, 0}));
  EXPECT_FALSE(image.Save((folder / "no" / "such" / "folder.bmp").c_str(), raster_format_bmp));
  // A full disk: every format and depth reports it.
  for (uint32_t format : {raster_format_bmp, raster_format_tga, raster_format_pcx})
    for (uint32_t bits : {1u, 8u, 24u}) {
      if (format == raster_format_tga && bits == 1) continue;
      CRaster full;
      ASSERT_TRUE(MakeImage(full, 9, 3, bits, 1));
      EXPECT_FALSE(full.Save("/dev/full", format)) << format << " at " << bits << " bits";
      EXPECT_STRNE(full.GetErrorText(), "");
    }
}

}  // namespace
