// TGA decoding of arbitrary bytes: no crash, no read or write outside a buffer, and a
// decoded image whose every pixel and alpha byte can be read.
#include <cstddef>
#include <cstdint>

#include "fuzz/read_every_pixel.h"
#include "codecs/raster.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CRaster image(data, size, raster_format_tga);
  if (image.IsValid()) ReadEveryPixel(image);
  return 0;
}
