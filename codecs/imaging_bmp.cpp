#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "bytes/bitmap_header.h"
#include "codecs/bitmap_pixels.h"
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

struct bmp_layout {
  uint32_t header_size = 0;
  uint16_t bits = 0;
  uint32_t compression = compression_none;
  bool top_down = false;
  uint32_t masks[4] = {};  // red, green, blue, alpha
  // Without masks a 32-bit file's fourth bytes are alpha, unless all are 0.
  bool guess_alpha = false;
  const uint8_t* palette = nullptr;
  uint32_t palette_count = 0;
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
    layout.palette = bytes.data + at;
    layout.palette_count = uint32_t(n);
    at += size_t(n * entry);
    return true;
  }

  colour_table Palette() const {
    return colour_table(layout.palette, layout.palette_count, layout.header_size == core_header_bytes ? 3 : 4, 255);
  }

  // The file's row for output row y (top row first).
  const uint8_t* FileRow(int y) const {
    const int64_t r = layout.top_down ? y : height - 1 - y;
    return bytes.data + layout.data_offset + uint64_t(r) * layout.row_bytes;
  }

  void IndexRows(uint8_t* dest, size_t stride) const {
    const colour_table table = Palette();
    for (int y = 0; y < height; ++y) IndexRowToBgra(FileRow(y), layout.bits, table, dest + size_t(y) * stride, size_t(width));
  }

  void TwentyFourBitRows(uint8_t* dest, size_t stride) const {
    for (int y = 0; y < height; ++y) BgrToBgra(FileRow(y), dest + size_t(y) * stride, size_t(width));
  }

  void SixteenBitRows(uint8_t* dest, size_t stride) const {
    const bit_field_channels channels(layout.masks, 16, channel_rule::repeat);
    std::vector<uint32_t> colour(65536);
    for (uint32_t v = 0; v < 65536; ++v) colour[v] = channels.Bgra(v);
    for (int y = 0; y < height; ++y) {
      const uint8_t* in = FileRow(y);
      uint8_t* out = dest + size_t(y) * stride;
      for (int x = 0; x < width; ++x) PutLe32(out + 4 * size_t(x), colour[GetLe16(in + 2 * size_t(x))]);
    }
  }

  void ThirtyTwoBitRows(uint8_t* dest, size_t stride) const {
    const uint32_t* m = layout.masks;
    const bool bgra = m[0] == 0xFF0000 && m[1] == 0xFF00 && m[2] == 0xFF;
    const bit_field_channels channels(m, 32, channel_rule::repeat);
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
      BitFieldRowToBgra(in, 32, channels, out, size_t(width));
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
    // The indices go to the start of each output row, which is then expanded in place.
    const size_t index_bytes = four ? (size_t(width) + 1) / 2 : size_t(width);
    for (int y = 0; y < height; ++y) std::memset(dest + size_t(y) * stride, 0, index_bytes);
    const index_rows rows{dest + size_t(height - 1) * stride, -ptrdiff_t(stride), width, height};
    const run_length_outcome outcome =
        DecodeRunLength(bytes.data + layout.data_offset, bytes.size - layout.data_offset, {four, true, true}, rows);
    const bool cut = outcome.end == run_length_end::code_cut ||
                     (outcome.end == run_length_end::data_ended && outcome.row != height - 1);
    if (cut) return Fail("BMP: the file is truncated");
    const colour_table table = Palette();
    for (int y = 0; y < height; ++y) {
      uint8_t* row = dest + size_t(y) * stride;
      IndexRowToBgra(row, four ? 4 : 8, table, row, size_t(width));
    }
    return true;
  }

  bmp_layout layout;
};

}  // namespace

std::unique_ptr<frame_decoder> OpenBmp(byte_view bytes, std::string& error) {
  return OpenWith<bmp_decoder>(bytes, error);
}

bool EncodeBmp(const pixel_rows& image, std::vector<uint8_t>& out, std::string& error) {
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
  for (int y = 0; y < image.height; ++y) {
    uint8_t* to = h + header_bytes + static_cast<size_t>(image.height - 1 - y) * row_bytes;
    const uint8_t* from = image.pixels + static_cast<size_t>(y) * image.stride;
    if (image.pixel_bytes == 4)
      BgraToBgr(from, to, static_cast<size_t>(image.width));
    else
      std::memcpy(to, from, static_cast<size_t>(image.width) * 3);
  }
  return true;
}

}  // namespace imaging
