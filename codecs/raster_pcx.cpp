#include "codecs/raster_pcx.h"

#include <immintrin.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "bytes/le_bytes.h"
#include "bytes/pixel_rows.h"
#include "codecs/mem_stream.h"

namespace {

constexpr uint32_t header_bytes = 128;
constexpr uint32_t palette_marker = 12;

// Takes the stream in blocks rather than one virtual call per byte.
class byte_reader {
 public:
  explicit byte_reader(CByteStream* stream) : stream_(stream) {}

  bool Next(uint8_t& b) {
    if (at_ == end_) {
      at_ = 0;
      end_ = stream_->Read(block_, 1, sizeof block_);
      if (end_ == 0) return false;
    }
    b = block_[at_++];
    return true;
  }
  // The bytes taken from the stream and not yet read; Skip(n) reads n of them.
  const uint8_t* Buffered(size_t& n) const {
    n = end_ - at_;
    return block_ + at_;
  }
  void Skip(size_t n) { at_ += n; }

 private:
  CByteStream* stream_;
  uint8_t block_[4096];
  size_t at_ = 0;
  size_t end_ = 0;
};

// The pixel data is one run-length stream over all lines and planes; a run may go on
// from one line into the next, never past the end of the image.
class run_decoder {
 public:
  run_decoder(byte_reader& reader, uint64_t total) : reader_(reader), remaining_(total) {}

  void Fill(uint8_t* out, size_t n) {
    for (size_t i = 0; i < n;) {
      if (run_left_ > 0) {
        const size_t k = std::min<size_t>(run_left_, n - i);
        std::memset(out + i, run_value_, k);
        i += k;
        run_left_ -= uint32_t(k);
        continue;
      }
      i = FillFromBuffer(out, i, n);
      if (i == n || run_left_ > 0) continue;
      uint8_t b;
      if (!reader_.Next(b)) throw "corrupted PCX";
      if ((b & 0xC0) == 0xC0) {
        const uint32_t count = b & 0x3F;
        if (count > remaining_) throw "repeat count spans end of image";
        if (!reader_.Next(run_value_)) throw "corrupted PCX";
        run_left_ = count;
        remaining_ -= count;
      } else {
        out[i++] = b;
        --remaining_;
      }
    }
  }

 private:
  // The same steps as Fill's on the bytes already buffered, for as long as a whole
  // literal or run header with its value is there; returns the new output position.
  // Far from the line's end, literals and short runs take one path without branches:
  // eight copies of the value are stored and the position moves on by the count. Such
  // a run ends inside the line, so within what the image has left.
  size_t FillFromBuffer(uint8_t* out, size_t i, size_t n) {
    size_t available;
    const uint8_t* const start = reader_.Buffered(available);
    const uint8_t* p = start;
    const uint8_t* const end = start + available;
    while (i + 8 <= n && end - p >= 2) {
      // Masks rather than conditions: which kind comes next cannot be predicted.
      const uint32_t b = p[0];
      const uint32_t run = b >= 0xC0;
      const uint32_t mask = 0u - run;
      const uint32_t count = (b & 0x3Fu & mask) | (1u & ~mask);
      if (count > 8) break;
      const uint64_t copies = ((p[1] & mask) | (b & ~mask)) * uint64_t{0x0101010101010101};
      std::memcpy(out + i, &copies, 8);
      i += count;
      remaining_ -= count;
      p += 1 + run;
    }
    while (i < n && p < end) {
      const uint8_t b = *p;
      if ((b & 0xC0) != 0xC0) {
        out[i++] = b;
        --remaining_;
        ++p;
        continue;
      }
      if (end - p < 2) break;
      const uint32_t count = b & 0x3F;
      if (count > remaining_) throw "repeat count spans end of image";
      remaining_ -= count;
      const size_t k = std::min<size_t>(count, n - i);
      std::memset(out + i, p[1], k);
      i += k;
      p += 2;
      if (k < count) {
        run_value_ = p[-1];
        run_left_ = uint32_t(count - k);
        break;
      }
    }
    reader_.Skip(size_t(p - start));
    return i;
  }

