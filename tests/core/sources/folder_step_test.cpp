#include <filesystem>

#include "document_fixture.h"
#include "sources/image_folder.h"

namespace {

// Image files a.png, B.PNG, c.jpeg, f.bmp in name order, a text file and a sub-folder named like an image.
class folder_step : public document_test {
 protected:
  void SetUp() override {
    document_test::SetUp();
    for (const char* name : {"f.bmp", "c.jpeg", "B.PNG", "a.png"}) CopyOf("good.png", name);
    WriteAll(Path("d.txt"), "not an image");
    std::filesystem::create_directory(Path("e.png"));
    source_count = 2;
    ASSERT_TRUE(doc.LoadSourceFile(Path("a.png"), 1));
    ui.titles.clear();
  }
};

}  // namespace

TEST_F(folder_step, WalksTheImageFilesInNameOrder) {
  EXPECT_EQ(*ListImageFiles(dir), (std::vector<std::string>{"a.png", "B.PNG", "c.jpeg", "f.bmp"}));
  doc.StepSourceFile(1, -1);  // back from the first: nothing
  EXPECT_EQ(doc.file_name[0], Path("a.png"));
  EXPECT_TRUE(ui.titles.empty());
  for (const char* name : {"B.PNG", "c.jpeg", "f.bmp", "f.bmp"}) {  // forward from the last: loaded again
    doc.StepSourceFile(1, +1);
    EXPECT_EQ(doc.file_name[0], Path(name));
  }
  doc.StepSourceFile(1, -1);
  EXPECT_EQ(doc.file_name[0], Path("c.jpeg"));
  EXPECT_EQ(ui.titles.size(), 5u);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(folder_step, AVanishedOrUnreadableFileKeepsTheSource) {
  doc.StepSourceFile(2, +1);  // no file: nothing
  std::filesystem::remove(Path("a.png"));
  doc.StepSourceFile(1, +1);
  EXPECT_EQ(doc.file_name[0], Path("a.png"));
  EXPECT_TRUE(ui.titles.empty() && ui.messages.empty());
  CopyOf("good.png", "a.png");
  WriteAll(Path("a0.png"), "broken");
  doc.StepSourceFile(1, +1);
  EXPECT_EQ(doc.file_name[0], Path("a0.png"));  // the walk stands on it; the picture stays
  EXPECT_EQ(doc.image_size[0].width, 37);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].first, Unable(Path("a0.png")));
}

// A picture too large to load, between B.PNG and c.jpeg, is stepped past both ways
// for both sources; while the walk stands on it the source keeps its picture and label.
TEST_F(folder_step, AFileThatCannotLoadIsSteppedPastBothWays) {
  CopyOf("huge.png", "b0.png");
  for (int s : {1, 2}) {
    ASSERT_TRUE(doc.LoadSourceFile(Path("B.PNG"), s));
    const std::string label = ui.labels[s];
    ui.messages.clear();
    doc.StepSourceFile(s, +1);
    EXPECT_EQ(ui.messages, (message_list{{Unable(Path("b0.png")), message_icon::error}})) << s;
    EXPECT_EQ(doc.image_size[s - 1].width, 37) << s;
    EXPECT_EQ(ui.labels[s], label) << s;
    doc.StepSourceFile(s, +1);
    EXPECT_EQ(doc.file_name[s - 1], Path("c.jpeg")) << s;
    doc.StepSourceFile(s, -1);
    doc.StepSourceFile(s, -1);
    EXPECT_EQ(doc.file_name[s - 1], Path("B.PNG")) << s;
    EXPECT_EQ(ui.messages.size(), 2u) << s;
  }
}
