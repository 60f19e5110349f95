#pragma once
#include <cstdint>
#include <memory>

inline constexpr int max_target_width = 2048;
inline constexpr int max_target_height = 1536;

// One placed source on the largest target: blue, green, red per pixel and a
// coverage byte, both planes at a fixed row stride of max_target_width pixels.
// Allocated once; building a layer never allocates.
struct source_layer {
  static constexpr int stride = max_target_width;
  std::unique_ptr<uint8_t[]> rgb{new uint8_t[size_t(max_target_width) * max_target_height * 3]};
  std::unique_ptr<uint8_t[]> mask{new uint8_t[size_t(max_target_width) * max_target_height]};

  uint8_t* Pixel(int row, int column) { return rgb.get() + (size_t(row) * stride + column) * 3; }
  const uint8_t* Pixel(int row, int column) const {
    return rgb.get() + (size_t(row) * stride + column) * 3;
  }
  uint8_t& Mask(int row, int column) { return mask[size_t(row) * stride + column]; }
  uint8_t Mask(int row, int column) const { return mask[size_t(row) * stride + column]; }
};
