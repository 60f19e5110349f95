// PCX decoding of arbitrary bytes: no crash, no read or write outside a buffer, and a
// decoded image whose every pixel and alpha byte can be read.
#include <cstddef>
#include <cstdint>

#include "sources/raster.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CRaster image(data, size, raster_format_pcx);
  if (!image.IsValid()) return 0;
  unsigned sum = 0;
  for (int32_t y = 0; y < image.GetHeight(); ++y) {
    const uint8_t* row = image.GetBits(y);
    for (uint32_t i = 0; i < image.GetRowBytes(); ++i) sum += row[i];
    if (image.AlphaIsValid())
      for (int32_t x = 0; x < image.GetWidth(); ++x) sum += image.AlphaGet(x, y);
  }
  static volatile unsigned sink;
  sink = sum;
  return 0;
}
