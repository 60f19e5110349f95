#include <benchmark/benchmark.h>

#include <random>

#include "bench/output_difference.h"
#include "bench/paired_timing.h"
#include "engine/base/process_state.h"
#include "engine/warp/quad_transform.h"
#include "engine/base/row_parallel.h"
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
// The map remap gets: the warp's own inverse mapping (positions W·u, H·v), found per
// pixel by Newton steps on the bilinear corner blend (outside the timing), so both
// sample the same pixels. Pixels outside the quadrilateral point well off the image,
// where remap fills the border colour at once instead of blending border pixels.
void QuadMap(cv::Mat& map_x, cv::Mat& map_y) {
  const double x0 = corners[0], y0 = corners[1], x1 = corners[2], y1 = corners[3];
  const double x2 = corners[4], y2 = corners[5], x3 = corners[6], y3 = corners[7];
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      double u = 0.5, v = 0.5;
      for (int step = 0; step < 8; ++step) {
        const double px = (1 - v) * ((1 - u) * x0 + u * x1) + v * ((1 - u) * x2 + u * x3) - x;
        const double py = (1 - v) * ((1 - u) * y0 + u * y1) + v * ((1 - u) * y2 + u * y3) - y;
        const double xu = (1 - v) * (x1 - x0) + v * (x3 - x2), xv = (1 - u) * (x2 - x0) + u * (x3 - x1);
        const double yu = (1 - v) * (y1 - y0) + v * (y3 - y2), yv = (1 - u) * (y2 - y0) + u * (y3 - y1);
        const double det = xu * yv - xv * yu;
        if (det == 0) break;
        u -= (px * yv - py * xv) / det;
        v -= (py * xu - px * yu) / det;
      }
      const bool inside = u * w > -1 && u * w < w && v * h > -1 && v * h < h;
      map_x.at<float>(y, x) = inside ? float(u * w) : -16.0f;
      map_y.at<float>(y, x) = inside ? float(v * h) : -16.0f;
    }
}

