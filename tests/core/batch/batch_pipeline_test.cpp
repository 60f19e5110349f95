#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <set>
#include <type_traits>
#include <vector>

#include "batch/batch_naming.h"
#include "batch/document_batch_host.h"
#include "engine/base/row_parallel.h"
#include "engine/base/view_core.h"
#include "codecs/imaging.h"
#include "sources/file_naming.h"
#include "tests/core/sources/document_fixture.h"

namespace fs = std::filesystem;

namespace {

// A digest of the target's pixels, or of pixels laid out as the target's.
uint64_t Digest(const bgra* pixels) {
  uint64_t digest = 1469598103934665603u;
  const auto* bytes = reinterpret_cast<const uint8_t*>(pixels);
  for (size_t i = 0; i < size_t(target_width) * target_height * sizeof(bgra); ++i)
    digest = (digest ^ bytes[i]) * 1099511628211u;
  return digest;
}

// A clock that a test moves on: the run's pairs and the window's showings take the
// time they are told to.
struct test_clock {
  std::chrono::steady_clock::time_point now{};
  std::chrono::milliseconds show{0};  // a showing of the view
};

// Records what reaches the window and, with messages given, how many messages had
// been told by then.
class counting_view : public CvorbelViewCore {
 public:
  using CvorbelViewCore::CvorbelViewCore;
  int presented = 0;
  const message_list* messages = nullptr;
  test_clock* clock = nullptr;
  std::vector<std::pair<size_t, uint64_t>> shown;
  bool PresentPixels(const bgra* pixels) override {
    shown.emplace_back(messages ? messages->size() : 0, Digest(pixels));
    if (clock) clock->now += clock->show;
    return ++presented, false;
  }
};

// What both roads are told: the dialog's answer, when Esc is pressed and the answer
// to the question; the question joins the document's messages so that their order shows.
struct run_script {
  int output_type = 0;
  std::set<int> escape_after;  // pair counts
  bool yes = false;
  int kind = source1_fixed;
  int lanes = 3;
  test_clock* clock = nullptr;
  std::chrono::milliseconds pair{0};  // what each pair takes on that clock
};

// The road a run took before its work was spread: every load places its source and
// recombines, both layers are rebuilt, and each save is written in place.
class in_place_host : public batch_host {
 public:
  in_place_host(CvorbelDoc& document, CvorbelViewCore& view, document_ui_fake& ui, run_script script)
      : document(document), view(view), ui(ui), script(script) {}
  bool RunBatchDialog(batch_choices& choices) override {
    ApplyBatchDialog(choices, script.kind, script.output_type, "");
    return true;
  }
  void SetMoveSizeSource(int) override {}
  bool LoadSourceFile(const std::string& path, int s) override {
    const bool loaded = document.LoadSourceFile(path, s);
    view.MoveSourceToFixPosition(s);
    return loaded;
  }
  int RenderSourceText(int number) override { return document.RenderSourceText(0, number); }
  void UpdateSourceGeometry(int s) override { view.UpdateSourceGeometry(s); }
  void RebuildSources() override { view.RebuildSources(-1); }
  void SaveTarget(const std::string& path, const std::string& extension) override {
    ++saves;
    if (document.SaveTargetAllowed(extension) &&
        !WriteTargetFile(path, extension, target_pixels, target_width, target_height))
      ui.MessageBox(BatchSaveFailedText(path), message_icon::none);
  }
  bool TakeEscape() override { return script.escape_after.count(saves) > 0; }
  bool AskYesNo(const std::string& text) override {
    ui.messages.emplace_back(text, message_icon::question);
    return script.yes;
  }

 private:
  CvorbelDoc& document;
  CvorbelViewCore& view;
  document_ui_fake& ui;
  run_script script;
  int saves = 0;
};

class spread_host : public document_batch_host {
 public:
  spread_host(CvorbelDoc& document, CvorbelViewCore& view, document_ui_fake& ui, run_script script)
      : document_batch_host(document, &view, script.lanes), ui(ui), script(script) {
    if (script.clock) clock = [&now = script.clock->now] { return now; };
  }
  bool RunBatchDialog(batch_choices& choices) override {
    ApplyBatchDialog(choices, script.kind, script.output_type, "");
    return true;
  }
  void SetMoveSizeSource(int) override {}
  void SaveTarget(const std::string& path, const std::string& extension) override {
    ++saves;
    saved.push_back(Digest(target_pixels));
    if (script.clock) script.clock->now += script.pair;
    document_batch_host::SaveTarget(path, extension);
  }
  std::vector<uint64_t> saved;  // the target of each pair as its save began
  bool TakeEscape() override { return script.escape_after.count(saves) > 0; }
  bool AskYesNo(const std::string& text) override {
    ui.messages.emplace_back(text, message_icon::question);
    return script.yes;
  }

