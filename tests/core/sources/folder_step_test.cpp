#include <filesystem>

#include "document_fixture.h"
#include "sources/image_folder.h"

namespace {

// A folder of image files in name order a.png, B.PNG, c.jpeg, f.bmp, with a text file
// and a sub-folder named like an image between them.
class folder_step : public document_test {
 protected:
  void SetUp() override {
    document_test::SetUp();
    for (const char* name : {"f.bmp", "c.jpeg", "B.PNG", "a.png"}) CopyOf("good.png", name);
    WriteAll(Path("d.txt"), "not an image");
    std::filesystem::create_directory(Path("e.png"));
    source_count = 2;
  }
  void StartAt(const std::string& name) {
    ASSERT_TRUE(doc.LoadSourceFile(Path(name), 1));
    ui.titles.clear();
  }
};

}  // namespace

TEST_F(folder_step, ListsImageFilesInNameOrder) {
  const auto names = ListImageFiles(dir);
  ASSERT_TRUE(names);
  EXPECT_EQ(*names, (std::vector<std::string>{"a.png", "B.PNG", "c.jpeg", "f.bmp"}));
  EXPECT_FALSE(ListImageFiles(Path("missing")));
}

TEST_F(folder_step, StepsForwardAndBack) {
  StartAt("a.png");
  doc.StepSourceFile(1, +1);
  EXPECT_EQ(doc.file_name[0], Path("B.PNG"));
  doc.StepSourceFile(1, +1);
  EXPECT_EQ(doc.file_name[0], Path("c.jpeg"));
  doc.StepSourceFile(1, +1);
  EXPECT_EQ(doc.file_name[0], Path("f.bmp"));
  doc.StepSourceFile(1, -1);
  EXPECT_EQ(doc.file_name[0], Path("c.jpeg"));
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(folder_step, BackFromTheFirstDoesNothing) {
  StartAt("a.png");
  doc.StepSourceFile(1, -1);
  EXPECT_EQ(doc.file_name[0], Path("a.png"));
  EXPECT_TRUE(ui.titles.empty());
}

TEST_F(folder_step, ForwardFromTheLastLoadsItAgain) {
  StartAt("f.bmp");
  doc.StepSourceFile(1, +1);
  EXPECT_EQ(doc.file_name[0], Path("f.bmp"));
  EXPECT_EQ(ui.titles.size(), 1u);
}

TEST_F(folder_step, NothingForAVanishedOrUnnamedFile) {
  doc.StepSourceFile(2, +1);
  StartAt("a.png");
  std::filesystem::remove(Path("a.png"));
  doc.StepSourceFile(1, +1);
  EXPECT_EQ(doc.file_name[0], Path("a.png"));
  EXPECT_TRUE(ui.titles.empty());
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(folder_step, AnUnreadableNextFileKeepsTheSource) {
  WriteAll(Path("a0.png"), "broken");
  StartAt("a.png");
  doc.StepSourceFile(1, +1);
  EXPECT_EQ(doc.file_name[0], Path("a.png"));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].first, "Unable to load this image file:   " + Path("a0.png"));
}
