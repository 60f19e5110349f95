#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <random>

#include "codecs/imaging_codecs.h"
#include "tests/core/codecs/imaging_test_support.h"

namespace {

using namespace imaging_test;
using imaging::container;

const std::pair<container, std::string> formats[] = {
    {container::bmp, "bmp"}, {container::jpeg, "jpg"}, {container::png, "png"}, {container::tiff, "tif"}};

// w x h pixels of 3 bytes in rows with a 5-byte gap of junk that must not reach the
// file; noise for the lossless formats, a smooth picture for JPEG.
struct bgr_picture {
  int width, height;
  size_t stride;
  std::vector<uint8_t> bytes;
  bgr_picture(int w, int h, bool noisy, unsigned seed) : width(w), height(h), stride(w * 3 + 5), bytes(stride * h) {
    std::mt19937 random(seed);
    for (size_t i = 0; i < bytes.size(); ++i) {
      const int x = int(i % stride / 3), y = int(i / stride), k = int(i % stride % 3);
      bytes[i] = uint8_t(noisy || x >= w ? random() : std::array{40 + x * 3, 60 + y * 4, 200 - (x + y) * 2}[k]);
    }
  }
  // The pixels as blue, green, red, alpha 255 (ours) or red, green, blue, alpha (the tools').
  std::vector<uint8_t> Packed(bool rgba) const {
    std::vector<uint8_t> out;
    for (int y = 0; y < height; ++y)
      for (const uint8_t* p = &bytes[y * stride]; p < &bytes[y * stride] + width * 3; p += 3)
        out.insert(out.end(), {p[rgba ? 2 : 0], p[1], p[rgba ? 0 : 2], 255});
    return out;
  }
};

// Through our encoders, then decoded by Pillow, ImageMagick and us: exact for the
// lossless formats, close for JPEG, written at quality 90.
TEST(ImagingEncode, RoundTripsAtOddWidthsThroughOurDecoderAndTheTools) {
  scratch_folder folder;
  std::vector<std::pair<std::string, bgr_picture>> written;
  std::string list;
  for (const auto& [format, extension] : formats)
    for (auto [w, h] : {std::pair{1, 1}, {2, 3}, {3, 2}, {5, 4}, {37, 19}}) {
      const std::string name = std::to_string(w) + "x" + std::to_string(h) + "." + extension;
      const bgr_picture picture(w, h, extension != "jpg", unsigned(written.size()));
      std::string error;
      ASSERT_TRUE(imaging::EncodeFile(folder / name, format, {picture.bytes.data(), w, h, picture.stride, 3}, error))
          << name << ": " << error;
      written.emplace_back(name, picture);
      (list += ' ') += Quoted(folder / name);
    }
  ASSERT_TRUE(RunSamples("dump" + list));
  const std::string magick = "cd " + Quoted(folder.path) + " && /usr/bin/convert 37x19.jpg -format %Q info: >q &&" +
                             " for f in" + list +
                             "; do /usr/bin/convert \"$f\" -depth 8 \"rgba:$f.magick.rgba\" || exit 1; done";
  ASSERT_EQ(std::system(magick.c_str()), 0);
  EXPECT_EQ(ReadBytes(folder / "q"), (std::vector<uint8_t>{'9', '0'}));
  for (const auto& [name, picture] : written) {
    SCOPED_TRACE(name);
    const int tolerance = name.ends_with("jpg") ? 12 : 0;
    const decoded ours = DecodeFile(folder / name);
    ASSERT_TRUE(ours.ok) << ours.error;
    for (const int worst : {WorstDifference(ours.bgra, picture.Packed(true)),
                            WorstDifference(picture.Packed(false), ReadBytes(folder / (name + ".pillow.rgba"))),
                            WorstDifference(picture.Packed(false), ReadBytes(folder / (name + ".magick.rgba")))})
      EXPECT_TRUE(worst >= 0 && worst <= tolerance) << worst;
  }
}

// The same pixels given four bytes a pixel, the fourth junk, make the very file the
// three-byte rows make, in every format; so does a buffer kept from an earlier file,
// larger or smaller (a noisy 300 x 200 JPEG outgrows the encoder's first block).
TEST(ImagingEncode, FourBytePixelsAndAKeptBufferMakeTheSameFile) {
  scratch_folder folder;
  std::vector<uint8_t> kept;
  std::mt19937 random(11);
  for (const auto& [format, extension] : formats)
    for (auto [w, h] : {std::pair{300, 200}, {5, 4}, {37, 19}}) {
      SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h) + "." + extension);
      const bgr_picture picture(w, h, true, unsigned(w));
      std::vector<uint8_t> four(size_t(w + 2) * 4 * h);
      for (uint8_t& byte : four) byte = uint8_t(random());
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
          std::memcpy(&four[(size_t(y) * (w + 2) + x) * 4], &picture.bytes[y * picture.stride + x * 3], 3);
      std::string error;
      ASSERT_TRUE(imaging::EncodeFile(folder / "three", format, {picture.bytes.data(), w, h, picture.stride, 3}, error));
      ASSERT_TRUE(imaging::EncodeFile(folder / "four", format, {four.data(), w, h, size_t(w + 2) * 4, 4}, error, &kept));
      const std::vector<uint8_t> three_bytes = ReadBytes(folder / "three");
      EXPECT_EQ(ReadBytes(folder / "four"), three_bytes);
      EXPECT_EQ(kept, three_bytes);
    }
}

