// Decodes arbitrary bytes as TGA or PCX, encodes the image as TGA or PCX and decodes that
// file again: the second image must be the first one, up to what the target format keeps.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "codecs/mem_stream.h"
#include "codecs/raster.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  // Bit 0 of the first byte picks the input format, bit 1 the output format.
  const uint32_t input_format = (data[0] & 1) ? raster_format_pcx : raster_format_tga;
  const uint32_t output_format = (data[0] & 2) ? raster_format_pcx : raster_format_tga;
  CRaster first(data + 1, size - 1, input_format);
  if (!first.IsValid()) return 0;

  CMemStream file;
  Check(file.Open());
  if (!first.Encode(&file, output_format)) {
    // Only depths and sizes the format cannot hold are refused.
    Check(first.GetErrorText()[0] != 0);
    Check((output_format == raster_format_tga && first.GetBpp() < 8) ||
          first.GetWidth() > 65534 || first.GetHeight() > 65535);
    return 0;
  }
  CRaster second(file.GetBuffer(false), size_t(file.Tell()), output_format);
  Check(second.IsValid());
  Check(second.GetWidth() == first.GetWidth());
  Check(second.GetHeight() == first.GetHeight());
  Check(second.GetBpp() == first.GetBpp());
  Check(second.AlphaIsValid() == first.AlphaIsValid());

  const uint32_t bits = first.GetBpp();
  // A 1-bit PCX keeps only black and white, with the indices inverted when entry 0 of
  // the palette was the brighter one.
  const bool inverted = output_format == raster_format_pcx && bits == 1 &&
                        CRaster::CompareLuminance(first.GetPaletteColor(0),
                                                  first.GetPaletteColor(1)) > 0;
  if (bits != 1 || output_format != raster_format_pcx)
    for (uint32_t i = 0; i < first.GetColorCount(); ++i)
      Check(first.GetPaletteColor(i) == second.GetPaletteColor(i));
  for (int32_t y = 0; y < first.GetHeight(); ++y) {
    if (bits == 24) {
      Check(std::memcmp(first.GetBits(y), second.GetBits(y), size_t(first.GetWidth()) * 3) == 0);
    } else {
      for (int32_t x = 0; x < first.GetWidth(); ++x) {
        const uint8_t index = first.GetPixelIndex(x, y);
        Check(second.GetPixelIndex(x, y) == (inverted ? 1 - index : index));
      }
    }
    if (first.AlphaIsValid())
      for (int32_t x = 0; x < first.GetWidth(); ++x)
        Check(first.AlphaGet(x, y) == second.AlphaGet(x, y));
  }
  return 0;
}
