#pragma once
#include <cstdint>
#include <vector>

#include "sources/le_bytes.h"

// Assembles BMP files field by field, so that tests can write any header, sound or not.
struct bmp_builder {
  bool file_header = true;  // false: a bare bitmap starting with its info header
  uint32_t header_size = 40;  // 12 writes a core header
  int32_t width = 1;
  int32_t height = 1;
  uint16_t planes = 1;
  uint16_t bits = 24;
  uint32_t compression = 0;
  uint32_t size_image = 0;
  int32_t x_pels = 0;
  int32_t y_pels = 0;
  uint32_t colours = 0;
  std::vector<uint8_t> masks;    // right after the info header
  std::vector<uint8_t> palette;  // raw entries
  std::vector<uint8_t> pixels;
  int64_t offset = -1;  // the file header's data offset; -1: where the pixels are

  std::vector<uint8_t> Bytes() const {
    std::vector<uint8_t> info(header_size < 12 ? 12 : header_size);
    PutLe32(info.data(), header_size);
    if (header_size == 12) {
      PutLe16(&info[4], uint16_t(width));
      PutLe16(&info[6], uint16_t(height));
      PutLe16(&info[8], planes);
      PutLe16(&info[10], bits);
    } else if (info.size() >= 40) {
      PutLe32(&info[4], uint32_t(width));
      PutLe32(&info[8], uint32_t(height));
      PutLe16(&info[12], planes);
      PutLe16(&info[14], bits);
      PutLe32(&info[16], compression);
      PutLe32(&info[20], size_image);
      PutLe32(&info[24], uint32_t(x_pels));
      PutLe32(&info[28], uint32_t(y_pels));
      PutLe32(&info[32], colours);
    }
    std::vector<uint8_t> out;
    const size_t data_at = (file_header ? 14 : 0) + info.size() + masks.size() + palette.size();
    if (file_header) {
      out.resize(14);
      out[0] = 'B';
      out[1] = 'M';
      PutLe32(&out[2], uint32_t(data_at + pixels.size()));
      PutLe32(&out[10], uint32_t(offset < 0 ? data_at : offset));
    }
    out.insert(out.end(), info.begin(), info.end());
    out.insert(out.end(), masks.begin(), masks.end());
    out.insert(out.end(), palette.begin(), palette.end());
    out.insert(out.end(), pixels.begin(), pixels.end());
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
