#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "batch/batch_driver.h"
#include "batch/batch_naming.h"
#include "sources/document.h"

namespace fs = std::filesystem;

namespace {

using message_list = std::vector<std::pair<std::string, message_icon>>;

// Plays the program around a run: answers the dialog from a script and records
// every load, render and save. Loads fail for the names in failing_loads.
class fake_host : public batch_host {
 public:
  std::function<void(batch_choices&)> dialog = [](batch_choices&) {};
  bool dialog_ok = true;
  batch_choices asked;
  std::vector<std::string> loads, saves, status, events;
  std::vector<int> renders;
  std::set<std::string> failing_loads;
  message_list messages;
  std::vector<int> escape_after;  // pair counts after which Esc is pressed
  bool yes = false;
  int close_after = -1, move_size = -1, questions = 0;
  int render_result = 0;

  bool RunBatchDialog(batch_choices& choices) override {
    asked = choices;
    dialog(choices);
    return dialog_ok;
  }
  void SetMoveSizeSource(int mode) override { move_size = mode; }
  bool LoadSourceFile(const std::string& path, int s) override {
    const std::string name = fs::path(path).filename().string();
    loads.push_back(std::to_string(s) + ":" + name);
    return !failing_loads.count(name);
  }
  int RenderSourceText(int number) override { return renders.push_back(number), render_result; }
  void UpdateSourceGeometry(int) override {}
  void RebuildSources() override { events.push_back("rebuild"); }
  void SaveTarget(const std::string& path, const std::string& extension) override {
    saves.push_back(fs::path(path).parent_path().filename().string() + "/" +
                    fs::path(path).filename().string());
    EXPECT_EQ(fs::path(path).extension().string(), "." + extension);
  }
  void PumpAll() override { events.push_back("pump"); }
  bool TakeEscape() override {
    for (int after : escape_after)
      if (after == int(saves.size())) return true;
    return false;
  }
  bool CloseRequested() override { return close_after == int(saves.size()); }
  void ShowStatusText(const std::string& text) override { status.push_back(text); }
  int MessageBox(const std::string& text, message_icon icon) override {
    return messages.emplace_back(text, icon), 1;
  }
  bool AskYesNo(const std::string&) override { return ++questions, yes; }
};

class batch_run_test : public testing::Test {
 protected:
  void SetUp() override {
    root = fs::temp_directory_path() / ("vorbel-batch-" + std::to_string(getpid()));
    fs::remove_all(root);
    fs::create_directories(root / "two");
    fs::create_directories(root / "one");
    for (int i = 1; i <= 5; ++i) Make("two/s" + std::to_string(i) + ".png", i);
    for (int i = 1; i <= 3; ++i) Make("one/f" + std::to_string(i) + ".bmp", 10 - i);
    doc.file_name[0] = (root / "one/f3.bmp").string();
    doc.file_name[1] = (root / "two/s1.png").string();
    doc.source_kind[0] = doc.source_kind[1] = kind_file;
  }
  void TearDown() override { fs::remove_all(root); }
  // A file written seconds after a fixed time.
  void Make(const std::string& name, int seconds, const std::string& bytes = "x") {
    std::ofstream(root / name, std::ios::binary) << bytes;
    fs::last_write_time(root / name, fs::file_time_type(std::chrono::seconds(1700000000 + seconds)));
  }
  void Fixed() {
    host.dialog = [](batch_choices& c) { ApplyBatchDialog(c, source1_fixed, 0, ""); };
  }
  message_list Only(const char* text, message_icon icon) { return {{text, icon}}; }

  CvorbelDoc doc;
  fake_host host;
  fs::path root;
};

using strings = std::vector<std::string>;

}  // namespace

TEST_F(batch_run_test, DirectoryKindPairsInLockStepUntilTheShorterListEnds) {
  EXPECT_EQ(RunBatch(doc, host), batch_end::completed);
  EXPECT_EQ(host.asked.source1_path, doc.file_name[0]);
  EXPECT_EQ(host.asked.sort_flags, 9);
  EXPECT_EQ(host.move_size, 0);
  // Source 1 oldest first (f3 is the oldest), source 2 by the chosen word.
  EXPECT_EQ(host.loads, (strings{"1:f3.bmp", "2:s1.png", "1:f2.bmp", "2:s2.png", "1:f1.bmp", "2:s3.png"}));
  EXPECT_EQ(host.saves, (strings{"output/s1.png", "output/s2.png", "output/s3.png"}));
  EXPECT_EQ(host.status.back(), "Current file count = 3");
  EXPECT_EQ(host.messages, Only(batch_complete_message, message_icon::information));
  EXPECT_EQ(host.events[0], "pump");  // the pump comes before the rebuild that is saved
  EXPECT_EQ(host.events[1], "rebuild");
  EXPECT_TRUE(fs::is_directory(root / "two/output"));
}

