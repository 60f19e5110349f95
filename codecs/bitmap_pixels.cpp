#include "codecs/bitmap_pixels.h"

#include <algorithm>
#include <bit>

#include "bytes/le_bytes.h"

bit_field_channel::bit_field_channel(uint32_t mask, channel_rule rule)
    : given(mask), mask(mask), repeat(rule == channel_rule::repeat) {
  if (rule == channel_rule::whole_byte) {
    const int byte = (mask >> 8 != 0) + (mask >> 16 != 0) + (mask >> 24 != 0);
    this->mask = 0xFFu << (8 * byte);
  }
  if (this->mask == 0) return;
  low = std::countr_zero(this->mask);
  span = std::bit_width(this->mask >> low);
}

namespace {

uint32_t LowMask(uint32_t mask, int depth) { return depth == 16 ? mask & 0xFFFF : mask; }

}  // namespace

bit_field_channels::bit_field_channels(const uint32_t masks[4], int depth, channel_rule rule)
    : red(LowMask(masks[0], depth), rule),
      green(LowMask(masks[1], depth), rule),
      blue(LowMask(masks[2], depth), rule),
      alpha(LowMask(masks[3], depth), rule) {}

void BitFieldRowToBgra(const uint8_t* in, int depth, const bit_field_channels& channels, uint8_t* out,
                       size_t width) {
  if (depth == 16) {
    for (size_t x = 0; x < width; ++x) PutLe32(out + 4 * x, channels.Bgra(GetLe16(in + 2 * x)));
  } else {
    for (size_t x = 0; x < width; ++x) PutLe32(out + 4 * x, channels.Bgra(GetLe32(in + 4 * x)));
  }
}

colour_table::colour_table(const uint8_t* entries, uint32_t count, uint32_t entry_bytes, uint8_t fourth) {
  const uint32_t black = uint32_t(fourth) << 24;
  std::fill(colours, colours + 256, black);
  count = std::min<uint32_t>(count, 256);
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* e = entries + size_t(i) * entry_bytes;
    colours[i] = uint32_t(e[0]) | uint32_t(e[1]) << 8 | uint32_t(e[2]) << 16 | black;
  }
}

void IndexRowToBgra(const uint8_t* in, int bits, const colour_table& table, uint8_t* out, size_t width) {
  // From the last pixel back: pixel x's index lies at or before byte x, and its
  // colour goes to byte 4x, so an expansion in place reads every index before
  // overwriting it.
  const unsigned per_byte = 8 / unsigned(bits);
  const unsigned low = (1u << bits) - 1;
  for (size_t x = width; x-- > 0;) {
    const unsigned slot = unsigned(x % per_byte);
    const auto index = uint8_t((in[x / per_byte] >> (8 - bits * int(slot + 1))) & low);
    PutLe32(out + 4 * x, table[index]);
  }
}

run_length_outcome DecodeRunLength(const uint8_t* data, size_t size, const run_length_rules& rules,
                                   const index_rows& rows) {
  const bool four = rules.four_bit;
  const int64_t width = rows.width;
  const uint8_t* p = data;
  const uint8_t* const end = data + size;
  // x never passes the row's end; y is checked before each code.
  int64_t x = 0;
  int64_t y = 0;
  const auto put = [four](uint8_t* row, int64_t at, unsigned index) {
    if (!four) {
      row[at] = uint8_t(index);
    } else if (at & 1) {
      row[at >> 1] = uint8_t(row[at >> 1] | index);
    } else {
      row[at >> 1] = uint8_t(index << 4);
    }
  };
  for (;;) {
    if (y >= rows.height) return {run_length_end::past_last_row, y};
    if (end - p < 2) return {run_length_end::data_ended, y};
    uint8_t* const row = rows.bottom + y * rows.stride;
    const unsigned count = p[0];
    const unsigned value = p[1];
    p += 2;
    if (count > 0) {
      const int64_t stored = std::min<int64_t>(count, width - x);
      for (int64_t i = 0; i < stored; ++i) put(row, x + i, four ? (i & 1 ? value & 0x0F : value >> 4) : value);
      x += stored;
      continue;
    }
    if (value == 0) {
      x = 0;
      ++y;
    } else if (value == 1) {
      return {run_length_end::end_code, y};
    } else if (value == 2) {
      if (end - p < 2) return {run_length_end::code_cut, y};
      const unsigned dx = four && !rules.exact_4bit_deltas ? p[0] / 2 * 2 : p[0];
      x = std::min<int64_t>(x + dx, width);
      y += p[1];
      p += 2;
    } else {
      const size_t bytes = four ? (value + 1) / 2 : value;
      const size_t present = std::min(bytes, size_t(end - p));
      if (rules.store_literal_part || x + value <= width) {
        const int64_t given = four ? std::min<int64_t>(value, 2 * int64_t(present)) : int64_t(present);
        const int64_t stored = std::min(given, width - x);
        for (int64_t i = 0; i < stored; ++i) put(row, x + i, four ? (i & 1 ? p[i / 2] & 0x0F : p[i / 2] >> 4) : p[i]);
      }
      if (present < bytes) return {run_length_end::code_cut, y};
      x = std::min<int64_t>(x + value, width);
      p += bytes;
      // Literal runs are padded to a whole number of 16-bit words.
      if (bytes & 1 && p < end) ++p;
    }
  }
}
