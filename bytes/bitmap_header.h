#pragma once
#include <cstdint>

#include "bytes/le_bytes.h"

// Sizes and compression codes that every reader of the format shares.
inline constexpr uint32_t file_header_bytes = 14;
inline constexpr uint32_t core_header_bytes = 12;
inline constexpr uint32_t compression_none = 0;
inline constexpr uint32_t compression_rle8 = 1;
inline constexpr uint32_t compression_rle4 = 2;
inline constexpr uint32_t compression_bitfields = 3;
inline constexpr uint32_t compression_jpeg = 4;
inline constexpr uint32_t compression_png = 5;

// The bytes of one row of width pixels of bits each, padded to a multiple of 4.
inline uint64_t PaddedRowBytes(uint64_t width, uint64_t bits) { return (width * bits + 31) / 32 * 4; }

// The 40-byte bitmap info header that starts every device-independent bitmap.
struct bitmap_info_header {
  static constexpr uint32_t bytes = 40;

  uint32_t biSize = 0;
  int32_t biWidth = 0;
  int32_t biHeight = 0;
  uint16_t biPlanes = 0;
  uint16_t biBitCount = 0;
  uint32_t biCompression = 0;
  uint32_t biSizeImage = 0;
  int32_t biXPelsPerMeter = 0;
  int32_t biYPelsPerMeter = 0;
  uint32_t biClrUsed = 0;
  uint32_t biClrImportant = 0;
};

inline bitmap_info_header ReadBitmapInfoHeader(const uint8_t* p) {
  bitmap_info_header h;
  h.biSize = GetLe32(p);
  h.biWidth = GetLe32Signed(p + 4);
  h.biHeight = GetLe32Signed(p + 8);
  h.biPlanes = GetLe16(p + 12);
  h.biBitCount = GetLe16(p + 14);
  h.biCompression = GetLe32(p + 16);
  h.biSizeImage = GetLe32(p + 20);
  h.biXPelsPerMeter = GetLe32Signed(p + 24);
  h.biYPelsPerMeter = GetLe32Signed(p + 28);
  h.biClrUsed = GetLe32(p + 32);
  h.biClrImportant = GetLe32(p + 36);
  return h;
}

inline void WriteBitmapInfoHeader(const bitmap_info_header& h, uint8_t* p) {
  PutLe32(p, h.biSize);
  PutLe32(p + 4, uint32_t(h.biWidth));
  PutLe32(p + 8, uint32_t(h.biHeight));
  PutLe16(p + 12, h.biPlanes);
  PutLe16(p + 14, h.biBitCount);
  PutLe32(p + 16, h.biCompression);
  PutLe32(p + 20, h.biSizeImage);
  PutLe32(p + 24, uint32_t(h.biXPelsPerMeter));
  PutLe32(p + 28, uint32_t(h.biYPelsPerMeter));
  PutLe32(p + 32, h.biClrUsed);
  PutLe32(p + 36, h.biClrImportant);
}

// The header of an uncompressed bitmap, every field not named 0; a negative height
// stores the rows top-down.
inline bitmap_info_header UncompressedHeader(int32_t width, int32_t height, uint16_t bits,
                                             uint32_t image_bytes) {
  bitmap_info_header h;
  h.biSize = bitmap_info_header::bytes;
  h.biWidth = width;
  h.biHeight = height;
  h.biPlanes = 1;
  h.biBitCount = bits;
  h.biSizeImage = image_bytes;
  return h;
}

// The same for 32 bits a pixel, the image size counted from the sides.
inline bitmap_info_header Bitmap32Header(int32_t width, int32_t height) {
  const uint64_t rows = height < 0 ? uint64_t(-int64_t(height)) : uint64_t(height);
  return UncompressedHeader(width, height, 32, uint32_t(uint64_t(uint32_t(width)) * rows * 4));
}
