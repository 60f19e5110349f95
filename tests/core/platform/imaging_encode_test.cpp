#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <random>

#include "tests/core/platform/imaging_test_support.h"

namespace {

using namespace imaging_test;
using imaging::container;

struct format_case {
  container format;
  const char* extension;
  bool lossless;
};

const format_case formats[] = {
    {container::bmp, "bmp", true},
    {container::jpeg, "jpg", false},
    {container::png, "png", true},
    {container::tiff, "tif", true},
};

// width x height pixels of 3 bytes in rows of stride bytes (the gap filled with
// junk that must not reach the file). Lossy formats get a smooth picture.
struct bgr_picture {
  int width, height;
  size_t stride;
  std::vector<uint8_t> bytes;

  bgr_picture(int w, int h, bool noisy, unsigned seed) : width(w), height(h), stride(w * 3 + 5) {
    std::mt19937 random(seed);
    bytes.resize(stride * h);
    for (auto& b : bytes) b = static_cast<uint8_t>(random());
    if (noisy) return;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        uint8_t* p = &bytes[y * stride + x * 3];
        p[0] = static_cast<uint8_t>(40 + x * 3);
        p[1] = static_cast<uint8_t>(60 + y * 4);
        p[2] = static_cast<uint8_t>(200 - (x + y) * 2);
      }
  }
  // The same pixels as red, green, blue, alpha 255 (the tools' order), or as blue,
  // green, red, alpha (ours).
  std::vector<uint8_t> Packed(bool rgba) const {
    std::vector<uint8_t> out;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const uint8_t* p = &bytes[y * stride + x * 3];
        if (rgba)
          out.insert(out.end(), {p[2], p[1], p[0], 255});
        else
          out.insert(out.end(), {p[0], p[1], p[2], 255});
      }
    return out;
  }
};

// Compares a decoding with the picture: exact for lossless files, and for JPEG a
// small worst case and a smaller average.
void ExpectClose(const std::vector<uint8_t>& got, const bgr_picture& picture, bool rgba,
                 bool lossless) {
  const std::vector<uint8_t> want = picture.Packed(rgba);
  ASSERT_EQ(got.size(), want.size());
  int worst = 0;
  double total = 0;
  for (size_t i = 0; i < got.size(); ++i) {
    const int d = std::abs(int(got[i]) - int(want[i]));
    worst = std::max(worst, d);
    total += d;
  }
  if (lossless) {
    EXPECT_EQ(worst, 0);
  } else {
    EXPECT_LE(worst, 12);
    EXPECT_LE(total / got.size(), 2.0);
  }
}

TEST(ImagingEncode, RoundTripsAtOddWidthsThroughOurDecoderAndTheTools) {
  scratch_folder folder;
  const int sizes[][2] = {{1, 1}, {2, 3}, {3, 2}, {5, 4}, {37, 19}};
  std::vector<std::pair<std::string, bgr_picture>> written;
  std::string list;
  unsigned seed = 1;
  for (const format_case& f : formats)
    for (const auto& size : sizes) {
      const bgr_picture picture(size[0], size[1], f.lossless, seed++);
      const std::string name =
          std::to_string(size[0]) + "x" + std::to_string(size[1]) + "." + f.extension;
      std::string error;
      ASSERT_TRUE(imaging::EncodeFile(folder / name, f.format, picture.bytes.data(),
                                      picture.width, picture.height, picture.stride, error))
          << name << ": " << error;
      written.emplace_back(name, picture);
      list += " " + Quoted(folder / name);
    }
  ASSERT_TRUE(RunSamples("dump" + list));
  ASSERT_EQ(std::system(("for f in" + list + "; do /usr/bin/convert \"$f\" -depth 8 rgba:\"$f.magick.rgba\" || exit 1; done").c_str()), 0);

  for (const auto& [name, picture] : written) {
    SCOPED_TRACE(name);
    const bool lossless = name.substr(name.size() - 3) != "jpg";
    ExpectClose(ReadBytes(folder / (name + ".pillow.rgba")), picture, true, lossless);
    ExpectClose(ReadBytes(folder / (name + ".magick.rgba")), picture, true, lossless);
    const decoded ours = DecodeFile(folder / name);
    EXPECT_TRUE(ours.ok) << ours.error;
    if (!ours.ok) continue;
    EXPECT_EQ(ours.width, picture.width);
    EXPECT_EQ(ours.height, picture.height);
    ExpectClose(ours.bgra, picture, false, lossless);
  }
}

TEST(ImagingEncode, JpegQualityIsNinety) {
  scratch_folder folder;
  const bgr_picture picture(64, 48, true, 7);
  std::string error;
  ASSERT_TRUE(imaging::EncodeFile(folder / "q.jpg", container::jpeg, picture.bytes.data(), 64,
                                  48, picture.stride, error));
  FILE* quality = popen(("/usr/bin/convert " + Quoted(folder / "q.jpg") + " -format %Q info:").c_str(), "r");
  ASSERT_NE(quality, nullptr);
  char text[32] = "";
  ASSERT_NE(std::fgets(text, sizeof text, quality), nullptr);
  pclose(quality);
  EXPECT_STREQ(text, "90");
}

TEST(ImagingEncode, FailedWritesAndBadArgumentsReportFailure) {
  scratch_folder folder;
  const bgr_picture picture(9, 4, true, 3);
  WriteBytes(folder / "plain", {1, 2, 3});
  std::vector<std::string> places = {"/dev/full", folder / "missing/x.img", folder / "plain/x.img"};
  // Permissions do not stop the superuser.
  if (geteuid() != 0) {
    mkdir((folder / "locked").c_str(), 0500);
    places.push_back(folder / "locked/x.img");
  }
  for (const format_case& f : formats)
    for (const std::string& place : places) {
      SCOPED_TRACE(std::string(f.extension) + " to " + place);
      std::string error;
      EXPECT_FALSE(imaging::EncodeFile(place, f.format, picture.bytes.data(), 9, 4,
                                       picture.stride, error));
      EXPECT_FALSE(error.empty());
    }

  const std::string target = folder / "x.png";
  std::string error;
  EXPECT_FALSE(imaging::EncodeFile(target, container::png, picture.bytes.data(), 0, 4, 30, error));
  EXPECT_FALSE(imaging::EncodeFile(target, container::png, picture.bytes.data(), 9, -1, 30, error));
  EXPECT_FALSE(imaging::EncodeFile(target, container::png, picture.bytes.data(), 20001, 1, 60003, error));
  EXPECT_FALSE(imaging::EncodeFile(target, container::png, picture.bytes.data(), 9, 4, 26, error));
  EXPECT_FALSE(imaging::EncodeFile(target, container::png, nullptr, 9, 4, 27, error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(std::filesystem::exists(target));
}

}  // namespace