// The warp against OpenCV at the same thread counts, outside pixels in the base colour:
// remap with the warp's mapping ready (in its fastest, fixed-point form, see below, or
// as float maps) and warpPerspective, which builds its mapping as it goes. With
// unchanged corners the warp samples from the mapping it kept from its previous run,
// as remap samples from its ready map; with moving corners the warp solves its mapping
// every frame and is set against warpPerspective doing the same. The peer runs on
// 3-byte pixels and on 4-byte ones like ours; whichever is the faster here is timed.
void BM_QuadVsOpenCv(benchmark::State& state) {
  // 0: remap on fixed-point maps; 1: warpPerspective; 2: remap on the float maps;
  // 3: warpPerspective, while the corners change every frame (one corner steps a pixel
  // to and fro), so that both sides find the mapping afresh every time.
  const int kind = int(state.range(0));
  const bool perspective = kind == 1 || kind == 3, float_map = kind == 2, moving = kind == 3;
  const int threads = int(state.range(1));
  target_width = w;
  target_height = h;
  base_color = {30, 60, 90};
  const cv::Scalar border(base_color.blue, base_color.green, base_color.red, 0);
  std::mt19937 rng(1);
  for (int i = 0; i < w * h; ++i) target_work[i] = {uint8_t(rng()), uint8_t(rng()), uint8_t(rng()), 0};
  std::copy(std::begin(corners), std::end(corners), quad_corners);
  const cv::Mat image4 = cv::Mat(h, w, CV_8UC4, target_work).clone();
  cv::Mat image3;
  cv::cvtColor(image4, image3, cv::COLOR_BGRA2BGR);
  cv::Mat out3(h, w, CV_8UC3), out4(h, w, CV_8UC4);
  cv::Mat map_x(h, w, CV_32FC1), map_y(h, w, CV_32FC1), fixed_xy, fixed_fraction;
  if (!perspective) {
    QuadMap(map_x, map_y);
    // remap turns float maps into these same fixed-point ones (5-bit fractions) block
    // by block as it goes; given them ready it skips that step and its output stays
    // byte for byte the same, which is checked here.
    cv::convertMaps(map_x, map_y, fixed_xy, fixed_fraction, CV_16SC2);
    cv::Mat from_float, from_fixed;
    cv::remap(image4, from_float, map_x, map_y, cv::INTER_LINEAR, cv::BORDER_CONSTANT, border);
    cv::remap(image4, from_fixed, fixed_xy, fixed_fraction, cv::INTER_LINEAR, cv::BORDER_CONSTANT, border);
    if (cv::norm(from_float, from_fixed, cv::NORM_INF) != 0) state.SkipWithError("fixed-point remap differs");
  }
  // The homography for the corners as they stand and for the bottom-right corner one
  // pixel to the right, the two frames the moving case alternates.
  const auto homography = [](int bottom_right_x) {
    const cv::Point2f from[4] = {{0, 0}, {float(w), 0}, {0, float(h)}, {float(w), float(h)}};
    const cv::Point2f to[4] = {{float(corners[0]), float(corners[1])},
                               {float(corners[2]), float(corners[3])},
                               {float(corners[4]), float(corners[5])},
                               {float(bottom_right_x), float(corners[7])}};
    return cv::getPerspectiveTransform(from, to);
  };
  const cv::Mat still = homography(corners[6]), stepped = homography(corners[6] + 1);
  bool step = false;
  const auto peer = [&](const cv::Mat& image, cv::Mat& out) {
    if (perspective) {
      if (moving) step = !step;
      cv::warpPerspective(image, out, step ? stepped : still, out.size(), cv::INTER_LINEAR,
                          cv::BORDER_CONSTANT, border);
    } else if (float_map) {
      cv::remap(image, out, map_x, map_y, cv::INTER_LINEAR, cv::BORDER_CONSTANT, border);
    } else {
      cv::remap(image, out, fixed_xy, fixed_fraction, cv::INTER_LINEAR, cv::BORDER_CONSTANT, border);
    }
  };
  const auto ours = [moving] {
    if (moving) quad_corners[6] = quad_corners[6] == corners[6] ? corners[6] + 1 : corners[6];
    ApplyQuadTransform();
  };
  SetRowThreads(threads);
  cv::setNumThreads(threads);
  const bool four_bytes = FirstIsFaster([&] { peer(image4, out4); }, [&] { peer(image3, out3); });
  const std::string name = perspective ? (moving ? "quad warp, corners moving, vs warpPerspective"
                                                 : "quad warp vs warpPerspective")
                           : float_map ? "quad warp vs remap (float map ready)"
                                       : "quad warp vs remap (fixed-point map ready)";
  ReportPaired(state,
               name + (four_bytes ? ", peer 4-byte" : ", peer 3-byte") + ", threads " + std::to_string(threads),
               ours, [&] { four_bytes ? peer(image4, out4) : peer(image3, out3); });

  // Both once more on the unchanged corners. remap samples the warp's own mapping, so
  // only rounding, its coarser fractions and the pixels along the quadrilateral's
  // edges (outside for one, blended with the border for the other) part them;
  // warpPerspective maps the corners by a homography, not by
  // the bilinear blend, and differs inside the quadrilateral for that reason.
  std::copy(std::begin(corners), std::end(corners), quad_corners);
  step = moving;
  ApplyQuadTransform();
  peer(image4, out4);
  ReportDifference(state, perspective ? "warpPerspective maps differently" : "same mapping",
                   Difference({reinterpret_cast<const uint8_t*>(target_pixels), size_t(w) * 4, 4},
                              {out4.data, out4.step[0], 4}, 0, 0, w, h));
  cv::setNumThreads(-1);
  SetRowThreads(0);
  base_color = {};
}
BENCHMARK(BM_QuadVsOpenCv)
    ->ArgsProduct({{0, 1, 2, 3}, {1, 8}})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();
#endif

}  // namespace
