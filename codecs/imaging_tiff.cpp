#include <tiffio.h>

#include <algorithm>
#include <cstdint>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>
#include <unordered_set>

#include "bytes/pixel_rows.h"
#include "codecs/imaging_codecs.h"

namespace imaging {
namespace {

// No single buffer of a frame we accept comes near this; hostile strip and tile
// sizes do.
constexpr tmsize_t max_library_allocation = tmsize_t{256} << 20;
constexpr uint64_t max_tile_bytes = uint64_t{256} << 20;

// The file in memory that libtiff reads or writes through its client procedures.
struct tiff_stream {
  const uint8_t* data = nullptr;
  uint64_t size = 0;
  uint64_t position = 0;
  std::vector<uint8_t>* out = nullptr;
  std::string error;  // the library's first error
};

tiff_stream& Stream(thandle_t handle) { return *static_cast<tiff_stream*>(handle); }

tmsize_t ReadProc(thandle_t handle, void* buffer, tmsize_t count) {
  tiff_stream& s = Stream(handle);
  const uint64_t size = s.out ? s.out->size() : s.size;
  const uint8_t* data = s.out ? s.out->data() : s.data;
  if (count <= 0 || s.position >= size) return 0;
  const uint64_t n = std::min<uint64_t>(static_cast<uint64_t>(count), size - s.position);
  std::memcpy(buffer, data + s.position, n);
  s.position += n;
  return static_cast<tmsize_t>(n);
}

tmsize_t WriteProc(thandle_t handle, void* buffer, tmsize_t count) {
  tiff_stream& s = Stream(handle);
  if (s.out == nullptr || count < 0) return -1;
  const uint64_t end = s.position + static_cast<uint64_t>(count);
  try {
    if (end > s.out->size()) s.out->resize(end);
  } catch (const std::bad_alloc&) {
    return -1;
  }
  std::memcpy(s.out->data() + s.position, buffer, static_cast<size_t>(count));
  s.position = end;
  return count;
}

toff_t SeekProc(thandle_t handle, toff_t offset, int whence) {
  tiff_stream& s = Stream(handle);
  const uint64_t size = s.out ? s.out->size() : s.size;
  uint64_t base = 0;
  if (whence == SEEK_CUR) base = s.position;
  if (whence == SEEK_END) base = size;
  const int64_t target = static_cast<int64_t>(base + offset);
  // Positions past a few gigabytes can only come from a hostile file.
  if (target < 0 || target > (int64_t{1} << 40)) return static_cast<toff_t>(-1);
  s.position = static_cast<uint64_t>(target);
  return s.position;
}

int CloseProc(thandle_t) { return 0; }

// Outside entropy-coded data a 0xFF byte followed by 0xDA can only start a scan
// header, whose fifth byte counts the components the scan codes; inside, 0xFF is
// always followed by 0 or a restart marker.
bool ScansCodeEachComponentOnce(const uint8_t* p, uint64_t size, int components) {
  const uint8_t* const end = p + size;
  uint64_t scanned = 0;
  while (p < end) {
    p = static_cast<const uint8_t*>(std::memchr(p, 0xFF, static_cast<size_t>(end - p)));
    if (p == nullptr || end - p < 5) break;
    if (p[1] == 0xDA && (scanned += p[4]) > static_cast<uint64_t>(components)) return false;
    ++p;
  }
  return true;
}

toff_t SizeProc(thandle_t handle) {
  tiff_stream& s = Stream(handle);
  return s.out ? s.out->size() : s.size;
}

int MapProc(thandle_t handle, void** base, toff_t* size) {
  tiff_stream& s = Stream(handle);
  if (s.out != nullptr) return 0;
  *base = const_cast<uint8_t*>(s.data);
  *size = s.size;
  return 1;
}

void UnmapProc(thandle_t, void*, toff_t) {}

int OnError(TIFF*, void* user_data, const char* module, const char* format, va_list args) {
  auto& s = *static_cast<tiff_stream*>(user_data);
  if (s.error.empty()) {
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    s.error = std::string("TIFF: ") + (module ? std::string(module) + ": " : "") + text;
  }
  return 1;
}

int OnWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }

TIFF* OpenStream(tiff_stream& stream, const char* mode) {
  TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
  if (options == nullptr) return nullptr;
  TIFFOpenOptionsSetErrorHandlerExtR(options, OnError, &stream);
  TIFFOpenOptionsSetWarningHandlerExtR(options, OnWarning, &stream);
  TIFFOpenOptionsSetMaxSingleMemAlloc(options, max_library_allocation);
  TIFF* tif = TIFFClientOpenExt("memory", mode, &stream, ReadProc, WriteProc, SeekProc,
                                CloseProc, SizeProc, MapProc, UnmapProc, options);
  TIFFOpenOptionsFree(options);
  return tif;
}

// What each sample of a pixel becomes.
enum class role : uint8_t { ignore, grey, red, green, blue, alpha, index };

struct sample_layout {
  int bits = 8;
  bool min_is_white = false;
  const uint16_t* palette[3] = {};
  bool palette_in_bytes = false;  // some writers store 8-bit palette entries
  bool opaque = false;            // no sample is alpha: every fourth byte is 255
};

unsigned RawSample(const uint8_t* row, size_t n, int bits) {
  if (bits == 8) return row[n];
  if (bits == 16) {
    uint16_t v;
    std::memcpy(&v, row + 2 * n, 2);  // libtiff has already put it in host order
    return v;
  }
  const size_t bit = n * static_cast<size_t>(bits);
  return (row[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
}

uint8_t ToByte(unsigned v, int bits) {
  if (bits == 8) return static_cast<uint8_t>(v);
  if (bits == 16) return static_cast<uint8_t>((v * 255 + 32767) / 65535);
  return static_cast<uint8_t>(v * 255 / ((1u << bits) - 1));
}

// Writers scale palette entries by 256 or by 257: the high byte is right for both.
uint8_t PaletteByte(const sample_layout& layout, int channel, unsigned index) {
  const unsigned v = layout.palette[channel][index];
  return static_cast<uint8_t>(layout.palette_in_bytes ? v : v >> 8);
}

// Converts count pixels of samples_per_pixel samples each (roles[s] says what sample s
// is) into the blue, green, red, alpha pixels at out.
void ConvertRow(const sample_layout& layout, const role* roles, int samples_per_pixel,
                const uint8_t* raw, uint32_t count, uint8_t* out) {
  if (layout.bits == 8 && samples_per_pixel == 3 && roles[0] == role::red &&
      roles[1] == role::green && roles[2] == role::blue) {
    RgbToBgra(raw, out, count);
    return;
  }
  size_t n = 0;
  for (uint32_t x = 0; x < count; ++x, out += 4) {
    if (layout.opaque) out[3] = 255;
    for (int s = 0; s < samples_per_pixel; ++s, ++n) {
      const unsigned v = RawSample(raw, n, layout.bits);
      switch (roles[s]) {
        case role::ignore:
          break;
        case role::grey: {
          uint8_t g = ToByte(v, layout.bits);
          if (layout.min_is_white) g = static_cast<uint8_t>(255 - g);
          out[0] = out[1] = out[2] = g;
          break;
        }
        case role::red:
          out[2] = ToByte(v, layout.bits);
          break;
        case role::green:
          out[1] = ToByte(v, layout.bits);
          break;
        case role::blue:
          out[0] = ToByte(v, layout.bits);
          break;
        case role::alpha:
          out[3] = ToByte(v, layout.bits);
          break;
        case role::index:
          out[0] = PaletteByte(layout, 2, v);
          out[1] = PaletteByte(layout, 1, v);
          out[2] = PaletteByte(layout, 0, v);
          break;
      }
    }
  }
}

class tiff_decoder : public byte_decoder {
 public:
  explicit tiff_decoder(byte_view bytes) : byte_decoder(bytes) {
    stream.data = bytes.data;
    stream.size = bytes.size;
  }
  ~tiff_decoder() override {
    if (tif != nullptr) TIFFClose(tif);
  }
  tiff_decoder(const tiff_decoder&) = delete;
  tiff_decoder& operator=(const tiff_decoder&) = delete;

  bool Open() {
    tif = OpenStream(stream, "r");
    if (tif == nullptr) return Failed("TIFF: cannot read the file");
    uint32_t w = 0, h = 0;
    if (!TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w) || !TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h))
      return Failed("TIFF: the image has no size");
    return SetSize(w, h);
  }

  bool CopyPixels(uint8_t* dest, size_t stride, size_t buffer_size) override {
    if (!CheckDestination(dest, stride, buffer_size)) return false;
    stream.error.clear();
    bool alpha = false, associated = false;
    bool done = false;
    try {
      done = Samples(dest, stride, alpha, associated);
    } catch (const std::bad_alloc&) {
      return Failed("TIFF: out of memory");
    }
    if (!done) return false;
    FinishAlpha(dest, stride, alpha, associated);
    return true;
  }

 private:
  bool Failed(const char* fallback) {
    error = stream.error.empty() ? fallback : stream.error;
    return false;
  }

  // Decodes the samples; alpha tells whether the fourth bytes were written, and
  // associated whether they premultiply the colours.
  bool Samples(uint8_t* dest, size_t stride, bool& alpha, bool& associated) {
    uint16_t bits = 1, spp = 1, planar = PLANARCONFIG_CONTIG, format = SAMPLEFORMAT_UINT;
    uint16_t compression = COMPRESSION_NONE, photometric = 0, extra_count = 0;
    uint16_t* extra_types = nullptr;
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &spp);
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLEFORMAT, &format);
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
    TIFFGetFieldDefaulted(tif, TIFFTAG_EXTRASAMPLES, &extra_count, &extra_types);
    if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric))
      photometric = spp >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
    if (compression == COMPRESSION_JPEG && !JpegStripsSequential(spp))
      return Failed("TIFF: a JPEG strip or tile is progressive or repeats a scan");
    if (photometric == PHOTOMETRIC_YCBCR && compression == COMPRESSION_JPEG &&
        planar == PLANARCONFIG_CONTIG) {
      // The JPEG codec converts to RGB itself, subsampling included.
      TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
      photometric = PHOTOMETRIC_RGB;
    }

    const int colours = photometric == PHOTOMETRIC_RGB ? 3 : 1;
    alpha = extra_count > 0 && spp > colours &&
            (extra_types[0] == EXTRASAMPLE_ASSOCALPHA || extra_types[0] == EXTRASAMPLE_UNASSALPHA);
    associated = alpha && extra_types[0] == EXTRASAMPLE_ASSOCALPHA;

    sample_layout layout;
    layout.bits = bits;
    role roles[16] = {};
    bool own = spp >= colours && spp <= 16 &&
               (format == SAMPLEFORMAT_UINT || format == SAMPLEFORMAT_VOID) &&
               (planar == PLANARCONFIG_CONTIG || planar == PLANARCONFIG_SEPARATE);
    switch (photometric) {
      case PHOTOMETRIC_MINISWHITE:
      case PHOTOMETRIC_MINISBLACK:
        own = own && (bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16);
        layout.min_is_white = photometric == PHOTOMETRIC_MINISWHITE;
        roles[0] = role::grey;
        break;
      case PHOTOMETRIC_RGB:
        own = own && (bits == 8 || bits == 16);
        roles[0] = role::red;
        roles[1] = role::green;
        roles[2] = role::blue;
        break;
      case PHOTOMETRIC_PALETTE:
        own = own && (bits == 1 || bits == 2 || bits == 4 || bits == 8) &&
              TIFFGetField(tif, TIFFTAG_COLORMAP, &layout.palette[0], &layout.palette[1],
                           &layout.palette[2]);
        roles[0] = role::index;
        break;
      default:
        own = false;
    }
    if (!own) {
      if (alpha) return Failed("TIFF: this kind of image with alpha is not supported");
      return Fallback(dest, stride);
    }
    if (alpha) roles[colours] = role::alpha;
    layout.opaque = !alpha;
    opaque_written = !alpha;
    if (photometric == PHOTOMETRIC_PALETTE) {
      const size_t entries = size_t{1} << bits;
      layout.palette_in_bytes = true;
      for (size_t i = 0; i < entries; ++i)
        for (int c = 0; c < 3; ++c)
          if (layout.palette[c][i] > 255) layout.palette_in_bytes = false;
    }
    return TIFFIsTiled(tif) ? Tiles(layout, roles, spp, planar, dest, stride)
                            : Scanlines(layout, roles, spp, planar, dest, stride);
  }

  // JPEG in TIFF is sequential: each component is coded in one scan. libtiff also
  // decodes progressive strips and tiles of up to a hundred scans, each walking the
  // strip again, which at the largest frame, or in the smallest tiles, takes seconds.
  // Strips are checked once per distinct start; strips that overlap other than by
  // sharing their start are no JPEG writer's work.
  bool JpegStripsSequential(int components) {
    const bool tiled = TIFFIsTiled(tif);
    const uint32_t count = tiled ? TIFFNumberOfTiles(tif) : TIFFNumberOfStrips(tif);
    uint64_t* offsets = nullptr;
    uint64_t* sizes = nullptr;
    if (!TIFFGetField(tif, tiled ? TIFFTAG_TILEOFFSETS : TIFFTAG_STRIPOFFSETS, &offsets) ||
        !TIFFGetField(tif, tiled ? TIFFTAG_TILEBYTECOUNTS : TIFFTAG_STRIPBYTECOUNTS, &sizes))
      return true;  // libtiff refuses such a file itself
    std::unordered_set<uint64_t> checked;
    uint64_t scanned = 0;
    for (uint32_t i = 0; i < count; ++i) {
      if (offsets[i] >= bytes.size || !checked.insert(offsets[i]).second) continue;
      const uint64_t size = std::min<uint64_t>(sizes[i], bytes.size - offsets[i]);
      scanned += size;
      if (scanned > bytes.size || !ScansCodeEachComponentOnce(bytes.data + offsets[i], size, components))
        return false;
    }
    return true;
  }

  bool Scanlines(const sample_layout& layout, const role* roles, int spp, uint16_t planar,
                 uint8_t* dest, size_t stride) {
    const bool separate = planar == PLANARCONFIG_SEPARATE;
    const int per_pixel = separate ? 1 : spp;
    const uint64_t needed = (uint64_t{static_cast<uint32_t>(width)} * per_pixel * layout.bits + 7) / 8;
    const uint64_t line = TIFFScanlineSize64(tif);
    if (line < needed || line > max_tile_bytes) return Failed("TIFF: unexpected scanline size");
    std::vector<uint8_t> buffer(line);
    for (int plane = 0; plane < (separate ? spp : 1); ++plane) {
      if (separate && roles[plane] == role::ignore) continue;
      for (int y = 0; y < height; ++y) {
        ++DecodeWork().tiff_reads;
        if (TIFFReadScanline(tif, buffer.data(), static_cast<uint32_t>(y),
                             static_cast<uint16_t>(plane)) < 0)
          return Failed("TIFF: cannot read the pixels");
        ConvertRow(layout, roles + plane, per_pixel, buffer.data(), static_cast<uint32_t>(width),
                   dest + static_cast<size_t>(y) * stride);
      }
    }
    return true;
  }

  bool Tiles(const sample_layout& layout, const role* roles, int spp, uint16_t planar,
             uint8_t* dest, size_t stride) {
    const bool separate = planar == PLANARCONFIG_SEPARATE;
    const int per_pixel = separate ? 1 : spp;
    uint32_t tile_width = 0, tile_length = 0;
    TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tile_width);
    TIFFGetField(tif, TIFFTAG_TILELENGTH, &tile_length);
    const uint64_t row_bytes = TIFFTileRowSize64(tif);
    const uint64_t tile_bytes = TIFFTileSize64(tif);
    if (tile_width == 0 || tile_length == 0 || tile_bytes > max_tile_bytes ||
        row_bytes < (uint64_t{tile_width} * per_pixel * layout.bits + 7) / 8 ||
        tile_bytes < row_bytes * tile_length)
      return Failed("TIFF: unexpected tile size");
    std::vector<uint8_t> buffer(tile_bytes);
    for (int plane = 0; plane < (separate ? spp : 1); ++plane) {
      if (separate && roles[plane] == role::ignore) continue;
      for (uint64_t top = 0; top < static_cast<uint64_t>(height); top += tile_length) {
        for (uint64_t left = 0; left < static_cast<uint64_t>(width); left += tile_width) {
          ++DecodeWork().tiff_reads;
          if (TIFFReadTile(tif, buffer.data(), static_cast<uint32_t>(left),
                           static_cast<uint32_t>(top), 0, static_cast<uint16_t>(plane)) < 0)
            return Failed("TIFF: cannot read the pixels");
          const uint64_t rows = std::min<uint64_t>(tile_length, height - top);
          const uint64_t columns = std::min<uint64_t>(tile_width, width - left);
          for (uint64_t r = 0; r < rows; ++r)
            ConvertRow(layout, roles + plane, per_pixel, buffer.data() + r * row_bytes,
                       static_cast<uint32_t>(columns),
                       dest + (top + r) * stride + left * 4);
        }
      }
    }
    return true;
  }

  // libtiff's own RGBA reader, for the layouts above does not cover (CMYK, YCbCr,
  // Lab, floating point, ...). It premultiplies alpha, so it only serves images
  // without. Rows come out in the order they are stored, as in the other paths.
  bool Fallback(uint8_t* dest, size_t stride) {
    char message[1024] = "";
    TIFFRGBAImage image;
    if (!TIFFRGBAImageOK(tif, message) || !TIFFRGBAImageBegin(&image, tif, 1, message)) {
      if (stream.error.empty()) stream.error = std::string("TIFF: ") + message;
      return Failed("TIFF: unsupported image");
    }
    image.req_orientation = image.orientation;
    const size_t w = static_cast<size_t>(width), h = static_cast<size_t>(height);
    // Packed rows can take the raster in place; others need a buffer of their own.
    std::vector<uint32_t> own;
    uint32_t* raster = reinterpret_cast<uint32_t*>(dest);
    if (stride != w * 4 || reinterpret_cast<uintptr_t>(dest) % alignof(uint32_t) != 0) {
      own.resize(w * h);
      raster = own.data();
    }
    ++DecodeWork().tiff_reads;
    const int read =
        TIFFRGBAImageGet(&image, raster, static_cast<uint32_t>(w), static_cast<uint32_t>(h));
    TIFFRGBAImageEnd(&image);
    if (!read) return Failed("TIFF: cannot read the pixels");
    for (size_t y = 0; y < h; ++y) {
      uint8_t* out = dest + y * stride;
      for (size_t x = 0; x < w; ++x, out += 4) {
        uint32_t p;
        std::memcpy(&p, raster + y * w + x, 4);
        out[0] = static_cast<uint8_t>(TIFFGetB(p));
        out[1] = static_cast<uint8_t>(TIFFGetG(p));
        out[2] = static_cast<uint8_t>(TIFFGetR(p));
      }
    }
    return true;
  }

  void FinishAlpha(uint8_t* dest, size_t stride, bool alpha, bool associated) {
    if ((alpha && !associated) || opaque_written) return;
    for (int y = 0; y < height; ++y) {
      uint8_t* p = dest + static_cast<size_t>(y) * stride;
      for (int x = 0; x < width; ++x, p += 4) {
        if (!alpha) {
          p[3] = 255;
        } else if (p[3] != 0) {
          for (int c = 0; c < 3; ++c)
            p[c] = static_cast<uint8_t>(std::min(255, (p[c] * 255 + p[3] / 2) / p[3]));
        }
      }
    }
  }

  tiff_stream stream;
  TIFF* tif = nullptr;
  bool opaque_written = false;  // the own paths set every fourth byte of an image without alpha
};

}  // namespace

