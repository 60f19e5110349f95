#include <gtest/gtest.h>

#include "codecs/raster_pcx.h"
#include "tests/core/codecs/raster_test_support.h"

namespace {

std::unique_ptr<CRaster> Decode(const bytes& file) { return DecodeAs(file, raster_format_pcx, true); }

TEST(PcxCodec, Encoder) {
  // Long runs split at 63, and bytes of 0xC0 and above always go in a run.
  CMemStream out;
  ASSERT_TRUE(out.Open());
  const bytes line = Concat({bytes(100, 0x33), {0xC5, 0x41}});
  EXPECT_TRUE(pcx_pack_line(line.data(), line.size(), &out));
  const uint8_t* packed = out.GetBuffer(false);
  EXPECT_EQ(bytes(packed, packed + out.Tell()), bytes({0xFF, 0x33, 0xE5, 0x33, 0xC1, 0xC5, 0x41}));

  // Whole lines pack as the values one at a time do: noise, high bytes, runs of every
  // length, at every length of line.
  uint32_t seed = 3;
  for (size_t length = 1; length < 400; length += 7) {
    bytes values(length);
    for (size_t i = 0; i < length; ++i) {
      const uint32_t r = NextRandom(seed);
      values[i] = i > 0 && (r & 0x700) == 0 ? values[i - 1] : uint8_t(r >> (r & 0x1000 ? 0 : 2));
    }
    if (length > 200) std::fill(values.begin() + 50, values.begin() + 180, uint8_t(0xD0));
    CMemStream whole, one_by_one;
    ASSERT_TRUE(whole.Open() && one_by_one.Open());
    EXPECT_TRUE(pcx_pack_line(values.data(), length, &whole));
    int last = 0, count = 0;
    for (uint8_t v : values) pcx_pack_run(v, last, count, &one_by_one);
    pcx_pack_run(-1, last, count, &one_by_one);
    ASSERT_EQ(bytes(whole.GetBuffer(false), whole.GetBuffer(false) + whole.Tell()),
              bytes(one_by_one.GetBuffer(false), one_by_one.GetBuffer(false) + one_by_one.Tell()))
        << length;
  }

  CRaster wide;
  ASSERT_TRUE(wide.Create(65535, 1, 24, raster_format_unknown));
  EXPECT_FALSE(wide.Encode(&out, raster_format_pcx));
  EXPECT_STREQ(wide.GetErrorText(), "Image too large for PCX");
}

TEST(PcxCodec, PalettesAndPlaneLayouts) {
  // A 256-colour palette cut short keeps black for the entries it lacks.
  auto image = Decode(Concat({PcxHeader(8, 1, 2, 1, 2), {1, 2, 12, 9, 9, 9, 8, 8, 8, 7}}));
  EXPECT_EQ(image->GetPaletteColor(1), (rgb_quad{8, 8, 8, 0}));
  EXPECT_EQ(image->GetPaletteColor(2), (rgb_quad{0, 0, 7, 0}));

  // Twelve bytes of one run (a zero-length run first) fill three planes of two lines.
  image = Decode(Concat({PcxHeader(8, 3, 2, 2, 2), {0xC0, 0x55, 0xCC, 7}}));
  for (int32_t y = 0; y < 2; ++y) EXPECT_EQ(bytes(image->GetBits(y), image->GetBits(y) + 6), bytes(6, 7));
  Decode(Concat({PcxHeader(1, 1, 16, 1, 2), {0x41, 0x42}}));  // bytes per line just wide enough
}

TEST(PcxCodec, DecoderRefusals) {
  bytes no_pcx = PcxHeader(8, 1, 1, 1, 2), no_rle = no_pcx;
  no_pcx[0] = 9, no_rle[2] = 0;
  const std::pair<bytes, const char*> cases[] = {
      {bytes(127, 10), "Can't read PCX image"},
      {no_pcx, "Error: Not a PCX file"},
      {no_rle, "PCX file has unknown encoding scheme"},
      {PcxHeader(8, 5, 1, 1, 2), "Can't handle image with more than 4 planes"},
      {PcxHeader(3, 1, 1, 1, 2), "Can't handle PCX image with this number of bits per pixel"},
      {PcxHeader(8, 0, 1, 1, 2), "Can't handle PCX image without planes"},
      {PcxHeader(8, 2, 1, 1, 2), "pcx_planes_to_pixels: more than 4 planes or more than 1 bit per pixel"},
      {PcxHeader(8, 1, -5, 1, 2, 10), "CRaster::Create : width and height must be greater than zero"},
      {PcxHeader(8, 3, 65536, 65536, 65535), "RASTER_MAX_MEMORY exceeded"},
      {PcxHeader(1, 1, 17, 1, 2), "PCX bytes per line too small for the image width"},
      {Concat({PcxHeader(8, 1, 2, 2, 2), {1, 2, 3, 0xC1}}), "corrupted PCX"},
      {Concat({PcxHeader(8, 1, 2, 1, 2), {0xC3, 5}}), "repeat count spans end of image"},
      {Concat({PcxHeader(8, 1, 2, 1, 2), {1, 0xC1, 5, 11}, bytes(768, 0)}), "bad color map signature"},
      // Four gigabytes of pixel data claimed for a one-pixel-wide image.
      {Concat({PcxHeader(8, 1, 1, 65536, 65535), {0x41}}), "corrupted PCX"},
  };
  for (const auto& [file, message] : cases)
    EXPECT_STREQ(CRaster(file.data(), file.size(), raster_format_pcx).GetErrorText(), message);
}

}  // namespace
