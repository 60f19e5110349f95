#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <memory>
#include <random>

#include "engine/combine/convolution.h"
#include "engine/combine/effect_kernels.h"
#include "engine/combine/pixel_operators.h"
#include "engine/base/process_state.h"
#include "engine/base/row_parallel.h"
#include "engine/base/view_core.h"
#include "bench/layer_map.h"
#include "bench/output_difference.h"
#include "bench/paired_timing.h"
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
      for (int r = 0; r < target_h; ++r) std::fill_n(&l.Mask(r, 0), target_w, uint8_t(1));
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

std::string ThreadsLabel(int threads) { return std::to_string(threads) + (threads == 1 ? " thread" : " threads"); }

void BM_CombineOperator(benchmark::State& state) {
  SetRowThreads(int(state.range(1)));
  combine_scene& s = Scene();
  s.Plain(int(state.range(0)));
  for (auto _ : state) s.view->CombineTarget();
  state.SetLabel(ThreadsLabel(int(state.range(1))));
  SetRowThreads(0);
}
BENCHMARK(BM_CombineOperator)
    ->ArgsProduct({benchmark::CreateDenseRange(0, operator_count - 1, 1), {1, 8}})
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
BENCHMARK(BM_CombineMostColoredAdjustedSharpen)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime();

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
BENCHMARK(BM_CombineHighlight)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime();

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
BENCHMARK(BM_CombineFastPreview)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime();

// Both layers built from camera-sized sources (75 %, 30 degrees), then the
// demanding pass: what one change of a source's placement costs. Smaller targets
// get sources smaller in proportion, so that every size does the same work a pixel.
struct recombine_scene {
  CvorbelDoc doc;
  std::unique_ptr<CvorbelViewCore> view;
  recombine_scene() {
    view = std::make_unique<CvorbelViewCore>(&doc);
    view->channel_adjust[2] = {70, 40};
    view->InstallEffectKernel(sharpen);
  }
  void Prepare(int w, int h) {
    const int sw = source_w * w / target_w, sh = source_h * h / target_h;
    if (doc.image_size[0].width != sw) {
      std::mt19937 rng(1);
      for (int i = 0; i < 2; ++i) {
        image_record& r = doc.source_image[i];
        r.Create(sw, sh);
        for (size_t k = 0; k < size_t(sw) * sh * 4; ++k) r.Pixels()[k] = uint8_t(rng());
        doc.image_size[i] = {sw, sh};
        doc.source_kind[i] = kind_file;
        view->fit_to_target[i] = 0;
        view->width_percent[i] = view->height_percent[i] = 75.0;
        view->rotation[i] = 30.0;
        view->UpdateSourceGeometry(i + 1);
      }
    }
    view->target_rect = {0, 0, w, h};
    source_count = 2;
    method_code = 4;
    contrast_mode = 1;
    effect_code = sharpen;
  }
};

recombine_scene& Recombine() {
  static recombine_scene scene;
  return scene;
}

