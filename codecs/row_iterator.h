#pragma once
#include <cstdint>

#include "codecs/raster.h"

// Walks the pixel rows of an image (row 0 at the bottom).
class CRowIterator {
 public:
  explicit CRowIterator(CRaster& image) : image(image) {}
  // The address of row y; null for a y outside the image.
  uint8_t* SetRow(int64_t y) { return image.GetBits(y); }

 private:
  CRaster& image;
};
