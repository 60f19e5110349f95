#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

inline constexpr int max_target_width = 2048;
inline constexpr int max_target_height = 1536;

// One placed source on the largest target: blue, green, red per pixel and a
// coverage byte, both planes at a fixed row stride of max_target_width pixels.
// Allocated once; building a layer never allocates.
struct source_layer {
  static constexpr int stride = max_target_width;
  std::unique_ptr<uint8_t[]> rgb{new uint8_t[size_t(max_target_width) * max_target_height * 3]};

  uint8_t* Pixel(int row, int column) { return rgb.get() + (size_t(row) * stride + column) * 3; }
  const uint8_t* Pixel(int row, int column) const {
    return rgb.get() + (size_t(row) * stride + column) * 3;
  }
  // A coverage byte to write. Writes through the reference may go on along the row
  // (a span of the row at once), never back before the column or into another row.
  uint8_t& Mask(int row, int column) {
    uint16_t& ones = known_ones[size_t(row)];
    ones = uint16_t(std::min(int(ones), column));
    return mask[size_t(row) * stride + column];
  }
  uint8_t Mask(int row, int column) const { return mask[size_t(row) * stride + column]; }
  const uint8_t* MaskRow(int row) const { return mask.get() + size_t(row) * stride; }

  // Whether the first n coverage bytes of the row are all 1. The answer is kept until
  // the row's coverage is written again: a combine after a change of its settings
  // alone reads no coverage where the row was covered. Different rows may be asked
  // on different threads at once.
  bool RowCovered(int row, int n) const {
    uint16_t& ones = known_ones[size_t(row)];
    if (ones >= n) return true;
    const uint8_t* m = MaskRow(row);
    int k = ones;
    for (; k + 8 <= n; k += 8) {
      uint64_t v;
      std::memcpy(&v, m + k, 8);
      if (v != 0x0101010101010101u) break;
    }
    while (k < n && m[k] == 1) ++k;
    ones = uint16_t(k);
    return k >= n;
  }

 private:
  std::unique_ptr<uint8_t[]> mask{new uint8_t[size_t(max_target_width) * max_target_height]};
  // Per row: how many coverage bytes from the row's start are known to be 1. Only
  // ever too low, never too high: a write through Mask cuts it back to the column.
  std::unique_ptr<uint16_t[]> known_ones{new uint16_t[max_target_height]()};
};
