#include "codecs/raster_tga.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "bytes/le_bytes.h"
#include "codecs/byte_stream.h"
#include "codecs/row_iterator.h"

namespace {

constexpr int no_pending_packet = 255;

tga_header ParseHeader(const uint8_t* p) {
  tga_header h;
  h.id_length = p[0];
  h.colour_map_type = p[1];
  h.image_type = p[2];
  h.colour_map_first = GetLe16(p + 3);
  h.colour_map_length = GetLe16(p + 5);
  h.colour_map_entry_size = p[7];
  h.x_origin = GetLe16(p + 8);
  h.y_origin = GetLe16(p + 10);
  h.width = GetLe16(p + 12);
  h.height = GetLe16(p + 14);
  h.pixel_depth = p[16];
  h.descriptor = p[17];
  return h;
}

void FormatHeader(const tga_header& h, uint8_t* p) {
  p[0] = h.id_length;
  p[1] = h.colour_map_type;
  p[2] = h.image_type;
  PutLe16(p + 3, h.colour_map_first);
  PutLe16(p + 5, h.colour_map_length);
  p[7] = h.colour_map_entry_size;
  PutLe16(p + 8, h.x_origin);
  PutLe16(p + 10, h.y_origin);
  PutLe16(p + 12, h.width);
  PutLe16(p + 14, h.height);
  p[16] = h.pixel_depth;
  p[17] = h.descriptor;
}

// Bytes of one pixel in the file.
int FilePixelBytes(uint8_t depth) { return (depth + 7) / 8; }

// A 15- or 16-bit pixel to blue, green, red; bit 15 is not alpha here.
void Expand555(const uint8_t* in, uint8_t* out) {
  const unsigned v = GetLe16(in);
  out[0] = uint8_t((v & 0x1F) << 3);
  out[1] = uint8_t(((v >> 5) & 0x1F) << 3);
  out[2] = uint8_t(((v >> 10) & 0x1F) << 3);
}

// Grey images of 16 bits hold a grey byte and an alpha byte.
bool GreyWithAlpha(const tga_header& h) {
  return (h.image_type == 3 || h.image_type == 11) && h.pixel_depth == 16;
}

// A 2-byte pixel to blue, green, red, and its alpha when it carries one.
uint8_t ExpandTwoBytes(const tga_header& h, const uint8_t* in, uint8_t* out) {
  if (!GreyWithAlpha(h)) {
    Expand555(in, out);
    return 255;
  }
  out[0] = out[1] = out[2] = in[0];
  return in[1];
}

// Bytes of one colour-map entry; 0 for a size no writer uses.
uint32_t MapEntryBytes(uint8_t entry_bits) {
  switch (entry_bits) {
    case 15: case 16: return 2;
    case 24: return 3;
    case 32: return 4;
    default: return 0;
  }
}

void WriteAll(CByteStream* stream, const void* data, size_t bytes, const char* message) {
  if (stream->Write(data, 1, bytes) != bytes) throw message;
}

}  // namespace

void CRasterTGA::ReadRawRow(uint8_t* row, const tga_header& header, CByteStream* stream,
                            int32_t count, int32_t file_row, int32_t first_x) {
  if (header.pixel_depth == 8) {
    stream->Read(row, 1, size_t(count));
    return;
  }
  if (header.pixel_depth == 24) {
    stream->Read(row, 1, size_t(count) * 3);
    return;
  }
  // 15, 16 and 32 bits become blue, green, red; a short read leaves the rest of the row.
  const int in_bytes = FilePixelBytes(header.pixel_depth);
  uint8_t chunk[128 * 4];
  for (int32_t done = 0; done < count;) {
    const int32_t want = std::min<int32_t>(count - done, 128);
    const auto got = int32_t(stream->Read(chunk, size_t(in_bytes), size_t(want)));
    for (int32_t i = 0; i < got; ++i) {
      const uint8_t* in = chunk + i * in_bytes;
      uint8_t* out = row + size_t(done + i) * 3;
      if (in_bytes == 2) {
        const uint8_t a = ExpandTwoBytes(header, in, out);
        if (GreyWithAlpha(header)) AlphaSet(first_x + done + i, file_row, a);
      } else {
        std::memcpy(out, in, 3);
        AlphaSet(first_x + done + i, file_row, in[3]);
      }
    }
    if (got < want) return;
    done += got;
  }
}

