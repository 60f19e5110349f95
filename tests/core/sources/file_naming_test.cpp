#include "sources/file_naming.h"

#include <gtest/gtest.h>

TEST(SourceExtension, TakesTheLastThreeLowerCasedAndJpegAsJpg) {
  EXPECT_EQ(SourceExtension("/pics/photo.JPEG"), "jpg");
  EXPECT_EQ(SourceExtension("/pics/photo.jpeg"), "jpg");
  EXPECT_EQ(SourceExtension("/pics/photo.JPG"), "jpg");
  EXPECT_EQ(SourceExtension("/pics/Scan.Tif"), "tif");
  EXPECT_EQ(SourceExtension("/pics/scan.tiff"), "iff");
  // No dot is needed: only the last three characters count.
  EXPECT_EQ(SourceExtension("/pics/xpng"), "png");
  EXPECT_EQ(SourceExtension("ab"), "ab");
  EXPECT_EQ(SourceExtension(""), "");
}

TEST(IsImageFileName, AcceptsTheSixEndingsInAnyCase) {
  for (const char* name : {"a.bmp", "a.JPG", "a.jpeg", "a.JPEG", "a.Png", "a.tif", "a.TGA",
                           "a.pcx", ".png"})
    EXPECT_TRUE(IsImageFileName(name)) << name;
  for (const char* name : {"a.tiff", "apng", "a.png.txt", "png", "", "a.gif"})
    EXPECT_FALSE(IsImageFileName(name)) << name;
}

namespace {

// A path of the given length with "/" at the given places and letters elsewhere.
std::string PathWithSlashes(size_t length, std::initializer_list<size_t> slashes) {
  std::string path(length, 'x');
  for (size_t at : slashes) path[at] = '/';
  return path;
}

}  // namespace

TEST(SourceLabel, ShortPathsAreShownFromTheirFirstSlash) {
  const std::string path = PathWithSlashes(40, {0, 10, 30});
  EXPECT_EQ(SourceLabel(path), path);
  EXPECT_EQ(SourceLabel("xx/yy/zz.png"), "/yy/zz.png");
  EXPECT_EQ(SourceLabel("no_slash_at_all.png"), "no_slash_at_all.png");
}

TEST(SourceLabel, LongerPathsStartAtAFolderWithinTheirLast49Characters) {
  // 80 characters: a slash at 30 leaves 50 behind it, one too many.
  const std::string path = PathWithSlashes(80, {0, 30, 45, 70});
  EXPECT_EQ(SourceLabel(path), path.substr(45));
  EXPECT_EQ(SourceLabel(PathWithSlashes(80, {0, 10})), PathWithSlashes(80, {0, 10}));
}

TEST(SourceLabel, OnlyTheFirstHundredCharactersAreWalked) {
  const std::string path = PathWithSlashes(150, {0, 50, 60, 120});
  EXPECT_EQ(SourceLabel(path), path.substr(60));
  EXPECT_EQ(SourceLabel(path).size(), 90u);
  // A folder beyond the first hundred characters is never found.
  const std::string far = PathWithSlashes(150, {0, 20, 120});
  EXPECT_EQ(SourceLabel(far), far);
}