  byte_reader& reader_;
  uint64_t remaining_;
  uint32_t run_left_ = 0;
  uint8_t run_value_ = 0;
};

void WriteAll(CByteStream* stream, const void* data, size_t bytes, const char* message) {
  if (stream->Write(data, 1, bytes) != bytes) throw message;
}

// Packing eight bytes at a time where none equals the byte after it: each is then a
// run of one, written bare below 0xC0 and after the count byte 0xC1 otherwise. For
// each pattern of such high bytes a shuffle spreads the eight bytes over their places
// and marks where the count bytes go.
struct lone_byte_patterns {
  struct pattern {
    alignas(16) int8_t spread[16];
    alignas(16) int8_t counts[16];
    uint8_t length;
  };
  pattern patterns[256];
  constexpr lone_byte_patterns() : patterns() {
    for (int high = 0; high < 256; ++high) {
      pattern& p = patterns[high];
      for (int8_t& c : p.counts) c = 0;
      int at = 0;
      for (int k = 0; k < 8; ++k) {
        if (high >> k & 1) p.counts[at] = -1, p.spread[at++] = -1;
        p.spread[at++] = int8_t(k);
      }
      for (int rest = at; rest < 16; ++rest) p.spread[rest] = -1;
      p.length = uint8_t(at);
    }
  }
};
constexpr lone_byte_patterns lone_bytes;

bool HasSsse3() {
  static const bool ssse3 = __builtin_cpu_supports("ssse3");
  return ssse3;
}

// Packs groups of eight lone bytes from in (n bytes) into out, which has room for
// `groups` of them; stops at a group with a run. Returns the bytes taken and adds the
// bytes written to used.
__attribute__((target("ssse3"))) size_t PackLoneBytes(const uint8_t* in, size_t n, uint8_t* out,
                                                       size_t groups, size_t& used) {
  const __m128i high_bits = _mm_set1_epi8(int8_t(0xC0));
  const __m128i count_of_one = _mm_set1_epi8(int8_t(0xC1));
  size_t i = 0;
  // Nine bytes are compared, sixteen loaded.
  for (; groups > 0 && i + 17 <= n; --groups, i += 8) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
    const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i + 1));
    if ((_mm_movemask_epi8(_mm_cmpeq_epi8(v, next)) & 0xFF) != 0) break;
    const int high = _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(v, high_bits), high_bits)) & 0xFF;
    const lone_byte_patterns::pattern& p = lone_bytes.patterns[high];
    const __m128i counts = _mm_load_si128(reinterpret_cast<const __m128i*>(p.counts));
    const __m128i spread = _mm_shuffle_epi8(v, _mm_load_si128(reinterpret_cast<const __m128i*>(p.spread)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + used),
                     _mm_or_si128(spread, _mm_and_si128(counts, count_of_one)));
    used += p.length;
  }
  return i;
}

bool WriteRun(uint8_t value, int count, CByteStream* stream) {
  if (count == 1 && value < 0xC0) return stream->PutC(value);
  return stream->PutC(uint8_t(0xC0 | count)) && stream->PutC(value);
}

}  // namespace

bool pcx_unpack_pixels(uint8_t* output, const uint8_t* input, uint32_t bytes_per_line,
                       uint32_t planes, uint32_t bits) {
  if (planes != 1) return false;
  switch (bits) {
    case 8:
      std::memcpy(output, input, bytes_per_line);
      break;
    case 4:
      for (uint32_t i = 0; i < bytes_per_line; ++i) {
        *output++ = input[i] >> 4;
        *output++ = input[i] & 0x0F;
      }
      break;
    case 2:
      for (uint32_t i = 0; i < bytes_per_line; ++i)
        for (int shift = 6; shift >= 0; shift -= 2) *output++ = (input[i] >> shift) & 3;
      break;
    case 1:
      for (uint32_t i = 0; i < bytes_per_line; ++i)
        for (int shift = 7; shift >= 0; --shift) *output++ = (input[i] >> shift) & 1;
      break;
    default:
      break;
  }
  return true;
}

