#include "sources/pasted_bitmap.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "bytes/bitmap_header.h"
#include "codecs/bitmap_pixels.h"
#include "bytes/le_bytes.h"
#include "bytes/pixel_rows.h"

namespace {

constexpr uint64_t max_bitmap_bytes = 100000000;

struct bitmap_layout {
  int width = 0;
  int height = 0;
  bool bottom_up = true;
  int bits = 0;
  uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};  // red, green, blue
  const uint8_t* palette = nullptr;
  uint32_t palette_count = 0;
  const uint8_t* rows = nullptr;
  uint64_t stride = 0;
};

// Reads and checks the header against the block. Not handled: anything the table of
// accepted depths and compressions leaves out, and anything the block does not hold.
paste_result ReadLayout(const uint8_t* block, size_t size, bitmap_layout& out) {
  if (size < 40) return paste_not_handled;
  const uint32_t header_size = GetLe32(block);
  if (header_size < 40 || header_size > size) return paste_not_handled;
  const int32_t width = GetLe32Signed(block + 4);
  const int32_t height = GetLe32Signed(block + 8);
  const int bits = GetLe16(block + 14);
  const uint32_t compression = GetLe32(block + 16);
  const uint32_t colours_used = GetLe32(block + 32);
  if (width < 1 || height == 0 || height == INT_MIN) return paste_not_handled;
  if (compression == compression_jpeg || compression == compression_png) return paste_not_handled;

  switch (bits) {
    case 1:
    case 24:
    case 32:
      break;
    case 4:
    case 8:
      if (compression != compression_none) return paste_not_handled;
      break;
    case 16:
      if (compression != compression_none && compression != compression_bitfields) return paste_not_handled;
      break;
    default:
      return paste_not_handled;
  }

  out.width = width;
  out.height = height < 0 ? -height : height;
  out.bottom_up = height > 0;
  out.bits = bits;
  if (!FitsBitmapImage32(uint64_t(out.width), uint64_t(out.height))) return paste_out_of_memory;

  uint64_t offset = header_size;
  if (compression == compression_bitfields) {
    // A header of the later kinds holds the masks itself; the first kind is followed by them.
    const uint8_t* masks = block + 40;
    if (header_size < 52) {
      if (offset + 12 > size) return paste_not_handled;
      masks = block + header_size;
      offset += 12;
    }
    if (bits == 16)
      for (int i = 0; i < 3; ++i) out.masks[i] = GetLe32(masks + 4 * i);
  }
  if (bits <= 8) {
    const uint32_t most = 1u << bits;
    uint32_t count = bits == 1 || colours_used == 0 ? most : colours_used;
    if (count > most) count = most;
    if (offset + uint64_t(count) * 4 > size) return paste_not_handled;
    out.palette = block + offset;
    out.palette_count = count;
    offset += uint64_t(count) * 4;
  }
  out.stride = PaddedRowBytes(uint64_t(out.width), uint64_t(bits));
  if (offset + out.stride * uint64_t(out.height) > size) return paste_not_handled;
  out.rows = block + offset;
  return paste_done;
}

void ConvertRow(const bitmap_layout& layout, const colour_table& table, const bit_field_channels& channels,
                const uint8_t* in, uint8_t* out) {
  const auto w = size_t(layout.width);
  switch (layout.bits) {
    case 1:
    case 4:
    case 8:
      IndexRowToBgra(in, layout.bits, table, out, w);
      break;
    case 16:
      BitFieldRowToBgra(in, 16, channels, out, w);
      break;
    case 24:
      BgrToBgra(in, out, w);
      break;
    default:
      std::memcpy(out, in, w * 4);
      break;
  }
}

}  // namespace

bool FitsBitmapImage32(uint64_t width, uint64_t height) {
  // Either side alone beyond the cap also keeps the product from overflowing.
  if (width > max_bitmap_bytes || height > max_bitmap_bytes) return false;
  return width * height * 4 + 54 <= max_bitmap_bytes;
}

bool PngTooLargeToPaste(const uint8_t* bytes, size_t size) {
  static constexpr uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  // The signature, then the first chunk, which must be the header: length, type,
  // then width and height big-endian.
  if (size < 24 || std::memcmp(bytes, signature, 8) != 0 || std::memcmp(bytes + 12, "IHDR", 4) != 0)
    return false;
  const auto big_endian = [](const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
  };
  return !FitsBitmapImage32(big_endian(bytes + 16), big_endian(bytes + 20));
}

uint8_t* MakeBitmapImage32(int width, int height, const uint8_t* pixels) {
  if (width < 1 || height < 1 || !FitsBitmapImage32(uint64_t(width), uint64_t(height)))
    return nullptr;
  const uint64_t pixel_bytes = uint64_t(width) * uint64_t(height) * 4;
  auto* block = static_cast<uint8_t*>(std::calloc(size_t(pixel_bytes + 54), 1));
  if (!block) return nullptr;
  WriteBitmapInfoHeader(Bitmap32Header(width, height), block);
  if (pixels) std::memcpy(block + 40, pixels, size_t(pixel_bytes));
  return block;
}

paste_result NormalisePastedBitmap(const uint8_t* block, size_t size, image_record& record) {
  if (!block || size == 0) return paste_no_bitmap;
  bitmap_layout layout;
  if (const paste_result checked = ReadLayout(block, size, layout); checked != paste_done)
    return checked;

  image_record made;
  made.bitmap = MakeBitmapImage32(layout.width, layout.height, nullptr);
  if (!made.bitmap) return paste_out_of_memory;
  uint8_t* pixels = made.Pixels();
  const size_t out_stride = size_t(layout.width) * 4;
  // Colours past the palette's entries are black; channels narrower than a byte are
  // shifted into its top bits.
  const colour_table table(layout.palette, layout.palette_count, 4, 255);
  const uint32_t masks[4] = {layout.masks[0], layout.masks[1], layout.masks[2], 0};
  const bit_field_channels channels(masks, 16, channel_rule::shift);
  for (int i = 0; i < layout.height; ++i) {
    const int row = layout.bottom_up ? layout.height - 1 - i : i;
    ConvertRow(layout, table, channels, layout.rows + layout.stride * uint64_t(i), pixels + out_stride * size_t(row));
  }
  if (!made.MakeMask(1)) return paste_out_of_memory;
  record.Swap(made);
  return paste_done;
}

std::vector<uint8_t> BitmapBlockFromFile(const uint8_t* file, size_t size) {
  if (size < file_header_bytes + 40 || file[0] != 'B' || file[1] != 'M') return {};
  const uint8_t* info = file + file_header_bytes;
  const size_t available = size - file_header_bytes;
  const uint32_t header_size = GetLe32(info);
  if (header_size < 40 || header_size > available) return {};
  const uint32_t compression = GetLe32(info + 16);
  const int bits = GetLe16(info + 14);
  const uint32_t colours_used = GetLe32(info + 32);

  // Everything between the header and the rows as the block's layout expects it.
  uint64_t leading = header_size;
  if (compression == compression_bitfields && header_size < 52) leading += 12;
  if (bits >= 1 && bits <= 8) {
    const uint32_t most = 1u << bits;
    const uint32_t count = bits == 1 || colours_used == 0 || colours_used > most ? most : colours_used;
    leading += uint64_t(count) * 4;
  }
  const uint64_t pixel_offset = GetLe32(file + 10);
  if (leading > available || pixel_offset < file_header_bytes || pixel_offset > size) return {};
  std::vector<uint8_t> block(info, info + leading);
  block.insert(block.end(), file + pixel_offset, file + size);
  return block;
}
