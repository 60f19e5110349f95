#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/core/codecs/imaging_test_support.h"
#include "tests/core/codecs/bmp_builder.h"

namespace {

using namespace imaging_test;

std::vector<uint8_t> Grey(int entries) {
  std::vector<uint8_t> palette;
  for (int i = 0; i < entries; ++i) palette.insert(palette.end(), {uint8_t(i * 17), uint8_t(i * 17), uint8_t(i * 17), 0});
  return palette;
}

std::vector<uint8_t> Le16(std::initializer_list<uint16_t> values) {
  std::vector<uint8_t> out;
  for (uint16_t v : values) out.insert(out.end(), {uint8_t(v), uint8_t(v >> 8)});
  return out;
}

// Shapes of users' files beyond the image class's own codec, each compared with what
// ImageMagick, and Pillow where it reads the file, decode from it.
TEST(ImagingBmp, HandMadeFilesGiveThePixelsTheToolsRead) {
  struct sample {
    std::string name;
    std::vector<uint8_t> data;
    bool pillow;
  };
  std::vector<sample> samples;
  bmp_builder rle4;  // deltas of an odd number of pixels
  rle4.width = 9, rle4.height = 3, rle4.bits = 4, rle4.compression = 2, rle4.palette = Grey(16);
  // ImageMagick reads a few bytes past the end code.
  rle4.pixels = {0, 2, 3, 0, 3, 0x9A, 0, 0, 4, 0x12, 0, 2, 1, 0, 0, 3, 0xCD, 0xE0, 0, 0, 0, 2, 5, 0, 2, 0xF0, 0, 1, 0, 0, 0, 0};
  samples.push_back({"rle4_odd_delta.bmp", rle4.Bytes(), false});  // Pillow reads no RLE4
  // White and each channel at its top; Pillow scales 5-bit channels by 255 / 31 and
  // rounds down, one below ImageMagick in places.
  bmp_builder sixteen;
  sixteen.width = 6, sixteen.bits = 16, sixteen.compression = 3;
  sixteen.masks = {0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0};
  sixteen.pixels = Le16({0xFFFF, 0xF800, 0x07E0, 0x001F, 0x8410, 0x0821});
  samples.push_back({"bitfields_565.bmp", sixteen.Bytes(), false});
  sixteen.compression = 0, sixteen.masks.clear();
  sixteen.pixels = Le16({0x7FFF, 0x7C00, 0x03E0, 0x001F, 0x4210, 0x0421});
  samples.push_back({"plain_555.bmp", sixteen.Bytes(), false});
  bmp_builder v5;  // masks inside the header, red in the lowest byte, alpha in the highest
  v5.header_size = 124, v5.width = 4, v5.bits = 32, v5.compression = 3;
  v5.pixels = {10, 20, 30, 255, 40, 50, 60, 0, 70, 80, 90, 128, 255, 255, 255, 1};
  std::vector<uint8_t> file = v5.Bytes();
  for (uint32_t i = 0, mask = 0xFF; i < 4; ++i, mask <<= 8) PutLe32(&file[14 + 40 + 4 * i], mask);
  samples.push_back({"v5_alpha.bmp", file, true});

  scratch_folder folder;
  std::string arguments = "read";
  for (const sample& s : samples) {
    std::ofstream(folder / s.name, std::ios::binary).write(reinterpret_cast<const char*>(s.data.data()), s.data.size());
    arguments += " " + Quoted(folder / s.name);
  }
  const std::string script = std::string(VORBEL_SOURCE_DIR) + "/tests/core/codecs/peer_files.py";
  ASSERT_EQ(std::system(("/usr/bin/python3 " + Quoted(script) + " " + arguments).c_str()), 0);
  for (const sample& s : samples) {
    SCOPED_TRACE(s.name);
    const decoded ours = DecodeFile(folder / s.name);
    ASSERT_TRUE(ours.ok) << ours.error;
    EXPECT_EQ(WorstDifference(ours.bgra, ReadBytes(folder / (s.name + ".im.rgba"))), 0);
    if (s.pillow) {
      EXPECT_EQ(WorstDifference(ours.bgra, ReadBytes(folder / (s.name + ".pil.rgba"))), 0);
    }
  }

  // An OS/2 header of 16 bytes, which neither tool reads, gives what the 40-byte header gives.
  bmp_builder os2;
  os2.width = 3, os2.height = -2;
  os2.pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0, 11, 12, 13, 14, 15, 16, 17, 18, 19, 0, 0, 0};
  const decoded plain = DecodeMemory(os2.Bytes());
  os2.header_size = 16;
  const decoded short_header = DecodeMemory(os2.Bytes());
  ASSERT_TRUE(plain.ok && short_header.ok) << short_header.error;
  EXPECT_EQ(short_header.bgra, plain.bgra);
}

TEST(ImagingBmp, UnreadableDepthsCodingsAndCutRunsAreRefused) {
  const auto error_of = [](const bmp_builder& bmp) {
    const decoded d = DecodeMemory(bmp.Bytes());
    return d.ok ? std::string() : d.error;
  };
  for (uint16_t bits : {0, 3, 64, 65535}) {
    bmp_builder bmp;
    bmp.bits = bits, bmp.width = bmp.height = 8000;
    EXPECT_NE(error_of(bmp).find("bit count"), std::string::npos) << bits;
  }
  const std::pair<void (*)(bmp_builder&), const char*> cases[] = {
      {[](bmp_builder& b) { b.compression = 3; }, "compression 3"},        // bit fields at 24 bits
      {[](bmp_builder& b) { b.bits = 4, b.compression = 1; }, "compression 1"},  // RLE8 at 4 bits
      {[](bmp_builder& b) { b.bits = 8, b.compression = 1, b.height = -1; }, "top-down"},
      {[](bmp_builder& b) { b.header_size = 64, b.bits = 1, b.compression = 3; }, "OS/2"},  // Huffman
      {[](bmp_builder& b) { b.header_size = 11; }, "header size"},
      {[](bmp_builder& b) { b.header_size = 125; }, "header size"},
      {[](bmp_builder& b) { b.bits = 8, b.compression = 1, b.height = 3, b.pixels = {1, 1, 0, 0}; }, "truncated"},
      {[](bmp_builder& b) { b.bits = 8, b.palette = Grey(256), b.pixels.clear(); }, "truncated"},
      {[](bmp_builder& b) { b.bits = 32, b.compression = 3, b.masks.resize(12), b.height = 8; }, "truncated"},
  };
  for (const auto& [change, message] : cases) {
    bmp_builder bmp;
    bmp.pixels.resize(4);
    change(bmp);
    EXPECT_NE(error_of(bmp).find(message), std::string::npos) << message << ": " << error_of(bmp);
  }
  bmp_builder ends_in_last_row;  // without an end code, once the last row has begun
  ends_in_last_row.bits = 8, ends_in_last_row.compression = 1, ends_in_last_row.height = 2;
  ends_in_last_row.pixels = {1, 1, 0, 0, 1, 2};
  EXPECT_TRUE(DecodeMemory(ends_in_last_row.Bytes()).ok);
}

}  // namespace