TEST_F(batch_run_test, FixedKindWalksSource2InTheChosenOrderWithNumberedNames) {
  host.dialog = [](batch_choices& c) {
    c.sort_flags = 2;  // names backwards
    c.name_mode = 1;
    ApplyBatchDialog(c, source1_fixed, output_jpeg, "batchfile");
  };
  doc.source_kind[0] = kind_text;
  fs::create_directories(root / "two/output");  // an existing output folder is used as it is
  EXPECT_EQ(RunBatch(doc, host), batch_end::completed);
  EXPECT_EQ(host.loads, (strings{"2:s5.png", "2:s4.png", "2:s3.png", "2:s2.png", "2:s1.png"}));
  EXPECT_EQ(host.saves, (strings{"output/batchfile1.jpg", "output/batchfile2.jpg", "output/batchfile3.jpg",
                                 "output/batchfile4.jpg", "output/batchfile5.jpg"}));
  EXPECT_EQ(host.renders, (std::vector<int>{1, 2, 3, 4, 5}));  // a text source 1 shows the pair's number
  EXPECT_EQ(host.messages, Only(batch_complete_message, message_icon::information));
}

TEST_F(batch_run_test, TextKindTakesOneLinePerPairAndAFailedRenderShowsAnEmptySource) {
  Make("lines.txt", 0, "first\nsecond\\nhalf");
  host.dialog = [this](batch_choices& c) {
    c.text_file = (root / "lines.txt").string();
    ApplyBatchDialog(c, source1_text, 0, "");
  };
  host.render_result = 1;
  EXPECT_EQ(RunBatch(doc, host), batch_end::completed);
  EXPECT_EQ(host.renders, (std::vector<int>{-1, -1}));
  EXPECT_EQ(host.saves, (strings{"output/s1.png", "output/s2.png"}));
  EXPECT_EQ(doc.source_text[0], "second\r\nhalf\r\n");
  EXPECT_EQ(doc.image_size[0].width, 120);
  EXPECT_EQ(doc.source_image[0].Width(), 120);
}

TEST_F(batch_run_test, AFailedLoadOfEitherSourceStopsTheRun) {
  for (auto [failing, saved] : {std::pair{"f2.bmp", 1u}, {"s1.png", 0u}}) {
    fake_host fails;
    fails.failing_loads = {failing};
    EXPECT_EQ(RunBatch(doc, fails), batch_end::stopped) << failing;
    EXPECT_EQ(fails.saves.size(), saved) << failing;
    EXPECT_EQ(fails.messages, Only(batch_stop_message, message_icon::error)) << failing;
  }
}

// Esc asks each time and only yes stops, after the pair; a closing window ends the run quietly.
TEST_F(batch_run_test, EscAsksAndOnlyYesStopsAndAClosingWindowEndsTheRunQuietly) {
  struct run {
    std::vector<int> escape_after;
    bool yes;
    int close_after;
    batch_end end;
    size_t saves;
    int questions;
  };
  Fixed();
  for (const run& r : {run{{1, 3}, false, -1, batch_end::completed, 5, 2}, run{{2}, true, -1, batch_end::stopped, 2, 1},
                       run{{}, false, 1, batch_end::stopped, 1, 0}}) {
    fake_host run_host;
    run_host.dialog = host.dialog;
    run_host.escape_after = r.escape_after, run_host.yes = r.yes, run_host.close_after = r.close_after;
    EXPECT_EQ(RunBatch(doc, run_host), r.end);
    EXPECT_EQ(run_host.saves.size(), r.saves);
    EXPECT_EQ(run_host.questions, r.questions);
    EXPECT_EQ(run_host.messages.empty(), r.end == batch_end::stopped);
  }
}

TEST_F(batch_run_test, RefusalsSayWhyAndWriteNothing) {
  doc.file_name[1].clear();
  EXPECT_EQ(RunBatch(doc, host), batch_end::refused);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].second, message_icon::warning);
  EXPECT_EQ(host.move_size, -1);  // nothing else happened

  auto refusal = [&](const char* expected) {
    fake_host fresh;
    fresh.dialog = host.dialog;
    EXPECT_EQ(RunBatch(doc, fresh), batch_end::refused) << expected;
    EXPECT_EQ(fresh.messages, Only(expected, message_icon::error));
    EXPECT_TRUE(fresh.loads.empty());
  };
  Fixed();
  doc.file_name[1] = (root / "two/gone.png").string();
  refusal("Can't continue as the source(2) image file has been removed?");

  doc.file_name[1] = (root / "two/s1.png").string();
  std::ofstream(root / "two/output") << "a file, not a folder";
  refusal("Cannot create batch directory ?");
  EXPECT_EQ(std::ifstream(root / "two/output").get(), 'a');
  fs::remove(root / "two/output");

  host.dialog = [this](batch_choices& c) { c.text_file = (root / "missing.txt").string(); };
  refusal("Cannot open the file to be used for source 1 text?");
  host.dialog = [this](batch_choices& c) { c.text_file = (root / "one").string(); };
  refusal("Cannot open the file to be used for source 1 text?");

  host.dialog = [](batch_choices&) {};
  doc.file_name[0] = (root / "one/gone.bmp").string();
  refusal("Can't continue as the source(1) image file has been removed?");

  host.dialog = [](batch_choices& c) { c.name_mode = 1, c.name_text = "../escape"; };
  refusal("The output name must not contain \"/\".");

  host.dialog_ok = false;
  fake_host cancelled;
  cancelled.dialog_ok = false;
  EXPECT_EQ(RunBatch(doc, cancelled), batch_end::refused);
  EXPECT_TRUE(cancelled.messages.empty());
  EXPECT_EQ(cancelled.move_size, 0);
}
