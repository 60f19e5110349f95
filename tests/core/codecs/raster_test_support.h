#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "bytes/le_bytes.h"
#include "codecs/mem_stream.h"
#include "codecs/raster.h"

using bytes = std::vector<uint8_t>;

inline bytes EncodeToBytes(CRaster& image, uint32_t format) {
  CMemStream out;
  EXPECT_TRUE(out.Open());
  EXPECT_TRUE(image.Encode(&out, format)) << image.GetErrorText();
  const uint8_t* data = out.GetBuffer(false);
  return bytes(data, data + out.Tell());
}

// The file's bytes decoded as format; when it must decode, a refusal fails the test.
inline std::unique_ptr<CRaster> DecodeAs(const bytes& file, uint32_t format, bool must_decode) {
  auto image = std::make_unique<CRaster>(file.data(), file.size(), format);
  if (must_decode) {
    EXPECT_TRUE(image->IsValid()) << image->GetErrorText();
  }
  return image;
}

inline uint32_t NextRandom(uint32_t& seed) { return (seed = seed * 1664525u + 1013904223u) >> 8; }

// Noise with flat stretches, so that run-length packers meet both; a random palette and,
// when asked, a random alpha plane.
inline bool MakeImage(CRaster& image, int32_t width, int32_t height, uint32_t bits, uint32_t seed,
                      bool with_alpha = false) {
  if (!image.Create(width, height, bits, raster_format_unknown)) return false;
  uint8_t* const rows = image.GetBits(0);
  for (uint32_t i = 0, r; i < image.GetRowBytes() * uint32_t(height); ++i)
    rows[i] = ((r = NextRandom(seed)) & 0x300) ? uint8_t(r) : i > 0 ? rows[i - 1] : 0;
  for (uint32_t i = 0, r; i < image.GetColorCount(); ++i)
    r = NextRandom(seed), image.SetPaletteColor(i, uint8_t(r), uint8_t(r >> 8), uint8_t(r >> 16));
  if (with_alpha && !image.AlphaCreate()) return false;
  for (int32_t i = 0; i < width * height && with_alpha; ++i)
    image.AlphaSet(i % width, i / width, uint8_t(NextRandom(seed)));
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

inline bytes TgaHeader(uint8_t type, uint8_t depth, uint16_t width, uint16_t height, uint8_t descriptor = 0,
                       uint16_t map_length = 0, uint8_t id_length = 0) {
  bytes h = {id_length, map_length ? uint8_t(1) : uint8_t(0), type, 0, 0, 0, 0, map_length ? uint8_t(24) : uint8_t(0)};
  h.resize(18);
  PutLe16(&h[5], map_length);
  PutLe16(&h[12], width);
  PutLe16(&h[14], height);
  h[16] = depth;
  h[17] = descriptor;
  return h;
}

inline bytes PcxHeader(uint8_t bits, uint8_t planes, int32_t width, int32_t height, uint16_t bytes_per_line,
                       int32_t x_min = 0) {
  bytes h = {10, 5, 1, bits};
  h.resize(128);
  PutLe16(&h[4], uint16_t(x_min));
  PutLe16(&h[8], uint16_t(x_min + width - 1));
  PutLe16(&h[10], uint16_t(height - 1));
  h[65] = planes;
  PutLe16(&h[66], bytes_per_line);
  return h;
}
