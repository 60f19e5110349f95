#include "sources/file_naming.h"

#include <gtest/gtest.h>

TEST(FileNaming, ExtensionsAreTheLastThreeCharactersLowerCased) {
  EXPECT_EQ(SourceExtension("/pics/photo.JPEG"), "jpg");
  EXPECT_EQ(SourceExtension("/pics/Scan.Tif"), "tif");
  EXPECT_EQ(SourceExtension("/pics/scan.tiff"), "iff");
  EXPECT_EQ(SourceExtension("ab"), "ab");
  for (const char* name : {"a.bmp", "a.JPG", "a.jpeg", "a.JPEG", "a.Png", "a.tif", "a.TGA", "a.pcx", ".png"})
    EXPECT_TRUE(IsImageFileName(name)) << name;
  for (const char* name : {"a.tiff", "apng", "a.png.txt", "png", "", "a.gif"}) EXPECT_FALSE(IsImageFileName(name)) << name;
}

namespace {

// A path of the given length with "/" at the given places and letters elsewhere.
std::string PathWithSlashes(size_t length, std::initializer_list<size_t> slashes) {
  std::string path(length, 'x');
  for (size_t at : slashes) path[at] = '/';
  return path;
}

}  // namespace

TEST(FileNaming, LabelsStartAtAFolderWithinTheLast49OfTheFirstHundredCharacters) {
  const std::string short_path = PathWithSlashes(40, {0, 10, 30});
  EXPECT_EQ(SourceLabel(short_path), short_path);
  EXPECT_EQ(SourceLabel("xx/yy/zz.png"), "/yy/zz.png");  // from the first slash
  EXPECT_EQ(SourceLabel("no_slash_at_all.png"), "no_slash_at_all.png");
  // 80 characters: a slash at 30 leaves 50 behind it, one too many.
  const std::string path = PathWithSlashes(80, {0, 30, 45, 70});
  EXPECT_EQ(SourceLabel(path), path.substr(45));
  EXPECT_EQ(SourceLabel(PathWithSlashes(80, {0, 10})), PathWithSlashes(80, {0, 10}));
  // 150 characters: a folder beyond the first hundred is never found.
  const std::string long_path = PathWithSlashes(150, {0, 50, 60, 120});
  EXPECT_EQ(SourceLabel(long_path), long_path.substr(60));
  const std::string far = PathWithSlashes(150, {0, 20, 120});
  EXPECT_EQ(SourceLabel(far), far);
}
