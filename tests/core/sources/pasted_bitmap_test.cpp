#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "sources/pasted_bitmap.h"
#include "tests/core/codecs/bmp_builder.h"

namespace {

using pixel = std::array<uint8_t, 4>;  // blue, green, red, fourth

bmp_builder Block(int32_t width, int32_t height, uint16_t bits, uint32_t compression = 0) {
  bmp_builder b;
  b.file_header = false;
  b.width = width, b.height = height, b.bits = bits, b.compression = compression;
  return b;
}

void AddMasks(bmp_builder& b, uint32_t red, uint32_t green, uint32_t blue) {
  b.masks.resize(12);
  PutLe32(&b.masks[0], red), PutLe32(&b.masks[4], green), PutLe32(&b.masks[8], blue);
}

// Pastes the block and returns its pixels top row first.
std::vector<pixel> Paste(const std::vector<uint8_t>& block, int& w, int& h) {
  image_record record;
  EXPECT_EQ(NormalisePastedBitmap(block.data(), block.size(), record), paste_done);
  w = record.Width(), h = record.Height();
  std::vector<pixel> out(size_t(w) * h);
  if (!record.Empty()) std::memcpy(out.data(), record.Pixels(), out.size() * 4);
  EXPECT_EQ(record.mask_size, w * h);
  for (int i = 0; i < w * h; ++i) EXPECT_EQ(record.mask[i], 1);
  return out;
}

std::vector<pixel> Paste(const bmp_builder& b) {
  int w = 0, h = 0;
  return Paste(b.Bytes(), w, h);
}

const std::vector<uint8_t> black_white = {0, 0, 0, 0, 255, 255, 255, 0};
constexpr pixel black{0, 0, 0, 255}, white{255, 255, 255, 255};

TEST(PastedBitmap, PaletteDepthsTakeTheirEntriesAndMapStrayIndicesToBlack) {
  // 1 bit: two entries whatever the colour count says; most significant bit first.
  for (uint32_t colours : {0u, 2u, 1u}) {
    bmp_builder b = Block(3, 1, 1);
    b.colours = colours, b.palette = black_white, b.pixels = {0b10100000, 0, 0, 0};
    EXPECT_EQ(Paste(b), (std::vector<pixel>{white, black, white})) << colours;
  }
  // 4 bits at an odd width: high nibble first; index 5 lies past the 3 entries.
  bmp_builder four = Block(3, 1, 4);
  four.colours = 3, four.palette = {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0}, four.pixels = {0x21, 0x50, 0, 0};
  EXPECT_EQ(Paste(four), (std::vector<pixel>{{7, 8, 9, 255}, {4, 5, 6, 255}, black}));
  // 8 bits with 3 colours, bottom-up: the stored first row is the bottom one.
  bmp_builder eight = Block(2, 2, 8);
  eight.colours = 3, eight.palette = {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0}, eight.pixels = {0, 1, 0, 0, 2, 200, 0, 0};
  EXPECT_EQ(Paste(eight), (std::vector<pixel>{{7, 8, 9, 255}, black, {1, 2, 3, 255}, {4, 5, 6, 255}}));
}

TEST(PastedBitmap, SixteenBitsShiftEachMaskUpToTheTopByte) {
  // 5-5-5 without masks: all red bits set gives 248, the fourth byte is 255.
  bmp_builder plain = Block(2, 1, 16);
  plain.pixels = {0x00, 0x7C, 0x1F, 0x00};
  EXPECT_EQ(Paste(plain), (std::vector<pixel>{{0, 0, 248, 255}, {248, 0, 0, 255}}));
  // 5-6-5 bit fields: green keeps six bits (0x07E0 -> 252, 0x0020 -> 4).
  bmp_builder fields = Block(2, 1, 16, 3);
  AddMasks(fields, 0xF800, 0x07E0, 0x001F);
  fields.pixels = {0xE0, 0x07, 0x20, 0xF8};
  EXPECT_EQ(Paste(fields), (std::vector<pixel>{{0, 252, 0, 255}, {0, 4, 248, 255}}));
  // A zero mask gives its channel 0 and ends.
  bmp_builder zero = Block(1, 1, 16, 3);
  AddMasks(zero, 0, 0x07E0, 0x001F);
  zero.pixels = {0xFF, 0xFF, 0, 0};
  EXPECT_EQ(Paste(zero), (std::vector<pixel>{{248, 252, 0, 255}}));
  // A V5 header carries the masks itself; nothing more is skipped before the rows.
  bmp_builder v5 = Block(1, 1, 16, 3);
  v5.header_size = 124;
  std::vector<uint8_t> bytes = v5.Bytes();
  PutLe32(&bytes[40], 0xF800), PutLe32(&bytes[44], 0x07E0), PutLe32(&bytes[48], 0x001F);
  bytes.insert(bytes.end(), {0x1F, 0x00, 0, 0});
  int w = 0, h = 0;
  EXPECT_EQ(Paste(bytes, w, h), (std::vector<pixel>{{248, 0, 0, 255}}));
}

TEST(PastedBitmap, TrueColourRowsInBothOrdersAndTheFourthByteKept) {
  bmp_builder up = Block(1, 2, 24);
  up.pixels = {1, 2, 3, 0, 4, 5, 6, 0};
  EXPECT_EQ(Paste(up), (std::vector<pixel>{{4, 5, 6, 255}, {1, 2, 3, 255}}));
  bmp_builder down = up;
  down.height = -2;
  EXPECT_EQ(Paste(down), (std::vector<pixel>{{1, 2, 3, 255}, {4, 5, 6, 255}}));
  bmp_builder wide = Block(2, 1, 32);
  wide.pixels = {1, 2, 3, 77, 4, 5, 6, 0};
  EXPECT_EQ(Paste(wide), (std::vector<pixel>{{1, 2, 3, 77}, {4, 5, 6, 0}}));
  // Bit fields at 24 and 32 bits: the twelve mask bytes are skipped, not read.
  for (uint16_t bits : {uint16_t(24), uint16_t(32)}) {
    bmp_builder fields = Block(1, 1, bits, 3);
    AddMasks(fields, 0xFF, 0xFF00, 0xFF0000);
    fields.pixels = {9, 8, 7, 6};
    EXPECT_EQ(Paste(fields), (std::vector<pixel>{{9, 8, 7, uint8_t(bits == 32 ? 6 : 255)}})) << bits;
  }
}

TEST(PastedBitmap, RefusedFormatsLeaveTheRecordAsItWas) {
  image_record record;
  ASSERT_TRUE(record.Create(3, 3));
  const uint8_t* before = record.bitmap;
  struct refused {
    uint16_t bits;
    uint32_t compression;
  };
  for (refused r : {refused{4, 2}, {8, 1}, {16, 1}, {2, 0}, {64, 0}, {24, 4}, {32, 5}, {1, 5}}) {
    bmp_builder b = Block(2, 2, r.bits, r.compression);
    b.pixels.assign(64, 0);
    b.palette.assign(1024, 0);
    const std::vector<uint8_t> bytes = b.Bytes();
    EXPECT_EQ(NormalisePastedBitmap(bytes.data(), bytes.size(), record), paste_not_handled) << r.bits;
  }
  EXPECT_EQ(NormalisePastedBitmap(nullptr, 0, record), paste_no_bitmap);
  EXPECT_EQ(record.bitmap, before);
  EXPECT_EQ(record.Width(), 3);
}

// Hostile blocks kept beside the tests: each is refused, none is read beyond its end.
TEST(PastedBitmap, HostileBlocksAreRefused) {
  const std::filesystem::path folder = std::filesystem::path(VORBEL_SOURCE_DIR) / "tests/core/sources/hostile_dibs";
  int seen = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    std::ifstream in(entry.path(), std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    // An exact-size copy, so that the sanitizers see any read past the end.
    auto* block = new uint8_t[bytes.size()];
    std::copy(bytes.begin(), bytes.end(), block);
    image_record record;
    const paste_result result = NormalisePastedBitmap(block, bytes.size(), record);
    delete[] block;
    EXPECT_TRUE(result == paste_not_handled || result == paste_out_of_memory) << entry.path();
    EXPECT_TRUE(record.Empty());
    ++seen;
  }
  EXPECT_EQ(seen, 7);
}

TEST(PastedBitmap, MakeBitmapImage32LimitsTheBlockWithoutOverflow) {
  uint8_t* block = MakeBitmapImage32(2, 1, std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8}.data());
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(block[47], 8);
  std::free(block);
  // 4999 x 5000 x 4 + 54 is within 100,000,000; one row more is not; so is nothing at 2^16 squared.
  block = MakeBitmapImage32(4999, 5000, nullptr);
  EXPECT_NE(block, nullptr);
  std::free(block);
  EXPECT_EQ(MakeBitmapImage32(5000, 5000, nullptr), nullptr);
  EXPECT_EQ(MakeBitmapImage32(65536, 65536, nullptr), nullptr);
}

