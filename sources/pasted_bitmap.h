#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/base/image_record.h"

// What converting a clipboard bitmap gave.
enum paste_result : int {
  paste_done = 0,
  paste_no_bitmap = 1,
  paste_not_handled = 2,
  paste_out_of_memory = 3,
};

// A 40-byte bitmap info header with a positive height, 32 bits, no compression,
// followed by width x height x 4 pixel bytes (copied from pixels, zeros when pixels
// is null) and the record's spare bytes: the layout of image_record::bitmap. Null
// when the block would exceed 100,000,000 bytes or cannot be had. Free with free().
uint8_t* MakeBitmapImage32(int width, int height, const uint8_t* pixels);

// True when a width x height image fits that block.
bool FitsBitmapImage32(uint64_t width, uint64_t height);

// True when bytes begin like a PNG file whose header declares an image too large to
// paste. Read from the header alone, so that a small file claiming a huge image is
// refused before anything is decoded; bytes that are no PNG are left to the decoder.
bool PngTooLargeToPaste(const uint8_t* bytes, size_t size);

// Turns a device-independent bitmap block (info header, masks, palette, pixel rows)
// of 1, 4, 8, 16, 24 or 32 bits into a 32-bit top-down image with a mask of ones in
// record. The block comes from another program: nothing outside it is read, and
// a block that does not hold what its header declares is not handled. The record
// changes only when the result is paste_done.
paste_result NormalisePastedBitmap(const uint8_t* block, size_t size, image_record& record);

// A bitmap file's bytes as a clipboard bitmap block: the file header dropped and the
// pixel rows moved up to follow the header, masks and palette, wherever the file put
// them. Empty when the bytes are no bitmap file.
std::vector<uint8_t> BitmapBlockFromFile(const uint8_t* file, size_t size);
