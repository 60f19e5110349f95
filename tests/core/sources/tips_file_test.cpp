#include "sources/tips_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "sources/tip_layout.h"

namespace {

std::vector<std::string> Records(const std::string& bytes) {
  std::istringstream in(bytes);
  return ReadTipLines(in).records;
}

using records = std::vector<std::string>;

// Every character 10 pixels wide, every line 12 high.
text_extent FixedWidth(const std::string& text) { return {int(text.size()) * 10, 12}; }

TEST(TipsFile, RecordsEndAtLineFeedsAtTheEndOfTheFileOrAfter256Columns) {
  EXPECT_EQ(Records("A\nB\n"), (records{"A", "B", ""}));  // the file's end counts too
  EXPECT_EQ(Records("A\nB"), (records{"A", "B"}));
  EXPECT_EQ(Records(""), records{""});
  EXPECT_EQ(Records("one\r\ntwo\r\n"), (records{"one", "two", ""}));
  // A carriage return keeps its column empty, which ends what the record shows.
  EXPECT_EQ(Records("left\rright\n"), (records{"left", ""}));

  const std::string long_line(300, 'x');
  EXPECT_EQ(Records(long_line), (records{std::string(256, 'x'), std::string(44, 'x')}));
  EXPECT_EQ(Records(long_line + "\n").size(), 3u);
  // A line of exactly 256 is kept whole; its line feed then ends an empty record.
  EXPECT_EQ(Records(std::string(256, 'y') + "\nz"), (records{std::string(256, 'y'), "", "z"}));

  std::string many;
  for (int i = 0; i < 150; ++i) many += "tip " + std::to_string(i) + "\n";
  const records first_hundred = Records(many);
  ASSERT_EQ(first_hundred.size(), 100u);
  EXPECT_EQ(first_hundred.back(), "tip 99");
}

TEST(TipsFile, OddBytesNeitherOverrunARecordNorHideTheRest) {
  // A zero byte ends what its record shows; the next line is a record of its own.
  EXPECT_EQ(Records(std::string("ab\0cd\nnext", 10)), (records{"ab", "next"}));
  const records binary = Records(std::string(1000, '\0'));
  EXPECT_EQ(binary.size(), 4u);  // 256 + 256 + 256 + 232 columns
  for (const std::string& record : binary) EXPECT_TRUE(record.empty());

  // Latin-1 bytes and broken sequences show as characters; good UTF-8 stays as it is.
  EXPECT_EQ(DisplayableText("caf\xE9"), "caf\xC3\xA9");
  EXPECT_EQ(DisplayableText("\xC3\xA9t\xC3\xA9"), "\xC3\xA9t\xC3\xA9");
  EXPECT_EQ(DisplayableText("\xE2\x82"), "\xC3\xA2\xC2\x82");  // cut at a record's end
  EXPECT_EQ(DisplayableText("\xED\xA0\x80"), "\xC3\xAD\xC2\xA0\xC2\x80");  // a surrogate
  EXPECT_EQ(DisplayableText("\xF0\x9F\x99\x82"), "\xF0\x9F\x99\x82");
}

TEST(TipsFile, TheFirstFolderHoldingTheFileIsRead) {
  namespace fs = std::filesystem;
  const fs::path root = fs::temp_directory_path() / ("vorbel-tips-" + std::to_string(getpid()));
  fs::create_directories(root / "folder_named_like_the_file" / "tips.txt");
  fs::create_directories(root / "data");
  std::ofstream(root / "data" / "tips.txt") << "from data\n";

  tip_lines tips;
  EXPECT_FALSE(ReadTipsFileIn({root / "missing"}, "tips.txt", tips));
  ASSERT_TRUE(ReadTipsFileIn({root / "folder_named_like_the_file", root / "data"}, "tips.txt", tips));
  EXPECT_EQ(tips.records, (records{"from data", ""}));
  fs::remove_all(root);
}

TEST(TipsFile, TheShippedTipsAreWholeAndNoneIsBlank) {
  std::ifstream file(std::filesystem::path(VORBEL_SOURCE_DIR) / "resources" / "startup_tips.txt",
                     std::ios::binary);
  ASSERT_TRUE(file);
  const tip_lines tips = ReadTipLines(file);
  EXPECT_LT(tips.Count(), tip_lines::max_records);
  for (const std::string& tip : tips.records) {
    EXPECT_FALSE(tip.empty());
    EXPECT_LT(tip.size(), size_t(tip_lines::record_columns)) << tip;
    EXPECT_EQ(DisplayableText(tip), tip) << tip;  // UTF-8 as it stands
  }
}

TEST(TipsFile, EachTipScrolls64StepsThenTheNextFollowsAndTheLastWrapsToTheFirst) {
  std::istringstream in("A\nB\n");
  const tip_lines tips = ReadTipLines(in);
  std::string seen;
  int step = 0;
  for (int i = 0; i < 3 * 64; ++i, step = NextTipStep(step, tips.Count()))
    if (step % 64 == 0) seen += "[" + tips.ShownAt(step) + "]";
  EXPECT_EQ(seen, "[A][B][]");
  EXPECT_EQ(step, 0);
  EXPECT_EQ(NextTipStep(0, 0), 0);  // no tips at all: the step stands still
  EXPECT_EQ(tip_lines{}.ShownAt(0), "");
}

TEST(TipLayout, StartupTipsSplitAtBackslashesIntoAtMostSixteenLines) {
  tip_layout three = LayOutStartupTip("one\\two\\three", FixedWidth, 0);
  EXPECT_EQ(three.lines, (records{"one", "two", "three"}));
  EXPECT_EQ(three.width, 50 + 10);
  EXPECT_EQ(three.height, 7 * 12 + 12);  // two backslashes: the lines and four blank ones
  EXPECT_EQ(three.first_line_y, 64);
  EXPECT_EQ(LayOutStartupTip("x", FixedWidth, 63).first_line_y, 1);

  std::string crowded;
  for (int i = 0; i < 20; ++i) crowded += char('a' + i) + std::string("\\");
  tip_layout sixteen = LayOutStartupTip(crowded, FixedWidth, 0);
  ASSERT_EQ(sixteen.lines.size(), 16u);
  EXPECT_EQ(sixteen.lines.back(), "p");
  EXPECT_EQ(sixteen.height, 21 * 12 + 12);

  tip_layout empty = LayOutStartupTip("", FixedWidth, 0);
  EXPECT_EQ(empty.width, 10);
  EXPECT_EQ(empty.height, 5 * 12 + 12);
}

}  // namespace
