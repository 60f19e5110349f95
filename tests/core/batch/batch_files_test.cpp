#include <sys/mount.h>

#include <filesystem>
#include <map>
#include <memory>

#include "batch/batch_naming.h"
#include "batch/document_batch_host.h"
#include "engine/base/view_core.h"
#include "tests/core/sources/document_fixture.h"

namespace fs = std::filesystem;

namespace {

// The real document and view, with the dialog answered and nothing pumped.
class scripted_host : public document_batch_host {
 public:
  using document_batch_host::document_batch_host;
  int output_type = 0;
  bool RunBatchDialog(batch_choices& choices) override {
    ApplyBatchDialog(choices, source1_fixed, output_type, "");
    return true;
  }
  void SetMoveSizeSource(int) override {}
};

// Real files in a folder "two", one run over them with a fixed source 1.
class batch_files : public document_test {
 protected:
  void SetUp() override {
    document_test::SetUp();
    view = std::make_unique<CvorbelViewCore>(&doc);
    the_view = view.get();
    view->target_rect = {0, 0, 256, 192};
    fs::create_directory(Path("two"));
    source_count = 2;
    ASSERT_TRUE(doc.LoadSourceFile(CopyOf("good.png", "one.png"), 1));
  }
  void TearDown() override {
    the_view = nullptr;
    document_test::TearDown();
  }
  // Copies a generated file into "two", each one newer than the last.
  void Add(const std::string& generated, const std::string& name) {
    const std::string path = CopyOf(generated, "two/" + name);
    fs::last_write_time(path, fs::file_time_type(std::chrono::seconds(1700000000 + ++added)));
  }
  // Size and time of every file outside the output folder.
  std::map<std::string, std::pair<uintmax_t, fs::file_time_type>> Others() const {
    std::map<std::string, std::pair<uintmax_t, fs::file_time_type>> seen;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
      if (entry.is_regular_file() && entry.path().parent_path().filename() != "output")
        seen[entry.path().string()] = {entry.file_size(), entry.last_write_time()};
    return seen;
  }
  batch_end Run(int output_type = 0) {
    doc.LoadSourceFile(Path("two/") + first, 2);
    scripted_host host(doc, view.get());
    host.output_type = output_type;
    return RunBatch(doc, host);
  }
  std::vector<std::string> Outputs() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(Path("two/output"))) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  std::unique_ptr<CvorbelViewCore> view;
  std::string first;
  int added = 0;
};

}  // namespace

TEST_F(batch_files, AwkwardNamesAreSavedAndABrokenFileStopsTheRunHarmingNothing) {
  first = "a b.png";
  Add("good.png", first);
  Add("good.tga", "q'\"x.tga");
  Add("good.pcx", "new\nline.pcx");
  Add("good.bmp", "bad\xff.BMP");
  Add("empty.png", "zero.png");
  Add("good.jpg", "never.jpg");
  fs::create_directory(Path("two/folder.jpg"));
  const auto before = Others();
  EXPECT_EQ(Run(), batch_end::stopped);
  EXPECT_EQ(Outputs(), (std::vector<std::string>{"a b.png", "bad\xff.bmp", "new\nline.pcx", "q'\"x.tga"}));
  EXPECT_EQ(ui.messages, (message_list{{Unable(Path("two/zero.png")), message_icon::error},
                                       {batch_stop_message, message_icon::error}}));
  EXPECT_EQ(Others(), before);
}

TEST_F(batch_files, AFullDiskFailsEachSaveThatDoesNotFitAndLeavesNoPart) {
  if (geteuid() != 0) GTEST_SKIP() << "mounting a small file system needs root";
  first = "p1.png";
  for (int i = 1; i <= 5; ++i) Add("good.png", "p" + std::to_string(i) + ".png");
  fs::create_directory(Path("two/output"));
  if (mount("tmpfs", Path("two/output").c_str(), "tmpfs", 0, "size=400k") != 0) GTEST_SKIP() << "no tmpfs";
  const struct unmount {
    std::string at;
    ~unmount() { umount(at.c_str()); }
  } unmount_later{Path("two/output")};
  EXPECT_EQ(Run(output_bmp), batch_end::completed);  // each BMP is 147510 bytes: two fit
  EXPECT_EQ(Outputs(), (std::vector<std::string>{"p1.bmp", "p2.bmp"}));
  for (const std::string& name : Outputs()) EXPECT_EQ(fs::file_size(Path("two/output/" + name)), 147510u);
  ASSERT_EQ(ui.messages.size(), 4u);
  EXPECT_EQ(ui.messages[0].first, "Failed the file save!\n" + Path("two/output/p3.bmp"));
  EXPECT_EQ(ui.messages.back(), (std::pair<std::string, message_icon>{batch_complete_message, message_icon::information}));
}
