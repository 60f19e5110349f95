#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "batch/batch_driver.h"
#include "batch/document_batch_host.h"
#include "bytes/pixel_rows.h"
#include "bench/ratio_report.h"
#include "engine/base/process_state.h"
#include "engine/base/view_core.h"
#include "codecs/imaging.h"
#include "sources/document.h"

namespace fs = std::filesystem;

namespace {

constexpr int width = 2048, height = 1536, pairs = 50;

// A folder "two" of 50 JPEG photographs-to-be and a fixed source 1 beside it, all
// 2048 x 1536, made once per run and removed at its end. VORBEL_BATCH_FOLDER names
// such a folder made beforehand instead (scripts/batch_speed.sh times the window's
// batch on it), which is left as it is.
struct batch_folder {
  const char* given = std::getenv("VORBEL_BATCH_FOLDER");
  fs::path root = given ? fs::path(given)
                        : fs::temp_directory_path() / ("vorbel-batch-bench-" + std::to_string(getpid()));
  batch_folder() {
    if (given) return;
    fs::create_directories(root / "two");
    std::vector<uint8_t> bgr(size_t(width) * height * 3);
    for (int n = 0; n <= pairs; ++n) {
      for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
          uint8_t* p = &bgr[(size_t(y) * width + x) * 3];
          p[0] = uint8_t((x * (n + 1) / 8) ^ (y / 4));
          p[1] = uint8_t(y / 6 + n * 5);
          p[2] = uint8_t((x + y) / 14 + ((x * 7 + y * 13) & 15));
        }
      std::string error;
      imaging::EncodeFile(Picture(n), imaging::container::jpeg,
                          {bgr.data(), width, height, size_t(width) * 3, 3}, error);
    }
  }
  ~batch_folder() {
    if (!given) fs::remove_all(root);
  }
  // 0: source 1; 1 to 50: source 2's folder.
  std::string Picture(int n) const {
    return n == 0 ? (root / "fixed.jpg").string()
                  : (root / "two" / ("photo" + std::to_string(1000 + n) + ".jpg")).string();
  }
};

batch_folder& Folder() {
  static batch_folder folder;
  return folder;
}

// The program as the batch finds it: both sources loaded from the folder, a
// 2048 x 1536 target.
void LoadFirstPair(CvorbelDoc& doc, CvorbelViewCore& view) {
  const batch_folder& folder = Folder();
  the_view = &view;
  wic_ready = true;
  source_count = 2;
  view.target_rect = {0, 0, width, height};
  doc.LoadSourceFile(folder.Picture(0), 1);
  doc.LoadSourceFile(folder.Picture(1), 2);
  view.UpdateSourceGeometry(1);
  view.UpdateSourceGeometry(2);
}

// The document and view work of a run, timed by kind as the run's thread sees it: a
// load waits for the decode begun ahead, a save only copies the target and starts it.
class timed_host : public document_batch_host {
 public:
  using document_batch_host::document_batch_host;
  double load = 0, combine = 0, save = 0;

  bool RunBatchDialog(batch_choices& choices) override {
    ApplyBatchDialog(choices, source1_fixed, 0, "");
    return true;
  }
  void SetMoveSizeSource(int) override {}
  bool LoadSourceFile(const std::string& path, int s) override {
    const auto start = clock::now();
    const bool loaded = document_batch_host::LoadSourceFile(path, s);
    load += Since(start);
    return loaded;
  }
  void RebuildSources() override {
    const auto start = clock::now();
    document_batch_host::RebuildSources();
    combine += Since(start);
  }
  void SaveTarget(const std::string& path, const std::string& extension) override {
    const auto start = clock::now();
    document_batch_host::SaveTarget(path, extension);
    save += Since(start);
  }
  int MessageBox(const std::string&, message_icon) override { return 1; }

 private:
  using clock = std::chrono::steady_clock;
  static double Since(clock::time_point start) {
    return std::chrono::duration<double>(clock::now() - start).count();
  }
};

