#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "bytes/bitmap_header.h"
#include "bytes/le_bytes.h"
#include "bytes/pixel_rows.h"
#include "codecs/imaging_codecs.h"

// Reads what users' BMP files hold, as a platform imaging component does: every
// header from the 12-byte core header to the 124-byte fifth version (OS/2 headers
// of 16 to 64 bytes among them), colour counts, bit-field masks inside or after the
// header with alpha, channels of any width scaled to the full range, run-length
// rows with exact deltas. The image class keeps its own, narrower codec.
namespace imaging {
namespace {

constexpr uint32_t info_header_bytes = 40;
constexpr uint32_t largest_header_bytes = 124;

constexpr uint32_t compression_os2_rle24 = 4;
constexpr uint32_t compression_alpha_bitfields = 6;

constexpr uint32_t opaque = 0xFF000000u;

// Blue, green, red, alpha in memory order.
uint32_t Bgra(uint8_t blue, uint8_t green, uint8_t red, uint8_t alpha) {
  return uint32_t(blue) | uint32_t(green) << 8 | uint32_t(red) << 16 | uint32_t(alpha) << 24;
}

void Store(uint8_t* out, uint32_t bgra) { PutLe32(out, bgra); }

// One channel of a bit-field pixel as 8 bits: fewer bits are repeated down to fill
// the byte (all ones give 255), more are cut to their top 8.
class channel {
 public:
  explicit channel(uint32_t mask) : mask(mask) {
    if (mask == 0) return;
    shift = std::countr_zero(mask);
    bits = std::bit_width(mask >> shift);
  }
  bool Present() const { return mask != 0; }
  uint8_t operator()(uint32_t pixel) const {
    if (mask == 0) return 0;
    const uint32_t v = (pixel & mask) >> shift;
    if (bits >= 8) return uint8_t(v >> (bits - 8));
    uint32_t out = 0;
    for (int at = 8 - bits;; at -= bits) {
      if (at <= 0) return uint8_t(out | v >> -at);
      out |= v << at;
    }
  }

 private:
  uint32_t mask;
  int shift = 0;
  int bits = 0;
};

struct bmp_layout {
  uint32_t header_size = 0;
  uint16_t bits = 0;
  uint32_t compression = compression_none;
  bool top_down = false;
  uint32_t masks[4] = {};  // red, green, blue, alpha
  // Without masks a 32-bit file's fourth bytes are alpha, unless all are 0.
  bool guess_alpha = false;
  uint32_t palette[256] = {};
  size_t data_offset = 0;
  uint64_t row_bytes = 0;
};

class bmp_decoder : public byte_decoder {
 public:
  using byte_decoder::byte_decoder;

  bool Open() {
    const uint8_t* d = bytes.data;
    if (bytes.size < file_header_bytes + 4) return Fail("BMP: the file is truncated");
    const uint32_t size = GetLe32(d + file_header_bytes);
    layout.header_size = size;
    if (size < core_header_bytes || size > largest_header_bytes)
      return Fail("BMP: unknown header size " + std::to_string(size));
    if (bytes.size < file_header_bytes + size) return Fail("BMP: the file is truncated");
    // Fields a short header leaves out read as 0.
    uint8_t info[largest_header_bytes] = {};
    std::memcpy(info, d + file_header_bytes, size);
    int64_t w, h;
    uint32_t colours = 0;
    if (size == core_header_bytes) {
      w = GetLe16(info + 4);
      h = GetLe16(info + 6);
      layout.bits = GetLe16(info + 10);
    } else {
      w = GetLe32Signed(info + 4);
      h = GetLe32Signed(info + 8);
      layout.bits = GetLe16(info + 14);
      layout.compression = GetLe32(info + 16);
      colours = GetLe32(info + 32);
    }
    layout.top_down = h < 0;
    if (!CheckCoding()) return false;
    if (!SetSize(w, std::llabs(h))) return false;

    size_t at = file_header_bytes + size;
    if (!ReadMasks(info, at)) return false;
    if (layout.bits <= 8 && !ReadPalette(colours, at)) return false;
    const uint32_t offset = GetLe32(d + 10);
    layout.data_offset = offset != 0 ? offset : at;
    if (layout.data_offset > bytes.size) return Fail("BMP: the file is truncated");
    layout.row_bytes = PaddedRowBytes(uint64_t(width), layout.bits);
    if (layout.compression != compression_rle8 && layout.compression != compression_rle4) {
      // The last row's padding may be left out.
      const uint64_t needed = layout.row_bytes * uint64_t(height - 1) +
                              (uint64_t{layout.bits} * uint64_t(width) + 7) / 8;
      if (needed > bytes.size - layout.data_offset) return Fail("BMP: the file is truncated");
    }
    return true;
  }