TEST(ImagingEncode, FailedWritesAndBadArgumentsReportFailure) {
  scratch_folder folder;
  const bgr_picture picture(9, 4, true, 3);
  std::ofstream(folder / "plain") << "abc";
  std::string error;
  for (const auto& [format, extension] : formats)
    for (const std::string& place : {std::string("/dev/full"), folder / "missing/x.img", folder / "plain/x.img"}) {
      error.clear();
      EXPECT_FALSE(imaging::EncodeFile(place, format, {picture.bytes.data(), 9, 4, picture.stride, 3}, error));
      EXPECT_FALSE(error.empty()) << extension << " to " << place;
    }
  const std::string target = folder / "x.png";
  for (auto [w, h, stride, bytes] :
       {std::array{0, 4, 30, 3}, {9, -1, 30, 3}, {20001, 1, 60003, 3}, {9, 4, 26, 3}, {9, 4, 32, 4}, {9, 4, 40, 2}})
    EXPECT_FALSE(imaging::EncodeFile(target, container::png, {picture.bytes.data(), w, h, size_t(stride), bytes}, error));
  EXPECT_FALSE(imaging::EncodeFile(target, container::png, {nullptr, 9, 4, 27, 3}, error));
  EXPECT_FALSE(std::filesystem::exists(target));
}

// The header fields of a written BMP, byte for byte: a 3 x 2 picture has rows of 9
// bytes padded to 12, so 24 pixel bytes after a 54-byte header.
TEST(ImagingEncode, BmpHeaderFields) {
  const uint8_t pixels[2 * 9] = {};
  std::vector<uint8_t> out;
  std::string error;
  ASSERT_TRUE(imaging::EncodeBmp({pixels, 3, 2, 9, 3}, out, error));
  ASSERT_EQ(out.size(), 78u);
  auto le = [&](size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = v << 8 | out[at + i];
    return v;
  };
  EXPECT_EQ(out[0], 'B');
  EXPECT_EQ(out[1], 'M');
  EXPECT_EQ(le(2, 4), 78u);   // file size
  EXPECT_EQ(le(6, 4), 0u);    // reserved
  EXPECT_EQ(le(10, 4), 54u);  // pixel offset
  EXPECT_EQ(le(14, 4), 40u);  // info header size
  EXPECT_EQ(le(18, 4), 3u);
  EXPECT_EQ(le(22, 4), 2u);   // positive: bottom row first
  EXPECT_EQ(le(26, 2), 1u);   // planes
  EXPECT_EQ(le(28, 2), 24u);  // bits
  EXPECT_EQ(le(30, 4), 0u);   // no compression
  EXPECT_EQ(le(34, 4), 24u);  // pixel bytes
}

}  // namespace
