#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "batch/batch_choices.h"
#include "batch/batch_line_reader.h"
#include "batch/batch_naming.h"

namespace {

// Every line the reader gives for the bytes of a file.
std::vector<std::string> Lines(const std::string& bytes) {
  std::string copy = bytes;
  std::FILE* file = fmemopen(copy.data(), copy.size() ? copy.size() : 1, "rb");
  if (copy.empty()) std::fgetc(file);  // fmemopen wants a size: read the only byte away
  batch_line_reader reader(file);
  std::vector<std::string> lines;
  std::string text = "kept";
  while (reader.ReadLine(text)) lines.push_back(text);
  EXPECT_EQ(text, lines.empty() ? "kept" : lines.back());  // the end leaves the last line
  std::fclose(file);
  return lines;
}

using lines = std::vector<std::string>;

}  // namespace

TEST(batch_lines, EveryLineEndCountsAndAnUnterminatedLastLineToo) {
  EXPECT_EQ(Lines("a\r\nb\r\n"), (lines{"a\r\n", "b\r\n"}));
  EXPECT_EQ(Lines("a\r\nb"), (lines{"a\r\n", "b\r\n"}));
  EXPECT_EQ(Lines("a\nb\n"), (lines{"a\r\n", "b\r\n"}));
  EXPECT_EQ(Lines("a\rb\r"), (lines{"a\r\n", "b\r\n"}));
  EXPECT_EQ(Lines("a\n\r\n\rb"), (lines{"a\r\n", "???\r\n", "???\r\n", "b\r\n"}));
  EXPECT_EQ(Lines(""), lines{});
  EXPECT_EQ(Lines("\xEF\xBB\xBFhi\n"), (lines{"\xEF\xBB\xBFhi\r\n"}));
}

TEST(batch_lines, EscapesBecomeLineBreaksAndEmptyLinesShowQuestionMarks) {
  EXPECT_EQ(Lines("x\\ny\n"), (lines{"x\r\ny\r\n"}));
  EXPECT_EQ(Lines("\\n\n\n"), (lines{"???\r\n", "???\r\n"}));
  EXPECT_EQ(Lines("\\\\n\n"), (lines{"\\\r\n\r\n"}));
  EXPECT_EQ(Lines(std::string("a\0b\n\0\n", 6)), (lines{"ab\r\n", "???\r\n"}));
  EXPECT_EQ(Lines("\xff\xfe\n"), (lines{"\xff\xfe\r\n"}));
}

TEST(batch_lines, ALongLineIsCutOnACharacterBoundary) {
  const std::string euro = "\xE2\x82\xAC";
  std::string long_line;
  while (long_line.size() < 9000) long_line += euro;
  const lines got = Lines(long_line + "\nnext");
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].size(), 8187u + 2);  // 2729 whole characters, then CR LF
  EXPECT_EQ(got[0].substr(0, 8187), long_line.substr(0, 8187));
  EXPECT_EQ(got[1], "next\r\n");
  const std::string exact(batch_line_reader::max_line_bytes, 'a');
  EXPECT_EQ(Lines(exact), (lines{exact + "\r\n"}));
}

TEST(batch_naming, ExtensionsAndNames) {
  EXPECT_EQ(BatchOutputExtension("Photo.JPEG", output_not_set), "jpg");
  EXPECT_EQ(BatchOutputBaseName("Photo.JPEG", 0, "", 0), "Photo");
  EXPECT_EQ(BatchOutputExtension("Photo.JPEG", output_png), "png");
  EXPECT_EQ(BatchOutputExtension("scan.PCX", output_not_set), "pcx");
  EXPECT_EQ(BatchOutputExtension("scan.tga", output_bmp), "bmp");
  EXPECT_EQ(BatchOutputExtension("scan.tga", output_tiff), "tif");
  EXPECT_EQ(BatchOutputExtension("scan.tga", output_jpeg), "jpg");
  EXPECT_EQ(BatchOutputBaseName("my photo.Tif", 0, "", 7), "my photo");
  EXPECT_EQ(BatchOutputBaseName("x.png", 1, "batchfile", 0), "batchfile1");
  EXPECT_EQ(BatchOutputBaseName("x.png", 1, "", 11), "12");
  // The dialog hands over the type as a number: 0 keeps the format, then BMP, JPEG, TIFF, PNG.
  const char* by_type[5] = {"tga", "bmp", "jpg", "tif", "png"};
  for (int type = 0; type < 5; ++type) EXPECT_EQ(BatchOutputExtension("a.TGA", type), by_type[type]) << type;
  EXPECT_EQ(BatchOutputBaseName("Photo.jpeg.bmp", 0, "", 0), "Photo.jpeg");
}

TEST(batch_dialog_logic, OutputFolderSortWordAndKinds) {
  EXPECT_EQ(ShortenedOutputFolder("/home/u/x.bmp"), "/home/u/output");
  EXPECT_EQ(ShortenedOutputFolder("/x.bmp"), "/output");
  const std::string deep = "/aaaaaaaaaa/bbbbbbbbbb/cccccccccc/dddddddddd/eeeeeeeeee/f.png";
  EXPECT_EQ(ShortenedOutputFolder(deep), ".../cccccccccc/dddddddddd/eeeeeeeeee/output");
  const std::string fifty = "/" + std::string(42, 'q') + "/output";
  EXPECT_EQ(ShortenedOutputFolder(fifty.substr(0, 43) + "/f.png"), fifty);

  EXPECT_EQ(PackSortWord(1, true, true), 26);
  EXPECT_EQ(PackSortWord(2, false, false), 4);
  EXPECT_EQ(PackSortWord(0, true, false), 9);

  batch_choices choices;
  choices.source1_path = "/s/1.png", choices.name_mode = 1;
  ApplyBatchDialog(choices, source1_directory, output_png, "run");
  EXPECT_EQ(choices.source1_path, "/s/1.png");
  EXPECT_EQ(choices.output_type, output_png);
  EXPECT_EQ(choices.name_text, "run");
  choices.name_mode = 0;
  ApplyBatchDialog(choices, source1_fixed, 0, "other");
  EXPECT_EQ(choices.source1_path, "");
  EXPECT_EQ(choices.name_text, "run");
}
