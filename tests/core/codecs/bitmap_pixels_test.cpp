#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "codecs/bitmap_pixels.h"

namespace {

TEST(BitmapPixels, ChannelRulesWidenAndPickAsEachReaderAsks) {
  using enum channel_rule;
  // Five bits all set: 248 shifted, 255 repeated; a lone top bit 128 or 132 (10000 10000 1...).
  EXPECT_EQ(bit_field_channel(0x7C00, shift)(0x7FFF), 248);
  EXPECT_EQ(bit_field_channel(0x7C00, repeat)(0x7FFF), 255);
  EXPECT_EQ(bit_field_channel(0x7C00, shift)(0x4000), 128);
  EXPECT_EQ(bit_field_channel(0x7C00, repeat)(0x4000), 132);
  EXPECT_EQ(bit_field_channel(0x07E0, shift)(0x07E0), 252);
  EXPECT_EQ(bit_field_channel(0x8000, repeat)(0x8000), 255);
  // Ten bits keep their top eight under either rule.
  EXPECT_EQ(bit_field_channel(0x3FF, shift)(0x2FF), 0xBF);
  EXPECT_EQ(bit_field_channel(0x3FF, repeat)(0x2FF), 0xBF);
  // The byte the mask's highest byte lies in, whatever the mask's bits within it.
  EXPECT_EQ(bit_field_channel(0x3FF00000, whole_byte)(0xAB123456), 0xAB);
  EXPECT_EQ(bit_field_channel(0x0000FF00, whole_byte)(0xAB123456), 0x34);
  EXPECT_EQ(bit_field_channel(0, whole_byte)(0xAB123456), 0x56);
  for (channel_rule rule : {shift, repeat, whole_byte}) EXPECT_FALSE(bit_field_channel(0, rule).Present());
  EXPECT_EQ(bit_field_channel(0, shift)(0xFFFFFFFF), 0);

  // A 16-bit layout drops the masks' high halves; without an alpha mask the fourth byte is 255.
  const uint32_t masks[4] = {0x17C00, 0x103E0, 0x1001F, 0};
  EXPECT_EQ(bit_field_channels(masks, 16, shift).Bgra(0x7FFF), 0xFFF8F8F8u);
  const uint32_t bgra[4] = {0xFF0000, 0xFF00, 0xFF, 0xFF000000};
  EXPECT_EQ(bit_field_channels(bgra, 32, repeat).Bgra(0x80112233), 0x80112233u);
}

TEST(BitmapPixels, ColourTablesFillMissingEntriesWithBlackAndRowsExpandInPlace) {
  const std::vector<uint8_t> three = {1, 2, 3, 4, 5, 6};
  const colour_table core(three.data(), 2, 3, 0);
  EXPECT_EQ(core[0], 0x030201u);
  EXPECT_EQ(core[1], 0x060504u);
  EXPECT_EQ(core[2], 0u);
  EXPECT_EQ(colour_table(three.data(), 1, 3, 255)[1], 0xFF000000u);
  std::vector<uint8_t> four(300 * 4);
  for (size_t i = 0; i < four.size(); ++i) four[i] = uint8_t(i * 7 + 1);
  const colour_table table(four.data(), 300, 4, 255);  // more entries than indices: 256 kept
  EXPECT_EQ(table[255], 0xFF000000u | four[1022] << 16 | four[1021] << 8 | four[1020]);

  std::mt19937 random(3);
  for (int bits : {1, 2, 4, 8})
    for (size_t width = 0; width < 20; ++width) {
      std::vector<uint8_t> row(width * 4 + 4, 0xEE);
      for (size_t i = 0; i < (width * bits + 7) / 8; ++i) row[i] = uint8_t(random());
      std::vector<uint8_t> apart(row.size(), 0xEE), want(row.size(), 0xEE);
      for (size_t x = 0; x < width; ++x) {
        const unsigned index = row[x * bits / 8] >> (8 - bits - int(x * bits % 8)) & ((1u << bits) - 1);
        for (int c = 0; c < 4; ++c) want[4 * x + c] = uint8_t(table[uint8_t(index)] >> 8 * c);
      }
      IndexRowToBgra(row.data(), bits, table, apart.data(), width);
      IndexRowToBgra(row.data(), bits, table, row.data(), width);
      ASSERT_EQ(apart, want) << bits << " " << width;
      ASSERT_EQ(row, want) << bits << " " << width;
    }
}

// Rows of 6 pixels with two spare bytes each, decoded from the given bytes.
struct decoded_rows {
  std::vector<uint8_t> bytes = std::vector<uint8_t>(3 * 8);
  run_length_outcome outcome{};
  decoded_rows(std::vector<uint8_t> data, run_length_rules rules) {
    outcome = DecodeRunLength(data.data(), data.size(), rules, {bytes.data(), 8, 6, 3});
  }
  std::vector<uint8_t> Row(int y) const { return {bytes.begin() + 8 * y, bytes.begin() + 8 * y + 8}; }
};

TEST(BitmapPixels, RunLengthRulesForLiteralsDeltasAndTheEnd) {
  using row = std::vector<uint8_t>;
  // A run of 10 starting 4 before the row's end stores 4; a literal that would pass the
  // end stores all that fit or nothing, by the rules.
  const decoded_rows run({0, 2, 2, 0, 10, 7, 0, 0, 0, 2, 2, 0, 0, 5, 1, 2, 3, 4, 5, 0, 0, 1}, {false, false, false});
  EXPECT_EQ(run.Row(0), (row{0, 0, 7, 7, 7, 7, 0, 0}));
  EXPECT_EQ(run.Row(1), row(8));
  EXPECT_EQ(run.outcome.end, run_length_end::end_code);
  const decoded_rows part({0, 2, 4, 0, 0, 5, 1, 2, 3, 4, 5, 0}, {false, true, false});
  EXPECT_EQ(part.Row(0), (row{0, 0, 0, 0, 1, 2, 0, 0}));
  EXPECT_EQ(part.outcome.end, run_length_end::data_ended);

  // An odd 4-bit delta moves 3 pixels exactly, or 2 by whole bytes.
  for (bool exact : {false, true}) {
    const decoded_rows delta({0, 2, 3, 0, 3, 0xAB, 0, 1}, {true, false, exact});
    EXPECT_EQ(delta.Row(0), exact ? (row{0, 0x0A, 0xBA, 0, 0, 0, 0, 0}) : (row{0, 0xAB, 0xA0, 0, 0, 0, 0, 0}));
  }

  // Line ends past the top row, and data that ends in a code or inside one.
  EXPECT_EQ(decoded_rows({0, 0, 0, 0, 0, 0, 1, 1}, {false, true, true}).outcome.end, run_length_end::past_last_row);
  const decoded_rows ended({0, 0, 0, 0, 5}, {false, true, true});
  EXPECT_EQ(ended.outcome.end, run_length_end::data_ended);
  EXPECT_EQ(ended.outcome.row, 2);
  EXPECT_EQ(decoded_rows({0, 2, 0}, {false, true, true}).outcome.end, run_length_end::code_cut);
  const decoded_rows cut({0, 0, 0, 4, 9, 8}, {false, false, false});
  EXPECT_EQ(cut.outcome.end, run_length_end::code_cut);
  EXPECT_EQ(cut.outcome.row, 1);
  EXPECT_EQ(cut.Row(1), (row{9, 8, 0, 0, 0, 0, 0, 0}));
}

TEST(BitmapPixels, RunLengthDataNeverWritesOutsideItsRows) {
  std::mt19937 random(11);
  for (int trial = 0; trial < 3000; ++trial) {
    const run_length_rules rules{bool(random() & 1), bool(random() & 2), bool(random() & 4)};
    const int64_t width = 1 + random() % 40, height = 1 + random() % 6;
    const int64_t used = rules.four_bit ? (width + 1) / 2 : width;
    const int64_t stride = used + 3;
    std::vector<uint8_t> data(random() % 200);
    // Mostly small counts and codes, so that deltas, line ends and literals come often.
    for (uint8_t& b : data) b = uint8_t(random() % 4 ? random() % 6 : random());
    std::vector<uint8_t> memory(size_t(stride * height + 16), 0xEE);
    for (int64_t y = 0; y < height; ++y) std::fill_n(memory.begin() + 8 + y * stride, used, 0);
    const bool top_down = trial & 1;
    uint8_t* bottom = memory.data() + 8 + (top_down ? (height - 1) * stride : 0);
    DecodeRunLength(data.data(), data.size(), rules, {bottom, top_down ? -stride : stride, width, height});
    for (size_t i = 0; i < memory.size(); ++i) {
      const int64_t at = int64_t(i) - 8;
      const bool in_row = at >= 0 && at < stride * height && at % stride < used;
      if (!in_row) {
        ASSERT_EQ(memory[i], 0xEE) << trial << " " << i;
      }
    }
  }
}

}  // namespace
