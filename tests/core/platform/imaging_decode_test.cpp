#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tests/core/platform/imaging_test_support.h"

namespace {

using namespace imaging_test;

// Decodes every sample listed in a tool's manifest and compares it with the tool's
// own decoding. Returns how many were compared.
int CompareWithManifest(const scratch_folder& folder, const std::string& manifest) {
  std::ifstream list(folder / manifest);
  std::string line;
  int compared = 0;
  while (std::getline(list, line)) {
    std::istringstream fields(line);
    std::string name;
    int width = 0, height = 0, tolerance = 0;
    fields >> name >> width >> height >> tolerance;
    SCOPED_TRACE(name);
    const decoded ours = DecodeFile(folder / name);
    EXPECT_TRUE(ours.ok) << ours.error;
    if (!ours.ok) continue;
    EXPECT_EQ(ours.width, width);
    EXPECT_EQ(ours.height, height);
    size_t where = 0;
    const int worst = WorstDifference(ours.bgra, ReadBytes(folder / (name + ".rgba")), &where);
    EXPECT_GE(worst, 0);
    EXPECT_LE(worst, tolerance) << "at pixel " << where % width << ", " << where / width;
    ++compared;
  }
  return compared;
}

TEST(ImagingDecode, PillowFilesGiveThePixelsPillowReads) {
  scratch_folder folder;
  ASSERT_TRUE(RunSamples("pillow " + Quoted(folder.path)));
  EXPECT_EQ(CompareWithManifest(folder, "pillow.txt"), 29);

  // The PNG's alpha lands in the fourth byte, and it is not all opaque.
  const decoded rgba = DecodeFile(folder / "p_rgba.png");
  ASSERT_TRUE(rgba.ok);
  EXPECT_EQ(rgba.bgra[3], 255);
  EXPECT_EQ(rgba.bgra[4 * 10 + 3], (10 * 13 + 30) % 256);
  // The orientation tag is not applied: the stored 37 x 23 comes out as it is.
  const decoded rotated = DecodeFile(folder / "p_exif_rotated.jpg");
  EXPECT_EQ(rotated.width, 37);
  EXPECT_EQ(rotated.height, 23);
}

TEST(ImagingDecode, ImageMagickFilesGiveThePixelsImageMagickReads) {
  scratch_folder folder;
  ASSERT_TRUE(RunSamples("magick " + Quoted(folder.path)));
  EXPECT_EQ(CompareWithManifest(folder, "magick.txt"), 29);

  // Only the first page of a two-page TIFF is read; its second page is the negative.
  const decoded first = DecodeFile(folder / "m_two_pages.tif");
  ASSERT_TRUE(first.ok);
  EXPECT_EQ(first.bgra[2], 0);  // red of the top-left pixel: x * 7 = 0
}

}  // namespace
