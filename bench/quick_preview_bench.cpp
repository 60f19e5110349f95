#include <benchmark/benchmark.h>

#include <memory>
#include <random>

#include "engine/base/process_state.h"
#include "engine/base/row_parallel.h"
#include "engine/base/view_core.h"
#include "sources/document.h"

namespace {

// What one step of the rotation wheel costs while it turns: source 1 placed again
// nearest-neighbour and the target cross-faded, on the largest target.
void BM_WheelQuickPreview(benchmark::State& state) {
  SetRowThreads(int(state.range(0)));
  static CvorbelDoc doc;
  static std::unique_ptr<CvorbelViewCore> view = [] {
    auto v = std::make_unique<CvorbelViewCore>(&doc);
    v->target_rect = {0, 0, 2048, 1536};
    std::mt19937 rng(3);
    for (int s = 0; s < 2; ++s) {
      image_record& r = doc.source_image[s];
      r.Create(2592, 1944);
      for (size_t i = 0; i < size_t(2592) * 1944 * 4; ++i) r.Pixels()[i] = uint8_t(rng());
      doc.image_size[s] = {2592, 1944};
      doc.source_kind[s] = kind_file;
      v->UpdateSourceGeometry(s + 1);
      v->BuildSourceLayer(s + 1);
    }
    return v;
  }();
  source_count = 2;
  view->fast_preview = 1;
  int angle = 0;
  for (auto _ : state) {
    view->rotation[0] = ++angle % 360;
    view->UpdateSourceGeometry(1);
    view->BuildSourceLayer(1);
    view->CombineTarget();
  }
  view->fast_preview = 0;
  SetRowThreads(0);
}
BENCHMARK(BM_WheelQuickPreview)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
