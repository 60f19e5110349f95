#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>

#include "bench/layer_map.h"
#include "bench/paired_timing.h"
#include "engine/placement/layer_rows.h"
#include "engine/base/row_parallel.h"
#include "engine/base/view_core.h"
#include "sources/document.h"
#ifdef VORBEL_WITH_OPENCV
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#endif

namespace {

constexpr int source_w = 2592, source_h = 1944;
constexpr double scale_percent = 75.0, rotation_degrees = 30.0;

// A camera-sized random source at 75 % and 30 degrees on the largest target.
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
    view->width_percent[0] = view->height_percent[0] = scale_percent;
    view->rotation[0] = rotation_degrees;
    view->UpdateSourceGeometry(1);
  }
};

layer_scene& Scene() {
  static layer_scene scene;
  return scene;
}

void BM_BuildSourceLayer(benchmark::State& state) {
  SetRowThreads(int(state.range(1)));
  layer_scene& scene = Scene();
  scene.view->fast_preview = int(state.range(0));
  for (auto _ : state) scene.view->BuildSourceLayer(1);
  state.SetLabel(state.range(0) ? "fast preview" : "bilinear");
  SetRowThreads(0);
}
BENCHMARK(BM_BuildSourceLayer)->ArgsProduct({{0, 1}, {1, 2, 4, 8}})->Unit(benchmark::kMillisecond)->UseRealTime();

// A 2048 x 1536 source at 100 %, unturned, on the target of its size, as in a batch of
// photographs: copied pixel for pixel (1) or sampled as any placement is (0).
void BM_BuildUnscaledLayer(benchmark::State& state) {
  static const std::unique_ptr<layer_scene> scene = [] {
    auto made = std::make_unique<layer_scene>();
    CvorbelDoc& doc = made->doc;
    doc.source_image[0].Create(2048, 1536);
    std::mt19937 rng(2);
    for (size_t i = 0; i < size_t(2048) * 1536 * 4; ++i) doc.source_image[0].Pixels()[i] = uint8_t(rng());
    doc.image_size[0] = {2048, 1536};
    made->view->fit_to_target[0] = 1;
    made->view->width_percent[0] = made->view->height_percent[0] = 100.0;
    made->view->rotation[0] = 0.0;
    made->view->UpdateSourceGeometry(1);
    return made;
  }();
  SetRowThreads(int(state.range(1)));
  AllowLayerCopies(state.range(0) != 0);
  for (auto _ : state) scene->view->BuildSourceLayer(1);
  state.SetLabel(state.range(0) ? "copied" : "sampled");
  AllowLayerCopies(true);
  SetRowThreads(0);
}
BENCHMARK(BM_BuildUnscaledLayer)->ArgsProduct({{0, 1}, {1, 8}})->Unit(benchmark::kMillisecond)->UseRealTime();

#ifdef VORBEL_WITH_OPENCV
// The layer build against cv::warpAffine on a 3-channel copy of the same source with
// the same sampling map: bilinear against INTER_LINEAR, the preview against INTER_NEAREST.
void BM_LayerVsWarpAffine(benchmark::State& state) {
  const bool nearest = state.range(0) == 1;
  const int threads = int(state.range(1));
  layer_scene& scene = Scene();
  scene.view->fast_preview = nearest;
  cv::Mat bgra(source_h, source_w, CV_8UC4, scene.doc.source_image[0].Pixels()), source;
  cv::cvtColor(bgra, source, cv::COLOR_BGRA2BGR);
  cv::Mat out(1536, 2048, CV_8UC3);
  cv::Mat map = LayerMap(source_w, source_h, scale_percent, rotation_degrees);
  // OpenCV's nearest pixel rounds the position where ours truncates it.
  if (nearest) map.col(2) -= 0.5;
  const int flags = (nearest ? cv::INTER_NEAREST : cv::INTER_LINEAR) | cv::WARP_INVERSE_MAP;
  SetRowThreads(threads);
  cv::setNumThreads(threads);
  ReportPaired(
      state,
      std::string(nearest ? "layer preview vs warpAffine NEAREST" : "layer bilinear vs warpAffine LINEAR") +
          ", threads " + std::to_string(threads),
      [&] { scene.view->BuildSourceLayer(1); },
      [&] { cv::warpAffine(source, out, map, out.size(), flags); });
  cv::setNumThreads(-1);
  SetRowThreads(0);
  scene.view->fast_preview = 0;
}
BENCHMARK(BM_LayerVsWarpAffine)
    ->ArgsProduct({{0, 1}, {1, 8}})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();
#endif

}  // namespace
