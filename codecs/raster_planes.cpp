#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "codecs/raster.h"

bool CRaster::AlphaCreate() {
  if (!dib) return false;
  if (alpha) return true;
  alpha = static_cast<uint8_t*>(std::malloc(PixelCount()));
  if (alpha) std::memset(alpha, 255, PixelCount());
  return alpha != nullptr;
}

void CRaster::AlphaDelete() {
  if (info.owner) return;
  std::free(alpha);
  alpha = nullptr;
}

uint8_t CRaster::AlphaGet(int64_t x, int64_t y) const {
  if (!alpha || !IsInside(x, y)) return 0;
  return AlphaGetUnchecked(x, y);
}

uint8_t CRaster::AlphaGetUnchecked(int64_t x, int64_t y) const {
  return alpha[y * head.biWidth + x];
}

void CRaster::AlphaSet(int64_t x, int64_t y, uint8_t value) {
  if (alpha && IsInside(x, y)) alpha[y * head.biWidth + x] = value;
}

uint8_t* CRaster::AlphaPointer(int64_t x, int64_t y) const {
  if (!alpha || !IsInside(x, y)) return nullptr;
  return alpha + y * head.biWidth + x;
}

void CRaster::AlphaInvert() {
  if (!alpha) return;
  for (uint8_t *p = alpha, *end = alpha + PixelCount(); p != end; ++p) *p = uint8_t(255 - *p);
}

bool CRaster::AlphaFlip() {
  if (!alpha) return false;
  const int64_t width = head.biWidth;
  for (int64_t y = 0, y2 = head.biHeight - 1; y < y2; ++y, --y2)
    std::swap_ranges(alpha + y * width, alpha + (y + 1) * width, alpha + y2 * width);
  return true;
}

bool CRaster::AlphaMirror() {
  if (!alpha) return false;
  const int64_t width = head.biWidth;
  for (int64_t y = 0; y < head.biHeight; ++y) std::reverse(alpha + y * width, alpha + (y + 1) * width);
  return true;
}

bool CRaster::Flip(bool with_alpha) {
  if (!dib) return false;
  const uint32_t row = info.row_bytes;
  for (int64_t y = 0, y2 = head.biHeight - 1; y < y2; ++y, --y2)
    std::swap_ranges(GetBits(y), GetBits(y) + row, GetBits(y2));
  if (with_alpha) AlphaFlip();
  return true;
}

bool CRaster::Mirror(bool with_alpha) {
  // A view cannot replace the buffers it shows.
  if (!dib || info.owner) return false;
  CRaster mirrored(*this, false, true);
  if (!mirrored.IsValid()) return false;
  const int64_t width = head.biWidth;
  for (int64_t y = 0; y < head.biHeight; ++y) {
    const uint8_t* src = GetBits(y);
    uint8_t* dst = mirrored.GetBits(y);
    switch (head.biBitCount) {
      case 8:
        std::reverse_copy(src, src + width, dst);
        break;
      case 24:
        for (int64_t x = 0; x < width; ++x) std::memcpy(dst + 3 * x, src + 3 * (width - 1 - x), 3);
        break;
      default:
        for (int64_t x = 0; x < width; ++x)
          mirrored.SetPixelIndexUnchecked(x, y, PixelIndexUnchecked(width - 1 - x, y));
        break;
    }
  }
  if (with_alpha) mirrored.AlphaMirror();
  return TakeOver(mirrored);
}
