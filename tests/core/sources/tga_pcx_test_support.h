#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "sources/mem_stream.h"
#include "sources/raster.h"

using bytes = std::vector<uint8_t>;

// Encodes the image into memory; an encoder failure leaves the test's own message.
inline bytes EncodeToBytes(CRaster& image, uint32_t format) {
  CMemStream out;
  EXPECT_TRUE(out.Open());
  EXPECT_TRUE(image.Encode(&out, format)) << image.GetErrorText();
  const uint8_t* data = out.GetBuffer(false);
  bytes result(data, data + out.Tell());
  out.Close();
  return result;
}

inline uint32_t NextRandom(uint32_t& seed) {
  seed = seed * 1664525u + 1013904223u;
  return seed >> 8;
}

// Noise with flat stretches, so that run-length packers meet both.
inline void FillPixels(CRaster& image, uint32_t seed) {
  const int64_t row_pixels = int64_t(image.GetRowBytes());
  for (int32_t y = 0; y < image.GetHeight(); ++y) {
    uint8_t* row = image.GetBits(y);
    for (int64_t i = 0; i < row_pixels; ++i) {
      const uint32_t r = NextRandom(seed);
      row[i] = (r & 0x300) ? uint8_t(r) : i > 0 ? row[i - 1] : 0;
    }
  }
}

inline bool MakeImage(CRaster& image, int32_t width, int32_t height, uint32_t bits,
                      uint32_t seed) {
  if (!image.Create(width, height, bits, raster_format_unknown)) return false;
  FillPixels(image, seed);
  for (uint32_t i = 0; i < image.GetColorCount(); ++i) {
    const uint32_t r = NextRandom(seed);
    image.SetPaletteColor(i, uint8_t(r), uint8_t(r >> 8), uint8_t(r >> 16));
  }
  return true;
}

// Red, green, blue, alpha of every pixel, top row first; 255 without an alpha plane.
inline bytes RgbaTopDown(const CRaster& image) {
  bytes out;
  for (int32_t y = image.GetHeight() - 1; y >= 0; --y)
    for (int32_t x = 0; x < image.GetWidth(); ++x) {
      const rgb_quad c = image.PixelColorUnchecked(x, y);
      out.insert(out.end(), {c.red, c.green, c.blue,
                             image.AlphaIsValid() ? image.AlphaGet(x, y) : uint8_t(255)});
    }
  return out;
}

inline bytes Concat(std::initializer_list<bytes> parts) {
  bytes out;
  for (const bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}
