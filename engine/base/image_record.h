#pragma once
#include <cstddef>
#include <cstdint>

// One source image in memory: a 32-bit bitmap block (a 40-byte bitmap info header,
// top-down rows of blue, green, red, spare byte, then 14 spare bytes) and a
// coverage mask of one byte per pixel. The record owns both blocks.
class image_record {
 public:
  static constexpr int max_side = 20000;
  static constexpr uint32_t max_block_bytes = 200000000;
  static constexpr int spare_bytes = 14;

  uint8_t* bitmap = nullptr;
  uint8_t* mask = nullptr;
  uint8_t has_mask = 0;
  int32_t mask_size = 0;

  image_record() = default;
  ~image_record();
  image_record(const image_record&) = delete;
  image_record& operator=(const image_record&) = delete;
  image_record(image_record&& other) noexcept;
  image_record& operator=(image_record&& other) noexcept;

  // Replaces the contents by a zero-filled w x h image with every pixel covered.
  // On refusal the record is left empty and false is returned.
  bool Create(int w, int h);
  // The same, but a record of that size already keeps its memory, and its pixels are
  // left as they were: for a caller that writes every one.
  bool Reshape(int w, int h);
  // Gives the image a mask of width x height bytes, all set to value.
  bool MakeMask(uint8_t value);
  // Frees both blocks and leaves the record empty.
  void Release();
  void Swap(image_record& other) noexcept;

  bool Empty() const { return bitmap == nullptr; }
  int Width() const;
  int Height() const;
  // Start of the pixel rows: the header's own size field says where they begin.
  uint8_t* Pixels();
  const uint8_t* Pixels() const;
};