void BM_BatchFixedSource1Jpeg(benchmark::State& state) {
  CvorbelDoc doc;
  CvorbelViewCore view(&doc);
  LoadFirstPair(doc, view);

  double load = 0, combine = 0, save = 0;
  int buffers = 0;
  // One run untimed first: the runs timed are those of a warm process, as the
  // window's second run and the Pillow sides after their first picture.
  {
    timed_host host(doc, &view);
    RunBatch(doc, host);
  }
  for (auto _ : state) {
    timed_host host(doc, &view);
    if (RunBatch(doc, host) != batch_end::completed) state.SkipWithError("the run did not complete");
    load += host.load, combine += host.combine, save += host.save;
    buffers = std::max(buffers, host.Saves().BuffersMade());
  }
  const double done = double(state.iterations()) * pairs;
  state.counters["pairs/s"] = benchmark::Counter(done, benchmark::Counter::kIsRate);
  state.counters["load ms/pair"] = load * 1000 / done;
  state.counters["combine ms/pair"] = combine * 1000 / done;
  state.counters["save ms/pair"] = save * 1000 / done;
  // The targets in flight at most at once: each lane's buffer is made on its first save.
  state.counters["save buffers"] = buffers;
  the_view = nullptr;
  source_count = 0;
}
BENCHMARK(BM_BatchFixedSource1Jpeg)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

// The batch one pair at a time, as it ran before its work was spread: every load
// places its source and recombines, both layers are rebuilt, and each save is
// written before the next pair begins, from three-byte rows. Its outputs are the
// yardstick the spread batch's must equal byte for byte (scripts/batch_speed.sh).
class one_at_a_time_host : public batch_host {
 public:
  one_at_a_time_host(CvorbelDoc& document, CvorbelViewCore& view) : document(document), view(view) {}
  bool RunBatchDialog(batch_choices& choices) override {
    ApplyBatchDialog(choices, source1_fixed, 0, "");
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
  void SaveTarget(const std::string& path, const std::string&) override {
    const size_t stride = size_t(target_width) * 3;
    rows.resize(stride * target_height);
    for (int y = 0; y < target_height; ++y)
      BgraToBgr(reinterpret_cast<const uint8_t*>(target_pixels + size_t(y) * target_width),
                rows.data() + y * stride, size_t(target_width));
    std::string error;
    if (!imaging::EncodeFile(path, imaging::container::jpeg,
                             {rows.data(), target_width, target_height, stride, 3}, error))
      std::fprintf(stderr, "%s\n", error.c_str());
  }

 private:
  CvorbelDoc& document;
  CvorbelViewCore& view;
  std::vector<uint8_t> rows;
};

void BM_BatchOneAtATime(benchmark::State& state) {
  CvorbelDoc doc;
  CvorbelViewCore view(&doc);
  LoadFirstPair(doc, view);
  for (auto _ : state) {
    one_at_a_time_host host(doc, view);
    if (RunBatch(doc, host) != batch_end::completed) state.SkipWithError("the run did not complete");
  }
  state.counters["pairs/s"] =
      benchmark::Counter(double(state.iterations()) * pairs, benchmark::Counter::kIsRate);
  the_view = nullptr;
  source_count = 0;
}
BENCHMARK(BM_BatchOneAtATime)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same averages by ImageMagick, one process per pair as a script would run it.
void BM_ImageMagickMeanPerPair(benchmark::State& state) {
  const batch_folder& folder = Folder();
  const fs::path out = folder.root / "magick";
  fs::create_directories(out);
  for (auto _ : state)
    for (int n = 1; n <= pairs; ++n) {
      const std::string command = "/usr/bin/convert '" + folder.Picture(0) + "' '" +
                                  folder.Picture(n) + "' -evaluate-sequence mean -quality 90 '" +
                                  (out / (std::to_string(n) + ".jpg")).string() + "'";
      if (std::system(command.c_str()) != 0) state.SkipWithError("convert failed");
    }
  state.counters["pairs/s"] =
      benchmark::Counter(double(state.iterations()) * pairs, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ImageMagickMeanPerPair)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

const bool ratio_registered = [] {
  RegisterRatio("BM_BatchFixedSource1Jpeg/iterations:3/real_time",
                "BM_ImageMagickMeanPerPair/iterations:1/real_time");
  return true;
}();

}  // namespace
