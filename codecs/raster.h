#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "bytes/bitmap_header.h"

class CByteStream;

// Format ids of the image class.
enum raster_format : uint32_t {
  raster_format_unknown = 0,  // decoding tries every codec
  raster_format_bmp = 1,
  raster_format_tga = 7,
  raster_format_pcx = 8,
};

// Largest pixel data of one image, rows padded.
constexpr uint32_t RASTER_MAX_MEMORY = 268435456;

// A palette entry, in the order the bytes lie in a bitmap.
struct rgb_quad {
  uint8_t blue = 0;
  uint8_t green = 0;
  uint8_t red = 0;
  uint8_t reserved = 0;

  bool operator==(const rgb_quad&) const = default;
};

// Red in the low byte, then green, then blue.
using COLORREF = uint32_t;

// What the image keeps beside its pixel block. Codec objects receive a copy of it.
struct raster_info {
  uint32_t row_bytes = 0;        // one pixel row, padded to a multiple of 4
  uint8_t* first_row = nullptr;  // bottom row of the pixel block
  const class CRaster* owner = nullptr;  // set on a shallow view: the image whose buffers it shows
  uint32_t format = raster_format_unknown;
  char last_error[256] = {};
  int32_t background_index = -1;
  int32_t x_dpi = 96;
  int32_t y_dpi = 96;
  rgb_quad last_colour;  // NearestPaletteIndex remembers its last answer
  uint8_t last_colour_index = 0;
  bool last_colour_valid = false;
};

// The program's own device-independent image: one block holding a bitmap info header,
// the palette and the pixel rows (bottom row first, rows padded to 4 bytes), and an
// optional alpha plane of one byte per pixel, row 0 at the bottom like the pixels.
// Depths are 1, 4 and 8 bits with a palette, or 24 bits (blue, green, red).
// Failures return false (or null) and leave a text for GetErrorText.
class CRaster {
 public:
  explicit CRaster(uint32_t format = raster_format_unknown);
  // Loads the file (see Load); IsValid and GetErrorText tell the outcome.
  CRaster(const char* path, uint32_t format);
  // Decodes size bytes at buffer (not kept) as the given format.
  CRaster(const uint8_t* buffer, size_t size, uint32_t format);
  CRaster(const CRaster& source, bool copy_pixels, bool copy_alpha);
  virtual ~CRaster();
  CRaster(const CRaster&) = delete;
  CRaster& operator=(const CRaster&) = delete;

  void ResetToDefaults(uint32_t format);
  // A zero-filled image; bits are rounded up to 1, 4, 8 or 24. Null on refusal.
  uint8_t* Create(int64_t width, int64_t height, uint32_t bits, uint32_t format);
  // False on a shallow view, which owns nothing.
  bool Destroy();
  void Copy(const CRaster& source, bool copy_pixels, bool copy_alpha);
  // Moves the source's buffers and information here, leaving the source empty.
  bool TakeOver(CRaster& source);
  // Shows the source's buffers without owning them; the source must outlive this image.
  void MakeShallowView(const CRaster& source);
  void CopyInfoIfEmpty(const CRaster& source);

  bool IsValid() const { return dib != nullptr; }
  int32_t GetWidth() const { return head.biWidth; }
  int32_t GetHeight() const { return head.biHeight; }
  uint32_t GetBpp() const { return head.biBitCount; }
  uint32_t GetColorCount() const { return head.biClrUsed; }
  uint32_t GetFormat() const { return info.format; }
  uint32_t GetRowBytes() const { return info.row_bytes; }
  int32_t GetXDpi() const { return info.x_dpi; }
  int32_t GetYDpi() const { return info.y_dpi; }
  const bitmap_info_header& GetHeader() const { return head; }
  // The block: header, palette, rows.
  uint8_t* GetDib() const { return dib; }
  uint32_t GetDibSize() const;
  // Address of pixel row y (0 = bottom); null outside the image or without a block.
  uint8_t* GetBits(int64_t row = 0) const;
  const char* GetErrorText() const { return info.last_error; }
  // Stores text (cut to 255 characters) as the last error.
  void SetErrorText(const char* text);
  bool IsInside(int64_t x, int64_t y) const;
  void SetXDpi(int32_t dpi);
  void SetYDpi(int32_t dpi);

