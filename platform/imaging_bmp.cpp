#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/imaging_codecs.h"
#include "sources/le_bytes.h"
#include "sources/raster.h"

namespace imaging {
namespace {

constexpr size_t file_header_bytes = 14;
constexpr uint32_t core_header_bytes = 12;

// The header gives the size; the image class decodes the pixels when they are asked
// for, so that a frame refused for its size costs nothing, and its bottom-up rows
// become ours.
class bmp_decoder : public byte_decoder {
 public:
  using byte_decoder::byte_decoder;

  bool Open() {
    if (bytes.size < file_header_bytes + 16) return Fail("BMP: the file is truncated");
    const uint8_t* info = bytes.data + file_header_bytes;
    int64_t w, h;
    if (GetLe32(info) == core_header_bytes) {
      w = GetLe16(info + 4);
      h = GetLe16(info + 6);
    } else {
      w = GetLe32Signed(info + 4);
      h = std::llabs(int64_t{GetLe32Signed(info + 8)});  // negative: stored top row first
    }
    return SetSize(w, h);
  }

  bool CopyPixels(uint8_t* dest, size_t stride, size_t buffer_size) override {
    if (!CheckDestination(dest, stride, buffer_size)) return false;
    const CRaster image(bytes.data, bytes.size, raster_format_bmp);
    if (!image.IsValid()) return Fail(std::string("BMP: ") + image.GetErrorText());
    if (image.GetWidth() != width || image.GetHeight() != height)
      return Fail("BMP: the decoded size differs from the header");
    const bool alpha = image.AlphaIsValid();
    for (int y = 0; y < height; ++y) {
      uint8_t* out = dest + static_cast<size_t>(y) * stride;
      const int64_t row = height - 1 - y;
      for (int x = 0; x < width; ++x, out += 4) {
        const rgb_quad colour = image.PixelColorUnchecked(x, row, alpha);
        out[0] = colour.blue;
        out[1] = colour.green;
        out[2] = colour.red;
        out[3] = alpha ? colour.reserved : 255;
      }
    }
    return true;
  }

 private:
  bool Fail(std::string text) {
    error = std::move(text);
    return false;
  }
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
  PutLe32(h + 14, 40);
  PutLe32(h + 18, static_cast<uint32_t>(image.width));
  PutLe32(h + 22, static_cast<uint32_t>(image.height));  // positive: bottom row first
  PutLe16(h + 26, 1);
  PutLe16(h + 28, 24);
  PutLe32(h + 34, static_cast<uint32_t>(pixel_bytes));
  for (int y = 0; y < image.height; ++y)
    std::memcpy(h + header_bytes + static_cast<size_t>(image.height - 1 - y) * row_bytes,
                image.pixels + static_cast<size_t>(y) * image.stride,
                static_cast<size_t>(image.width) * 3);
  return true;
}

}  // namespace imaging
