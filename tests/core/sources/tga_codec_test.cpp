#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "sources/raster.h"
#include "sources/raster_tga.h"
#include "tests/core/sources/tga_pcx_test_support.h"

namespace {

bytes TgaHeader(uint8_t type, uint8_t depth, uint16_t width, uint16_t height,
                uint8_t descriptor = 0, uint16_t map_length = 0, uint8_t id_length = 0) {
  bytes h(18, 0);
  h[0] = id_length;
  h[1] = map_length ? 1 : 0;
  h[2] = type;
  h[5] = uint8_t(map_length);
  h[6] = uint8_t(map_length >> 8);
  h[7] = map_length ? 24 : 0;
  h[12] = uint8_t(width);
  h[13] = uint8_t(width >> 8);
  h[14] = uint8_t(height);
  h[15] = uint8_t(height >> 8);
  h[16] = depth;
  h[17] = descriptor;
  return h;
}

// Blue, green, red of pixel (x, y), y counted from the top.
bytes PixelAt(const CRaster& image, int32_t x, int32_t y_from_top) {
  const rgb_quad c = image.PixelColorUnchecked(x, image.GetHeight() - 1 - y_from_top);
  return {c.blue, c.green, c.red};
}

std::string TempPath(const char* name) {
  return (std::filesystem::temp_directory_path() /
          (std::string("vorbel_tga_") + std::to_string(::getpid()) + "_" + name))
      .string();
}

TEST(TgaCodec, EncodeThenDecodeGivesBackThePixels) {
  for (uint32_t bits : {8u, 24u})
    for (int32_t width : {1, 3, 37})
      for (bool with_alpha : {false, true}) {
        if (with_alpha && bits == 8) continue;
        SCOPED_TRACE(testing::Message() << bits << " bits, width " << width << ", alpha " << with_alpha);
        CRaster image;
        ASSERT_TRUE(MakeImage(image, width, 5, bits, uint32_t(width * bits)));
        if (with_alpha) {
          ASSERT_TRUE(image.AlphaCreate());
          for (int32_t y = 0; y < 5; ++y)
            for (int32_t x = 0; x < width; ++x) image.AlphaSet(x, y, uint8_t(x * 7 + y * 50));
        }
        const bytes file = EncodeToBytes(image, raster_format_tga);
        ASSERT_EQ(file[16], with_alpha ? 32 : bits);
        CRaster back(file.data(), file.size(), raster_format_tga);
        ASSERT_TRUE(back.IsValid()) << back.GetErrorText();
        EXPECT_EQ(back.GetBpp(), bits);
        EXPECT_EQ(back.GetFormat(), raster_format_tga);
        EXPECT_EQ(back.AlphaIsValid(), with_alpha);
        EXPECT_EQ(RgbaTopDown(back), RgbaTopDown(image));
        for (int32_t y = 0; y < 5; ++y)
          EXPECT_EQ(0, std::memcmp(back.GetBits(y), image.GetBits(y), size_t(width) * bits / 8));
      }
}

TEST(TgaCodec, SavedTargetIsAHeaderAndBottomUpRowsWithoutPadding) {
  CRaster target;
  ASSERT_TRUE(target.Create(1024, 768, 24, raster_format_bmp));
  EXPECT_EQ(EncodeToBytes(target, raster_format_tga).size(), 2359314u);

  CRaster small;
  ASSERT_TRUE(MakeImage(small, 5, 2, 24, 9));
  const bytes file = EncodeToBytes(small, raster_format_tga);
  EXPECT_EQ(bytes(file.begin(), file.begin() + 18), TgaHeader(2, 24, 5, 2));
  const bytes rows = Concat({bytes(small.GetBits(0), small.GetBits(0) + 15),
                             bytes(small.GetBits(1), small.GetBits(1) + 15)});
  EXPECT_EQ(bytes(file.begin() + 18, file.end()), rows);
}

TEST(TgaCodec, EncoderRefusals) {
  CRaster mono;
  ASSERT_TRUE(mono.Create(4, 4, 1, raster_format_unknown));
  CMemStream out;
  ASSERT_TRUE(out.Open());
  EXPECT_FALSE(mono.Encode(&out, raster_format_tga));
  EXPECT_STREQ(mono.GetErrorText(), "Bit depth must be 8 or 24");

  // The header's 16-bit width would describe another image than the rows that follow.
  CRaster wide;
  ASSERT_TRUE(wide.Create(70000, 1, 24, raster_format_unknown));
  EXPECT_FALSE(wide.Encode(&out, raster_format_tga));
  EXPECT_STREQ(wide.GetErrorText(), "Image too large for TGA");
  EXPECT_EQ(out.Tell(), 0);
}

TEST(TgaCodec, SaveToAFullDiskFails) {
  for (uint32_t bits : {8u, 24u}) {
    CRaster image;
    ASSERT_TRUE(MakeImage(image, 9, 3, bits, 1));
    EXPECT_FALSE(image.Save("/dev/full", raster_format_tga));
    EXPECT_STRNE(image.GetErrorText(), "");
  }
}

TEST(TgaCodec, HeaderRefusals) {
  const bytes pixel = {1, 2, 3};
  const struct {
    bytes file;
    const char* message;
  } cases[] = {
      {bytes(17, 0), "Not a TGA"},
      {Concat({TgaHeader(4, 24, 1, 1), pixel}), "Unknown TGA image type"},
      {Concat({TgaHeader(0, 24, 1, 1), pixel}), "Unknown TGA image type"},
      {Concat({TgaHeader(2, 24, 0, 1), pixel}), "bad TGA header"},
      {Concat({TgaHeader(2, 24, 1, 0), pixel}), "bad TGA header"},
      {Concat({TgaHeader(2, 0, 1, 1), pixel}), "bad TGA header"},
      {Concat({TgaHeader(2, 12, 1, 1), pixel}), "bad TGA header"},
      {Concat({TgaHeader(2, 48, 1, 1), pixel}), "bad TGA header"},
      {Concat({TgaHeader(1, 8, 1, 1, 0, 300), bytes(901, 0)}), "bad TGA header"},
      {TgaHeader(2, 24, 2, 2), "corrupted TGA"},
  };
  for (const auto& c : cases) {
    CRaster image(c.file.data(), c.file.size(), raster_format_tga);
    EXPECT_FALSE(image.IsValid());
    EXPECT_STREQ(image.GetErrorText(), c.message);
  }
}

TEST(TgaCodec, RunAndRawPacketsCrossRowEnds) {
  // 20 pixels a row: 10 raw pixels, then a run of 128 that paints the last 10 of row 0,
  // rows 1 to 5 and 18 pixels of row 6, whose last 2 come from a raw packet.
  bytes data = {0x09};
  for (uint8_t i = 0; i < 10; ++i) data.insert(data.end(), {i, i, i});
  data.insert(data.end(), {0xFF, 7, 8, 9, 0x01, 50, 51, 52, 60, 61, 62});
  const bytes file = Concat({TgaHeader(10, 24, 20, 7, 0x20), data});
  CRaster image(file.data(), file.size(), raster_format_tga);
  ASSERT_TRUE(image.IsValid()) << image.GetErrorText();
  for (int32_t x = 0; x < 10; ++x) EXPECT_EQ(PixelAt(image, x, 0), bytes(3, uint8_t(x)));
  for (int32_t i = 10; i < 138; ++i) EXPECT_EQ(PixelAt(image, i % 20, i / 20), bytes({7, 8, 9}));
  EXPECT_EQ(PixelAt(image, 18, 6), bytes({50, 51, 52}));
  EXPECT_EQ(PixelAt(image, 19, 6), bytes({60, 61, 62}));

  // A raw packet of 5 on rows of 3 goes on in the next row; bottom-up rows.
  const bytes raw = Concat({TgaHeader(9, 8, 3, 2), {0x04, 1, 2, 3, 4, 5, 0x80, 6}});
  CRaster indexed(raw.data(), raw.size(), raster_format_tga);
  ASSERT_TRUE(indexed.IsValid()) << indexed.GetErrorText();
  EXPECT_EQ(bytes(indexed.GetBits(0), indexed.GetBits(0) + 3), bytes({1, 2, 3}));
  EXPECT_EQ(bytes(indexed.GetBits(1), indexed.GetBits(1) + 3), bytes({4, 5, 6}));
}

TEST(TgaCodec, PacketsNeverWritePastTheImage) {
  // Each packet claims more pixels than the image has left.
  const bytes files[] = {
      Concat({TgaHeader(10, 24, 3, 1), {0xFF, 1, 2, 3}}),
      Concat({TgaHeader(10, 24, 3, 1), {0x7F}, bytes(128 * 3, 4)}),
      Concat({TgaHeader(9, 8, 1, 1), {0xFF, 5}}),
      Concat({TgaHeader(10, 32, 2, 2, 0x30), {0x81, 1, 2, 3, 4, 0xFF, 5, 6, 7, 8}}),
      Concat({TgaHeader(10, 16, 1, 2), {0x7F}, bytes(256, 0x21)}),
  };
  for (const bytes& file : files) {
    CRaster image(file.data(), file.size(), raster_format_tga);
    EXPECT_TRUE(image.IsValid()) << image.GetErrorText();
  }
}

TEST(TgaCodec, EndOfFileInsteadOfAPacketHeaderEndsTheDecode) {
  // Row 0 is complete and rows 1 and 2 have no packets at all.
  const bytes file = Concat({TgaHeader(10, 24, 2, 3), {0x81, 1, 2, 3}});
  CRaster image(file.data(), file.size(), raster_format_tga);
  EXPECT_FALSE(image.IsValid());
  EXPECT_STREQ(image.GetErrorText(), "corrupted TGA");

  const std::string path = TempPath("cut.tga");
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_TRUE(f);
  std::fwrite(file.data(), 1, file.size(), f);
  std::fclose(f);
  CRaster loaded(path.c_str(), raster_format_tga);
  EXPECT_FALSE(loaded.IsValid());
  EXPECT_STREQ(loaded.GetErrorText(), "corrupted TGA");
  std::filesystem::remove(path);
}

TEST(TgaCodec, FileCutInsideItsLastRowDecodes) {
  const bytes file = Concat({TgaHeader(2, 24, 2, 2), {1, 1, 1, 2, 2, 2, 3, 3, 3, 4}});
  CRaster image(file.data(), file.size(), raster_format_tga);
  ASSERT_TRUE(image.IsValid()) << image.GetErrorText();
  EXPECT_EQ(PixelAt(image, 0, 0), bytes({3, 3, 3}));
  EXPECT_EQ(PixelAt(image, 1, 0), bytes({4, 0, 0}));

  const bytes rle = Concat({TgaHeader(10, 16, 4, 2), {0x83, 0xFF, 0x7F, 0x01, 0x1F, 0x00}});
  CRaster cut(rle.data(), rle.size(), raster_format_tga);
  ASSERT_TRUE(cut.IsValid()) << cut.GetErrorText();
  EXPECT_EQ(PixelAt(cut, 0, 0), bytes({248, 0, 0}));
  EXPECT_EQ(PixelAt(cut, 2, 0), bytes({0, 0, 0}));
}

TEST(TgaCodec, FifteenAndSixteenBitPixels) {
  for (uint8_t depth : {15, 16}) {
    const bytes file =
        Concat({TgaHeader(2, depth, 4, 1), {0xFF, 0x7F, 0x1F, 0x00, 0xE0, 0x83, 0x00, 0x7C}});
    CRaster image(file.data(), file.size(), raster_format_tga);
    ASSERT_TRUE(image.IsValid()) << image.GetErrorText();
    EXPECT_EQ(image.GetBpp(), 24u);
    EXPECT_EQ(PixelAt(image, 0, 0), bytes({248, 248, 248}));
    EXPECT_EQ(PixelAt(image, 1, 0), bytes({248, 0, 0}));
    EXPECT_EQ(PixelAt(image, 2, 0), bytes({0, 248, 0}));  // bit 15 is not alpha
    EXPECT_EQ(PixelAt(image, 3, 0), bytes({0, 0, 248}));
  }
}

TEST(TgaCodec, ThirtyTwoBitsFillTheAlphaPlaneInEveryOrientation) {
  // Two rows of two pixels in file order: A B / C D, alpha 10, 20, 30, 40.
  const bytes px = {1, 1, 1, 10, 2, 2, 2, 20, 3, 3, 3, 30, 4, 4, 4, 40};
  for (uint8_t descriptor : {0x00, 0x10, 0x20, 0x30})
    for (bool rle : {false, true}) {
      SCOPED_TRACE(testing::Message() << "descriptor " << int(descriptor) << " rle " << rle);
      bytes data = px;
      if (rle) {
        data = {0x80, 1, 1, 1, 10, 0x02, 2, 2, 2, 20, 3, 3, 3, 30, 4, 4, 4, 40};
      }
      const bytes file = Concat({TgaHeader(rle ? 10 : 2, 32, 2, 2, descriptor), data});
      CRaster image(file.data(), file.size(), raster_format_tga);
      ASSERT_TRUE(image.IsValid()) << image.GetErrorText();
      ASSERT_TRUE(image.AlphaIsValid());
      EXPECT_EQ(image.GetBpp(), 24u);
      const bool top_down = descriptor & 0x20;
      const bool mirrored = descriptor & 0x10;
      for (int i = 0; i < 4; ++i) {
        const int32_t x = mirrored ? 1 - i % 2 : i % 2;
        const int32_t y = top_down ? 1 - i / 2 : i / 2;  // from the bottom
        EXPECT_EQ(image.PixelColorUnchecked(x, y).blue, i + 1);
        EXPECT_EQ(image.AlphaGet(x, y), (i + 1) * 10);
      }
    }
}

TEST(TgaCodec, ColourMapsGreyLevelsAndTheIdField) {
  // An ID of 3 bytes, a colour map of 2 entries, and an index far past the map.
  const bytes file = Concat(
      {TgaHeader(1, 8, 3, 1, 0, 2, 3), {'a', 'b', 'c'}, {10, 20, 30, 40, 50, 60}, {1, 0, 200}});
  CRaster image(file.data(), file.size(), raster_format_tga);
  ASSERT_TRUE(image.IsValid()) << image.GetErrorText();
  EXPECT_EQ(image.GetBpp(), 8u);
  EXPECT_EQ(PixelAt(image, 0, 0), bytes({40, 50, 60}));
  EXPECT_EQ(PixelAt(image, 1, 0), bytes({10, 20, 30}));
  EXPECT_EQ(PixelAt(image, 2, 0), bytes({0, 0, 0}));

  const bytes grey = Concat({TgaHeader(11, 8, 3, 1), {0x82, 77}});
  CRaster grey_image(grey.data(), grey.size(), raster_format_tga);
  ASSERT_TRUE(grey_image.IsValid()) << grey_image.GetErrorText();
  EXPECT_EQ(PixelAt(grey_image, 2, 0), bytes({77, 77, 77}));
  EXPECT_EQ(grey_image.GetPaletteColor(255).red, 255);
}

}  // namespace