bool pcx_planes_to_pixels(uint8_t* output, const uint8_t* input, uint32_t bytes_per_line,
                          uint32_t planes, uint32_t bits) {
  if (planes > 4 || bits != 1) return false;
  const size_t count = size_t(bytes_per_line) * 8;
  std::memset(output, 0, count);
  for (uint32_t p = 0; p < planes; ++p) {
    const uint8_t* plane = input + size_t(p) * bytes_per_line;
    for (size_t i = 0; i < count; ++i)
      if (plane[i / 8] & (0x80 >> (i % 8))) output[i] |= uint8_t(1 << p);
  }
  return true;
}

void pcx_pixels_to_bit_plane(const uint8_t* pixels, size_t count, uint8_t* output,
                             uint32_t plane) {
  std::memset(output, 0, (count + 7) / 8);
  for (size_t i = 0; i < count; ++i)
    if ((pixels[i] >> plane) & 1) output[i / 8] |= uint8_t(0x80 >> (i % 8));
}

bool pcx_pack_run(int value, int& last, int& count, CByteStream* stream) {
  bool ok = true;
  if (value == last || count == 0) {
    if (count == 63) {
      ok = WriteRun(uint8_t(last), 63, stream);
      count = 0;
    }
  } else {
    ok = WriteRun(uint8_t(last), count, stream);
    count = 0;
  }
  if (value == -2) {
    ok = stream->PutC(0) && ok;
    last = 0xFE;
  } else {
    last = value;
  }
  ++count;
  return ok;
}

bool pcx_pack_line(const uint8_t* bytes, size_t length, CByteStream* stream) {
  // Runs are packed into a block written whenever it could not take one more group.
  uint8_t block[4096];
  constexpr size_t room = sizeof block - 16;
  size_t used = 0;
  for (size_t i = 0; i < length;) {
    if (HasSsse3()) {
      i += PackLoneBytes(bytes + i, length - i, block, (room - used) / 16, used);
      if (i == length) break;
    }
    const uint8_t value = bytes[i];
    size_t j = i + 1;
    if (j < length && bytes[j] == value) {
      const size_t end = std::min(length, i + 63);
      while (j < end && bytes[j] == value) ++j;
    }
    // A lone byte below 0xC0 stands for itself; anything else is a count and the byte.
    // Masks rather than conditions: which of the two comes cannot be predicted.
    const auto count = uint32_t(j - i);
    const uint32_t counted = uint32_t(count > 1) | uint32_t(value >= 0xC0);
    const uint32_t mask = 0u - counted;
    block[used] = uint8_t(((0xC0u | count) & mask) | (value & ~mask));
    block[used + 1] = value;
    used += 1 + counted;
    i = j;
    if (used > room - 16) {
      if (stream->Write(block, 1, used) != used) return false;
      used = 0;
    }
  }
  return used == 0 || stream->Write(block, 1, used) == used;
}

