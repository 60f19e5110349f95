#include <benchmark/benchmark.h>

#include <memory>
#include <random>

#include "engine/base/process_state.h"
#include "engine/base/row_parallel.h"
#include "engine/base/view_core.h"
#include "sources/document.h"

namespace {

// Two 12-megapixel pictures fitted to a 2048 x 1536 target.
struct drag_scene {
  CvorbelDoc doc;
  std::unique_ptr<CvorbelViewCore> view;
  drag_scene() {
    view = std::make_unique<CvorbelViewCore>(&doc);
    view->target_rect = {0, 0, 2048, 1536};
    std::mt19937 rng(3);
    for (int s = 1; s <= 2; ++s) {
      const int w = s == 1 ? 4000 : 3000, h = s == 1 ? 3000 : 4000;
      image_record& r = doc.source_image[s - 1];
      r.Create(w, h);
      for (size_t i = 0; i < size_t(w) * h * 4; ++i) r.Pixels()[i] = uint8_t(rng());
      doc.image_size[s - 1] = {w, h};
      doc.source_kind[s - 1] = kind_file;
      view->UpdateSourceGeometry(s);
    }
    source_count = 2;
    view->RebuildSources(-1);
  }
};

// The release of a source drag: source 2 moves, its layer is rebuilt and the
// target recombined, in the quick pass (range 1) or at full quality (range 0).
void BM_SourceDragStep(benchmark::State& state) {
  SetRowThreads(int(state.range(1)));
  static drag_scene scene;
  int step = 0;
  for (auto _ : state) {
    scene.view->offset[1] = {-(step % 200), -(step % 150)};
    ++step;
    scene.view->UpdateFixAnchor(2);
    scene.view->fast_preview = int(state.range(0));
    scene.view->RebuildSources(2);
  }
  scene.view->fast_preview = 0;
  state.SetLabel(state.range(0) ? "fast preview" : "full quality");
  SetRowThreads(0);
}
BENCHMARK(BM_SourceDragStep)
    ->ArgsProduct({{1, 0}, {8, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
