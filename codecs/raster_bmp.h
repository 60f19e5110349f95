#pragma once
#include "bytes/bitmap_header.h"
#include "codecs/byte_stream.h"
#include "codecs/raster.h"

// Windows bitmaps: files with the 14-byte "BM" header, or bare device-independent
// bitmaps that start with their info header.
class CRasterBMP : public CRaster {
 public:
  CRasterBMP() : CRaster(raster_format_bmp) {}

  bool Decode(CByteStream* stream);
  bool Encode(CByteStream* stream);
  // Reads an info header of any accepted size into its 40-byte form and leaves the
  // stream where the colour table or the colour masks begin. A 12-byte core header
  // keeps biSize 12.
  static bool ReadInfoHeader(CByteStream* stream, bitmap_info_header& header);

 private:
  const char* DecodePixels(CByteStream* stream, const bitmap_info_header& file_header,
                           int64_t start, uint32_t offset);
  void ReadRunLength(CByteStream* stream, bool four_bit);
};
