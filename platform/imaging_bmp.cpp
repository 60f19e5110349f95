#include <cstring>
#include <new>

#include "platform/imaging_codecs.h"

namespace imaging {
namespace {

void Put16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

void Put32(uint8_t* p, uint32_t v) {
  Put16(p, v);
  Put16(p + 2, v >> 16);
}

}  // namespace

std::unique_ptr<frame_decoder> OpenBmp(byte_view, std::string& error) {
  error = "BMP: decoding is not available yet";
  return nullptr;
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
  Put32(h + 2, static_cast<uint32_t>(out.size()));
  Put32(h + 10, header_bytes);
  Put32(h + 14, 40);
  Put32(h + 18, static_cast<uint32_t>(image.width));
  Put32(h + 22, static_cast<uint32_t>(image.height));  // positive: bottom row first
  Put16(h + 26, 1);
  Put16(h + 28, 24);
  Put32(h + 34, static_cast<uint32_t>(pixel_bytes));
  for (int y = 0; y < image.height; ++y)
    std::memcpy(h + header_bytes + static_cast<size_t>(image.height - 1 - y) * row_bytes,
                image.pixels + static_cast<size_t>(y) * image.stride,
                static_cast<size_t>(image.width) * 3);
  return true;
}

}  // namespace imaging