// A PNG signature and header chunk declaring width x height, and nothing after it.
std::vector<uint8_t> PngHeader(uint32_t width, uint32_t height) {
  std::vector<uint8_t> bytes = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
  for (uint32_t v : {width, height})
    for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(uint8_t(v >> shift));
  bytes.insert(bytes.end(), {8, 6, 0, 0, 0, 0, 0, 0, 0});
  return bytes;
}

// The cap is width x height x 4 + 54 <= 100,000,000: 2 x 12,499,993 pixels need
// 99,999,998 bytes, 3 x 8,333,329 need 100,000,002.
TEST(PastedBitmap, ThePastedSizeCapHoldsAtItsEdgeForBitmapsAndPngHeaders) {
  EXPECT_TRUE(FitsBitmapImage32(2, 12499993));
  EXPECT_FALSE(FitsBitmapImage32(3, 8333329));
  EXPECT_FALSE(FitsBitmapImage32(uint64_t(1) << 62, 4));

  EXPECT_FALSE(PngTooLargeToPaste(PngHeader(2, 12499993).data(), 24));
  EXPECT_TRUE(PngTooLargeToPaste(PngHeader(3, 8333329).data(), 24));
  EXPECT_TRUE(PngTooLargeToPaste(PngHeader(0x7FFFFFFF, 0x7FFFFFFF).data(), 33));
  // Too short to hold the height, or no PNG at all: left to the decoder to refuse.
  EXPECT_FALSE(PngTooLargeToPaste(PngHeader(12000, 12000).data(), 23));
  std::vector<uint8_t> not_png = PngHeader(12000, 12000);
  not_png[1] = 'Q';
  EXPECT_FALSE(PngTooLargeToPaste(not_png.data(), not_png.size()));

  // A bitmap block that claims the larger size is refused as too large from its
  // header, though it holds no rows at all.
  image_record record;
  EXPECT_EQ(NormalisePastedBitmap(Block(3, 8333329, 32).Bytes().data(), 40, record), paste_out_of_memory);
  EXPECT_EQ(NormalisePastedBitmap(Block(2, 12499993, 32).Bytes().data(), 40, record), paste_not_handled);
  EXPECT_TRUE(record.Empty());
}