  // Palette.
  rgb_quad* GetPalette() const;
  uint32_t GetPaletteSize() const { return head.biClrUsed * 4; }
  rgb_quad GetPaletteColor(uint32_t index) const;
  void SetPaletteColor(uint32_t index, uint8_t red, uint8_t green, uint8_t blue,
                       uint8_t alpha = 0);
  void SetPalette(const rgb_quad* entries, uint32_t count);
  void SetGrayPalette();
  uint8_t NearestPaletteIndex(rgb_quad colour);
  // Positive when a is brighter than b.
  static int CompareLuminance(rgb_quad a, rgb_quad b);

  // Pixels.
  uint8_t GetPixelIndex(int64_t x, int64_t y) const;
  void SetPixelIndex(int64_t x, int64_t y, uint8_t index);
  void SetPixelColor(int64_t x, int64_t y, rgb_quad colour, bool with_alpha = false);
  void SetPixelColor(int64_t x, int64_t y, COLORREF colour);
  // The unchecked forms need a block and (x, y) inside the image.
  rgb_quad PixelColorUnchecked(int64_t x, int64_t y, bool with_alpha = false) const;
  uint8_t PixelIndexUnchecked(int64_t x, int64_t y) const;
  void SetPixelIndexUnchecked(int64_t x, int64_t y, uint8_t index);
  static rgb_quad ColorRefToRgbQuad(COLORREF colour);
  // Fills the 24-bit rows from 16-bit (rows of ((width + 1) / 2) * 4 bytes) or 32-bit
  // (rows of width * 4 bytes) pixels at source, which may be this image's own rows.
  void BitfieldsToRgb(const uint8_t* source, uint32_t red_mask, uint32_t green_mask,
                      uint32_t blue_mask, uint32_t depth);

  // Alpha plane.
  bool AlphaCreate();
  void AlphaDelete();
  bool AlphaIsValid() const { return alpha != nullptr; }
  uint8_t AlphaGet(int64_t x, int64_t y) const;
  uint8_t AlphaGetUnchecked(int64_t x, int64_t y) const;
  void AlphaSet(int64_t x, int64_t y, uint8_t value);
  uint8_t* AlphaPointer(int64_t x = 0, int64_t y = 0) const;
  void AlphaInvert();
  bool AlphaFlip();
  bool AlphaMirror();

  // Geometry: upside down, and left to right.
  bool Flip(bool with_alpha);
  bool Mirror(bool with_alpha);

  // Dispatch by format id.
  bool Decode(CByteStream* stream, uint32_t format);
  bool Decode(FILE* file, uint32_t format);
  bool Encode(CByteStream* stream, uint32_t format);
  bool Encode(FILE* file, uint32_t format);
  // True when encoding must not start (no stream, no pixels); the reason is the last error.
  bool CheckBeforeEncode(CByteStream* stream);
  bool Load(const char* path, uint32_t format);
  bool Save(const char* path, uint32_t format);
  // 1 for BMP, 2 for TGA, 3 for PCX, 0 for any other id.
  static uint32_t FormatSlot(uint32_t format);

 protected:
  uint8_t* dib = nullptr;
  bitmap_info_header head;
  raster_info info;
  uint8_t* alpha = nullptr;

 private:
  void ReleaseBuffers();
  // Lets go of the buffers: frees what this image owns, forgets what a view shows.
  void DropBuffers();
  uint64_t PixelCount() const { return uint64_t(head.biWidth) * uint64_t(head.biHeight); }
};