  bool CopyPixels(uint8_t* dest, size_t stride, size_t buffer_size) override {
    if (!CheckDestination(dest, stride, buffer_size)) return false;
    try {
      switch (layout.compression) {
        case compression_rle8:
        case compression_rle4:
          return RunLengthRows(dest, stride);
        default:
          break;
      }
      switch (layout.bits) {
        case 16:
          SixteenBitRows(dest, stride);
          break;
        case 24:
          TwentyFourBitRows(dest, stride);
          break;
        case 32:
          ThirtyTwoBitRows(dest, stride);
          break;
        default:
          IndexRows(dest, stride);
          break;
      }
    } catch (const std::bad_alloc&) {
      return Fail("BMP: out of memory");
    }
    return true;
  }

 private:
  bool Fail(std::string text) {
    error = std::move(text);
    return false;
  }

  // OS/2 headers of 16 to 64 bytes other than the Windows sizes give compression 3
  // and 4 other meanings (Huffman and 24-bit run-length) that no reader here knows.
  bool IsOs2() const {
    const uint32_t s = layout.header_size;
    return s == 64 || (s > core_header_bytes && s < info_header_bytes);
  }

  bool CheckCoding() {
    const uint16_t bits = layout.bits;
    const uint32_t c = layout.compression;
    const bool known_bits = bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16 ||
                            bits == 24 || bits == 32;
    if (!known_bits) return Fail("BMP: bit count " + std::to_string(bits) + " is not supported");
    if (IsOs2() && (c == compression_bitfields || c == compression_os2_rle24))
      return Fail("BMP: OS/2 compression " + std::to_string(c) + " is not supported");
    const bool fits = c == compression_none || (c == compression_rle8 && bits == 8) ||
                      (c == compression_rle4 && bits == 4) ||
                      ((c == compression_bitfields || c == compression_alpha_bitfields) &&
                       (bits == 16 || bits == 32));
    if (!fits)
      return Fail("BMP: compression " + std::to_string(c) + " is not supported at " +
                  std::to_string(bits) + " bits");
    // Rows stored top row first cannot be run-length encoded.
    if (layout.top_down && (c == compression_rle8 || c == compression_rle4))
      return Fail("BMP: a top-down image cannot be run-length encoded");
    return true;
  }

  // Masks lie inside headers of 52 bytes or more; after a shorter header they follow it.
  bool ReadMasks(const uint8_t* info, size_t& at) {
    if (layout.bits == 16 && layout.compression == compression_none) {
      const uint32_t five_five_five[4] = {0x7C00, 0x03E0, 0x001F, 0};
      std::copy(five_five_five, five_five_five + 4, layout.masks);
      return true;
    }
    if (layout.bits == 32 && layout.compression == compression_none) {
      const uint32_t bgrx[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFF000000};
      std::copy(bgrx, bgrx + 4, layout.masks);
      layout.guess_alpha = true;
      return true;
    }
    if (layout.compression != compression_bitfields &&
        layout.compression != compression_alpha_bitfields)
      return true;
    const int count = layout.compression == compression_alpha_bitfields ? 4 : 3;
    const uint32_t size = layout.header_size;
    if (size >= 52) {
      for (int i = 0; i < 3; ++i) layout.masks[i] = GetLe32(info + 40 + 4 * i);
      if (size >= 56) layout.masks[3] = GetLe32(info + 52);
      return true;
    }
    if (bytes.size - at < size_t(count) * 4) return Fail("BMP: the file is truncated");
    for (int i = 0; i < count; ++i) layout.masks[i] = GetLe32(bytes.data + at + 4 * i);
    at += size_t(count) * 4;
    return true;
  }

