#include "codecs/raster_bmp.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "codecs/bitmap_pixels.h"
#include "bytes/le_bytes.h"

namespace {

constexpr uint16_t bmp_type = 0x4D42;  // "BM"
constexpr uint32_t info_v2_header_bytes = 64;


// A truncated file is refused rather than shown with missing rows.
constexpr const char* cut_short = "corrupted BMP";

int32_t DpiFromPelsPerMetre(int32_t pels) { return int32_t(std::floor(pels * 254.0 / 10000.0 + 0.5)); }

uint32_t ClampToU32(__int128 v) {
  return v < 0 ? 0 : v > __int128(UINT32_MAX) ? UINT32_MAX : uint32_t(v);
}

bool ReadExactly(CByteStream* stream, void* buffer, uint64_t bytes) {
  return bytes == 0 || stream->Read(buffer, 1, size_t(bytes)) == bytes;
}

bool ReadMasks(CByteStream* stream, uint32_t masks[3]) {
  uint8_t raw[12];
  if (!ReadExactly(stream, raw, sizeof raw)) return false;
  for (int i = 0; i < 3; ++i) masks[i] = GetLe32(raw + 4 * i);
  return true;
}

using malloc_block = std::unique_ptr<uint8_t, decltype(&std::free)>;

}  // namespace

bool CRasterBMP::ReadInfoHeader(CByteStream* stream, bitmap_info_header& header) {
  uint8_t raw[bitmap_info_header::bytes];
  if (!ReadExactly(stream, raw, sizeof raw)) return false;
  header = ReadBitmapInfoHeader(raw);
  if (header.biSize == core_header_bytes) {
    bitmap_info_header core;
    core.biSize = core_header_bytes;
    core.biWidth = GetLe16(raw + 4);
    core.biHeight = GetLe16(raw + 6);
    core.biPlanes = GetLe16(raw + 8);
    core.biBitCount = GetLe16(raw + 10);
    header = core;
    stream->Seek(int64_t(core_header_bytes) - int64_t(sizeof raw), 1);
  } else if (header.biSize == info_v2_header_bytes) {
    stream->Seek(info_v2_header_bytes - bitmap_info_header::bytes, 1);
  } else if (header.biSize != bitmap_info_header::bytes) {
    if (header.biSize < bitmap_info_header::bytes) return false;
    const __int128 least_size =
        (__int128(header.biBitCount) * header.biWidth + 31) / 32 * header.biHeight * 4;
    if (header.biSizeImage < least_size || header.biPlanes != 1 || header.biClrUsed != 0)
      return false;
    // With bit fields the colour masks lie right after the first 40 bytes.
    if (header.biCompression == compression_none)
      stream->Seek(int64_t(header.biSize) - bitmap_info_header::bytes, 1);
  }
  if (header.biSizeImage == 0) {
    const __int128 row = ((__int128(header.biBitCount) * header.biWidth + 31) >> 3) & ~__int128(3);
    header.biSizeImage = ClampToU32(row * header.biHeight);
  }
  if (header.biClrUsed == 0 && header.biBitCount <= 8) header.biClrUsed = 1u << header.biBitCount;
  return true;
}

bool CRasterBMP::Decode(CByteStream* stream) {
  if (!stream) {
    SetErrorText("null file handler");
    return false;
  }
  const int64_t start = stream->Tell();
  const char* refusal = nullptr;
  uint8_t file_header[file_header_bytes];
  bitmap_info_header bih;
  if (!ReadExactly(stream, file_header, sizeof file_header)) {
    refusal = "Not a BMP";
  } else {
    uint32_t offset = GetLe32(file_header + 10);
    if (GetLe16(file_header) != bmp_type) {
      offset = 0;
      stream->Seek(start, 0);
    }
    if (!ReadInfoHeader(stream, bih)) {
      refusal = "Error reading BMP info";
    } else {
      refusal = DecodePixels(stream, bih, start, offset);
    }
  }
  if (!refusal) return true;
  // An empty refusal leaves the text that CRaster::Create stored.
  if (*refusal) SetErrorText(refusal);
  return false;
}

