#include "engine/base/image_record.h"

#include <cstdlib>
#include <cstring>
#include <utility>

#include "bytes/bitmap_header.h"
#include "bytes/le_bytes.h"

image_record::~image_record() { Release(); }

image_record::image_record(image_record&& other) noexcept { Swap(other); }

image_record& image_record::operator=(image_record&& other) noexcept {
  if (this != &other) {
    Release();
    Swap(other);
  }
  return *this;
}

void image_record::Swap(image_record& other) noexcept {
  std::swap(bitmap, other.bitmap);
  std::swap(mask, other.mask);
  std::swap(has_mask, other.has_mask);
  std::swap(mask_size, other.mask_size);
}

void image_record::Release() {
  std::free(bitmap);
  std::free(mask);
  bitmap = nullptr;
  mask = nullptr;
  has_mask = 0;
  mask_size = 0;
}

bool image_record::Create(int w, int h) {
  Release();
  if (w > max_side || h > max_side || w < 0 || h < 0) return false;
  const uint64_t pixel_bytes = uint64_t(w) * uint64_t(h) * 4;
  const uint64_t block_bytes = pixel_bytes + 40 + spare_bytes;
  if (block_bytes > max_block_bytes) return false;

  bitmap = static_cast<uint8_t*>(std::calloc(size_t(block_bytes), 1));
  if (!bitmap) return false;
  WriteBitmapInfoHeader(Bitmap32Header(w, h), bitmap);
  return MakeMask(1);
}

bool image_record::Reshape(int w, int h) {
  if (!bitmap || !mask || Width() != w || Height() != h) return Create(w, h);
  WriteBitmapInfoHeader(Bitmap32Header(w, h), bitmap);
  std::memset(mask, 1, size_t(w) * size_t(h));
  mask_size = int32_t(size_t(w) * size_t(h));
  has_mask = 1;
  return true;
}

bool image_record::MakeMask(uint8_t value) {
  if (!bitmap) return false;
  const size_t count = size_t(Width()) * size_t(Height());
  // malloc(0) may give null; one spare byte keeps "no mask" and "empty mask" apart.
  uint8_t* fresh = static_cast<uint8_t*>(std::malloc(count + 1));
  if (!fresh) {
    Release();
    return false;
  }
  std::memset(fresh, value, count);
  std::free(mask);
  mask = fresh;
  mask_size = int32_t(count);
  has_mask = 1;
  return true;
}

int image_record::Width() const { return bitmap ? GetLe32Signed(bitmap + 4) : 0; }

int image_record::Height() const { return bitmap ? GetLe32Signed(bitmap + 8) : 0; }

uint8_t* image_record::Pixels() { return bitmap ? bitmap + GetLe32(bitmap) : nullptr; }

const uint8_t* image_record::Pixels() const { return bitmap ? bitmap + GetLe32(bitmap) : nullptr; }
