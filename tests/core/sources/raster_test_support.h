#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "sources/mem_stream.h"
#include "sources/raster.h"

using bytes = std::vector<uint8_t>;

inline bytes EncodeToBytes(CRaster& image, uint32_t format) {
  CMemStream out;
  EXPECT_TRUE(out.Open());
  EXPECT_TRUE(image.Encode(&out, format)) << image.GetErrorText();
  const uint8_t* data = out.GetBuffer(false);
  return bytes(data, data + out.Tell());
}

inline uint32_t NextRandom(uint32_t& seed) {
  seed = seed * 1664525u + 1013904223u;
  return seed >> 8;
}

// Noise with flat stretches, so that run-length packers meet both; a random palette and,
// when asked, a random alpha plane.
inline bool MakeImage(CRaster& image, int32_t width, int32_t height, uint32_t bits, uint32_t seed,
                      bool with_alpha = false) {
  if (!image.Create(width, height, bits, raster_format_unknown)) return false;
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* row = image.GetBits(y);
    for (uint32_t i = 0; i < image.GetRowBytes(); ++i) {
      const uint32_t r = NextRandom(seed);
      row[i] = (r & 0x300) ? uint8_t(r) : i > 0 ? row[i - 1] : 0;
    }
  }
  for (uint32_t i = 0; i < image.GetColorCount(); ++i) {
    const uint32_t r = NextRandom(seed);
    image.SetPaletteColor(i, uint8_t(r), uint8_t(r >> 8), uint8_t(r >> 16));
  }
  if (with_alpha) {
    if (!image.AlphaCreate()) return false;
    for (int32_t y = 0; y < height; ++y)
      for (int32_t x = 0; x < width; ++x) image.AlphaSet(x, y, uint8_t(NextRandom(seed)));
  }
  return true;
}

// Red, green, blue, alpha of every pixel, top row first; 255 without an alpha plane.
inline bytes RgbaTopDown(const CRaster& image) {
  bytes out;
  for (int32_t y = image.GetHeight() - 1; y >= 0; --y)
    for (int32_t x = 0; x < image.GetWidth(); ++x) {
      const rgb_quad c = image.PixelColorUnchecked(x, y);
      out.insert(out.end(), {c.red, c.green, c.blue, image.AlphaIsValid() ? image.AlphaGet(x, y) : uint8_t(255)});
    }
  return out;
}

inline bytes Concat(std::initializer_list<bytes> parts) {
  bytes out;
  for (const bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

inline bytes ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return bytes(std::istreambuf_iterator<char>(in), {});
}

inline void WriteFile(const std::filesystem::path& path, const bytes& data) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
}