std::unique_ptr<frame_decoder> OpenTiff(byte_view bytes, std::string& error) {
  return OpenWith<tiff_decoder>(bytes, error);
}

bool EncodeTiff(const pixel_rows& image, std::vector<uint8_t>& out, std::string& error) {
  std::vector<uint8_t> row(static_cast<size_t>(image.width) * 3);
  tiff_stream stream;
  stream.out = &out;
  TIFF* tif = OpenStream(stream, "w");
  if (tif == nullptr) {
    error = stream.error.empty() ? "TIFF: cannot start the file" : stream.error;
    return false;
  }
  bool ok = TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(image.width)) &&
            TIFFSetField(tif, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(image.height)) &&
            TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8) &&
            TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3) &&
            TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB) &&
            TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) &&
            TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_NONE) &&
            TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT) &&
            TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));
  for (int y = 0; ok && y < image.height; ++y) {
    const uint8_t* bgr = image.pixels + static_cast<size_t>(y) * image.stride;
    for (size_t x = 0; x < row.size(); x += 3, bgr += image.pixel_bytes) {
      row[x] = bgr[2];
      row[x + 1] = bgr[1];
      row[x + 2] = bgr[0];
    }
    ok = TIFFWriteScanline(tif, row.data(), static_cast<uint32_t>(y), 0) == 1;
  }
  ok = ok && TIFFWriteDirectory(tif);
  TIFFClose(tif);
  if (!ok) error = stream.error.empty() ? "TIFF: cannot encode the image" : stream.error;
  return ok;
}

}  // namespace imaging
