#pragma once
#include <cstddef>
#include <cstdint>

#include "codecs/raster.h"

class CByteStream;

// Reads and writes PCX files for CRaster; made only as a temporary codec object by
// CRaster::Decode and CRaster::Encode.
class CRasterPCX : public CRaster {
 public:
  explicit CRasterPCX(uint32_t format = raster_format_pcx) : CRaster(format) {}

  // 1, 2, 4 or 8 bits per plane in 1 to 4 planes, with the 16- and 256-colour palettes.
  // False with a last-error text on refusal.
  bool Decode(CByteStream* stream);
  // 24-bit images as three 8-bit planes (four with an alpha plane), 8-bit images with
  // their palette, 1- and 4-bit images as bit planes.
  bool Encode(CByteStream* stream);
};

// One index per output byte from a single plane of packed pixels; false for more than
// one plane. Bit counts other than 1, 2, 4 and 8 write nothing.
bool pcx_unpack_pixels(uint8_t* output, const uint8_t* input, uint32_t bytes_per_line,
                       uint32_t planes, uint32_t bits);
// Combines 1-bit planes into indices (plane p gives bit p) in bytes_per_line * 8 output
// bytes; false for more than 4 planes or more than 1 bit.
bool pcx_planes_to_pixels(uint8_t* output, const uint8_t* input, uint32_t bytes_per_line,
                          uint32_t planes, uint32_t bits);
// Bit `plane` of each of count indices, most significant bit first.
void pcx_pixels_to_bit_plane(const uint8_t* pixels, size_t count, uint8_t* output,
                             uint32_t plane);
// One step of run-length packing for values given one at a time; last and count are the
// caller's state, both 0 at the start of a plane line. -1 flushes the pending run, -2
// flushes it and adds one pad byte 0. False when a write failed.
bool pcx_pack_run(int value, int& last, int& count, CByteStream* stream);
// Packs one whole plane line; false when a write failed.
bool pcx_pack_line(const uint8_t* bytes, size_t length, CByteStream* stream);
