#pragma once
#include <cstdint>

#include "sources/raster.h"

// Walks the pixel rows of an image (row 0 at the bottom).
class CRowIterator {
 public:
  explicit CRowIterator(CRaster& image) : image(image), row(image.GetBits(0)) {}
  // Moves to row y and returns its address; a y outside the image gives null and the
  // iterator stays where it was.
  uint8_t* SetRow(int64_t y) {
    if (y < 0 || y >= image.GetHeight() || !image.IsValid()) return nullptr;
    current = y;
    row = image.GetBits(y);
    return row;
  }
  uint8_t* GetRow() const { return row; }
  int64_t GetY() const { return current; }

 private:
  CRaster& image;
  uint8_t* row;
  int64_t current = 0;
};
