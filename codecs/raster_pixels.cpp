#include <algorithm>
#include <cstring>

#include "codecs/bitmap_pixels.h"
#include "bytes/le_bytes.h"
#include "codecs/raster.h"

rgb_quad* CRaster::GetPalette() const {
  if (!dib || head.biClrUsed == 0) return nullptr;
  return reinterpret_cast<rgb_quad*>(dib + bitmap_info_header::bytes);
}

rgb_quad CRaster::GetPaletteColor(uint32_t index) const {
  const rgb_quad* palette = GetPalette();
  if (!palette || index >= head.biClrUsed) return rgb_quad{};
  return palette[index];
}

void CRaster::SetPaletteColor(uint32_t index, uint8_t red, uint8_t green, uint8_t blue,
                              uint8_t alpha_value) {
  rgb_quad* palette = GetPalette();
  if (!palette || index >= head.biClrUsed) return;
  palette[index] = rgb_quad{blue, green, red, alpha_value};
  info.last_colour_valid = false;
}

void CRaster::SetPalette(const rgb_quad* entries, uint32_t count) {
  rgb_quad* palette = GetPalette();
  if (!palette || !entries) return;
  std::memcpy(palette, entries, std::min(count, head.biClrUsed) * sizeof(rgb_quad));
  info.last_colour_valid = false;
}

void CRaster::SetGrayPalette() {
  rgb_quad* palette = GetPalette();
  const uint32_t n = head.biClrUsed;
  if (!palette || n < 2) return;
  const uint32_t step = 255 / (n - 1);
  for (uint32_t i = 0; i < n; ++i) {
    const auto level = uint8_t(step * i);
    palette[i] = rgb_quad{level, level, level, 0};
  }
  info.last_colour_valid = false;
}

uint8_t CRaster::NearestPaletteIndex(rgb_quad colour) {
  const rgb_quad* palette = GetPalette();
  if (!palette) return 0;
  if (info.last_colour_valid && info.last_colour == colour) return info.last_colour_index;
  uint32_t n = head.biClrUsed;
  if (head.biClrImportant != 0) n = std::min(n, head.biClrImportant);
  int64_t best = 200000;
  uint32_t nearest = 0;
  for (uint32_t i = 0; i < n; ++i) {
    const int64_t dr = int64_t(palette[i].red) - colour.red;
    const int64_t dg = int64_t(palette[i].green) - colour.green;
    const int64_t db = int64_t(palette[i].blue) - colour.blue;
    const int64_t distance = dr * dr + dg * dg + db * db;
    if (distance == 0) {
      nearest = i;
      break;
    }
    if (distance < best) {
      best = distance;
      nearest = i;
    }
  }
  info.last_colour = colour;
  info.last_colour_index = uint8_t(nearest);
  info.last_colour_valid = true;
  return uint8_t(nearest);
}

int CRaster::CompareLuminance(rgb_quad a, rgb_quad b) {
  const int la = (a.red * 306 + a.green * 601 + a.blue * 117) >> 10;
  const int lb = (b.red * 306 + b.green * 601 + b.blue * 117) >> 10;
  return la - lb;
}

uint8_t CRaster::GetPixelIndex(int64_t x, int64_t y) const {
  if (!dib || head.biClrUsed == 0) return 0;
  if (IsInside(x, y)) return PixelIndexUnchecked(x, y);
  if (info.background_index >= 0) return uint8_t(info.background_index);
  return info.first_row[0];
}

uint8_t CRaster::PixelIndexUnchecked(int64_t x, int64_t y) const {
  const uint8_t* row = info.first_row + y * info.row_bytes;
  switch (head.biBitCount) {
    case 8:
      return row[x];
    case 4:
      return x & 1 ? row[x >> 1] & 0x0F : row[x >> 1] >> 4;
    case 1:
      return (row[x >> 3] >> (7 - (x & 7))) & 1;
    default:
      return 0;
  }
}