int CRasterTGA::ReadRleRow(uint8_t* row, const tga_header& header, CByteStream* stream,
                           int32_t width, int32_t file_row, int pending) {
  const int step = int(GetBpp() / 8);
  const int in_bytes = FilePixelBytes(header.pixel_depth);
  for (int32_t x = 0; x < width;) {
    int packet = pending;
    pending = no_pending_packet;
    if (packet == no_pending_packet) {
      uint8_t b;
      // At the end of the file the row stays incomplete; the next row refuses.
      if (stream->Read(&b, 1, 1) != 1) return no_pending_packet;
      packet = b;
    }
    int32_t n;
    if (packet >= 128) {
      n = (packet & 0x7F) + 1;
      int64_t value_at = -1;
      if (x + n > width) {
        // The rest of the run goes into the next row, which reads the value again.
        pending = packet - (width - x);
        value_at = stream->Tell();
        n = width - x;
      }
      uint8_t value[4] = {};
      if (stream->Read(value, size_t(in_bytes), 1) != 1) return no_pending_packet;
      uint8_t pixel[3];
      const uint8_t* src = value;
      uint8_t a = value[3];
      if (in_bytes == 2) {
        a = ExpandTwoBytes(header, value, pixel);
        src = pixel;
      }
      const bool with_alpha = in_bytes == 4 || GreyWithAlpha(header);
      for (int32_t i = 0; i < n; ++i) {
        std::memcpy(row + size_t(i) * step, src, size_t(step));
        if (with_alpha) AlphaSet(x + i, file_row, a);
      }
      if (value_at >= 0) stream->Seek(value_at, 0);
    } else {
      n = packet + 1;
      if (x + n > width) {
        pending = packet - (width - x);
        n = width - x;
      }
      ReadRawRow(row, header, stream, n, file_row, x);
    }
    row += size_t(n) * step;
    x += n;
  }
  return pending;
}

bool CRasterTGA::Decode(CByteStream* stream) {
  if (!stream) return false;
  try {
    uint8_t raw[tga_header::bytes];
    if (stream->Read(raw, sizeof raw, 1) != 1) throw "Not a TGA";
    const tga_header header = ParseHeader(raw);
    bool rle = false;
    switch (header.image_type) {
      case 1: case 2: case 3: break;
      case 9: case 10: case 11: rle = true; break;
      default: throw "Unknown TGA image type";
    }
    const uint32_t map_entry_bytes = MapEntryBytes(header.colour_map_entry_size);
    const bool with_map = header.colour_map_type != 0 && header.colour_map_length != 0;
    if (header.width == 0 || header.height == 0 || header.pixel_depth == 0 ||
        header.colour_map_length > 256 || (with_map && map_entry_bytes == 0))
      throw "bad TGA header";
    switch (header.pixel_depth) {
      case 8: case 15: case 16: case 24: case 32: break;
      default: throw "bad TGA header";
    }
    if (header.id_length) stream->Seek(header.id_length, 1);

    const bool with_alpha = header.pixel_depth == 32 || GreyWithAlpha(header);
    if (!Create(header.width, header.height, header.pixel_depth, raster_format_tga) ||
        (with_alpha && !AlphaCreate()))
      throw "TGA Create failed";

    // True-colour files may carry a map too; it is read past all the same. Entry i
    // stands for index first + i.
    if (with_map) {
      uint8_t map[256 * 4] = {};
      stream->Read(map, 1, size_t(header.colour_map_length) * map_entry_bytes);
      for (uint32_t i = 0; i < header.colour_map_length; ++i) {
        const uint8_t* entry = map + i * map_entry_bytes;
        uint8_t bgr[3];
        if (map_entry_bytes == 2)
          Expand555(entry, bgr);
        else
          std::memcpy(bgr, entry, 3);
        SetPaletteColor(header.colour_map_first + i, bgr[2], bgr[1], bgr[0]);
      }
    }
    if (header.image_type == 3 || header.image_type == 11) SetGrayPalette();

    const bool top_down = header.descriptor & 0x20;
    const bool right_to_left = header.descriptor & 0x10;
    const int32_t width = header.width;
    const int32_t height = header.height;
    int pending = no_pending_packet;
    CRowIterator rows(*this);
    for (int32_t y = 0; y < height; ++y) {
      if (stream->Eof()) throw "corrupted TGA";
      uint8_t* row = rows.SetRow(top_down ? height - 1 - y : y);
      if (rle)
        pending = ReadRleRow(row, header, stream, width, y, pending);
      else
        ReadRawRow(row, header, stream, width, y, 0);
    }
    if (right_to_left && !Mirror(true)) throw "TGA Create failed";
    // The alpha rows went in file order.
    if (top_down && with_alpha && !AlphaFlip()) throw "TGA Create failed";
    return true;
  } catch (const char* message) {
    if (*message) SetErrorText(message);
    return false;
  }
}

