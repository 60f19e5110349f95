#pragma once
#ifdef VORBEL_WITH_OPENCV
#include <cmath>
#include <opencv2/core.hpp>

#include "engine/base/float_convert.h"

// The layer's sampling map (target pixel to source position) as an affine matrix,
// for a source placed at offset (0, 0) without mirroring.
inline cv::Mat LayerMap(int w, int h, double percent, double degrees) {
  const double a = -degrees * degrees_to_radians;
  const double sw = percent * w / 100.0, sh = percent * h / 100.0;
  const double xstep = w / sw, ystep = h / sh;
  const double c = std::cos(a), s = std::sin(a);
  const double gx = std::trunc(0.5 * sw * ((h * std::fabs(s) + w * std::fabs(c)) / w - 1));
  const double gy = std::trunc(0.5 * sh * ((h * std::fabs(c) + w * std::fabs(s)) / h - 1));
  const double hw = w / 2, hh = h / 2;
  // X = (column - gx) xstep - hw, Y = (row - gy) ystep - hh; sx = hw + X c - Y s, sy = hh + Y c + X s.
  const double x0 = -gx * xstep - hw, y0 = -gy * ystep - hh;
  cv::Mat m = (cv::Mat_<double>(2, 3) << xstep * c, -ystep * s, hw + x0 * c - y0 * s,  //
               xstep * s, ystep * c, hh + y0 * c + x0 * s);
  return m;
}

#endif
