#include <gtest/gtest.h>

#include <cstring>

#include "sources/mem_stream.h"
#include "sources/raster.h"
#include "sources/raster_pcx.h"
#include "tests/core/sources/tga_pcx_test_support.h"

namespace {

bytes PcxHeader(uint8_t bits, uint8_t planes, int32_t width, int32_t height,
                uint16_t bytes_per_line, int32_t x_min = 0) {
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

bytes Packed(void (*pack)(CMemStream&)) {
  CMemStream out;
  EXPECT_TRUE(out.Open());
  pack(out);
  const uint8_t* p = out.GetBuffer(false);
  return bytes(p, p + out.Tell());
}

TEST(PcxCodec, LinePacking) {
  EXPECT_EQ(Packed([](CMemStream& s) {
              const bytes line(100, 0x33);
              EXPECT_TRUE(pcx_pack_line(line.data(), line.size(), &s));
            }),
            bytes({0xFF, 0x33, 0xE5, 0x33}));
  EXPECT_EQ(Packed([](CMemStream& s) {
              const uint8_t b = 0xC5;
              pcx_pack_line(&b, 1, &s);
            }),
            bytes({0xC1, 0xC5}));
  EXPECT_EQ(Packed([](CMemStream& s) {
              const uint8_t b = 0x41;
              pcx_pack_line(&b, 1, &s);
            }),
            bytes({0x41}));
  // Value by value: the same 100 bytes, then a line of odd length with its pad byte.
  EXPECT_EQ(Packed([](CMemStream& s) {
              int last = 0, count = 0;
              for (int i = 0; i < 100; ++i) pcx_pack_run(0x33, last, count, &s);
              pcx_pack_run(-1, last, count, &s);
            }),
            bytes({0xFF, 0x33, 0xE5, 0x33}));
  EXPECT_EQ(Packed([](CMemStream& s) {
              int last = 0, count = 0;
              for (int v : {1, 1, 0xD0, 2, 2}) pcx_pack_run(v, last, count, &s);
              pcx_pack_run(-2, last, count, &s);
            }),
            bytes({0xC2, 1, 0xC1, 0xD0, 0xC2, 2, 0}));
}

TEST(PcxCodec, PixelAndPlaneRoutines) {
  uint8_t out[16];
  const uint8_t nibbles[] = {0xAB, 0x12};
  ASSERT_TRUE(pcx_unpack_pixels(out, nibbles, 2, 1, 4));
  EXPECT_EQ(bytes(out, out + 4), bytes({0xA, 0xB, 1, 2}));
  const uint8_t pairs[] = {0xE4};
  ASSERT_TRUE(pcx_unpack_pixels(out, pairs, 1, 1, 2));
  EXPECT_EQ(bytes(out, out + 4), bytes({3, 2, 1, 0}));
  const uint8_t bits[] = {0xA1};
  ASSERT_TRUE(pcx_unpack_pixels(out, bits, 1, 1, 1));
  EXPECT_EQ(bytes(out, out + 8), bytes({1, 0, 1, 0, 0, 0, 0, 1}));
  EXPECT_FALSE(pcx_unpack_pixels(out, bits, 1, 2, 1));
  std::memset(out, 0x5A, sizeof out);
  EXPECT_TRUE(pcx_unpack_pixels(out, bits, 1, 1, 3));
  EXPECT_EQ(out[0], 0x5A);

  const uint8_t planes[] = {0x80, 0xC0, 0x01};
  EXPECT_FALSE(pcx_planes_to_pixels(out, planes, 1, 5, 1));
  EXPECT_FALSE(pcx_planes_to_pixels(out, planes, 1, 3, 2));
  ASSERT_TRUE(pcx_planes_to_pixels(out, planes, 1, 3, 1));
  EXPECT_EQ(bytes(out, out + 8), bytes({3, 2, 0, 0, 0, 0, 0, 4}));

  // Bit planes and back give the indices again.
  uint32_t seed = 3;
  uint8_t indices[13];
  for (uint8_t& i : indices) i = uint8_t(NextRandom(seed) & 15);
  uint8_t plane_bytes[4 * 2];
  for (uint32_t p = 0; p < 4; ++p) pcx_pixels_to_bit_plane(indices, 13, plane_bytes + 2 * p, p);
  ASSERT_TRUE(pcx_planes_to_pixels(out, plane_bytes, 2, 4, 1));
  EXPECT_EQ(bytes(out, out + 13), bytes(indices, indices + 13));
}

TEST(PcxCodec, SavedTargetOfThreeByTwo) {
  CRaster target;
  ASSERT_TRUE(target.Create(3, 2, 24, raster_format_bmp));
  for (int32_t y = 0; y < 2; ++y)
    for (int32_t i = 0; i < 9; ++i) target.GetBits(y)[i] = uint8_t(10 * y + i + 1);
  const bytes file = EncodeToBytes(target, raster_format_pcx);
  bytes header = PcxHeader(8, 3, 3, 2, 4);
  header[12] = header[14] = 96;
  header[68] = 1;
  EXPECT_EQ(bytes(file.begin(), file.begin() + 128), header);
  // Top row first, red, green, blue planes, each line padded to 4 bytes.
  EXPECT_EQ(bytes(file.begin() + 128, file.end()),
            bytes({13, 16, 19, 0, 12, 15, 18, 0, 11, 14, 17, 0,
                   3, 6, 9, 0, 2, 5, 8, 0, 1, 4, 7, 0}));
}

TEST(PcxCodec, EncodeThenDecodeGivesBackThePixels) {
  for (uint32_t bits : {1u, 4u, 8u, 24u})
    for (int32_t width : {1, 3, 37})
      for (bool with_alpha : {false, true}) {
        if (with_alpha && bits != 24) continue;
        SCOPED_TRACE(testing::Message() << bits << " bits, width " << width << ", alpha " << with_alpha);
        CRaster image;
        ASSERT_TRUE(MakeImage(image, width, 5, bits, uint32_t(width + bits)));
        if (bits == 1) {
          image.SetPaletteColor(0, 0, 0, 0);
          image.SetPaletteColor(1, 255, 255, 255);
        }
        if (with_alpha) {
          ASSERT_TRUE(image.AlphaCreate());
          for (int32_t y = 0; y < 5; ++y)
            for (int32_t x = 0; x < width; ++x) image.AlphaSet(x, y, uint8_t(x * 9 + y));
        }
        image.SetXDpi(300);
        image.SetYDpi(72);
        const bytes file = EncodeToBytes(image, raster_format_pcx);
        CRaster back(file.data(), file.size(), raster_format_pcx);
        ASSERT_TRUE(back.IsValid()) << back.GetErrorText();
        EXPECT_EQ(back.GetBpp(), bits);
        EXPECT_EQ(back.GetFormat(), raster_format_pcx);
        EXPECT_EQ(back.GetXDpi(), 300);
        EXPECT_EQ(back.GetYDpi(), 72);
        EXPECT_EQ(back.AlphaIsValid(), with_alpha);
        EXPECT_EQ(RgbaTopDown(back), RgbaTopDown(image));
        for (int32_t y = 0; y < 5; ++y)
          for (int32_t x = 0; x < width; ++x)
            ASSERT_EQ(back.GetPixelIndex(x, y), image.GetPixelIndex(x, y)) << x << "," << y;
      }
}

TEST(PcxCodec, MonochromeWithWhiteFirstIsWrittenInverted) {
  CRaster image;
  ASSERT_TRUE(MakeImage(image, 11, 3, 1, 5));
  image.SetPaletteColor(0, 255, 255, 255);
  image.SetPaletteColor(1, 0, 0, 0);
  const bytes file = EncodeToBytes(image, raster_format_pcx);
  EXPECT_EQ(bytes(file.begin() + 16, file.begin() + 22), bytes({0, 0, 0, 255, 255, 255}));
  CRaster back(file.data(), file.size(), raster_format_pcx);
  ASSERT_TRUE(back.IsValid()) << back.GetErrorText();
  EXPECT_EQ(RgbaTopDown(back), RgbaTopDown(image));
  EXPECT_EQ(back.GetPixelIndex(4, 1), 1 - image.GetPixelIndex(4, 1));
}

TEST(PcxCodec, PalettesAndPlaneLayouts) {
  // 16 colours in four bit planes, palette from the header's map.
  bytes file = PcxHeader(1, 4, 8, 1, 2);
  for (int i = 0; i < 48; ++i) file[16 + i] = uint8_t(i * 5);
  file.insert(file.end(), {0xAA, 0, 0xC1, 0xCC, 0, 0xC1, 0xF0, 0, 0x00, 0});
  CRaster sixteen(file.data(), file.size(), raster_format_pcx);
  ASSERT_TRUE(sixteen.IsValid()) << sixteen.GetErrorText();
  EXPECT_EQ(sixteen.GetBpp(), 4u);
  const uint8_t expected[] = {7, 6, 5, 4, 3, 2, 1, 0};
  for (int32_t x = 0; x < 8; ++x) EXPECT_EQ(sixteen.GetPixelIndex(x, 0), expected[x]);
  EXPECT_EQ(sixteen.GetPaletteColor(15).red, 225);
  EXPECT_EQ(sixteen.GetPaletteColor(15).blue, 235);

  // Two bits a pixel make a 4-bit image.
  file = Concat({PcxHeader(2, 1, 4, 1, 2), {0x1B, 0x00}});
  CRaster two_bits(file.data(), file.size(), raster_format_pcx);
  ASSERT_TRUE(two_bits.IsValid()) << two_bits.GetErrorText();
  EXPECT_EQ(two_bits.GetBpp(), 4u);
  for (int32_t x = 0; x < 4; ++x) EXPECT_EQ(two_bits.GetPixelIndex(x, 0), x);

  // Two planes of one bit: only bit 0 of each combined index stays.
  file = Concat({PcxHeader(1, 2, 3, 1, 2), {0xA0, 0, 0x60, 0}});
  CRaster two_planes(file.data(), file.size(), raster_format_pcx);
  ASSERT_TRUE(two_planes.IsValid()) << two_planes.GetErrorText();
  EXPECT_EQ(two_planes.GetBpp(), 1u);
  EXPECT_EQ(two_planes.GetPixelIndex(0, 0), 1);
  EXPECT_EQ(two_planes.GetPixelIndex(1, 0), 0);
  EXPECT_EQ(two_planes.GetPixelIndex(2, 0), 1);

  // A 256-colour palette cut short keeps black for the entries it lacks.
  file = Concat({PcxHeader(8, 1, 2, 1, 2), {1, 2, 12, 9, 9, 9, 8, 8, 8, 7}});
  CRaster cut_palette(file.data(), file.size(), raster_format_pcx);
  ASSERT_TRUE(cut_palette.IsValid()) << cut_palette.GetErrorText();
  EXPECT_EQ(cut_palette.GetPaletteColor(1), (rgb_quad{8, 8, 8, 0}));
  EXPECT_EQ(cut_palette.GetPaletteColor(2), (rgb_quad{0, 0, 7, 0}));
}

TEST(PcxCodec, RunsGoOnAcrossLinesAndPlanes) {
  // Twelve bytes of one run (a zero-length run first) fill three planes of two lines.
  const bytes file = Concat({PcxHeader(8, 3, 2, 2, 2), {0xC0, 0x55, 0xCC, 7}});
  CRaster image(file.data(), file.size(), raster_format_pcx);
  ASSERT_TRUE(image.IsValid()) << image.GetErrorText();
  for (int32_t y = 0; y < 2; ++y)
    EXPECT_EQ(bytes(image.GetBits(y), image.GetBits(y) + 6), bytes(6, 7));
}

TEST(PcxCodec, DecoderRefusals) {
  const bytes one_pixel = {0x41};
  bytes no_pcx = PcxHeader(8, 1, 1, 1, 2);
  no_pcx[0] = 9;
  bytes no_rle = PcxHeader(8, 1, 1, 1, 2);
  no_rle[2] = 0;
  bytes huge = PcxHeader(8, 3, 65536, 65536, 65535);
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
      {PcxHeader(8, 2, 1, 1, 2),
       "pcx_planes_to_pixels: more than 4 planes or more than 1 bit per pixel"},
      {PcxHeader(4, 3, 1, 1, 2),
       "pcx_planes_to_pixels: more than 4 planes or more than 1 bit per pixel"},
      {PcxHeader(8, 1, 0, 1, 2, 1), "CRaster::Create : width and height must be greater than zero"},
      {PcxHeader(8, 1, -5, 1, 2, 10),
       "CRaster::Create : width and height must be greater than zero"},
      {huge, "RASTER_MAX_MEMORY exceeded"},
      {PcxHeader(8, 1, 10, 1, 8), "PCX bytes per line too small for the image width"},
      {PcxHeader(1, 1, 17, 1, 2), "PCX bytes per line too small for the image width"},
      {PcxHeader(4, 1, 5, 1, 2), "PCX bytes per line too small for the image width"},
      {Concat({PcxHeader(8, 1, 2, 2, 2), {1, 2, 3}}), "corrupted PCX"},
      {Concat({PcxHeader(8, 1, 2, 2, 2), {1, 2, 3, 0xC1}}), "corrupted PCX"},
      {Concat({PcxHeader(8, 1, 2, 1, 2), {0xC3, 5}}), "repeat count spans end of image"},
      {Concat({PcxHeader(8, 1, 2, 1, 2), {1, 0xC1, 5, 11}, bytes(768, 0)}),
       "bad color map signature"},
      {Concat({PcxHeader(8, 1, 2, 1, 2), {1, 2}}), "bad color map signature"},
      // Four gigabytes of pixel data claimed for a one-pixel-wide image.
      {Concat({PcxHeader(8, 1, 1, 65536, 65535), one_pixel}), "corrupted PCX"},
  };
  for (const auto& c : cases) {
    CRaster image(c.file.data(), c.file.size(), raster_format_pcx);
    EXPECT_FALSE(image.IsValid()) << c.message;
    EXPECT_STREQ(image.GetErrorText(), c.message);
  }
  const bytes exact = Concat({PcxHeader(1, 1, 16, 1, 2), {0x41, 0x42}});
  CRaster image(exact.data(), exact.size(), raster_format_pcx);
  EXPECT_TRUE(image.IsValid()) << image.GetErrorText();
}

TEST(PcxCodec, EncoderFailures) {
  for (uint32_t bits : {1u, 8u, 24u}) {
    CRaster image;
    ASSERT_TRUE(MakeImage(image, 9, 3, bits, 1));
    EXPECT_FALSE(image.Save("/dev/full", raster_format_pcx));
    EXPECT_STRNE(image.GetErrorText(), "");
  }
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
