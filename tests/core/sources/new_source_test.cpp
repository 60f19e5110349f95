#include "document_fixture.h"

namespace {

class new_source : public document_test {
 protected:
  void LoadTwo() {
    ASSERT_TRUE(doc.OnOpenDocument(CopyOf("good.bmp", "one.bmp")));
    ASSERT_TRUE(doc.OnOpenDocument(CopyOf("good.png", "two.png")));
    ASSERT_EQ(source_count, 2);
  }
};

}  // namespace

TEST_F(new_source, TwoFilesAreCountedInAndAThirdReplacesTheChosenSource) {
  LoadTwo();
  EXPECT_EQ(ui.layouts, 2);
  for (int s : {1, 2}) EXPECT_EQ(WorstDifference(doc.source_image[s - 1], 37, 23, Generated), 0);
  EXPECT_EQ(ui.labels[2], Path("two.png"));
  const std::string third = CopyOf("alpha.png", "three.png");
  ui.replace_answer = 130;
  ASSERT_TRUE(doc.OnOpenDocument(third));
  EXPECT_EQ(ui.replace_asked, 1);
  EXPECT_EQ(source_count, 2);
  EXPECT_EQ(doc.replaced_source, 2);
  EXPECT_EQ(doc.file_name[0] + doc.file_name[1], Path("one.bmp") + third);
  EXPECT_EQ(PixelOf(doc.source_image[1], 5, 3) >> 24, 33u);
  ui.replace_answer = 129;
  ASSERT_TRUE(doc.OnOpenDocument(third));
  EXPECT_EQ(doc.file_name[0], third);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(new_source, CancelOrAFailedReplacementKeepsTheOldSource) {
  LoadTwo();
  const uint8_t* before = doc.source_image[1].bitmap;
  EXPECT_FALSE(doc.OnOpenDocument(CopyOf("alpha.png", "three.png")));  // cancelled
  EXPECT_EQ(doc.source_image[1].bitmap, before);
  EXPECT_EQ(doc.file_name[1], Path("two.png"));
  EXPECT_TRUE(ui.messages.empty());

  ui.replace_answer = 129;
  const std::string bad = CopyOf("noise.png", "bad.png");
  EXPECT_FALSE(doc.OnOpenDocument(bad));
  EXPECT_EQ(ui.messages, (message_list{{Unable(bad), message_icon::error}}));
  EXPECT_EQ(source_count, 2);
  EXPECT_EQ(doc.file_name[0], Path("one.bmp"));
  EXPECT_EQ(WorstDifference(doc.source_image[0], 37, 23, Generated), 0);
}

TEST_F(new_source, FailuresAreNotCounted) {
  EXPECT_FALSE(doc.OnOpenDocument(Path("missing.png")));
  EXPECT_FALSE(doc.OnOpenDocument(dir));
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0].first, "Failed to open document.\n" + Path("missing.png"));
  EXPECT_EQ(ui.messages[1].first, "Failed to open document.\n" + dir);
  ASSERT_TRUE(doc.OnOpenDocument(CopyOf("good.bmp", "one.bmp")));
  EXPECT_FALSE(doc.OnOpenDocument(CopyOf("cut.bmp", "cut.bmp")));
  EXPECT_EQ(source_count, 1);
  EXPECT_EQ(doc.source_kind[1], kind_none);
}