bool CRasterTGA::Encode(CByteStream* stream) {
  if (CheckBeforeEncode(stream)) return false;
  try {
    const uint32_t bits = GetBpp();
    if (bits < 8) throw "Bit depth must be 8 or 24";
    const int32_t width = GetWidth();
    const int32_t height = GetHeight();
    // The header holds 16-bit sizes: a larger image would give a file that lies.
    if (width > 0xFFFF || height > 0xFFFF) throw "Image too large for TGA";
    const bool with_alpha = bits == 24 && AlphaIsValid();

    tga_header header;
    header.colour_map_type = GetColorCount() ? 1 : 0;
    header.image_type = bits == 8 ? 1 : 2;
    header.colour_map_length = bits == 8 ? 256 : 0;
    header.colour_map_entry_size = bits == 8 ? 24 : 0;
    header.width = uint16_t(width);
    header.height = uint16_t(height);
    header.pixel_depth = uint8_t(with_alpha ? 32 : bits);
    uint8_t raw[tga_header::bytes];
    FormatHeader(header, raw);
    WriteAll(stream, raw, sizeof raw, "cannot write TGA header");

    if (bits == 8) {
      uint8_t map[256 * 3];
      for (uint32_t i = 0; i < 256; ++i) {
        const rgb_quad c = GetPaletteColor(i);
        map[3 * i] = c.blue;
        map[3 * i + 1] = c.green;
        map[3 * i + 2] = c.red;
      }
      WriteAll(stream, map, sizeof map, "cannot write TGA data");
    }
    if (!with_alpha) {
      const size_t row_bytes = size_t(bits / 8) * size_t(width);
      // Rows without padding lie in the file's order already: one write takes them all.
      if (row_bytes == GetRowBytes())
        WriteAll(stream, GetBits(0), row_bytes * size_t(height), "cannot write TGA data");
      else
        for (int32_t y = 0; y < height; ++y)
          WriteAll(stream, GetBits(y), row_bytes, "cannot write TGA data");
    } else {
      std::vector<uint8_t> line(size_t(width) * 4);
      for (int32_t y = 0; y < height; ++y) {
        const uint8_t* row = GetBits(y);
        for (int32_t x = 0; x < width; ++x) {
          std::memcpy(&line[size_t(x) * 4], row + size_t(x) * 3, 3);
          line[size_t(x) * 4 + 3] = AlphaGetUnchecked(x, y);
        }
        WriteAll(stream, line.data(), line.size(), "cannot write TGA data");
      }
    }
    if (!stream->Flush()) throw "cannot write TGA data";
    return true;
  } catch (const char* message) {
    SetErrorText(message);
    return false;
  }
}
