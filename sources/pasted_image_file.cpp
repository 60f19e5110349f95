#include "sources/pasted_image_file.h"

#include <memory>
#include <new>
#include <string>
#include <utility>

#include "bytes/bitmap_header.h"
#include "codecs/imaging.h"
#include "sources/pasted_bitmap.h"

pasted_image BitmapBlockFromImageFile(const uint8_t* bytes, size_t size, std::vector<uint8_t>& block) {
  if (bytes == nullptr || size == 0) return pasted_image::not_an_image;
  if (PngTooLargeToPaste(bytes, size)) return pasted_image::too_large;
  std::string error;
  const std::unique_ptr<imaging::frame_decoder> decoder = imaging::OpenMemory(bytes, size, error);
  if (!decoder) return pasted_image::not_an_image;
  const int width = decoder->Width(), height = decoder->Height();
  if (width < 1 || height < 1) return pasted_image::not_an_image;
  if (!FitsBitmapImage32(uint64_t(width), uint64_t(height))) return pasted_image::too_large;

  const size_t stride = size_t(width) * 4;
  const size_t pixel_bytes = stride * size_t(height);
  std::vector<uint8_t> made;
  try {
    made.resize(bitmap_info_header::bytes + pixel_bytes);
  } catch (const std::bad_alloc&) {
    return pasted_image::too_large;
  }
  WriteBitmapInfoHeader(Bitmap32Header(width, -height), made.data());
  if (!decoder->CopyPixels(made.data() + bitmap_info_header::bytes, stride, pixel_bytes))
    return pasted_image::not_an_image;
  block = std::move(made);
  return pasted_image::done;
}
