#include "codecs/raster.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "codecs/mem_stream.h"

namespace {

int32_t PelsPerMetre(int32_t dpi) {
  double pels = std::floor(dpi * 10000.0 / 254.0 + 0.5);
  return pels > INT32_MAX ? INT32_MAX : int32_t(pels);
}

}  // namespace

CRaster::CRaster(uint32_t format) { ResetToDefaults(format); }

CRaster::CRaster(const char* path, uint32_t format) {
  ResetToDefaults(format);
  Load(path, format);
}

CRaster::CRaster(const uint8_t* buffer, size_t size, uint32_t format) {
  ResetToDefaults(format);
  // The stream is only read, so the caller's buffer stays untouched.
  CMemStream stream(const_cast<uint8_t*>(buffer), size);
  Decode(&stream, format);
  stream.Close();
}

CRaster::CRaster(const CRaster& source, bool copy_pixels, bool copy_alpha) {
  ResetToDefaults(raster_format_unknown);
  Copy(source, copy_pixels, copy_alpha);
}

CRaster::~CRaster() {
  if (!info.owner) ReleaseBuffers();
}

void CRaster::ResetToDefaults(uint32_t format) {
  dib = nullptr;
  alpha = nullptr;
  head = bitmap_info_header{};
  info = raster_info{};
  info.format = format;
  SetXDpi(96);
  SetYDpi(96);
}

void CRaster::ReleaseBuffers() {
  std::free(dib);
  std::free(alpha);
  dib = nullptr;
  alpha = nullptr;
}

void CRaster::DropBuffers() {
  if (info.owner) {
    dib = nullptr;
    alpha = nullptr;
    info.owner = nullptr;
    info.first_row = nullptr;
  } else {
    Destroy();
  }
}

uint8_t* CRaster::Create(int64_t width, int64_t height, uint32_t bits, uint32_t format) {
  if (!Destroy()) return nullptr;
  if (width <= 0 || height <= 0) {
    SetErrorText("CRaster::Create : width and height must be greater than zero");
    return nullptr;
  }
  bits = bits <= 1 ? 1 : bits <= 4 ? 4 : bits <= 8 ? 8 : 24;
  // Sizes in 64 bits: the row test first keeps the product below the 64-bit range.
  const int64_t row_bytes = width <= INT32_MAX ? (width * bits + 31) / 32 * 4 : INT64_MAX;
  if (height > INT32_MAX || row_bytes > int64_t(RASTER_MAX_MEMORY) ||
      row_bytes * height > int64_t(RASTER_MAX_MEMORY)) {
    SetErrorText("RASTER_MAX_MEMORY exceeded");
    return nullptr;
  }
  head.biClrUsed = bits == 24 ? 0 : 1u << bits;
  info.format = format;
  head.biSize = bitmap_info_header::bytes;
  head.biWidth = int32_t(width);
  head.biHeight = int32_t(height);
  head.biPlanes = 1;
  head.biBitCount = uint16_t(bits);
  head.biCompression = 0;
  info.row_bytes = uint32_t(row_bytes);
  head.biSizeImage = uint32_t(row_bytes * height);

  dib = static_cast<uint8_t*>(std::calloc(GetDibSize(), 1));
  if (!dib) {
    SetErrorText("CRaster::Create can't allocate memory");
    return nullptr;
  }
  info.last_colour_valid = false;
  WriteBitmapInfoHeader(head, dib);
  info.first_row = dib + bitmap_info_header::bytes + GetPaletteSize();
  return dib;
}

bool CRaster::Destroy() {
  if (info.owner) return false;
  ReleaseBuffers();
  // An empty image answers 0 to every size question; the resolution stays.
  head.biWidth = 0;
  head.biHeight = 0;
  head.biBitCount = 0;
  head.biSizeImage = 0;
  head.biClrUsed = 0;
  info.row_bytes = 0;
  info.first_row = nullptr;
  info.last_colour_valid = false;
  return true;
}

void CRaster::Copy(const CRaster& source, bool copy_pixels, bool copy_alpha) {
  if (&source == this) return;
  if (source.info.owner) {
    MakeShallowView(source);
    return;
  }
  DropBuffers();
  info = source.info;
  info.first_row = nullptr;
  head = source.head;
  if (!Create(source.head.biWidth, source.head.biHeight, source.head.biBitCount,
              source.info.format))
    return;
  if (copy_pixels && source.dib) {
    std::memcpy(dib, source.dib, GetDibSize());
  } else if (source.GetPalette()) {
    std::memcpy(GetPalette(), source.GetPalette(), std::min<uint32_t>(GetPaletteSize(), 1024));
  }
  if (copy_alpha && source.alpha && AlphaCreate())
    std::memcpy(alpha, source.alpha, PixelCount());
}

bool CRaster::TakeOver(CRaster& source) {
  if (&source == this) return true;
  if (!Destroy()) return false;
  head = source.head;
  info = source.info;
  dib = source.dib;
  alpha = source.alpha;
  source.dib = nullptr;
  source.alpha = nullptr;
  source.head = bitmap_info_header{};
  source.info = raster_info{};
  return true;
}

void CRaster::MakeShallowView(const CRaster& source) {
  if (&source == this) return;
  DropBuffers();
  head = source.head;
  info = source.info;
  dib = source.dib;
  alpha = source.alpha;
  info.owner = &source;
}

void CRaster::CopyInfoIfEmpty(const CRaster& source) {
  if (dib) return;
  const CRaster* owner = info.owner;
  info = source.info;
  info.owner = owner;
  info.first_row = nullptr;
  info.row_bytes = 0;
}

uint32_t CRaster::GetDibSize() const {
  return bitmap_info_header::bytes + GetPaletteSize() + head.biSizeImage;
}

uint8_t* CRaster::GetBits(int64_t row) const {
  if (!dib) return nullptr;
  if (row == 0) return info.first_row;
  if (row < 0 || row >= head.biHeight) return nullptr;
  return info.first_row + row * info.row_bytes;
}

void CRaster::SetErrorText(const char* text) {
  std::snprintf(info.last_error, sizeof info.last_error, "%s", text ? text : "");
}

bool CRaster::IsInside(int64_t x, int64_t y) const {
  return x >= 0 && x < head.biWidth && y >= 0 && y < head.biHeight;
}

void CRaster::SetXDpi(int32_t dpi) {
  if (dpi < 1) dpi = 96;
  info.x_dpi = dpi;
  head.biXPelsPerMeter = PelsPerMetre(dpi);
  if (dib) WriteBitmapInfoHeader(head, dib);
}

void CRaster::SetYDpi(int32_t dpi) {
  if (dpi < 1) dpi = 96;
  info.y_dpi = dpi;
  head.biYPelsPerMeter = PelsPerMetre(dpi);
  if (dib) WriteBitmapInfoHeader(head, dib);
}
