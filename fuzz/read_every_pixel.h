#pragma once
#include <cstdint>
#include <cstdlib>

#include "codecs/raster.h"

// Touches every row byte and alpha byte of a decoded image, so that the sanitizer sees
// any buffer shorter than the image claims.
inline void ReadEveryPixel(const CRaster& image) {
  unsigned sum = 0;
  for (int32_t y = 0; y < image.GetHeight(); ++y) {
    const uint8_t* row = image.GetBits(y);
    if (!row) std::abort();
    for (uint32_t i = 0; i < image.GetRowBytes(); ++i) sum += row[i];
    if (image.AlphaIsValid())
      for (int32_t x = 0; x < image.GetWidth(); ++x) sum += image.AlphaGet(x, y);
  }
  static volatile unsigned sink;
  sink = sum;
}
