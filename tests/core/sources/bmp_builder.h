#pragma once
#include <cstdint>
#include <vector>

#include "sources/le_bytes.h"

// Assembles BMP files field by field, so that tests can write any header, sound or not.
struct bmp_builder {
  bool file_header = true;  // false: a bare bitmap starting with its info header
  uint32_t header_size = 40;
  int32_t width = 1, height = 1;
  uint16_t planes = 1, bits = 24;
  uint32_t compression = 0, size_image = 0;
  int32_t x_pels = 0, y_pels = 0;
  uint32_t colours = 0;
  std::vector<uint8_t> masks;    // right after the info header
  std::vector<uint8_t> palette;  // raw entries
  std::vector<uint8_t> pixels;

  std::vector<uint8_t> Bytes() const {
    std::vector<uint8_t> info(header_size < 40 ? 40 : header_size);
    PutLe32(info.data(), header_size);
    PutLe32(&info[4], uint32_t(width));
    PutLe32(&info[8], uint32_t(height));
    PutLe16(&info[12], planes);
    PutLe16(&info[14], bits);
    PutLe32(&info[16], compression);
    PutLe32(&info[20], size_image);
    PutLe32(&info[24], uint32_t(x_pels));
    PutLe32(&info[28], uint32_t(y_pels));
    PutLe32(&info[32], colours);
    if (header_size < 40) info.resize(header_size);
    std::vector<uint8_t> out;
    if (file_header) {
      out = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
      const size_t data_at = 14 + info.size() + masks.size() + palette.size();
      PutLe32(&out[2], uint32_t(data_at + pixels.size()));
      PutLe32(&out[10], uint32_t(data_at));
    }
    for (const auto& part : {info, masks, palette, pixels}) out.insert(out.end(), part.begin(), part.end());
    return out;
  }
};

inline std::vector<uint8_t> Masks(uint32_t red, uint32_t green, uint32_t blue) {
  std::vector<uint8_t> out(12);
  PutLe32(&out[0], red);
  PutLe32(&out[4], green);
  PutLe32(&out[8], blue);
  return out;
}
