#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// What decoding an image file offered on the clipboard gave. too_large: the file
// declares more pixels than a paste may hold, or their memory cannot be had.
enum class pasted_image { done, not_an_image, too_large };

// Decodes an image file's bytes from the clipboard (offered as PNG, though the bytes
// decide the format) with the reader that opens image files, into a clipboard
// bitmap block of 32-bit top-down rows. The size is checked from the header before
// anything is decoded, and bytes that do not hold what they declare are refused at
// once. block changes only when the result is done.
pasted_image BitmapBlockFromImageFile(const uint8_t* bytes, size_t size, std::vector<uint8_t>& block);
