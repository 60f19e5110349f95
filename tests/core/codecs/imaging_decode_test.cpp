#include <gtest/gtest.h>

#include "tests/core/codecs/imaging_test_support.h"

namespace {

using namespace imaging_test;

// Writes a tool's samples and compares our decoding of each with the tool's own.
void CompareWithTool(const std::string& tool, const scratch_folder& folder, size_t count) {
  ASSERT_TRUE(RunSamples(tool + " " + Quoted(folder.path)));
  std::ifstream list(folder / "list.txt");
  std::string name;
  size_t compared = 0;
  for (int tolerance = 0; list >> name >> tolerance; ++compared) {
    SCOPED_TRACE(name);
    const decoded ours = DecodeFile(folder / name);
    ASSERT_TRUE(ours.ok) << ours.error;
    EXPECT_EQ(ours.width * 100 + ours.height, 37 * 100 + 23);
    const int worst = WorstDifference(ours.bgra, ReadBytes(folder / (name + ".rgba")));
    EXPECT_TRUE(worst >= 0 && worst <= tolerance) << worst;
  }
  EXPECT_EQ(compared, count);
}

// Among them: PNG alpha, an orientation tag not applied, a two-page TIFF (negated second page).
TEST(ImagingDecode, PillowFilesGiveThePixelsPillowReads) { CompareWithTool("pillow", scratch_folder(), 18); }
// Among them: BMP files with long headers or the short core header, run-length rows, alpha masks and 5- and
// 6-bit channels.
TEST(ImagingDecode, ImageMagickFilesGiveThePixelsImageMagickReads) { CompareWithTool("magick", scratch_folder(), 22); }

}  // namespace