void CRaster::SetPixelIndex(int64_t x, int64_t y, uint8_t index) {
  if (!dib || head.biClrUsed == 0 || !IsInside(x, y)) return;
  SetPixelIndexUnchecked(x, y, index);
}

void CRaster::SetPixelIndexUnchecked(int64_t x, int64_t y, uint8_t index) {
  uint8_t* row = info.first_row + y * info.row_bytes;
  switch (head.biBitCount) {
    case 8:
      row[x] = index;
      break;
    case 4: {
      uint8_t& b = row[x >> 1];
      b = x & 1 ? uint8_t((b & 0xF0) | (index & 0x0F)) : uint8_t((b & 0x0F) | (index & 0x0F) << 4);
      break;
    }
    case 1: {
      const auto bit = uint8_t(0x80 >> (x & 7));
      uint8_t& b = row[x >> 3];
      b = index & 1 ? uint8_t(b | bit) : uint8_t(b & ~bit);
      break;
    }
    default:
      break;
  }
}

void CRaster::SetPixelColor(int64_t x, int64_t y, rgb_quad colour, bool with_alpha) {
  if (!dib || !IsInside(x, y)) return;
  if (head.biClrUsed != 0) {
    SetPixelIndexUnchecked(x, y, NearestPaletteIndex(colour));
  } else {
    uint8_t* p = info.first_row + y * info.row_bytes + x * 3;
    p[0] = colour.blue;
    p[1] = colour.green;
    p[2] = colour.red;
  }
  if (with_alpha) AlphaSet(x, y, colour.reserved);
}

void CRaster::SetPixelColor(int64_t x, int64_t y, COLORREF colour) {
  SetPixelColor(x, y, ColorRefToRgbQuad(colour), false);
}

rgb_quad CRaster::PixelColorUnchecked(int64_t x, int64_t y, bool with_alpha) const {
  rgb_quad colour;
  if (head.biClrUsed != 0) {
    colour = GetPaletteColor(PixelIndexUnchecked(x, y));
  } else {
    const uint8_t* p = info.first_row + y * info.row_bytes + x * 3;
    colour = rgb_quad{p[0], p[1], p[2], 0};
  }
  if (with_alpha && alpha) colour.reserved = AlphaGetUnchecked(x, y);
  return colour;
}

rgb_quad CRaster::ColorRefToRgbQuad(COLORREF colour) {
  return rgb_quad{uint8_t(colour >> 16), uint8_t(colour >> 8), uint8_t(colour), 0};
}

void CRaster::BitfieldsToRgb(const uint8_t* source, uint32_t red_mask, uint32_t green_mask,
                             uint32_t blue_mask, uint32_t depth) {
  if (!dib || !source || head.biBitCount != 24 || (depth != 16 && depth != 32)) return;
  const int64_t width = head.biWidth;
  // A 16-bit channel is shifted into its byte; a 32-bit one is the byte its mask lies in.
  const uint32_t masks[4] = {red_mask, green_mask, blue_mask, 0};
  const bit_field_channels channels(masks, int(depth), depth == 16 ? channel_rule::shift : channel_rule::whole_byte);
  const int64_t source_row = depth == 16 ? (width + 1) / 2 * 4 : width * 4;
  // Backwards, last row and last pixel first: a 16-bit pixel never lies after the
  // 24-bit pixel made from it, so the source may be this image's own rows.
  for (int64_t y = head.biHeight - 1; y >= 0; --y) {
    const uint8_t* s = source + y * source_row;
    uint8_t* d = info.first_row + y * info.row_bytes;
    for (int64_t x = width - 1; x >= 0; --x) {
      const uint32_t pixel = depth == 16 ? GetLe16(s + 2 * x) : GetLe32(s + 4 * x);
      const uint8_t blue = channels.blue(pixel);
      const uint8_t green = channels.green(pixel);
      const uint8_t red = channels.red(pixel);
      d[3 * x] = blue;
      d[3 * x + 1] = green;
      d[3 * x + 2] = red;
    }
  }
}