bool CRasterPCX::Decode(CByteStream* stream) {
  if (!stream) return false;
  try {
    uint8_t header[header_bytes];
    if (stream->Read(header, sizeof header, 1) != 1) throw "Can't read PCX image";
    if (header[0] != 10) throw "Error: Not a PCX file";
    if (header[2] != 1) throw "PCX file has unknown encoding scheme";
    const int64_t width = int64_t(GetLe16(header + 8)) - GetLe16(header + 4) + 1;
    const int64_t height = int64_t(GetLe16(header + 10)) - GetLe16(header + 6) + 1;
    info.x_dpi = GetLe16(header + 12);
    info.y_dpi = GetLe16(header + 14);
    const uint32_t bits = header[3];
    const uint32_t planes = header[65];
    const uint32_t bytes_per_line = GetLe16(header + 66);
    if (planes > 4) throw "Can't handle image with more than 4 planes";
    if (bits != 1 && bits != 2 && bits != 4 && bits != 8)
      throw "Can't handle PCX image with this number of bits per pixel";
    if (planes == 0) throw "Can't handle PCX image without planes";
    const bool true_colour = planes >= 3 && bits == 8;
    if (!true_colour && planes > 1 && bits != 1)
      throw "pcx_planes_to_pixels: more than 4 planes or more than 1 bit per pixel";

    // Create leaves its own reason as the last error.
    if (!Create(width, height, true_colour ? 24 : planes == 4 ? 4 : bits, raster_format_pcx))
      throw "";
    if (planes == 4 && true_colour && !AlphaCreate()) throw "Can't allocate the PCX alpha plane";
    if (uint64_t(bytes_per_line) * 8 < uint64_t(width) * bits)
      throw "PCX bytes per line too small for the image width";

    const size_t line_bytes = size_t(bytes_per_line) * planes;
    std::vector<uint8_t> line(line_bytes);
    std::vector<uint8_t> indices(size_t(width) + size_t(bytes_per_line) * 8);
    byte_reader reader(stream);
    run_decoder data(reader, uint64_t(line_bytes) * uint64_t(height));
    for (int64_t y = 0; y < height; ++y) {
      data.Fill(line.data(), line_bytes);
      const int64_t image_row = height - 1 - y;
      if (true_colour) {
        uint8_t* row = GetBits(image_row);
        const uint8_t* red = line.data();
        const uint8_t* green = red + bytes_per_line;
        const uint8_t* blue = green + bytes_per_line;
        PlanesToBgr(red, green, blue, row, size_t(width));
        if (planes == 4) {
          const uint8_t* alpha_plane = blue + bytes_per_line;
          for (int64_t x = 0; x < width; ++x) AlphaSet(x, image_row, alpha_plane[x]);
        }
        continue;
      }
      if (planes == 1) {
        if (!pcx_unpack_pixels(indices.data(), line.data(), bytes_per_line, planes, bits))
          throw "pcx_unpack_pixels: Can't handle packed pixels with more than 1 plane";
      } else if (!pcx_planes_to_pixels(indices.data(), line.data(), bytes_per_line, planes,
                                       bits)) {
        throw "pcx_planes_to_pixels: more than 4 planes or more than 1 bit per pixel";
      }
      for (int64_t x = 0; x < width; ++x) SetPixelIndexUnchecked(x, image_row, indices[size_t(x)]);
    }

    uint8_t palette[256 * 3] = {};
    std::memcpy(palette, header + 16, 48);
    if (bits == 8 && planes == 1) {
      uint8_t marker;
      if (!reader.Next(marker) || marker != palette_marker) throw "bad color map signature";
      // A palette cut short keeps black for the entries it lacks.
      for (uint8_t& b : palette)
        if (!reader.Next(b)) break;
    }
    if (bits == 1 && planes == 1) {
      std::memset(palette, 0, 3);
      std::memset(palette + 3, 255, 3);
    }
    const uint32_t entries = std::min<uint32_t>(GetColorCount(), 256);
    for (uint32_t i = 0; i < entries; ++i)
      SetPaletteColor(i, palette[3 * i], palette[3 * i + 1], palette[3 * i + 2]);
    return true;
  } catch (const char* message) {
    if (*message) SetErrorText(message);
    return false;
  }
}

