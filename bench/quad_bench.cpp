#include <benchmark/benchmark.h>

#include <random>

#include "bench/ratio_report.h"
#include "engine/process_state.h"
#include "engine/quad_transform.h"
#include "engine/row_parallel.h"
#ifdef VORBEL_WITH_OPENCV
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#endif

namespace {

constexpr int w = 2048, h = 1536;
// A general quadrilateral: no two sides parallel, most of the target covered.
constexpr int corners[8] = {100, 50, 1900, 200, 40, 1400, 2000, 1500};

void BM_QuadTransform(benchmark::State& state) {
  SetRowThreads(int(state.range(0)));
  target_width = w;
  target_height = h;
  std::mt19937 rng(1);
  for (int i = 0; i < w * h; ++i) target_work[i] = {uint8_t(rng()), uint8_t(rng()), uint8_t(rng()), 0};
  std::copy(std::begin(corners), std::end(corners), quad_corners);
  for (auto _ : state) ApplyQuadTransform();
  SetRowThreads(0);
}
BENCHMARK(BM_QuadTransform)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

#ifdef VORBEL_WITH_OPENCV
cv::Mat Image() {
  cv::Mat image(h, w, CV_8UC3);
  cv::randu(image, 0, 256);
  return image;
}

// The same inverse mapping with its map computed once, outside the timing.
void BM_OpenCvRemap(benchmark::State& state) {
  cv::setNumThreads(state.range(0) == 1 ? 1 : -1);
  const cv::Mat image = Image();
  cv::Mat map_x(h, w, CV_32FC1), map_y(h, w, CV_32FC1);
  // The inverse of the bilinear corner blend is not closed-form for OpenCV: any
  // smooth map of the same spread costs it the same.
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      map_x.at<float>(y, x) = float(x) * 1.07f - 60.0f + float(y) * 0.05f;
      map_y.at<float>(y, x) = float(y) * 1.1f - 40.0f - float(x) * 0.04f;
    }
  cv::Mat out(h, w, CV_8UC3);
  for (auto _ : state)
    cv::remap(image, out, map_x, map_y, cv::INTER_LINEAR, cv::BORDER_CONSTANT, cv::Scalar());
  cv::setNumThreads(-1);
}
BENCHMARK(BM_OpenCvRemap)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OpenCvWarpPerspective(benchmark::State& state) {
  cv::setNumThreads(state.range(0) == 1 ? 1 : -1);
  const cv::Mat image = Image();
  const cv::Point2f from[4] = {{0, 0}, {float(w), 0}, {0, float(h)}, {float(w), float(h)}};
  const cv::Point2f to[4] = {{float(corners[0]), float(corners[1])},
                             {float(corners[2]), float(corners[3])},
                             {float(corners[4]), float(corners[5])},
                             {float(corners[6]), float(corners[7])}};
  const cv::Mat m = cv::getPerspectiveTransform(from, to);
  cv::Mat out(h, w, CV_8UC3);
  for (auto _ : state) cv::warpPerspective(image, out, m, out.size(), cv::INTER_LINEAR);
  cv::setNumThreads(-1);
}
BENCHMARK(BM_OpenCvWarpPerspective)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

const bool ratios_registered = [] {
  RegisterRatio("BM_QuadTransform/1/real_time", "BM_OpenCvRemap/1/real_time");
  RegisterRatio("BM_QuadTransform/0/real_time", "BM_OpenCvRemap/0/real_time");
  return true;
}();
#endif

}  // namespace
