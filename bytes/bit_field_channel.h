#pragma once
#include <bit>
#include <cstdint>

// One channel of a 16-bit bit-field pixel as a byte: the bits the mask selects, moved
// so that the mask's highest bit lands on bit 7. Bits moved below bit 0 are dropped and
// the bits a narrow mask leaves empty stay 0, so five bits all set give 248. A mask
// without bits in the low 16 gives 0. (The imaging road's reader fills the byte by
// repeating the bits instead: codecs/imaging_bmp.cpp.)
inline uint8_t Channel16(uint32_t pixel, uint32_t mask) {
  mask &= 0xFFFF;
  if (mask == 0) return 0;
  const int low = std::countr_zero(mask);
  const int span = std::bit_width(mask >> low);
  const uint32_t v = (pixel & mask) >> low;
  return uint8_t(span >= 8 ? v >> (span - 8) : v << (8 - span));
}