TEST(PastedBitmap, FileBytesLoseTheirHeaderAndRowsFollowThePalette) {
  bmp_builder b;
  b.width = 2, b.height = 1, b.bits = 8, b.colours = 2;
  b.palette = {1, 2, 3, 0, 4, 5, 6, 0};
  b.pixels = {1, 0, 0, 0};
  std::vector<uint8_t> file = b.Bytes();
  // A gap before the rows, as the pixel offset allows.
  file.insert(file.begin() + 14 + 40 + 8, {0xEE, 0xEE});
  PutLe32(&file[10], GetLe32(&file[10]) + 2);
  const std::vector<uint8_t> block = BitmapBlockFromFile(file.data(), file.size());
  int w = 0, h = 0;
  EXPECT_EQ(Paste(block, w, h), (std::vector<pixel>{{4, 5, 6, 255}, {1, 2, 3, 255}}));
  EXPECT_TRUE(BitmapBlockFromFile(file.data(), 30).empty());
  // 32 bits top-down: the rows in their order, the fourth byte kept.
  bmp_builder down;
  down.width = 1, down.height = -2, down.bits = 32;
  down.pixels = {1, 2, 3, 4, 5, 6, 7, 8};
  file = down.Bytes();
  EXPECT_EQ(Paste(BitmapBlockFromFile(file.data(), file.size()), w, h),
            (std::vector<pixel>{{1, 2, 3, 4}, {5, 6, 7, 8}}));
}

}  // namespace
