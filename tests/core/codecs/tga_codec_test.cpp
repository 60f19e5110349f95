#include <gtest/gtest.h>

#include "tests/core/codecs/raster_test_support.h"

namespace {

std::unique_ptr<CRaster> Decode(const bytes& file) { return DecodeAs(file, raster_format_tga, true); }

// Blue, green, red of pixel (x, y), y counted from the top.
bytes PixelAt(const CRaster& image, int32_t x, int32_t y_from_top) {
  const rgb_quad c = image.PixelColorUnchecked(x, image.GetHeight() - 1 - y_from_top);
  return {c.blue, c.green, c.red};
}
bytes TopRow(const CRaster& image) {
  return Concat({PixelAt(image, 0, 0), PixelAt(image, 1, 0), PixelAt(image, 2, 0)});
}

TEST(TgaCodec, Refusals) {
  CRaster mono, wide;
  ASSERT_TRUE(mono.Create(4, 4, 1, raster_format_unknown));
  CMemStream out;
  ASSERT_TRUE(out.Open());
  EXPECT_FALSE(mono.Encode(&out, raster_format_tga));
  EXPECT_STREQ(mono.GetErrorText(), "Bit depth must be 8 or 24");
  // The header's 16-bit width would describe another image than the rows that follow.
  ASSERT_TRUE(wide.Create(70000, 1, 24, raster_format_unknown));
  EXPECT_FALSE(wide.Encode(&out, raster_format_tga));
  EXPECT_STREQ(wide.GetErrorText(), "Image too large for TGA");
  EXPECT_EQ(out.Tell(), 0);

  const bytes pixel = {1, 2, 3};
  const std::pair<bytes, const char*> cases[] = {
      {bytes(17, 0), "Not a TGA"},
      {Concat({TgaHeader(4, 24, 1, 1), pixel}), "Unknown TGA image type"},
      {Concat({TgaHeader(2, 24, 0, 1), pixel}), "bad TGA header"},
      {Concat({TgaHeader(2, 12, 1, 1), pixel}), "bad TGA header"},
      {Concat({TgaHeader(1, 8, 1, 1, 0, 300), bytes(901, 0)}), "bad TGA header"},
      {[] { bytes h = TgaHeader(1, 8, 1, 1, 0, 2); return h[7] = 8, Concat({h, bytes(3, 0)}); }(), "bad TGA header"},
      {TgaHeader(2, 24, 2, 2), "corrupted TGA"},
      // Row 0 complete, then no packet header where rows 1 and 2 should begin.
      {Concat({TgaHeader(10, 24, 2, 3), {0x81, 1, 2, 3}}), "corrupted TGA"},
  };
  for (const auto& [file, message] : cases)
    EXPECT_STREQ(CRaster(file.data(), file.size(), raster_format_tga).GetErrorText(), message);
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
                            Concat({TgaHeader(10, 32, 2, 2, 0x30), {0x81, 1, 2, 3, 4, 0xFF, 5, 6, 7, 8}})})
    Decode(file);

  // A file cut inside its last row decodes with what it has.
  const auto cut = Decode(Concat({TgaHeader(2, 24, 2, 2), {1, 1, 1, 2, 2, 2, 3, 3, 3, 4}}));
  EXPECT_EQ(PixelAt(*cut, 1, 0), bytes({4, 0, 0}));
}

TEST(TgaCodec, PixelKinds) {
  for (uint8_t depth : {15, 16}) {  // 5-bit channels widen to 248; bit 15 is not alpha
    const auto image = Decode(Concat({TgaHeader(2, depth, 3, 1), {0xFF, 0x7F, 0xE0, 0x83, 0x00, 0x7C}}));
    EXPECT_FALSE(image->AlphaIsValid());
    EXPECT_EQ(TopRow(*image), bytes({248, 248, 248, 0, 248, 0, 0, 0, 248}));
  }
  // An ID of 3 bytes, a colour map of 2 entries, and an index far past the map.
  auto image = Decode(Concat({TgaHeader(1, 8, 3, 1, 0, 2, 3), {'a', 'b', 'c'}, {10, 20, 30, 40, 50, 60}, {1, 0, 200}}));
  EXPECT_EQ(TopRow(*image), bytes({40, 50, 60, 10, 20, 30, 0, 0, 0}));

  // A map of any entry size is read past in a true-colour file; its entries start at
  // the first index, and indices below it are black.
  for (uint8_t entry_bits : {15, 16, 24, 32}) {
    bytes with_map = TgaHeader(2, 24, 3, 1, 0, 3);
    with_map[7] = entry_bits;
    image = Decode(Concat({with_map, bytes(3 * ((entry_bits + 7) / 8), 0xEE), {1, 2, 3, 4, 5, 6, 7, 8, 9}}));
    EXPECT_EQ(TopRow(*image), bytes({1, 2, 3, 4, 5, 6, 7, 8, 9})) << int(entry_bits);
  }
  bytes mapped = TgaHeader(1, 8, 4, 1, 0, 3);
  mapped[3] = 5, mapped[7] = 32;
  image = Decode(Concat({mapped, {1, 2, 3, 255, 40, 50, 60, 128, 200, 210, 220, 0}, {5, 6, 7, 0}}));
  EXPECT_EQ(Concat({TopRow(*image), PixelAt(*image, 3, 0)}), bytes({1, 2, 3, 40, 50, 60, 200, 210, 220, 0, 0, 0}));
  mapped[7] = 16;
  image = Decode(Concat({mapped, {0xFF, 0x7F, 0x1F, 0, 0xE0, 0x03}, {7, 6, 5}}));
  EXPECT_EQ(TopRow(*image), bytes({0, 248, 0, 248, 0, 0, 248, 248, 248}));

  // 16-bit grey is grey and alpha, raw and run-length.
  for (const bytes& file : {Concat({TgaHeader(3, 16, 3, 1), {10, 255, 20, 128, 20, 128}}),
                            Concat({TgaHeader(11, 16, 3, 1), {0x00, 10, 255, 0x81, 20, 128}})}) {
    image = Decode(file);
    EXPECT_EQ(TopRow(*image), bytes({10, 10, 10, 20, 20, 20, 20, 20, 20}));
    EXPECT_EQ(image->AlphaGet(0, 0) * 1000 + image->AlphaGet(2, 0), 255128);
  }

  // Two rows of two pixels in file order, A B / C D with alpha 10 to 40, in every orientation.
  for (uint8_t descriptor : {0x00, 0x10, 0x20, 0x30}) {
    image = Decode(Concat({TgaHeader(10, 32, 2, 2, descriptor),
                           {0x80, 1, 1, 1, 10, 0x02, 2, 2, 2, 20, 3, 3, 3, 30, 4, 4, 4, 40}}));
    for (int i = 0; i < 4; ++i) {
      const int32_t x = descriptor & 0x10 ? 1 - i % 2 : i % 2;
      const int32_t y = descriptor & 0x20 ? 1 - i / 2 : i / 2;  // from the bottom
      EXPECT_EQ(image->PixelColorUnchecked(x, y).blue, i + 1) << int(descriptor);
      EXPECT_EQ(image->AlphaGet(x, y), (i + 1) * 10) << int(descriptor);
    }
  }
}

}  // namespace
