#pragma once
#include <cstdint>
#include <vector>

#include "bytes/le_bytes.h"

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
    const uint32_t fields[] = {header_size, uint32_t(width), uint32_t(height), planes | uint32_t(bits) << 16,
                               compression, size_image, uint32_t(x_pels), uint32_t(y_pels), colours};
    for (int i = 0; i < 9; ++i) PutLe32(&info[4 * i], fields[i]);
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
