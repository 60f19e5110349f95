#include <gtest/gtest.h>

#include "sources/raster_pcx.h"
#include "tests/core/sources/raster_test_support.h"

namespace {

bytes PcxHeader(uint8_t bits, uint8_t planes, int32_t width, int32_t height, uint16_t bytes_per_line,
                int32_t x_min = 0) {
  bytes h(128, 0);
  h[0] = 10;
  h[1] = 5;
  h[2] = 1;
  h[3] = bits;
  const uint16_t x_max = uint16_t(x_min + width - 1);
  const uint16_t y_max = uint16_t(height - 1);
  h[4] = uint8_t(x_min);
  h[5] = uint8_t(x_min >> 8);
  h[8] = uint8_t(x_max);
  h[9] = uint8_t(x_max >> 8);
  h[10] = uint8_t(y_max);
  h[11] = uint8_t(y_max >> 8);
  h[65] = planes;
  h[66] = uint8_t(bytes_per_line);
  h[67] = uint8_t(bytes_per_line >> 8);
  return h;
}

std::unique_ptr<CRaster> Decode(const bytes& file) {
  auto image = std::make_unique<CRaster>(file.data(), file.size(), raster_format_pcx);
  EXPECT_TRUE(image->IsValid()) << image->GetErrorText();
  return image;
}

TEST(PcxCodec, EncodeThenDecodeGivesBackThePixels) {
  for (uint32_t bits : {1u, 4u, 8u, 24u, 32u})
    for (int32_t width : {1, 3, 37}) {
      SCOPED_TRACE(testing::Message() << bits << " bits, width " << width);
      CRaster image;
      ASSERT_TRUE(MakeImage(image, width, 5, bits == 32 ? 24 : bits, uint32_t(width + bits), bits == 32));
      if (bits == 1) {  // white first is written inverted, with black first
        image.SetPaletteColor(0, 255, 255, 255);
        image.SetPaletteColor(1, 0, 0, 0);
      }
      image.SetXDpi(300);
      image.SetYDpi(72);
      const auto back = Decode(EncodeToBytes(image, raster_format_pcx));
      EXPECT_EQ(back->GetBpp(), image.GetBpp());
      EXPECT_EQ(back->GetXDpi(), 300);
      EXPECT_EQ(back->GetYDpi(), 72);
      EXPECT_EQ(RgbaTopDown(*back), RgbaTopDown(image));
    }
  // Long runs split at 63, and bytes of 0xC0 and above always go in a run.
  CMemStream out;
  ASSERT_TRUE(out.Open());
  const bytes line = Concat({bytes(100, 0x33), {0xC5, 0x41}});
  EXPECT_TRUE(pcx_pack_line(line.data(), line.size(), &out));
  EXPECT_EQ(bytes(out.GetBuffer(false), out.GetBuffer(false) + out.Tell()), bytes({0xFF, 0x33, 0xE5, 0x33, 0xC1, 0xC5, 0x41}));
}

TEST(PcxCodec, PalettesAndPlaneLayouts) {
  // 16 colours in four bit planes, palette from the header's map.
  bytes file = PcxHeader(1, 4, 8, 1, 2);
  for (int i = 0; i < 48; ++i) file[16 + i] = uint8_t(i * 5);
  file.insert(file.end(), {0xAA, 0, 0xC1, 0xCC, 0, 0xC1, 0xF0, 0, 0x00, 0});
  auto image = Decode(file);
  EXPECT_EQ(image->GetBpp(), 4u);
  for (int32_t x = 0; x < 8; ++x) EXPECT_EQ(image->GetPixelIndex(x, 0), 7 - x);
  EXPECT_EQ(image->GetPaletteColor(15), (rgb_quad{235, 230, 225, 0}));

  // Two planes of one bit: only bit 0 of each combined index stays.
  image = Decode(Concat({PcxHeader(1, 2, 3, 1, 2), {0xA0, 0, 0x60, 0}}));
  EXPECT_EQ(image->GetBpp(), 1u);
  EXPECT_EQ(bytes({image->GetPixelIndex(0, 0), image->GetPixelIndex(1, 0), image->GetPixelIndex(2, 0)}),
            bytes({1, 0, 1}));

  // A 256-colour palette cut short keeps black for the entries it lacks.
  image = Decode(Concat({PcxHeader(8, 1, 2, 1, 2), {1, 2, 12, 9, 9, 9, 8, 8, 8, 7}}));
  EXPECT_EQ(image->GetPaletteColor(1), (rgb_quad{8, 8, 8, 0}));
  EXPECT_EQ(image->GetPaletteColor(2), (rgb_quad{0, 0, 7, 0}));

  // Twelve bytes of one run (a zero-length run first) fill three planes of two lines.
  image = Decode(Concat({PcxHeader(8, 3, 2, 2, 2), {0xC0, 0x55, 0xCC, 7}}));
  for (int32_t y = 0; y < 2; ++y) EXPECT_EQ(bytes(image->GetBits(y), image->GetBits(y) + 6), bytes(6, 7));
}

TEST(PcxCodec, DecoderRefusals) {
  bytes no_pcx = PcxHeader(8, 1, 1, 1, 2);
  no_pcx[0] = 9;
  bytes no_rle = PcxHeader(8, 1, 1, 1, 2);
  no_rle[2] = 0;
  const char* const planes = "pcx_planes_to_pixels: more than 4 planes or more than 1 bit per pixel";
  const char* const zero = "CRaster::Create : width and height must be greater than zero";
  const char* const narrow = "PCX bytes per line too small for the image width";
  const struct {
    bytes file;
    const char* message;
  } cases[] = {
      {bytes(127, 10), "Can't read PCX image"},
      {no_pcx, "Error: Not a PCX file"},
      {no_rle, "PCX file has unknown encoding scheme"},
      {PcxHeader(8, 5, 1, 1, 2), "Can't handle image with more than 4 planes"},
      {PcxHeader(3, 1, 1, 1, 2), "Can't handle PCX image with this number of bits per pixel"},
      {PcxHeader(16, 1, 1, 1, 2), "Can't handle PCX image with this number of bits per pixel"},
      {PcxHeader(8, 0, 1, 1, 2), "Can't handle PCX image without planes"},
      {PcxHeader(8, 2, 1, 1, 2), planes},
      {PcxHeader(4, 3, 1, 1, 2), planes},
      {PcxHeader(8, 1, 0, 1, 2, 1), zero},
      {PcxHeader(8, 1, -5, 1, 2, 10), zero},
      {PcxHeader(8, 3, 65536, 65536, 65535), "RASTER_MAX_MEMORY exceeded"},
      {PcxHeader(8, 1, 10, 1, 8), narrow},
      {PcxHeader(1, 1, 17, 1, 2), narrow},
      {PcxHeader(4, 1, 5, 1, 2), narrow},
      {Concat({PcxHeader(8, 1, 2, 2, 2), {1, 2, 3}}), "corrupted PCX"},
      {Concat({PcxHeader(8, 1, 2, 2, 2), {1, 2, 3, 0xC1}}), "corrupted PCX"},
      {Concat({PcxHeader(8, 1, 2, 1, 2), {0xC3, 5}}), "repeat count spans end of image"},
      {Concat({PcxHeader(8, 1, 2, 1, 2), {1, 0xC1, 5, 11}, bytes(768, 0)}), "bad color map signature"},
      {Concat({PcxHeader(8, 1, 2, 1, 2), {1, 2}}), "bad color map signature"},
      // Four gigabytes of pixel data claimed for a one-pixel-wide image.
      {Concat({PcxHeader(8, 1, 1, 65536, 65535), {0x41}}), "corrupted PCX"},
  };
  for (const auto& c : cases) {
    CRaster image(c.file.data(), c.file.size(), raster_format_pcx);
    EXPECT_FALSE(image.IsValid()) << c.message;
    EXPECT_STREQ(image.GetErrorText(), c.message);
  }
  Decode(Concat({PcxHeader(1, 1, 16, 1, 2), {0x41, 0x42}}));  // bytes per line just wide enough
}

TEST(PcxCodec, EncoderRefusals) {
  CRaster wide;
  ASSERT_TRUE(wide.Create(65535, 1, 24, raster_format_unknown));
  CMemStream out;
  ASSERT_TRUE(out.Open());
  EXPECT_FALSE(wide.Encode(&out, raster_format_pcx));
  EXPECT_STREQ(wide.GetErrorText(), "Image too large for PCX");
  CRaster empty;
  EXPECT_FALSE(empty.Encode(&out, raster_format_pcx));
  EXPECT_STREQ(empty.GetErrorText(), "null image!!!");
}

}  // namespace