  // Entries past the file's own count, or past the pixel data's start, stay black.
  bool ReadPalette(uint32_t colours, size_t& at) {
    const uint32_t entry = layout.header_size == core_header_bytes ? 3 : 4;
    const uint32_t most = 1u << layout.bits;
    uint64_t n = colours == 0 || colours > most ? most : colours;
    const uint32_t offset = GetLe32(bytes.data + 10);
    if (offset != 0 && offset >= at) n = std::min<uint64_t>(n, (offset - at) / entry);
    if (n * entry > bytes.size - at) return Fail("BMP: the file is truncated");
    std::fill(layout.palette, layout.palette + 256, opaque);
    for (uint64_t i = 0; i < n; ++i) {
      const uint8_t* e = bytes.data + at + i * entry;
      layout.palette[i] = Bgra(e[0], e[1], e[2], 255);
    }
    at += size_t(n * entry);
    return true;
  }

  // The file's row for output row y (top row first).
  const uint8_t* FileRow(int y) const {
    const int64_t r = layout.top_down ? y : height - 1 - y;
    return bytes.data + layout.data_offset + uint64_t(r) * layout.row_bytes;
  }

  void IndexRows(uint8_t* dest, size_t stride) const {
    const int bits = layout.bits;
    const unsigned per_byte = 8 / unsigned(bits);
    const unsigned low = (1u << bits) - 1;
    for (int y = 0; y < height; ++y) {
      const uint8_t* in = FileRow(y);
      uint8_t* out = dest + size_t(y) * stride;
      if (bits == 8) {
        for (int x = 0; x < width; ++x) Store(out + 4 * size_t(x), layout.palette[in[x]]);
        continue;
      }
      for (int x = 0; x < width; ++x) {
        const unsigned slot = unsigned(x) % per_byte;
        const unsigned index = (in[unsigned(x) / per_byte] >> (8 - bits * int(slot + 1))) & low;
        Store(out + 4 * size_t(x), layout.palette[index]);
      }
    }
  }

  void TwentyFourBitRows(uint8_t* dest, size_t stride) const {
    for (int y = 0; y < height; ++y) BgrToBgra(FileRow(y), dest + size_t(y) * stride, size_t(width));
  }

  void SixteenBitRows(uint8_t* dest, size_t stride) const {
    const channel red(layout.masks[0] & 0xFFFF), green(layout.masks[1] & 0xFFFF);
    const channel blue(layout.masks[2] & 0xFFFF), alpha(layout.masks[3] & 0xFFFF);
    std::vector<uint32_t> colour(65536);
    for (uint32_t v = 0; v < 65536; ++v)
      colour[v] = Bgra(blue(v), green(v), red(v), alpha.Present() ? alpha(v) : 255);
    for (int y = 0; y < height; ++y) {
      const uint8_t* in = FileRow(y);
      uint8_t* out = dest + size_t(y) * stride;
      for (int x = 0; x < width; ++x) Store(out + 4 * size_t(x), colour[GetLe16(in + 2 * size_t(x))]);
    }
  }

  void ThirtyTwoBitRows(uint8_t* dest, size_t stride) const {
    const uint32_t* m = layout.masks;
    const bool bgra = m[0] == 0xFF0000 && m[1] == 0xFF00 && m[2] == 0xFF;
    const channel red(m[0]), green(m[1]), blue(m[2]), alpha(m[3]);
    uint32_t any_alpha = 0;
    for (int y = 0; y < height; ++y) {
      const uint8_t* in = FileRow(y);
      uint8_t* out = dest + size_t(y) * stride;
      if (bgra && (m[3] == 0xFF000000u || m[3] == 0)) {
        std::memcpy(out, in, size_t(width) * 4);
        if (m[3] == 0) {
          for (int x = 0; x < width; ++x) out[4 * size_t(x) + 3] = 255;
        } else if (layout.guess_alpha) {
          for (int x = 0; x < width; ++x) any_alpha |= out[4 * size_t(x) + 3];
        }
        continue;
      }
      for (int x = 0; x < width; ++x) {
        const uint32_t v = GetLe32(in + 4 * size_t(x));
        Store(out + 4 * size_t(x), Bgra(blue(v), green(v), red(v), alpha.Present() ? alpha(v) : 255));
      }
    }
    // Writers that leave the fourth byte at 0 mean an opaque image.
    if (layout.guess_alpha && any_alpha == 0)
      for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) dest[size_t(y) * stride + 4 * size_t(x) + 3] = 255;
  }

