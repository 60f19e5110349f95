#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "tests/core/sources/raster_test_support.h"

namespace {

bytes TgaHeader(uint8_t type, uint8_t depth, uint16_t width, uint16_t height, uint8_t descriptor = 0,
                uint16_t map_length = 0, uint8_t id_length = 0) {
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

std::unique_ptr<CRaster> Decode(const bytes& file) {
  auto image = std::make_unique<CRaster>(file.data(), file.size(), raster_format_tga);
  EXPECT_TRUE(image->IsValid()) << image->GetErrorText();
  return image;
}

// Blue, green, red of pixel (x, y), y counted from the top.
bytes PixelAt(const CRaster& image, int32_t x, int32_t y_from_top) {
  const rgb_quad c = image.PixelColorUnchecked(x, image.GetHeight() - 1 - y_from_top);
  return {c.blue, c.green, c.red};
}

TEST(TgaCodec, EncodeThenDecodeGivesBackThePixels) {
  for (uint32_t bits : {8u, 24u, 32u})
    for (int32_t width : {1, 3, 37}) {
      SCOPED_TRACE(testing::Message() << bits << " bits, width " << width);
      CRaster image;
      ASSERT_TRUE(MakeImage(image, width, 5, bits == 32 ? 24 : bits, uint32_t(width * bits), bits == 32));
      const bytes file = EncodeToBytes(image, raster_format_tga);
      ASSERT_EQ(file[16], bits);
      const auto back = Decode(file);
      EXPECT_EQ(back->GetBpp(), image.GetBpp());
      EXPECT_EQ(RgbaTopDown(*back), RgbaTopDown(image));
      for (int32_t y = 0; y < 5; ++y)  // indices too, not only colours
        EXPECT_EQ(0, std::memcmp(back->GetBits(y), image.GetBits(y), size_t(width) * image.GetBpp() / 8));
    }
  // The saved target: a header and bottom-up rows without padding.
  CRaster small;
  ASSERT_TRUE(MakeImage(small, 5, 2, 24, 9));
  EXPECT_EQ(EncodeToBytes(small, raster_format_tga),
            Concat({TgaHeader(2, 24, 5, 2), bytes(small.GetBits(0), small.GetBits(0) + 15),
                    bytes(small.GetBits(1), small.GetBits(1) + 15)}));
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

TEST(TgaCodec, DecoderRefusals) {
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
      {Concat({TgaHeader(2, 12, 1, 1), pixel}), "bad TGA header"},
      {Concat({TgaHeader(2, 48, 1, 1), pixel}), "bad TGA header"},
      {Concat({TgaHeader(1, 8, 1, 1, 0, 300), bytes(901, 0)}), "bad TGA header"},
      {TgaHeader(2, 24, 2, 2), "corrupted TGA"},
      // Row 0 complete, then no packet header where rows 1 and 2 should begin.
      {Concat({TgaHeader(10, 24, 2, 3), {0x81, 1, 2, 3}}), "corrupted TGA"},
  };
  for (const auto& c : cases) {
    CRaster image(c.file.data(), c.file.size(), raster_format_tga);
    EXPECT_FALSE(image.IsValid());
    EXPECT_STREQ(image.GetErrorText(), c.message);
  }
  // The same end of file met through a file stream.
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("vorbel_cut_" + std::to_string(::getpid()) + ".tga");
  WriteFile(path, std::end(cases)[-1].file);
  CRaster loaded(path.c_str(), raster_format_tga);
  std::filesystem::remove(path);
  EXPECT_STREQ(loaded.GetErrorText(), "corrupted TGA");
}

TEST(TgaCodec, PacketsCrossRowEndsButNeverThePictureEnd) {
  // 20 pixels a row: 10 raw pixels, then a run of 128 that paints the last 10 of row 0,
  // rows 1 to 5 and 18 pixels of row 6, whose last 2 come from a raw packet.
  bytes data = {0x09};
  for (uint8_t i = 0; i < 10; ++i) data.insert(data.end(), {i, i, i});
  data.insert(data.end(), {0xFF, 7, 8, 9, 0x01, 50, 51, 52, 60, 61, 62});
  const auto image = Decode(Concat({TgaHeader(10, 24, 20, 7, 0x20), data}));
  for (int32_t x = 0; x < 10; ++x) EXPECT_EQ(PixelAt(*image, x, 0), bytes(3, uint8_t(x)));
  for (int32_t i = 10; i < 138; ++i) EXPECT_EQ(PixelAt(*image, i % 20, i / 20), bytes({7, 8, 9}));
  EXPECT_EQ(PixelAt(*image, 19, 6), bytes({60, 61, 62}));

  // Each packet claims more pixels than the image has left.
  for (const bytes& file : {Concat({TgaHeader(10, 24, 3, 1), {0xFF, 1, 2, 3}}),
                            Concat({TgaHeader(10, 24, 3, 1), {0x7F}, bytes(128 * 3, 4)}),
                            Concat({TgaHeader(9, 8, 1, 1), {0xFF, 5}}),
                            Concat({TgaHeader(10, 32, 2, 2, 0x30), {0x81, 1, 2, 3, 4, 0xFF, 5, 6, 7, 8}}),
                            Concat({TgaHeader(10, 16, 1, 2), {0x7F}, bytes(256, 0x21)})})
    Decode(file);

  // A file cut inside its last row decodes with what it has.
  const auto cut = Decode(Concat({TgaHeader(2, 24, 2, 2), {1, 1, 1, 2, 2, 2, 3, 3, 3, 4}}));
  EXPECT_EQ(PixelAt(*cut, 1, 0), bytes({4, 0, 0}));
}

TEST(TgaCodec, PixelKinds) {
  for (uint8_t depth : {15, 16}) {  // 5-bit channels widen to 248; bit 15 is not alpha
    const auto image = Decode(Concat({TgaHeader(2, depth, 4, 1), {0xFF, 0x7F, 0x1F, 0x00, 0xE0, 0x83, 0x00, 0x7C}}));
    EXPECT_EQ(image->GetBpp(), 24u);
    EXPECT_FALSE(image->AlphaIsValid());
    EXPECT_EQ(Concat({PixelAt(*image, 0, 0), PixelAt(*image, 1, 0), PixelAt(*image, 2, 0), PixelAt(*image, 3, 0)}),
              bytes({248, 248, 248, 248, 0, 0, 0, 248, 0, 0, 0, 248}));
  }
  // An ID of 3 bytes, a colour map of 2 entries, and an index far past the map.
  auto image = Decode(Concat({TgaHeader(1, 8, 3, 1, 0, 2, 3), {'a', 'b', 'c'}, {10, 20, 30, 40, 50, 60}, {1, 0, 200}}));
  EXPECT_EQ(Concat({PixelAt(*image, 0, 0), PixelAt(*image, 1, 0), PixelAt(*image, 2, 0)}),
            bytes({40, 50, 60, 10, 20, 30, 0, 0, 0}));
  image = Decode(Concat({TgaHeader(11, 8, 3, 1), {0x82, 77}}));  // grey, run-length
  EXPECT_EQ(PixelAt(*image, 2, 0), bytes({77, 77, 77}));

  // 32 bits fill the alpha plane, raw or run-length, in every orientation.
  // Two rows of two pixels in file order: A B / C D, alpha 10, 20, 30, 40.
  for (uint8_t descriptor : {0x00, 0x10, 0x20, 0x30})
    for (bool rle : {false, true}) {
      SCOPED_TRACE(testing::Message() << "descriptor " << int(descriptor) << " rle " << rle);
      const bytes data = rle ? bytes{0x80, 1, 1, 1, 10, 0x02, 2, 2, 2, 20, 3, 3, 3, 30, 4, 4, 4, 40}
                             : bytes{1, 1, 1, 10, 2, 2, 2, 20, 3, 3, 3, 30, 4, 4, 4, 40};
      image = Decode(Concat({TgaHeader(rle ? 10 : 2, 32, 2, 2, descriptor), data}));
      ASSERT_TRUE(image->AlphaIsValid());
      for (int i = 0; i < 4; ++i) {
        const int32_t x = descriptor & 0x10 ? 1 - i % 2 : i % 2;
        const int32_t y = descriptor & 0x20 ? 1 - i / 2 : i / 2;  // from the bottom
        EXPECT_EQ(image->PixelColorUnchecked(x, y).blue, i + 1);
        EXPECT_EQ(image->AlphaGet(x, y), (i + 1) * 10);
      }
    }
}

}  // namespace
