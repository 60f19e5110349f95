#include <gtest/gtest.h>
#include <zlib.h>

#include <random>

#include "tests/core/platform/imaging_test_support.h"

namespace {

using namespace imaging_test;
using imaging::container;

// A small file of each format from our own encoders.
std::vector<uint8_t> Encoded(container format, int width = 23, int height = 17) {
  scratch_folder folder;
  std::vector<uint8_t> bgr(size_t(width) * height * 3);
  std::mt19937 random(5);
  for (auto& b : bgr) b = static_cast<uint8_t>(random() % 64 + 96);
  std::string error;
  if (!imaging::EncodeFile(folder / "x", format, bgr.data(), width, height, size_t(width) * 3, error))
    return {};
  return ReadBytes(folder / "x");
}

void ExpectRefused(const decoded& d) {
  EXPECT_FALSE(d.ok);
  EXPECT_FALSE(d.error.empty());
}

void PutBe16(uint8_t* p, unsigned v) {
  p[0] = uint8_t(v >> 8);
  p[1] = uint8_t(v);
}

void PutBe32(uint8_t* p, uint32_t v) {
  PutBe16(p, v >> 16);
  PutBe16(p + 2, v);
}

// Rewrites the width the file's header gives.
std::vector<uint8_t> WithWidth(std::vector<uint8_t> file, container format, uint32_t width) {
  uint8_t* d = file.data();
  switch (format) {
    case container::bmp:
      for (int i = 0; i < 4; ++i) d[18 + i] = uint8_t(width >> (8 * i));
      break;
    case container::png:
      PutBe32(d + 16, width);
      PutBe32(d + 29, uint32_t(crc32(0, d + 12, 17)));  // the header chunk's check sum
      break;
    case container::jpeg:
      for (size_t i = 2; i + 9 < file.size(); ++i)
        if (d[i] == 0xff && d[i + 1] == 0xc0) {
          PutBe16(d + i + 7, width);
          break;
        }
      break;
    case container::tiff: {
      // Our files are little-endian; the width entry holds a short or a long.
      const uint32_t directory = d[4] | d[5] << 8 | d[6] << 16 | uint32_t(d[7]) << 24;
      const unsigned entries = d[directory] | d[directory + 1] << 8;
      for (unsigned e = 0; e < entries; ++e) {
        uint8_t* entry = d + directory + 2 + 12 * e;
        if ((entry[0] | entry[1] << 8) != 256) continue;
        for (int i = 0; i < 4; ++i) entry[8 + i] = uint8_t(width >> (8 * i));
      }
      break;
    }
  }
  return file;
}

const container all_formats[] = {container::bmp, container::jpeg, container::png, container::tiff};

TEST(ImagingBadInput, MissingEmptyAndUnknownFilesAreRefused) {
  scratch_folder folder;
  ExpectRefused(DecodeFile(folder / "missing.png"));
  ExpectRefused(DecodeFile(folder.path));  // a folder
  WriteBytes(folder / "empty.png", {});
  ExpectRefused(DecodeFile(folder / "empty.png"));
  ExpectRefused(DecodeMemory({}));
  ExpectRefused(DecodeMemory({'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0}));
  ExpectRefused(DecodeMemory({'B'}));
}

TEST(ImagingBadInput, TruncatedFilesFailWithAnErrorText) {
  for (container format : all_formats) {
    const std::vector<uint8_t> whole = Encoded(format);
    ASSERT_FALSE(whole.empty());
    ASSERT_TRUE(DecodeMemory(whole).ok);
    for (size_t keep : {size_t(1), size_t(10), size_t(40), whole.size() / 4, whole.size() / 2,
                        whole.size() * 3 / 4}) {
      SCOPED_TRACE(std::to_string(int(format)) + " cut to " + std::to_string(keep));
      ExpectRefused(DecodeMemory({whole.begin(), whole.begin() + keep}));
    }
  }
}

TEST(ImagingBadInput, ZeroAndOversizedFramesAreRefusedBeforeDecoding) {
  for (container format : all_formats) {
    const std::vector<uint8_t> whole = Encoded(format);
    for (uint32_t width : {0u, 20001u, 60000u}) {
      SCOPED_TRACE(std::to_string(int(format)) + " width " + std::to_string(width));
      const decoded d = DecodeMemory(WithWidth(whole, format, width));
      ExpectRefused(d);
      if (width > 0) {
        EXPECT_NE(d.error.find("out of range"), std::string::npos) << d.error;
      }
    }
  }
  // The largest accepted side opens: its pixels are only decoded on request.
  std::string error;
  const std::vector<uint8_t> wide = WithWidth(Encoded(container::png), container::png, 20000);
  auto decoder = imaging::OpenMemory(wide.data(), wide.size(), error);
  ASSERT_TRUE(decoder) << error;
  EXPECT_EQ(decoder->Width(), 20000);
}

TEST(ImagingBadInput, RandomBytesBehindEachSignatureFailCleanly) {
  const std::vector<std::vector<uint8_t>> signatures = {
      {}, {'B', 'M'}, {0xff, 0xd8, 0xff}, {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'},
      {'I', 'I', 42, 0}, {'M', 'M', 0, 42}, {'I', 'I', 43, 0}};
  std::mt19937 random(11);
  for (const auto& signature : signatures)
    for (int round = 0; round < 150; ++round) {
      std::vector<uint8_t> bytes = signature;
      const size_t length = random() % 300;
      for (size_t i = 0; i < length; ++i) bytes.push_back(uint8_t(random()));
      SCOPED_TRACE(round);
      ExpectRefused(DecodeMemory(bytes));
    }
}

TEST(ImagingBadInput, CorruptedPixelDataNeverCrashes) {
  // Bytes flipped after the headers: a decoder may accept the damage or refuse it,
  // but a refusal always comes with a text.
  std::mt19937 random(13);
  for (container format : all_formats) {
    const std::vector<uint8_t> whole = Encoded(format);
    for (int round = 0; round < 60; ++round) {
      std::vector<uint8_t> bytes = whole;
      for (int flips = 0; flips < 8; ++flips) bytes[20 + random() % (bytes.size() - 20)] = uint8_t(random());
      const decoded d = DecodeMemory(bytes);
      if (!d.ok) {
        EXPECT_FALSE(d.error.empty());
      }
    }
  }
}

TEST(ImagingBadInput, RunLengthBitmapsWithFewerBitsStayInsideTheirRows) {
  // A 64 x 2 one-bit bitmap (rows of 8 bytes) whose header asks for RLE8 or RLE4,
  // with runs as long as the pixel count rather than the row's bytes.
  for (uint8_t compression : {1, 2}) {
    std::vector<uint8_t> file(14 + 40 + 8, 0);
    file[0] = 'B', file[1] = 'M', file[10] = 14 + 40 + 8;
    file[14] = 40, file[18] = 64, file[22] = 2, file[26] = 1, file[28] = 1;
    file[30] = compression;
    file[46] = 2;  // colours used
    for (int row = 0; row < 2; ++row) file.insert(file.end(), {64, 0xaa, 0, 0});
    file.insert(file.end(), {0, 1});
    SCOPED_TRACE(int(compression));
    const decoded d = DecodeMemory(file);
    if (!d.ok) {
      EXPECT_FALSE(d.error.empty());
    }
  }
}

TEST(ImagingBadInput, CopyPixelsRefusesBuffersThatDoNotFit) {
  std::string error;
  for (container format : all_formats) {
    const std::vector<uint8_t> file = Encoded(format, 5, 3);
    auto decoder = imaging::OpenMemory(file.data(), file.size(), error);
    ASSERT_TRUE(decoder) << error;
    std::vector<uint8_t> pixels(64 * 3);
    EXPECT_FALSE(decoder->CopyPixels(pixels.data(), 19, pixels.size()));  // rows too short
    EXPECT_FALSE(decoder->Error().empty());
    EXPECT_FALSE(decoder->CopyPixels(pixels.data(), 64, 64 * 2 + 19));  // one byte short
    EXPECT_FALSE(decoder->CopyPixels(pixels.data(), SIZE_MAX / 2, SIZE_MAX));  // overflows
    EXPECT_FALSE(decoder->CopyPixels(nullptr, 64, 64 * 3));
    EXPECT_TRUE(decoder->CopyPixels(pixels.data(), 64, 64 * 2 + 20));
  }
}

}  // namespace