const char* CRasterBMP::DecodePixels(CByteStream* stream, const bitmap_info_header& bih,
                                     int64_t start, uint32_t offset) {
  switch (bih.biBitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    // No pixels would be read: a blank image would stand for a file that held none.
    default: return "bit count not supported";
  }
  const bool top_down = bih.biHeight < 0;
  const int64_t height = top_down ? -int64_t(bih.biHeight) : bih.biHeight;
  if (!Create(bih.biWidth, height, bih.biBitCount, raster_format_bmp)) return "";
  SetXDpi(DpiFromPelsPerMetre(bih.biXPelsPerMeter));
  SetYDpi(DpiFromPelsPerMetre(bih.biYPelsPerMeter));

  if (rgb_quad* palette = GetPalette()) {
    const uint32_t entry_bytes = bih.biSize == core_header_bytes ? 3 : 4;
    // Entries beyond the palette's own size are skipped, never stored.
    const uint32_t stored = std::min(bih.biClrUsed, GetColorCount());
    uint8_t raw[256 * 4];
    if (!ReadExactly(stream, raw, uint64_t(stored) * entry_bytes)) return cut_short;
    const colour_table table(raw, stored, entry_bytes, 0);
    for (uint32_t i = 0; i < GetColorCount(); ++i) {
      const uint32_t colour = table[uint8_t(i)];
      palette[i] = rgb_quad{uint8_t(colour), uint8_t(colour >> 8), uint8_t(colour >> 16), 0};
    }
    if (bih.biClrUsed > stored) stream->Seek(int64_t(bih.biClrUsed - stored) * entry_bytes, 1);
  }

  const auto move_to_data = [&] {
    if (offset != 0) stream->Seek(start + offset, 0);
  };
  const int64_t width = GetWidth();
  switch (bih.biBitCount) {
    case 1:
    case 4:
    case 8:
      move_to_data();
      switch (bih.biCompression) {
        case compression_none:
          if (!ReadExactly(stream, GetBits(0), head.biSizeImage)) return cut_short;
          break;
        case compression_rle8:
        case compression_rle4:
          ReadRunLength(stream, bih.biCompression == compression_rle4);
          break;
        default:
          return "compression type not supported";
      }
      break;
    case 16: {
      uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
      if (bih.biCompression == compression_bitfields && !ReadMasks(stream, masks)) return cut_short;
      move_to_data();
      if (!ReadExactly(stream, GetBits(0), uint64_t((width + 1) / 2) * 4 * height)) return cut_short;
      BitfieldsToRgb(GetBits(0), masks[0], masks[1], masks[2], 16);
      break;
    }
    case 24:
      if (bih.biCompression != compression_none) return "unknown compression";
      move_to_data();
      if (!ReadExactly(stream, GetBits(0), head.biSizeImage)) return cut_short;
      break;
    case 32: {
      uint32_t masks[3] = {0xFF0000, 0x00FF00, 0x0000FF};
      if (bih.biCompression == compression_bitfields) {
        if (!ReadMasks(stream, masks)) return cut_short;
      } else if (bih.biCompression != compression_none) {
        return "unknown compression";
      }
      move_to_data();
      const uint64_t pixels = uint64_t(width) * uint64_t(height);
      malloc_block buffer(static_cast<uint8_t*>(std::malloc(pixels * 4)), &std::free);
      if (!buffer) return "can't allocate memory";
      if (!ReadExactly(stream, buffer.get(), pixels * 4)) return cut_short;
      if (bih.biCompression == compression_none) {
        if (!AlphaCreate()) return "can't allocate memory";
        bool any_alpha = false;
        for (uint64_t i = 0; i < pixels; ++i) {
          alpha[i] = buffer.get()[4 * i + 3];
          any_alpha |= alpha[i] != 0;
        }
        // Writers that leave the fourth byte at 0 mean an opaque image.
        if (!any_alpha) AlphaInvert();
      }
      BitfieldsToRgb(buffer.get(), masks[0], masks[1], masks[2], 32);
      break;
    }
  }
  if (top_down) Flip(true);
  return nullptr;
}

void CRasterBMP::ReadRunLength(CByteStream* stream, bool four_bit) {
  // The runs end at the data's end, wherever that is: the rest of the stream is theirs.
  std::vector<uint8_t> data;
  uint8_t chunk[4096];
  for (size_t got; (got = stream->Read(chunk, 1, sizeof chunk)) > 0;) data.insert(data.end(), chunk, chunk + got);
  // A header may pair run-length data with fewer bits a pixel, whose rows hold fewer
  // pixels of the runs' own size.
  const int64_t row_pixels = int64_t{GetRowBytes()} * (four_bit ? 2 : 1);
  const index_rows rows{GetBits(0), ptrdiff_t(GetRowBytes()), std::min<int64_t>(GetWidth(), row_pixels),
                        GetHeight()};
  // A literal run that would reach past its row's end is read but not stored.
  DecodeRunLength(data.data(), data.size(), {four_bit, false, false}, rows);
}

bool CRasterBMP::Encode(CByteStream* stream) {
  if (CheckBeforeEncode(stream)) return false;
  uint8_t file_header[file_header_bytes] = {'B', 'M'};
  bool written;
  if (GetBpp() == 24 && AlphaIsValid()) {
    const int64_t width = GetWidth();
    bitmap_info_header bgra = head;
    bgra.biBitCount = 32;
    bgra.biSizeImage = uint32_t(width * GetHeight() * 4);
    PutLe32(file_header + 2, file_header_bytes + bitmap_info_header::bytes + bgra.biSizeImage);
    PutLe32(file_header + 10, file_header_bytes + bitmap_info_header::bytes);
    uint8_t raw_header[bitmap_info_header::bytes];
    WriteBitmapInfoHeader(bgra, raw_header);
    written = stream->Write(file_header, sizeof file_header, 1) == 1 &&
              stream->Write(raw_header, sizeof raw_header, 1) == 1;
    malloc_block line(static_cast<uint8_t*>(std::malloc(size_t(width) * 4)), &std::free);
    if (!line) {
      SetErrorText("can't allocate memory");
      return false;
    }
    for (int64_t y = 0; written && y < GetHeight(); ++y) {
      const uint8_t* src = GetBits(y);
      for (int64_t x = 0; x < width; ++x) {
        std::memcpy(line.get() + 4 * x, src + 3 * x, 3);
        line.get()[4 * x + 3] = AlphaGetUnchecked(x, y);
      }
      written = stream->Write(line.get(), size_t(width) * 4, 1) == 1;
    }
  } else {
    PutLe32(file_header + 2, GetDibSize() + file_header_bytes);
    PutLe32(file_header + 10, file_header_bytes + bitmap_info_header::bytes + GetPaletteSize());
    written = stream->Write(file_header, sizeof file_header, 1) == 1 &&
              stream->Write(GetDib(), GetDibSize(), 1) == 1;
  }
  if (!written) SetErrorText("cannot write BMP file");
  return written;
}
