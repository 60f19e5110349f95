// Decodes arbitrary bytes as BMP and with the automatic pass. A refusal must leave a text
// in the last-error field; a decoded image must have every row and alpha byte readable,
// and a BMP written from it must decode to the same pixels.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "bytes/le_bytes.h"
#include "fuzz/read_every_pixel.h"
#include "codecs/mem_stream.h"
#include "codecs/raster.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

int64_t Magnitude(int64_t v) { return v < 0 ? -v : v; }

// Images of many pixels decode soundly but slowly (the pixel block alone may be
// hundreds of megabytes). The search skips inputs that declare such a size as a BMP, a
// TGA or a PCX header; sizes too large to create are refused at once and still run.
bool DeclaresASlowImage(const uint8_t* data, size_t size) {
  const auto slow = [](int64_t width, int64_t height) {
    const int64_t pixels = Magnitude(width) * Magnitude(height);
    return pixels > (int64_t{1} << 18) && pixels <= (int64_t{1} << 31);
  };
  const size_t info = size >= 2 && data[0] == 'B' && data[1] == 'M' ? 14 : 0;
  if (size >= info + 16) {
    const uint8_t* h = data + info;
    const uint32_t header = GetLe32(h);
    if (header == 12 && slow(GetLe16(h + 4), GetLe16(h + 6))) return true;
    if ((header == 40 || header == 64 || (header > 40 && GetLe16(h + 12) == 1)) &&
        slow(GetLe32Signed(h + 4), GetLe32Signed(h + 8)))
      return true;
  }
  const bool tga = size >= 18 && ((data[2] >= 1 && data[2] <= 3) || (data[2] >= 9 && data[2] <= 11));
  if (tga && slow(GetLe16(data + 12), GetLe16(data + 14))) return true;
  return size >= 12 && data[0] == 10 &&
         slow(int64_t(GetLe16(data + 8)) - GetLe16(data + 4) + 1, int64_t(GetLe16(data + 10)) - GetLe16(data + 6) + 1);
}

void RoundTrip(CRaster& image) {
  CMemStream file;
  Check(file.Open());
  Check(image.Encode(&file, raster_format_bmp));
  CRaster back(file.GetBuffer(false), size_t(file.Tell()), raster_format_bmp);
  Check(back.IsValid());
  Check(back.GetWidth() == image.GetWidth() && back.GetHeight() == image.GetHeight());
  Check(back.GetBpp() == image.GetBpp());
  if (image.GetPalette())
    Check(std::memcmp(back.GetPalette(), image.GetPalette(), image.GetPaletteSize()) == 0);
  const size_t used = (size_t(image.GetWidth()) * image.GetBpp() + 7) / 8;
  for (int32_t y = 0; y < image.GetHeight(); ++y) {
    // The bits after the last pixel of a 1- or 4-bit row are not pixels.
    const size_t whole = image.GetBpp() < 8 ? size_t(image.GetWidth()) * image.GetBpp() / 8 : used;
    Check(std::memcmp(back.GetBits(y), image.GetBits(y), whole) == 0);
    for (int32_t x = int32_t(whole * 8 / image.GetBpp()); x < image.GetWidth(); ++x)
      Check(back.GetPixelIndex(x, y) == image.GetPixelIndex(x, y));
  }
  if (!image.AlphaIsValid()) return;
  Check(back.AlphaIsValid());
  bool any = false;
  for (int32_t y = 0; y < image.GetHeight(); ++y)
    for (int32_t x = 0; x < image.GetWidth(); ++x) any |= image.AlphaGet(x, y) != 0;
  // An alpha plane of zeros is read back as opaque.
  for (int32_t y = 0; y < image.GetHeight(); ++y)
    for (int32_t x = 0; x < image.GetWidth(); ++x)
      Check(back.AlphaGet(x, y) == (any ? image.AlphaGet(x, y) : 255));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (DeclaresASlowImage(data, size)) return 0;
  CRaster bmp(data, size, raster_format_bmp);
  if (bmp.IsValid()) {
    ReadEveryPixel(bmp);
    // The comparison goes pixel by pixel: kept to images small enough to stay quick.
    if (int64_t(bmp.GetWidth()) * bmp.GetHeight() <= 1 << 16) RoundTrip(bmp);
  } else {
    Check(bmp.GetErrorText()[0] != 0);
  }

  CRaster any(data, size, raster_format_unknown);
  if (any.IsValid())
    ReadEveryPixel(any);
  else
    Check(std::strcmp(any.GetErrorText(), "Decode: Unknown or wrong format") == 0);
  return 0;
}
