#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "bench/output_difference.h"
#include "bench/paired_timing.h"
#include "engine/effects/articulate_effects.h"
#include "engine/effects/blending_zone.h"
#include "engine/base/process_state.h"
#include "engine/base/row_parallel.h"
#include "engine/base/view_core.h"
#include "sources/document.h"
#ifdef VORBEL_WITH_OPENCV
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#endif

namespace {

constexpr int w = 2048, h = 1536;

// Stands in for a photograph: smooth fractal shading in three channels, a few
// hard-edged shapes and a little sensor noise.
std::vector<bgra> Photograph() {
  std::mt19937 rng(11);
  std::vector<float> field(size_t(w) * h * 3, 0.0f);
  for (int octave = 0; octave < 6; ++octave) {
    const int cell = 512 >> octave;
    const float amplitude = 70.0f / float(1 << octave);
    const int gw = w / cell + 2, gh = h / cell + 2;
    std::vector<float> grid(size_t(gw) * gh * 3);
    for (float& g : grid) g = float(int(rng() % 2001) - 1000) / 1000.0f * amplitude;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const int gx = x / cell, gy = y / cell;
        const float fx = float(x % cell) / cell, fy = float(y % cell) / cell;
        const float sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
        for (int c = 0; c < 3; ++c) {
          auto at = [&](int i, int j) { return grid[(size_t(gy + j) * gw + gx + i) * 3 + c]; };
          const float top = at(0, 0) + (at(1, 0) - at(0, 0)) * sx, bottom = at(0, 1) + (at(1, 1) - at(0, 1)) * sx;
          field[(size_t(y) * w + x) * 3 + c] += top + (bottom - top) * sy;
        }
      }
  }
  std::vector<bgra> px(size_t(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const float* f = &field[(size_t(y) * w + x) * 3];
      auto level = [&](float base, float v) { return uint8_t(std::clamp(int(base + v) + int(rng() % 5) - 2, 0, 255)); };
      px[size_t(y) * w + x] = {level(110, f[0]), level(120, f[1]), level(130, f[2]), 0};
    }
  for (int n = 0; n < 40; ++n) {
    const int cx = int(rng() % w), cy = int(rng() % h), r = 20 + int(rng() % 200);
    const bgra c{uint8_t(rng()), uint8_t(rng()), uint8_t(rng()), 0};
    for (int y = std::max(0, cy - r); y < std::min(h, cy + r); ++y)
      for (int x = std::max(0, cx - r); x < std::min(w, cx + r); ++x)
        if ((x - cx) * (x - cx) + (y - cy) * (y - cy) < r * r) {
          bgra& p = px[size_t(y) * w + x];
          p = {uint8_t((c.blue + p.blue) / 2), uint8_t((c.green + p.green) / 2), uint8_t((c.red + p.red) / 2), 0};
        }
  }
  return px;
}

const std::vector<bgra>& Picture(int kind) {
  static const std::vector<bgra> photo = Photograph();
  static const std::vector<bgra> flat(size_t(w) * h, bgra{90, 140, 200, 0});
  return kind == 0 ? photo : flat;
}

const char* KindLabel(int kind) { return kind == 0 ? "photograph" : "flat"; }

void Threads(benchmark::State& state, int threads) {
  SetRowThreads(threads);
  state.SetLabel(std::string(KindLabel(int(state.range(0)))) + (threads == 1 ? ", 1 thread" : ", all threads"));
}

// Each run starts from the picture again, as every effect starts from the stored target.
template <class Effect>
void RunEffect(benchmark::State& state, Effect effect) {
  const std::vector<bgra>& start = Picture(int(state.range(0)));
  Threads(state, int(state.range(1)));
  std::vector<bgra> px;
  for (auto _ : state) {
    state.PauseTiming();
    px = start;
    state.ResumeTiming();
    effect(px.data());
  }
  SetRowThreads(0);
}

void BM_Bubble(benchmark::State& state) {
  RunEffect(state, [](bgra* p) { Bubble(p, w, h, 5, nullptr); });
}
BENCHMARK(BM_Bubble)->Args({0, 1})->Args({0, 0})->Args({1, 1})->Args({1, 0})->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Dapple(benchmark::State& state) {
  RunEffect(state, [](bgra* p) { Dapple(p, w, h); });
}
BENCHMARK(BM_Dapple)
    ->Args({0, 1})
    ->Args({0, 0})
    ->Args({1, 1})
    ->Args({1, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_Weird(benchmark::State& state) {
  RunEffect(state, [](bgra* p) { Weird(p, w, h, 10, 10); });
}
BENCHMARK(BM_Weird)->Args({0, 1})->Args({0, 0})->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Pencil(benchmark::State& state) {
  const std::vector<bgra>& colours = Picture(int(state.range(0)));
  RunEffect(state, [&](bgra* p) { Pencil(p, colours.data(), p, w, h, 5); });
}
BENCHMARK(BM_Pencil)->Args({0, 1})->Args({0, 0})->Args({1, 1})->Args({1, 0})->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// One blending step in the largest ellipse with fade over the whole target.
void BM_BlendingStep(benchmark::State& state) {
  CvorbelDoc doc;
  CvorbelViewCore view(&doc);
  view.target_rect = {0, 0, w, h};
  target_width = w, target_height = h;
  for (int r = 0; r < max_target_height; ++r) std::fill_n(&view.layers[0].Mask(r, 0), max_target_width, uint8_t(1));
  std::copy_n(Picture(0).data(), size_t(w) * h, target_pixels);
  view.zone_box[0] = view.zone_box[1] = 0;
  view.zone_box[2] = w, view.zone_box[3] = h;
  view.zone_rectangular = false;
  view.zone_fade = true;
  Threads(state, int(state.range(1)));
  for (auto _ : state) {
    view.zone_level = 3;
    view.ApplyBlendingZone(1);
  }
  SetRowThreads(0);
}
BENCHMARK(BM_BlendingStep)->Args({0, 1})->Args({0, 0})->Unit(benchmark::kMillisecond)->UseRealTime();

#ifdef VORBEL_WITH_OPENCV
// Weird against the same work with OpenCV, paired in one process at equal threads:
// the 16-tap smoothing by sepFilter2D, the displacement maps built from the smoothed
// colours through the same sine tables Weird builds, and remap. OpenCV 4.6 smooths on
// one thread whatever it is allowed, so the peer smooths row stripes of the whole
// picture on OpenCV's threads (a stripe reads its neighbouring rows as borders). Both
// start from the same picture every run: Weird works in place, so its buffer gets the
// picture back before each run, outside the timing.
void BM_WeirdVsOpenCv(benchmark::State& state) {
  const std::vector<bgra>& start = Picture(0);
  std::vector<bgra> ours = start;
  cv::Mat image(h, w, CV_8UC4, const_cast<bgra*>(start.data()));
  cv::Mat kernel(1, 16, CV_64F);
  for (int i = 0; i < 16; ++i) kernel.at<double>(i) = articulate_detail::weird_kernel[i];
  const int threads = int(state.range(0)), amplitude = 10, frequency = 10;
  cv::Mat smooth(h, w, CV_8UC4), map_x(h, w, CV_32F), map_y(h, w, CV_32F), out;
  // A stripe smooths its rows and the 15 around them along the rows: fewer stripes
  // do less of that again, more even out the threads. Both counts are tried.
  const auto peer_in = [&](int stripes) {
    const double f = frequency / 400.0;
    int down[511], across[256];
    for (int v = 0; v < 511; ++v) down[v] = int(std::trunc(std::sin(v * f) * amplitude));
    for (int v = 0; v < 256; ++v) across[v] = int(std::trunc(std::sin(v * f) * amplitude));
    cv::parallel_for_(
        cv::Range(0, h),
        [&](const cv::Range& rows) {
          cv::Mat stripe = smooth.rowRange(rows.start, rows.end);
          cv::sepFilter2D(image.rowRange(rows.start, rows.end), stripe, -1, kernel, kernel);
          for (int y = rows.start; y < rows.end; ++y) {
            const cv::Vec4b* q = smooth.ptr<cv::Vec4b>(y);
            float* mx = map_x.ptr<float>(y);
            float* my = map_y.ptr<float>(y);
            for (int x = 0; x < w; ++x) {
              mx[x] = float(x + across[q[x][1]]);
              my[x] = float(y + down[q[x][2] + q[x][0]]);
            }
          }
        },
        stripes);
    cv::remap(image, out, map_x, map_y, cv::INTER_NEAREST, cv::BORDER_CONSTANT);
    benchmark::DoNotOptimize(out.data);
  };
  SetRowThreads(threads);
  cv::setNumThreads(threads);
  const bool fewer = FirstIsFaster([&] { peer_in(threads); }, [&] { peer_in(threads * 4); });
  const int stripes = fewer ? threads : threads * 4;
  const auto peer = [&] { peer_in(stripes); };
  ReportPaired(
      state, "Weird vs sepFilter2D + tables + remap, " + std::to_string(stripes) + " stripes, threads " +
                 std::to_string(threads),
      [&] { Weird(ours.data(), w, h, amplitude, frequency); }, peer,
      [&] { std::copy(start.begin(), start.end(), ours.begin()); });
  // The peer carries the row pass's sums on as fractions and rounds once at the end;
  // Weird truncates after each pass. A smoothed colour one apart can move a pixel to
  // another place, so a differing pixel may differ by much. Ours frames the picture
  // in black, which the peer leaves out: only the inside is compared.
  std::copy(start.begin(), start.end(), ours.begin());
  Weird(ours.data(), w, h, amplitude, frequency);
  peer();
  ReportDifference(state, "inside the frame",
                   Difference({reinterpret_cast<const uint8_t*>(ours.data()), size_t(w) * 4, 4},
                              {out.data, out.step[0], 4}, 8, 8, w - 8, h - 8));
  cv::setNumThreads(-1);
  SetRowThreads(0);
}
BENCHMARK(BM_WeirdVsOpenCv)->Arg(1)->Arg(8)->Iterations(1)->Unit(benchmark::kMillisecond)->UseManualTime();
#endif

}  // namespace
