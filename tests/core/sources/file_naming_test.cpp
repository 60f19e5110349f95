#include "sources/file_naming.h"

#include <gtest/gtest.h>

TEST(FileNaming, ExtensionsAreTheLastThreeCharactersLowerCased) {
  EXPECT_EQ(SourceExtension("/pics/photo.JPEG"), "jpg");
  EXPECT_EQ(SourceExtension("/pics/scan.tiff"), "iff");
  EXPECT_EQ(SourceExtension("ab"), "ab");
  for (const char* name : {"a.bmp", "a.JPG", "a.jpeg", "a.Png", "a.tif", "a.TGA", "a.pcx", ".png"})
    EXPECT_TRUE(IsImageFileName(name)) << name;
  for (const char* name : {"a.tiff", "apng", "a.png.txt", "", "a.gif"}) EXPECT_FALSE(IsImageFileName(name)) << name;
}

// Paths of the given length with "/" at the given places and letters elsewhere.
TEST(FileNaming, LabelsStartAtAFolderWithinTheLast49OfTheFirstHundredCharacters) {
  const auto path = [](size_t length, std::initializer_list<size_t> slashes) {
    std::string path(length, 'x');
    for (size_t at : slashes) path[at] = '/';
    return path;
  };
  EXPECT_EQ(SourceLabel(path(40, {0, 10, 30})), path(40, {0, 10, 30}));
  EXPECT_EQ(SourceLabel("xx/yy/zz.png"), "/yy/zz.png");  // from the first slash
  EXPECT_EQ(SourceLabel("no_slash_at_all.png"), "no_slash_at_all.png");
  // 80 characters: a slash at 30 leaves 50 behind it, one too many.
  EXPECT_EQ(SourceLabel(path(80, {0, 30, 45, 70})), path(80, {0, 30, 45, 70}).substr(45));
  EXPECT_EQ(SourceLabel(path(80, {0, 10})), path(80, {0, 10}));
  EXPECT_EQ(SourceLabel(path(80, {0, 31, 45})), path(80, {0, 31, 45}).substr(31));  // 49 behind it
  // 150 characters: a folder beyond the first hundred is never found.
  EXPECT_EQ(SourceLabel(path(150, {0, 50, 60, 120})), path(150, {0, 50, 60, 120}).substr(60));
  EXPECT_EQ(SourceLabel(path(150, {0, 20, 120})), path(150, {0, 20, 120}));
}
