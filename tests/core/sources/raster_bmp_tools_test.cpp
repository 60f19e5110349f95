#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "sources/raster.h"

namespace {

namespace fs = std::filesystem;

// BMP files written by Pillow, ImageMagick and by hand at every depth and compression,
// each with the pixels its writer decodes from it.
class BmpFromTools : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder = fs::path(testing::TempDir()) / ("bmp_samples_" + std::to_string(getpid()));
    const std::string command = "/usr/bin/python3 " VORBEL_SOURCE_DIR "/tests/core/sources/bmp_samples.py " +
                                folder.string();
    generated = std::system(command.c_str()) == 0;
  }
  static void TearDownTestSuite() { fs::remove_all(folder); }

  static std::vector<uint8_t> ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }

  static inline fs::path folder;
  static inline bool generated = false;
};

TEST_F(BmpFromTools, DecodeToThePixelsTheirWritersReport) {
  ASSERT_TRUE(generated) << "the sample script failed (needs /usr/bin/python3 with PIL and /usr/bin/convert)";
  std::ifstream manifest(folder / "manifest.txt");
  std::string line;
  int samples = 0;
  while (std::getline(manifest, line)) {
    std::istringstream fields(line);
    std::string name, alpha_mode;
    int width, height;
    uint32_t depth, mask;
    fields >> name >> width >> height >> depth >> mask >> alpha_mode;
    SCOPED_TRACE(name);
    ++samples;

    CRaster image((folder / (name + ".bmp")).c_str(), raster_format_bmp);
    ASSERT_TRUE(image.IsValid()) << image.GetErrorText();
    EXPECT_EQ(image.GetFormat(), uint32_t(raster_format_bmp));
    ASSERT_EQ(image.GetWidth(), width);
    ASSERT_EQ(image.GetHeight(), height);
    EXPECT_EQ(image.GetBpp(), depth);
    EXPECT_EQ(image.AlphaIsValid(), alpha_mode == "plane");

    const std::vector<uint8_t> expected = ReadFile(folder / (name + ".rgba"));
    ASSERT_EQ(expected.size(), size_t(width) * height * 4);
    int wrong = 0;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const uint8_t* e = &expected[(size_t(y) * width + x) * 4];
        const rgb_quad got = image.PixelColorUnchecked(x, height - 1 - y, true);
        const bool same = (got.red & mask) == (e[0] & mask) && (got.green & mask) == (e[1] & mask) &&
                          (got.blue & mask) == (e[2] & mask) &&
                          (alpha_mode != "plane" || got.reserved == e[3]);
        if (!same && wrong++ < 3)
          ADD_FAILURE() << "pixel " << x << "," << y << ": got " << int(got.red) << " " << int(got.green)
                        << " " << int(got.blue) << " " << int(got.reserved) << ", expected " << int(e[0])
                        << " " << int(e[1]) << " " << int(e[2]) << " " << int(e[3]);
      }
  }
  EXPECT_GE(samples, 20);
}

TEST_F(BmpFromTools, ImageMagickReadsWhatWeWrite) {
  std::mt19937 random(11);
  for (uint32_t bits : {1u, 4u, 8u, 24u}) {
    for (bool with_alpha : {false, true}) {
      if (with_alpha && bits != 24) continue;
      SCOPED_TRACE(testing::Message() << bits << " bits" << (with_alpha ? " with alpha" : ""));
      CRaster image;
      ASSERT_TRUE(image.Create(13, 6, bits, 0));
      for (uint32_t i = 0; i < image.GetColorCount(); ++i)
        image.SetPaletteColor(i, uint8_t(random()), uint8_t(random()), uint8_t(random()));
      if (with_alpha) {
        ASSERT_TRUE(image.AlphaCreate());
      }
      for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 13; ++x) {
          if (bits == 24)
            image.SetPixelColor(x, y, rgb_quad{uint8_t(random()), uint8_t(random()), uint8_t(random()), 200}, true);
          else
            image.SetPixelIndex(x, y, uint8_t(random()));
        }
      const fs::path bmp = folder / ("ours_" + std::to_string(bits) + (with_alpha ? "a" : "") + ".bmp");
      ASSERT_TRUE(image.Save(bmp.c_str(), raster_format_bmp)) << image.GetErrorText();
      const fs::path raw = fs::path(bmp).replace_extension(".rgba");
      const std::string command = "/usr/bin/convert " + bmp.string() + " -depth 8 rgba:" + raw.string();
      ASSERT_EQ(std::system(command.c_str()), 0);
      const std::vector<uint8_t> seen = ReadFile(raw);
      ASSERT_EQ(seen.size(), 13u * 6 * 4);
      for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 13; ++x) {
          const rgb_quad ours = image.PixelColorUnchecked(x, 5 - y);
          const uint8_t* e = &seen[(size_t(y) * 13 + x) * 4];
          ASSERT_EQ(std::vector<int>({e[0], e[1], e[2]}), std::vector<int>({ours.red, ours.green, ours.blue}))
              << x << "," << y;
        }
    }
  }
}

}  // namespace
