#pragma once
#include <cstddef>
#include <cstdint>

// The pixel coding that every reader of device-independent bitmaps shares: bit-field
// channels, colour tables and run-length rows. Each reader keeps its own headers and
// limits; where the readers' rules differ, the rule is a parameter here.

// How a bit-field channel becomes a byte.
enum class channel_rule {
  // The channel's bits moved so that the mask's highest bit lands on bit 7: bits moved
  // below bit 0 are dropped and those a narrow mask leaves empty stay 0, so five bits
  // all set give 248.
  shift,
  // As shift, but a narrow channel's bits are repeated down to fill the byte, so five
  // bits all set give 255.
  repeat,
  // The whole byte of the pixel that holds the mask's highest non-zero byte, whatever
  // bits the mask selects within it.
  whole_byte,
};

// One channel of a bit-field pixel. A mask without bits gives 0 (byte 0 of the pixel
// under whole_byte).
class bit_field_channel {
 public:
  bit_field_channel(uint32_t mask, channel_rule rule);
  bool Present() const { return given != 0; }
  uint8_t operator()(uint32_t pixel) const {
    if (mask == 0) return 0;
    const uint32_t v = (pixel & mask) >> low;
    if (span >= 8) return uint8_t(v >> (span - 8));
    if (!repeat) return uint8_t(v << (8 - span));
    uint32_t out = 0;
    for (int at = 8 - span;; at -= span) {
      if (at <= 0) return uint8_t(out | v >> -at);
      out |= v << at;
    }
  }

 private:
  uint32_t given;
  uint32_t mask;
  bool repeat;
  int low = 0;
  int span = 0;
};

// The channels of one bit-field layout of 16- or 32-bit pixels; a 16-bit layout
// keeps only the masks' low 16 bits.
struct bit_field_channels {
  // masks: red, green, blue, alpha.
  bit_field_channels(const uint32_t masks[4], int depth, channel_rule rule);
  // Blue, green, red, alpha in memory order; without an alpha mask the fourth byte is 255.
  uint32_t Bgra(uint32_t pixel) const {
    return uint32_t(blue(pixel)) | uint32_t(green(pixel)) << 8 | uint32_t(red(pixel)) << 16 |
           uint32_t(alpha.Present() ? alpha(pixel) : 255) << 24;
  }

  bit_field_channel red, green, blue, alpha;
};

// One row of width 16- or 32-bit little-endian bit-field pixels to blue, green, red, alpha.
void BitFieldRowToBgra(const uint8_t* in, int depth, const bit_field_channels& channels, uint8_t* out,
                       size_t width);

// The colour table of an indexed bitmap: 256 entries of blue, green, red and a fourth
// byte in memory order. Entries the bitmap does not give are black.
class colour_table {
 public:
  // count entries (at most 256 are kept) of entry_bytes each: 3 (blue, green, red) or
  // 4 (and a reserved byte, which is not kept). Every entry's fourth byte is fourth.
  colour_table(const uint8_t* entries, uint32_t count, uint32_t entry_bytes, uint8_t fourth);
  uint32_t operator[](uint8_t index) const { return colours[index]; }

 private:
  uint32_t colours[256];
};

// One row of width pixel indices of bits each (1, 2, 4 or 8; the first pixel in the
// highest bits of a byte) looked up in the table into 4-byte pixels. in may be the
// start of out: the row is expanded from its end.
void IndexRowToBgra(const uint8_t* in, int bits, const colour_table& table, uint8_t* out, size_t width);

// Where run-length data is decoded to: pixel indices, one byte a pixel for 8-bit runs,
// two pixels a byte for 4-bit runs (the first in the high half). The rows must be
// zero on entry; pixels no run reaches stay 0.
struct index_rows {
  uint8_t* bottom;   // the bottom row, where the data begins
  ptrdiff_t stride;  // from one row to the row above it
  int64_t width;     // pixels a row takes
  int64_t height;
};

struct run_length_rules {
  bool four_bit;
  // A literal run that reaches past its row's end: true stores the pixels that fit,
  // false none of them.
  bool store_literal_part;
  // A 4-bit delta moves by exactly its pixels (true) or by whole bytes, an odd count
  // losing its last pixel (false).
  bool exact_4bit_deltas;
};

enum class run_length_end {
  end_code,       // the end-of-bitmap code
  past_last_row,  // a line end or a delta left the top row
  data_ended,     // the data ran out where a code would begin
  code_cut,       // the data ran out inside a delta or a literal run
};

struct run_length_outcome {
  run_length_end end;
  int64_t row;  // the row the decoding stopped in, from the bottom
};

// Decodes run-length data (a count and a value, or 0 and an escape: 0 line end, 1 end
// of bitmap, 2 a delta right and up, 3 or more a literal run padded to an even number
// of bytes). Nothing is written outside the rows: runs, deltas and literals stop at
// the row's end, and rows past the top end the decoding. The pixels of a literal run
// cut short by the data's end are stored as far as they go.
run_length_outcome DecodeRunLength(const uint8_t* data, size_t size, const run_length_rules& rules,
                                   const index_rows& rows);