 private:
  document_ui_fake& ui;
  run_script script;
  int saves = 0;
};

// Source 1 a fixed PNG; source 2's folder "two" holds JPEG pictures of three sizes
// (so each new image is fitted and placed anew), p1 oldest.
class batch_pipeline : public document_test {
 protected:
  void SetUp() override {
    document_test::SetUp();
    view = std::make_unique<counting_view>(&doc);
    view->clock = &clock;
    the_view = view.get();
    view->target_rect = {0, 0, 96, 72};
    fs::create_directory(Path("two"));
    for (int n = 1; n <= 5; ++n) Picture("two/p" + std::to_string(n) + ".jpg", n);
    source_count = 2;
    ASSERT_TRUE(doc.LoadSourceFile(CopyOf("good.png", "one.png"), 1));
  }
  void TearDown() override {
    the_view = nullptr;
    document_test::TearDown();
  }
  void Picture(const std::string& name, int n) {
    const int w = 40 + 24 * (n % 3), h = 30 + 10 * (n % 2);
    std::vector<uint8_t> bgr(size_t(w) * h * 3);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        for (int c = 0; c < 3; ++c) bgr[(size_t(y) * w + x) * 3 + c] = uint8_t(x * (c + n) + y * (7 - c) * n);
    std::string error;
    ASSERT_TRUE(imaging::EncodeFile(Path(name), imaging::container::jpeg, {bgr.data(), w, h, size_t(w) * 3, 3}, error));
    fs::last_write_time(Path(name), fs::file_time_type(std::chrono::seconds(1700000000 + n)));
  }

  // One run from p1 on; the outputs are then moved to the folder named.
  template <typename host_type>
  batch_end Run(const run_script& script, const std::string& keep_as) {
    EXPECT_TRUE(doc.LoadSourceFile(Path("two/p1.jpg"), 2));
    view->UpdateSourceGeometry(2);
    view->RebuildSources(-1);
    view->presented = 0;
    view->shown.clear();
    view->layer_builds = 0;
    host_type host(doc, *view, ui, script);
    const batch_end end = RunBatch(doc, host);
    if constexpr (std::is_same_v<host_type, spread_host>) {
      decodes_ahead = host.DecodesAhead();
      saved = host.saved;
    }
    fs::rename(Path("two/output"), Path(keep_as));
    return end;
  }
  // Every file of a folder, hidden ones too, with its bytes.
  std::map<std::string, std::string> Files(const std::string& folder) const {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(Path(folder)))
      files[entry.path().filename().string()] = entry.is_regular_file() ? ReadAll(entry.path().string()) : "(folder)";
    return files;
  }

  // What the view showed of the last run.
  std::vector<uint64_t> Shown() const {
    std::vector<uint64_t> digests;
    for (const auto& [told, digest] : view->shown) digests.push_back(digest);
    return digests;
  }

  test_clock clock;
  std::unique_ptr<counting_view> view;
  int decodes_ahead = 0;
  std::vector<uint64_t> saved;  // the target of each pair of the last spread run
};

}  // namespace