// At three target sizes: the time a pixel should stay the same as the pixels grow.
void BM_Recombine(benchmark::State& state) {
  const int w = int(state.range(0)), h = w * 3 / 4;
  SetRowThreads(int(state.range(1)));
  recombine_scene& s = Recombine();
  s.Prepare(w, h);
  for (auto _ : state) s.view->RebuildSources(-1);
  // Seconds a pixel.
  state.counters["per_pixel"] = benchmark::Counter(
      double(w) * h, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.SetLabel(ThreadsLabel(int(state.range(1))));
  SetRowThreads(0);
}
BENCHMARK(BM_Recombine)
    ->ArgsProduct({{512, 1024, 2048}, {1, 8}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

#ifdef VORBEL_WITH_OPENCV
cv::Mat RandomImage(uint32_t seed) {
  cv::Mat m(target_h, target_w, CV_8UC3);
  cv::theRNG().state = seed;
  cv::randu(m, 0, 256);
  return m;
}

std::string Named(const char* what, int threads) {
  return std::string(what) + ", threads " + std::to_string(threads);
}

// Ours and OpenCV's at the same thread count, in alternating blocks.
template <class Ours, class Peer>
void Compare(benchmark::State& state, const std::string& what, Ours ours, Peer peer) {
  const int threads = int(state.range(0));
  SetRowThreads(threads);
  cv::setNumThreads(threads);
  ReportPaired(state, Named(what.c_str(), threads), ours, peer);
  cv::setNumThreads(-1);
  SetRowThreads(0);
}

// OpenCV 4.6 runs addWeighted and a 3 x 3 filter2D on one thread whatever it is
// allowed, so the peer is split into row stripes itself: over our own row pool (the
// same stripes on the same threads as ours) or over OpenCV's parallel_for_, whichever
// is the faster here. Each stripe writes only its own rows.
struct striped_peer {
  bool own_pool = true;

  template <class Rows>
  void Run(const Rows& rows) const {
    if (own_pool) {
      ParallelRows(target_h, [&](int first, int end) { rows(first, end); });
    } else {
      cv::parallel_for_(cv::Range(0, target_h), [&](const cv::Range& r) { rows(r.start, r.end); },
                        RowThreads() * 8);
    }
  }
  template <class Rows>
  void Choose(const Rows& rows) {
    const striped_peer pool{true}, opencv{false};
    own_pool = FirstIsFaster([&] { pool.Run(rows); }, [&] { opencv.Run(rows); });
  }
  const char* Label() const { return own_pool ? "peer striped on our row pool" : "peer striped by parallel_for_"; }
};

// The whole "Average" pass against cv::addWeighted on the same two layers at the same
// weights. Ours truncates the weighted sum, addWeighted rounds it; an offset of
// -1/2 + 1/512 makes it truncate as well (the sums are multiples of 1/256), so that
// both outputs can be held against each other.
void BM_AverageVsAddWeighted(benchmark::State& state) {
  combine_scene& s = Scene();
  s.Plain(8);
  const double weight2 = pixel_rules::Bias() / 256.0, weight1 = 1 - weight2, offset = -0.5 + 1 / 512.0;
  const cv::Mat a(target_h, target_w, CV_8UC3, s.view->layers[0].rgb.get(), source_layer::stride * 3);
  const cv::Mat b(target_h, target_w, CV_8UC3, s.view->layers[1].rgb.get(), source_layer::stride * 3);
  cv::Mat out(target_h, target_w, CV_8UC3);
  const auto rows = [&](int first, int end) {
    cv::Mat stripe = out.rowRange(first, end);
    cv::addWeighted(a.rowRange(first, end), weight1, b.rowRange(first, end), weight2, offset, stripe);
  };
  SetRowThreads(int(state.range(0)));
  cv::setNumThreads(int(state.range(0)));
  striped_peer peer;
  peer.Choose(rows);
  Compare(
      state, std::string("Average pass vs addWeighted, ") + peer.Label(), [&] { s.view->CombineTarget(); },
      [&] { peer.Run(rows); });
  s.view->CombineTarget();
  peer.Run(rows);
  ReportDifference(state, "same layers",
                   Difference({reinterpret_cast<const uint8_t*>(target_pixels), size_t(target_w) * 4, 4},
                              {out.data, out.step[0], 3}, 0, 0, target_w, target_h));
}
BENCHMARK(BM_AverageVsAddWeighted)->Arg(1)->Arg(8)->Iterations(1)->Unit(benchmark::kMillisecond)->UseManualTime();

// The "Sharpen" convolution step against cv::filter2D with the same kernel, striped
// the same way; a stripe of the whole image reads its neighbouring rows as borders.
void BM_SharpenVsFilter2D(benchmark::State& state) {
  combine_scene& s = Scene();
  s.Plain(8);
  s.view->CombineTarget();
  const effect_kernel& k = effect_kernels[sharpen];
  cv::Mat kernel(3, 3, CV_32F);
  for (int i = 0; i < 9; ++i) kernel.at<float>(i / 3, i % 3) = float(k.kernel[i]) / float(k.divisor);
  const cv::Mat in = RandomImage(3);
  cv::Mat out(target_h, target_w, CV_8UC3);
  const auto rows = [&](int first, int end) {
    cv::Mat stripe = out.rowRange(first, end);
    cv::filter2D(in.rowRange(first, end), stripe, -1, kernel);
  };
  SetRowThreads(int(state.range(0)));
  cv::setNumThreads(int(state.range(0)));
  striped_peer peer;
  peer.Choose(rows);
  Compare(
      state, std::string("Sharpen vs filter2D, ") + peer.Label(),
      [&] { ConvolveTarget(k.kernel, k.size, k.divisor, k.offset, target_w, target_h); },
      [&] { peer.Run(rows); });
}
BENCHMARK(BM_SharpenVsFilter2D)->Arg(1)->Arg(8)->Iterations(1)->Unit(benchmark::kMillisecond)->UseManualTime();

// A whole recombine (both layers and the demanding pass) against one warpAffine of
// one source onto the same target.
void BM_RecombineVsWarpAffine(benchmark::State& state) {
  recombine_scene& s = Recombine();
  s.Prepare(target_w, target_h);
  cv::Mat bgra(source_h, source_w, CV_8UC4, s.doc.source_image[0].Pixels()), source;
  cv::cvtColor(bgra, source, cv::COLOR_BGRA2BGR);
  cv::Mat out(target_h, target_w, CV_8UC3);
  const cv::Mat map = LayerMap(source_w, source_h, 75.0, 30.0);
  Compare(
      state, "recombine vs one warpAffine LINEAR", [&] { s.view->RebuildSources(-1); },
      [&] { cv::warpAffine(source, out, map, out.size(), cv::INTER_LINEAR | cv::WARP_INVERSE_MAP); });
}
BENCHMARK(BM_RecombineVsWarpAffine)->Arg(1)->Arg(8)->Iterations(1)->Unit(benchmark::kMillisecond)->UseManualTime();
#endif

}  // namespace
