#include <benchmark/benchmark.h>

#include <memory>
#include <random>

#include "bench/ratio_report.h"
#include "engine/row_parallel.h"
#include "engine/view_core.h"
#include "sources/document.h"
#ifdef VORBEL_WITH_OPENCV
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#endif

namespace {

constexpr int source_w = 2592, source_h = 1944;

struct layer_scene {
  CvorbelDoc doc;
  std::unique_ptr<CvorbelViewCore> view;
  layer_scene() {
    view = std::make_unique<CvorbelViewCore>(&doc);
    view->target_rect = {0, 0, 2048, 1536};
    image_record& r = doc.source_image[0];
    r.Create(source_w, source_h);
    std::mt19937 rng(1);
    for (size_t i = 0; i < size_t(source_w) * source_h * 4; ++i) r.Pixels()[i] = uint8_t(rng());
    doc.image_size[0] = {source_w, source_h};
    doc.source_kind[0] = kind_file;
    view->fit_to_target[0] = 0;
    view->width_percent[0] = view->height_percent[0] = 75.0;
    view->rotation[0] = 30.0;
    view->UpdateSourceGeometry(1);
  }
};

void BM_BuildSourceLayer(benchmark::State& state) {
  SetRowThreads(int(state.range(1)));
  static layer_scene scene;
  scene.view->fast_preview = int(state.range(0));
  for (auto _ : state) scene.view->BuildSourceLayer(1);
  state.SetLabel(state.range(0) ? "fast preview" : "bilinear");
  SetRowThreads(0);
}
BENCHMARK(BM_BuildSourceLayer)->ArgsProduct({{0, 1}, {1, 0}})->Unit(benchmark::kMillisecond)->UseRealTime();

#ifdef VORBEL_WITH_OPENCV
// The same placement done by OpenCV, as a yardstick.
void BM_OpenCvWarpAffine(benchmark::State& state) {
  cv::setNumThreads(state.range(0) == 1 ? 1 : -1);
  cv::Mat source(source_h, source_w, CV_8UC3);
  cv::randu(source, 0, 256);
  cv::Mat out(1536, 2048, CV_8UC3);
  const cv::Mat m = cv::getRotationMatrix2D({source_w / 2.0f, source_h / 2.0f}, 30.0, 0.75);
  for (auto _ : state) cv::warpAffine(source, out, m, out.size(), cv::INTER_LINEAR);
  cv::setNumThreads(-1);
}
BENCHMARK(BM_OpenCvWarpAffine)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

const bool ratios_registered = [] {
  RegisterRatio("BM_BuildSourceLayer/0/1/real_time", "BM_OpenCvWarpAffine/1/real_time");
  RegisterRatio("BM_BuildSourceLayer/0/0/real_time", "BM_OpenCvWarpAffine/0/real_time");
  return true;
}();
#endif

}  // namespace

