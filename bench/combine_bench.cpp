#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <random>

#include "engine/convolution.h"
#include "engine/effect_kernels.h"
#include "engine/pixel_operators.h"
#include "engine/process_state.h"
#include "engine/row_parallel.h"
#include "engine/view_core.h"
#include "sources/document.h"
#ifdef VORBEL_WITH_OPENCV
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#endif

namespace {

constexpr int target_w = 2048, target_h = 1536;
constexpr int source_w = 2592, source_h = 1944;
constexpr int sharpen = 4;

// Two random layers covering the whole largest target.
struct combine_scene {
  CvorbelDoc doc;
  std::unique_ptr<CvorbelViewCore> view;
  combine_scene() {
    view = std::make_unique<CvorbelViewCore>(&doc);
    view->target_rect = {0, 0, target_w, target_h};
    std::mt19937 rng(7);
    for (source_layer& l : view->layers) {
      for (size_t i = 0; i < size_t(target_w) * target_h * 3; ++i) l.rgb[i] = uint8_t(rng());
      for (size_t i = 0; i < size_t(target_w) * target_h; ++i) l.mask[i] = 1;
    }
    source_count = 2;
  }
  // Restores the plain settings: normal contrast, neutral adjustment, no effect.
  void Plain(int method) {
    method_code = method;
    contrast_mode = 1;
    effect_code = 0;
    view->InstallEffectKernel(0);
    view->fast_preview = 0;
    for (channel_pair& p : view->channel_adjust) p = {50, 50};
  }
  // "Most Colored", a channel adjustment and "Sharpen".
  void Demanding() {
    Plain(4);
    view->channel_adjust[2] = {70, 40};
    effect_code = sharpen;
    view->InstallEffectKernel(sharpen);
  }
};

combine_scene& Scene() {
  static combine_scene scene;
  return scene;
}

const char* ThreadsLabel(int threads) { return threads == 1 ? "1 thread" : "all threads"; }

void BM_CombineOperator(benchmark::State& state) {
  SetRowThreads(int(state.range(1)));
  combine_scene& s = Scene();
  s.Plain(int(state.range(0)));
  for (auto _ : state) s.view->CombineTarget();
  state.SetLabel(ThreadsLabel(int(state.range(1))));
  SetRowThreads(0);
}
BENCHMARK(BM_CombineOperator)
    ->ArgsProduct({benchmark::CreateDenseRange(0, operator_count - 1, 1), {1, 0}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_CombineMostColoredAdjustedSharpen(benchmark::State& state) {
  SetRowThreads(int(state.range(0)));
  combine_scene& s = Scene();
  s.Demanding();
  for (auto _ : state) s.view->CombineTarget();
  state.SetLabel(ThreadsLabel(int(state.range(0))));
  SetRowThreads(0);
}
BENCHMARK(BM_CombineMostColoredAdjustedSharpen)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CombineHighlight(benchmark::State& state) {
  SetRowThreads(int(state.range(0)));
  combine_scene& s = Scene();
  s.Plain(8);
  effect_code = 6;
  s.view->position_slopes[0] = {40, -24};
  s.view->position_slopes[2] = {-8, 16};
  for (auto _ : state) s.view->CombineTarget();
  s.view->position_slopes[0] = s.view->position_slopes[2] = {};
  state.SetLabel(ThreadsLabel(int(state.range(0))));
  SetRowThreads(0);
}
BENCHMARK(BM_CombineHighlight)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CombineFastPreview(benchmark::State& state) {
  SetRowThreads(int(state.range(0)));
  combine_scene& s = Scene();
  s.Plain(8);
  s.view->fast_preview = 1;
  for (auto _ : state) s.view->CombineTarget();
  s.view->fast_preview = 0;
  state.SetLabel(ThreadsLabel(int(state.range(0))));
  SetRowThreads(0);
}
BENCHMARK(BM_CombineFastPreview)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

// Both layers built from camera-sized sources (75 %, 30 degrees), then the
// demanding pass: what one change of a source's placement costs.
void BM_Recombine(benchmark::State& state) {
  SetRowThreads(int(state.range(0)));
  static CvorbelDoc doc;
  static std::unique_ptr<CvorbelViewCore> view;
  if (!view) {
    view = std::make_unique<CvorbelViewCore>(&doc);
    view->target_rect = {0, 0, target_w, target_h};
    std::mt19937 rng(1);
    for (int i = 0; i < 2; ++i) {
      image_record& r = doc.source_image[i];
      r.Create(source_w, source_h);
      for (size_t k = 0; k < size_t(source_w) * source_h * 4; ++k) r.Pixels()[k] = uint8_t(rng());
      doc.image_size[i] = {source_w, source_h};
      doc.source_kind[i] = kind_file;
      view->fit_to_target[i] = 0;
      view->width_percent[i] = view->height_percent[i] = 75.0;
      view->rotation[i] = 30.0;
      view->UpdateSourceGeometry(i + 1);
    }
    view->channel_adjust[2] = {70, 40};
    view->InstallEffectKernel(sharpen);
  }
  source_count = 2;
  method_code = 4;
  contrast_mode = 1;
  effect_code = sharpen;
  for (auto _ : state) view->RebuildSources(-1);
  state.SetLabel(ThreadsLabel(int(state.range(0))));
  SetRowThreads(0);
}
BENCHMARK(BM_Recombine)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

#ifdef VORBEL_WITH_OPENCV
using bench_clock = std::chrono::steady_clock;

double Seconds(bench_clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Times ours and OpenCV's in alternation; the reported time is ours, the counters
// hold OpenCV's time and ours divided by it.
template <class Ours, class Theirs>
void Compare(benchmark::State& state, Ours ours, Theirs theirs) {
  const int threads = int(state.range(0));
  SetRowThreads(threads);
  cv::setNumThreads(threads == 1 ? 1 : -1);
  double ours_total = 0, theirs_total = 0;
  for (auto _ : state) {
    const auto t0 = bench_clock::now();
    ours();
    const auto t1 = bench_clock::now();
    theirs();
    const auto t2 = bench_clock::now();
    ours_total += Seconds(t1 - t0);
    theirs_total += Seconds(t2 - t1);
    state.SetIterationTime(Seconds(t1 - t0));
  }
  const double n = double(state.iterations());
  state.counters["opencv_ms"] = theirs_total / n * 1e3;
  state.counters["ratio"] = ours_total / theirs_total;
  state.SetLabel(ThreadsLabel(threads));
  cv::setNumThreads(-1);
  SetRowThreads(0);
}

cv::Mat RandomImage(uint32_t seed) {
  cv::Mat m(target_h, target_w, CV_8UC3);
  cv::theRNG().state = seed;
  cv::randu(m, 0, 256);
  return m;
}

// The whole "Average" pass against cv::addWeighted at the same weights.
void BM_AverageVsAddWeighted(benchmark::State& state) {
  combine_scene& s = Scene();
  s.Plain(8);
  const cv::Mat a = RandomImage(1), b = RandomImage(2);
  cv::Mat out(target_h, target_w, CV_8UC3);
  Compare(
      state, [&] { s.view->CombineTarget(); },
      [&] { cv::addWeighted(a, 129 / 256.0, b, 127 / 256.0, 0.0, out); });
}
BENCHMARK(BM_AverageVsAddWeighted)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseManualTime();

// The "Sharpen" convolution step against cv::filter2D with the same kernel.
void BM_SharpenVsFilter2D(benchmark::State& state) {
  combine_scene& s = Scene();
  s.Plain(8);
  s.view->CombineTarget();
  const effect_kernel& k = effect_kernels[sharpen];
  cv::Mat kernel(3, 3, CV_32F);
  for (int i = 0; i < 9; ++i) kernel.at<float>(i / 3, i % 3) = float(k.kernel[i]) / float(k.divisor);
  const cv::Mat in = RandomImage(3);
  cv::Mat out(target_h, target_w, CV_8UC3);
  Compare(
      state, [&] { ConvolveTarget(k.kernel, k.size, k.divisor, k.offset, target_w, target_h); },
      [&] { cv::filter2D(in, out, -1, kernel); });
}
BENCHMARK(BM_SharpenVsFilter2D)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseManualTime();
#endif

}  // namespace