// Every output is byte for byte that of the run in place. The view shows the first
// pair at once, then the latest pair only when the pace has passed since the last
// showing began, or twenty times as long as that showing took, and the last at the
// end.
TEST_F(batch_pipeline, EachPairIsBuiltOnceShownAtItsPaceAndSavedAsInPlace) {
  for (int output_type : {0, int(output_png), int(output_bmp)}) {
    run_script script;
    script.output_type = output_type;
    script.clock = &clock;  // standing still
    ASSERT_EQ(Run<in_place_host>(script, "in-place"), batch_end::completed);
    ASSERT_EQ(Run<spread_host>(script, "spread"), batch_end::completed);
    // Source 1 stays: its layer is built for the first pair only.
    EXPECT_EQ(view->layer_builds, 5 + 1);
    ASSERT_EQ(saved.size(), 5u);
    EXPECT_EQ(Shown(), (std::vector<uint64_t>{saved[0], saved[4]}));
    EXPECT_EQ(decodes_ahead, 5);  // every picture, the first pair's too, once
    const auto expected = Files("in-place");
    EXPECT_EQ(expected.size(), 5u);
    EXPECT_TRUE(Files("spread") == expected) << "output type " << output_type;
    EXPECT_EQ(ui.messages, (message_list(2, {batch_complete_message, message_icon::information})));
    ui.messages.clear();
    fs::remove_all(Path("in-place"));
    fs::remove_all(Path("spread"));
  }
  run_script script;
  script.clock = &clock;
  script.pair = std::chrono::milliseconds(50);  // the pace: every pair is shown
  ASSERT_EQ(Run<spread_host>(script, "spread"), batch_end::completed);
  EXPECT_EQ(Shown(), saved);
  fs::remove_all(Path("spread"));
  // Showings of 5 ms: one every 100 ms at most, pairs 1, 3 and 5 of 50 ms each.
  clock.show = std::chrono::milliseconds(5);
  ASSERT_EQ(Run<spread_host>(script, "spread"), batch_end::completed);
  ASSERT_EQ(saved.size(), 5u);
  EXPECT_EQ(Shown(), (std::vector<uint64_t>{saved[0], saved[2], saved[4]}));
}

TEST_F(batch_pipeline, EscLeavesTheFinishedOutputsWhole) {
  const run_script script{0, {2}, true};
  ASSERT_EQ(Run<in_place_host>(script, "in-place"), batch_end::stopped);
  const message_list in_place = ui.messages;
  ui.messages.clear();
  ASSERT_EQ(Run<spread_host>(script, "spread"), batch_end::stopped);
  EXPECT_EQ(ui.messages, in_place);
  EXPECT_EQ(ui.messages, (message_list{{"Do you really want to quit ?", message_icon::question}}));
  const auto outputs = Files("spread");
  EXPECT_EQ(outputs.size(), 2u);  // nothing half written beside them
  EXPECT_TRUE(outputs == Files("in-place"));
}

TEST_F(batch_pipeline, FailuresAreReportedWhereTheyHappenInPlace) {
  // The second and third outputs cannot be written, Esc after the second is answered
  // No, the fourth picture cannot be read.
  const run_script script{0, {2}, false};
  const auto block_and_break = [&] {
    fs::create_directories(Path("two/output/p2.jpg"));
    fs::create_directories(Path("two/output/p3.jpg"));
    WriteAll(Path("two/p4.jpg"), "not a picture");
    fs::last_write_time(Path("two/p4.jpg"), fs::file_time_type(std::chrono::seconds(1700000000 + 4)));
  };
  block_and_break();
  ASSERT_EQ(Run<in_place_host>(script, "in-place"), batch_end::stopped);
  const message_list in_place = ui.messages;
  ui.messages.clear();
  block_and_break();
  ASSERT_EQ(Run<spread_host>(script, "spread"), batch_end::stopped);
  EXPECT_EQ(ui.messages, in_place);
  EXPECT_EQ(ui.messages, (message_list{{BatchSaveFailedText(Path("two/output/p2.jpg")), message_icon::none},
                                       {"Do you really want to quit ?", message_icon::question},
                                       {BatchSaveFailedText(Path("two/output/p3.jpg")), message_icon::none},
                                       {Unable(Path("two/p4.jpg")), message_icon::error},
                                       {batch_stop_message, message_icon::error}}));
  const auto outputs = Files("spread");
  EXPECT_EQ(outputs.size(), 3u);
  EXPECT_EQ(outputs.at("p2.jpg"), "(folder)");
  EXPECT_TRUE(outputs == Files("in-place"));
}