  // Pixels that runs, literals and deltas do not reach keep colour 0. Data that ends
  // without an end code before the last row has begun is a truncated file.
  bool RunLengthRows(uint8_t* dest, size_t stride) {
    const bool four = layout.compression == compression_rle4;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) Store(dest + size_t(y) * stride + 4 * size_t(x), layout.palette[0]);
    const uint8_t* p = bytes.data + layout.data_offset;
    const uint8_t* const end = bytes.data + bytes.size;
    int64_t x = 0, y = 0;  // y counts from the bottom row
    const auto put = [&](unsigned index) {
      if (x < width) Store(dest + size_t(height - 1 - y) * stride + 4 * size_t(x), layout.palette[index]);
      ++x;
    };
    while (y < height) {
      if (end - p < 2) return y == height - 1 || Fail("BMP: the file is truncated");
      const unsigned count = p[0], value = p[1];
      p += 2;
      if (count > 0) {
        const auto stored = unsigned(std::clamp<int64_t>(width - x, 0, count));
        for (unsigned i = 0; i < stored; ++i) put(four ? (i & 1 ? value & 15 : value >> 4) : value);
        x += count - stored;
        continue;
      }
      if (value == 0) {
        x = 0;
        ++y;
      } else if (value == 1) {
        return true;
      } else if (value == 2) {
        if (end - p < 2) return Fail("BMP: the file is truncated");
        x += p[0];
        y += p[1];
        p += 2;
      } else {
        const size_t data = four ? (value + 1) / 2 : value;
        const size_t padded = data + (data & 1);
        if (size_t(end - p) < data) return Fail("BMP: the file is truncated");
        for (unsigned i = 0; i < value; ++i) put(four ? (i & 1 ? p[i / 2] & 15 : p[i / 2] >> 4) : p[i]);
        p += std::min(padded, size_t(end - p));
      }
    }
    return true;
  }

  bmp_layout layout;
};

}  // namespace

std::unique_ptr<frame_decoder> OpenBmp(byte_view bytes, std::string& error) {
  return OpenWith<bmp_decoder>(bytes, error);
}

bool EncodeBmp(const bgr_image& image, std::vector<uint8_t>& out, std::string& error) {
  constexpr size_t header_bytes = 54;
  const size_t row_bytes = (static_cast<size_t>(image.width) * 3 + 3) & ~size_t{3};
  const size_t pixel_bytes = row_bytes * static_cast<size_t>(image.height);
  try {
    out.assign(header_bytes + pixel_bytes, 0);
  } catch (const std::bad_alloc&) {
    error = "BMP: out of memory";
    return false;
  }
  uint8_t* h = out.data();
  h[0] = 'B';
  h[1] = 'M';
  PutLe32(h + 2, static_cast<uint32_t>(out.size()));
  PutLe32(h + 10, header_bytes);
  // A positive height: bottom row first.
  WriteBitmapInfoHeader(UncompressedHeader(image.width, image.height, 24, static_cast<uint32_t>(pixel_bytes)),
                        h + file_header_bytes);
  for (int y = 0; y < image.height; ++y)
    std::memcpy(h + header_bytes + static_cast<size_t>(image.height - 1 - y) * row_bytes,
                image.pixels + static_cast<size_t>(y) * image.stride,
                static_cast<size_t>(image.width) * 3);
  return true;
}

}  // namespace imaging