bool CRasterPCX::Encode(CByteStream* stream) {
  if (CheckBeforeEncode(stream)) return false;
  CMemStream packed;
  try {
    const uint32_t bits = GetBpp();
    const int32_t width = GetWidth();
    const int32_t height = GetHeight();
    // Bounds and bytes per line are 16-bit fields.
    if (width > 65534 || height > 65536) throw "Image too large for PCX";
    const bool with_alpha = bits == 24 && AlphaIsValid();
    const uint32_t planes = bits == 24 ? (with_alpha ? 4 : 3) : bits == 4 ? 4 : 1;
    uint32_t bytes_per_line = bits >= 8 ? uint32_t(width) : (uint32_t(width) + 7) / 8;
    bytes_per_line += bytes_per_line & 1;

    uint8_t header[header_bytes] = {};
    header[0] = 10;
    header[1] = 5;
    header[2] = 1;
    header[3] = bits >= 8 ? 8 : 1;
    PutLe16(header + 8, uint16_t(width - 1));
    PutLe16(header + 10, uint16_t(height - 1));
    PutLe16(header + 12, uint16_t(info.x_dpi));
    PutLe16(header + 14, uint16_t(info.y_dpi));
    if (bits == 1) {
      std::memset(header + 19, 255, 3);
    } else if (bits == 4) {
      for (uint32_t i = 0; i < 16; ++i) {
        const rgb_quad c = GetPaletteColor(i);
        header[16 + 3 * i] = c.red;
        header[17 + 3 * i] = c.green;
        header[18 + 3 * i] = c.blue;
      }
    }
    header[65] = uint8_t(planes);
    PutLe16(header + 66, uint16_t(bytes_per_line));
    PutLe16(header + 68, GetColorCount() ? 0 : 1);
    WriteAll(stream, header, sizeof header, "cannot write PCX header");

    if (!packed.Open()) throw "cannot write PCX data";
    bool ok = true;
    // A plane line packed whole gives the bytes that packing its values one at a time
    // and flushing gives; an odd width adds the pad byte that makes the line even.
    const auto pack_plane_line = [&](const uint8_t* values) {
      ok = pcx_pack_line(values, size_t(width), &packed) && ok;
      if (width & 1) ok = packed.PutC(0) && ok;
    };
    if (bits == 24) {
      std::vector<uint8_t> lines(3 * static_cast<size_t>(width));
      uint8_t* const red = lines.data();
      for (int32_t y = height - 1; y >= 0; --y) {
        BgrToPlanes(GetBits(y), red, red + width, red + 2 * size_t(width), size_t(width));
        for (uint32_t p = 0; p < 3; ++p) pack_plane_line(red + p * size_t(width));
        if (planes == 4) pack_plane_line(AlphaPointer(0, y));
      }
    } else if (bits == 8) {
      for (int32_t y = height - 1; y >= 0; --y) pack_plane_line(GetBits(y));
      ok = packed.PutC(palette_marker) && ok;
      for (uint32_t i = 0; i < 256; ++i) {
        const rgb_quad c = GetPaletteColor(i);
        const uint8_t rgb[3] = {c.red, c.green, c.blue};
        ok = packed.Write(rgb, 1, 3) == 3 && ok;
      }
    } else {
      const bool invert = bits == 1 && CompareLuminance(GetPaletteColor(0), GetPaletteColor(1)) > 0;
      std::vector<uint8_t> indices(static_cast<size_t>(width));
      std::vector<uint8_t> plane_line(bytes_per_line, 0);
      for (int32_t y = height - 1; y >= 0; --y) {
        for (int32_t x = 0; x < width; ++x) {
          const uint8_t i = PixelIndexUnchecked(x, y);
          indices[size_t(x)] = invert ? uint8_t(1 - i) : i;
        }
        for (uint32_t p = 0; p < planes; ++p) {
          pcx_pixels_to_bit_plane(indices.data(), indices.size(), plane_line.data(), p);
          ok = pcx_pack_line(plane_line.data(), plane_line.size(), &packed) && ok;
        }
      }
    }
    if (!ok) throw "cannot write PCX data";
    const size_t size = size_t(packed.Tell());
    WriteAll(stream, packed.GetBuffer(false), size, "cannot write PCX data");
    if (!stream->Flush()) throw "cannot write PCX data";
    packed.Close();
    return true;
  } catch (const char* message) {
    packed.Close();
    SetErrorText(message);
    return false;
  }
}
