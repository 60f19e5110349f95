#include <gtest/gtest.h>
#include <sys/resource.h>
#include <zlib.h>

#include <algorithm>
#include <random>

#include "tests/core/codecs/imaging_test_support.h"

namespace {

using namespace imaging_test;
using imaging::container;

const container all_formats[] = {container::bmp, container::jpeg, container::png, container::tiff};

// A small file from our own encoder.
std::vector<uint8_t> Encoded(container format, int width = 23, int height = 17) {
  scratch_folder folder;
  std::vector<uint8_t> bgr(size_t(width) * height * 3);
  for (size_t i = 0; i < bgr.size(); ++i) bgr[i] = uint8_t(96 + i * 37 % 64);
  std::string error;
  EXPECT_TRUE(imaging::EncodeFile(folder / "x", format, {bgr.data(), width, height, size_t(width) * 3, 3}, error));
  return ReadBytes(folder / "x");
}

bool Refused(const decoded& d) { return !d.ok && !d.error.empty(); }

void Put(uint8_t* p, uint32_t v, int bytes, bool big_endian) {
  for (int i = 0; i < bytes; ++i) p[big_endian ? bytes - 1 - i : i] = uint8_t(v >> (8 * i));
}

// Rewrites the width the file's header gives.
std::vector<uint8_t> WithWidth(std::vector<uint8_t> file, container format, uint32_t width) {
  uint8_t* d = file.data();
  if (format == container::bmp) Put(d + 18, width, 4, false);
  if (format == container::png) {
    Put(d + 16, width, 4, true);
    Put(d + 29, uint32_t(crc32(0, d + 12, 17)), 4, true);  // the header chunk's check sum
  }
  const uint8_t frame[] = {0xff, 0xc0};  // our JPEG files are baseline
  if (format == container::jpeg) Put(&*std::search(file.begin(), file.end(), frame, frame + 2) + 7, width, 2, true);
  // Our TIFF files are little-endian; the width entry (tag 256) holds a short or a long.
  const uint32_t directory = d[4] | d[5] << 8 | d[6] << 16 | uint32_t(d[7]) << 24;
  for (unsigned e = 0; format == container::tiff && e < unsigned(d[directory] | d[directory + 1] << 8); ++e)
    if (uint8_t* entry = d + directory + 2 + 12 * e; (entry[0] | entry[1] << 8) == 256) Put(entry + 8, width, 4, false);
  return file;
}

TEST(ImagingBadInput, MissingEmptyUnknownAndTruncatedFilesAreRefused) {
  scratch_folder folder;
  std::ofstream(folder / "empty.png");
  for (const std::string& path : {folder / "missing.png", folder.path, folder / "empty.png"})
    EXPECT_TRUE(Refused(DecodeFile(path))) << path;
  EXPECT_TRUE(Refused(DecodeMemory({'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0})));
  for (container format : all_formats) {
    const std::vector<uint8_t> whole = Encoded(format);
    ASSERT_TRUE(DecodeMemory(whole).ok);
    for (size_t keep : {size_t(1), size_t(10), size_t(40), whole.size() / 4, whole.size() / 2, whole.size() * 3 / 4})
      EXPECT_TRUE(Refused(DecodeMemory({whole.begin(), whole.begin() + keep}))) << int(format) << " cut to " << keep;
  }
}

TEST(ImagingBadInput, ZeroAndOversizedFramesAreRefusedBeforeDecoding) {
  for (container format : all_formats)
    for (uint32_t width : {0u, 20001u, 60000u}) {
      const decoded d = DecodeMemory(WithWidth(Encoded(format), format, width));
      EXPECT_TRUE(Refused(d) && (width == 0 || d.error.find("out of range") != std::string::npos))
          << int(format) << " width " << width << ": " << d.error;
    }
  // The largest accepted side opens: its pixels are only decoded on request.
  std::string error;
  const std::vector<uint8_t> wide = WithWidth(Encoded(container::png), container::png, 20000);
  auto decoder = imaging::OpenMemory(wide.data(), wide.size(), error);
  ASSERT_TRUE(decoder) << error;
  EXPECT_EQ(decoder->Width(), 20000);
}

// Random bytes behind each signature are refused; bytes flipped after the headers may
// be accepted or refused, but never crash.
TEST(ImagingBadInput, RandomAndCorruptedBytesFailCleanly) {
  const std::vector<std::vector<uint8_t>> signatures = {
      {}, {'B', 'M'}, {0xff, 0xd8, 0xff}, {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'},
      {'I', 'I', 42, 0}, {'M', 'M', 0, 42}, {'I', 'I', 43, 0}};
  std::mt19937 random(11);
  for (const auto& signature : signatures)
    for (int round = 0; round < 150; ++round) {
      std::vector<uint8_t> bytes = signature;
      for (size_t i = random() % 300; i > 0; --i) bytes.push_back(uint8_t(random()));
      ASSERT_TRUE(Refused(DecodeMemory(bytes))) << round;
    }
  for (container format : all_formats)
    for (int round = 0; round < 60; ++round) {
      std::vector<uint8_t> bytes = Encoded(format);
      for (int flips = 0; flips < 8; ++flips) bytes[20 + random() % (bytes.size() - 20)] = uint8_t(random());
      const decoded d = DecodeMemory(bytes);
      EXPECT_TRUE(d.ok || Refused(d));
    }
}

// A progressive file of the largest size whose last scan comes a thousand times, alone
// and as a TIFF strip: refused long before the scans are all decoded. The work is
// counted: the JPEG within a few dozen scans, the TIFF before libtiff reads a row.
TEST(ImagingBadInput, RepeatedScansAreRefusedQuickly) {
  const imaging::decode_work& work = imaging::DecodeWork();
  // The counts move for files that decode: one scan for our baseline JPEG, a read at
  // least for our TIFF.
  for (container format : {container::jpeg, container::tiff}) {
    const imaging::decode_work before = work;
    ASSERT_TRUE(DecodeMemory(Encoded(format)).ok);
    EXPECT_EQ(work.jpeg_scans - before.jpeg_scans, format == container::jpeg ? 1u : 0u);
    EXPECT_EQ(work.tiff_reads > before.tiff_reads, format == container::tiff);
  }

  scratch_folder folder;
  ASSERT_TRUE(RunSamples("scans " + Quoted(folder.path)));
  imaging::decode_work before = work;
  EXPECT_TRUE(Refused(DecodeFile(folder / "repeated_scans.jpg")));
  EXPECT_GT(work.jpeg_scans - before.jpeg_scans, 0u);
  EXPECT_LE(work.jpeg_scans - before.jpeg_scans, 32u);  // encoders write up to eighteen
  before = work;
  EXPECT_TRUE(Refused(DecodeFile(folder / "repeated_scans.tif")));
  EXPECT_EQ(work.tiff_reads, before.tiff_reads);
  EXPECT_EQ(work.jpeg_scans, before.jpeg_scans);
}

// Memory pages this thread has touched for the first time so far.
long PagesTouched() {
  rusage usage{};
  getrusage(RUSAGE_THREAD, &usage);
  return usage.ru_minflt;
}

// A few bytes whose text or palette chunk, ahead of the image data, declares up to
// two gigabytes: refused without setting that much memory aside, which would hold
// the window for seconds. Each byte of the length counts: the chunk's four bytes
// are followed by the file's image data, where a walk that missed the byte set
// would land and find nothing amiss.
TEST(ImagingBadInput, PngChunksDeclaringMoreThanTheFileHoldsAreRefusedUnread) {
  const std::vector<uint8_t> whole = Encoded(container::png);
  ASSERT_EQ(std::string(whole.begin() + 37, whole.begin() + 41), "IDAT");
  for (const char* type : {"tEXt", "zTXt", "iTXt", "sPLT"})
    for (const uint32_t declared : {0x40000000u, 0x7f000000u, 0x00ff0000u}) {
      std::vector<uint8_t> bytes(whole.begin(), whole.begin() + 33);  // signature and header chunk
      const uint8_t length[] = {uint8_t(declared >> 24), uint8_t(declared >> 16), uint8_t(declared >> 8),
                                uint8_t(declared)};
      bytes.insert(bytes.end(), length, length + 4);
      bytes.insert(bytes.end(), type, type + 4);
      bytes.insert(bytes.end(), {'k', 0, 'v', 'w'});
      bytes.insert(bytes.end(), whole.begin() + 33, whole.end());
      const long before = PagesTouched();
      EXPECT_TRUE(Refused(DecodeMemory(bytes))) << type << " " << declared;
      // 4 MB of 4 KB pages, a quarter of the least length declared.
      EXPECT_LT(PagesTouched() - before, 1024) << type << " " << declared;
    }
}

// A 64 x 2 one-bit bitmap (rows of 8 bytes) whose header asks for RLE8 or RLE4, with
// runs as long as the pixel count rather than the row's bytes.
TEST(ImagingBadInput, RunLengthBitmapsWithFewerBitsStayInsideTheirRows) {
  std::vector<uint8_t> file(14 + 40 + 8, 0);
  file[0] = 'B', file[1] = 'M', file[10] = 14 + 40 + 8, file[14] = 40, file[18] = 64, file[22] = 2;
  file[26] = 1, file[28] = 1, file[46] = 2;  // one plane, one bit, two colours
  file.insert(file.end(), {64, 0xaa, 0, 0, 64, 0xaa, 0, 0, 0, 1});
  for (uint8_t compression : {1, 2}) {
    file[30] = compression;
    const decoded d = DecodeMemory(file);
    EXPECT_TRUE(d.ok || Refused(d)) << int(compression);
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