// The save of the second pair fails while later pairs are combined: its report names
// the file, and the view shows the second pair's target, file names and count until
// it is closed, then the latest pair's target again.
TEST_F(batch_pipeline, AFailedSaveIsToldWithItsOwnPairShown) {
  // The source 2 name and the count shown while each message is up.
  struct naming_ui : document_ui_fake {
    std::vector<std::string> names_told, counts_told;
    std::vector<uint64_t> targets;  // the target as it stood
    std::string status;
    void ShowStatusText(const std::string& text) override { status = text; }
    int MessageBox(const std::string& text, message_icon icon) override {
      names_told.push_back(labels[2]);
      counts_told.push_back(status);
      targets.push_back(Digest(target_pixels));
      return document_ui_fake::MessageBox(text, icon);
    }
  } naming;
  SetUiPort(&naming);
  fs::create_directories(Path("two/output/p2.jpg"));
  view->messages = &naming.messages;
  EXPECT_TRUE(doc.LoadSourceFile(Path("two/p1.jpg"), 2));
  std::vector<uint64_t> saved;
  {
    spread_host host(doc, *view, ui, run_script{});
    ASSERT_EQ(RunBatch(doc, host), batch_end::completed);
    saved = host.saved;
  }
  SetUiPort(&ui);
  ASSERT_EQ(naming.messages.size(), 2u);
  EXPECT_EQ(naming.messages[0], (std::pair<std::string, message_icon>{BatchSaveFailedText(Path("two/output/p2.jpg")),
                                                                      message_icon::none}));
  EXPECT_EQ(naming.names_told[0], SourceLabel(Path("two/p2.jpg")));
  EXPECT_EQ(naming.counts_told[0], BatchCountText(2));
  EXPECT_EQ(naming.labels[2], SourceLabel(doc.file_name[1]));
  EXPECT_EQ(naming.status, BatchCountText(5));
  ASSERT_EQ(saved.size(), 5u);
  ASSERT_NE(saved[1], naming.targets[0]);
  // What the view showed last before the report, and just after it.
  uint64_t before = 0, after = 0;
  bool after_seen = false;
  for (const auto& [told, digest] : view->shown) {
    if (told == 0)
      before = digest;
    else if (!after_seen)
      after = digest, after_seen = true;
  }
  EXPECT_EQ(before, saved[1]);
  EXPECT_EQ(after, naming.targets[0]);
  view->messages = nullptr;
}

// While a run lasts, a pair's rows leave most cores to the saves and decodes; the
// rows' threads are as before once it ends.
TEST_F(batch_pipeline, APairsRowsTakeFewThreadsWhileTheRunLasts) {
  struct row_counting_host : spread_host {
    using spread_host::spread_host;
    std::vector<int> threads;
    void RebuildSources() override {
      threads.push_back(RowThreads());
      spread_host::RebuildSources();
    }
  };
  SetRowThreads(0);
  const int all = RowThreads();
  EXPECT_TRUE(doc.LoadSourceFile(Path("two/p1.jpg"), 2));
  std::vector<int> during;
  {
    row_counting_host host(doc, *view, ui, run_script{});
    ASSERT_EQ(RunBatch(doc, host), batch_end::completed);
    during = host.threads;
  }
  ASSERT_EQ(during.size(), 5u);
  for (int threads : during) EXPECT_TRUE(threads < all || all <= 2) << threads << " of " << all;
  EXPECT_EQ(RowThreads(), all);
}

// In the Directory kind source 1's pictures are decoded ahead as well, each once, and
// the outputs are those of the road in place.
TEST_F(batch_pipeline, DirectoryKindDecodesBothSourcesAheadOnce) {
  fs::create_directory(Path("one"));
  for (int n = 1; n <= 3; ++n) Picture("one/q" + std::to_string(n) + ".jpg", n + 5);
  run_script script;
  script.kind = source1_directory;
  for (bool spread : {false, true}) {
    ASSERT_TRUE(doc.LoadSourceFile(Path("one/q1.jpg"), 1));
    view->UpdateSourceGeometry(1);
    ASSERT_EQ(spread ? Run<spread_host>(script, "spread") : Run<in_place_host>(script, "in-place"),
              batch_end::completed);
  }
  const auto outputs = Files("spread");
  EXPECT_EQ(outputs.size(), 3u);
  EXPECT_TRUE(outputs == Files("in-place"));
  // Source 1's q1 to q3, source 2's p1 to p5: each pair's own and two after it, the
  // first pair's too, never twice.
  EXPECT_EQ(decodes_ahead, 8);
}

