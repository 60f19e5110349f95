#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "engine/float_convert.h"
#include "engine/row_parallel.h"
#include "engine/view_core.h"
#include "sources/document.h"

namespace {

// Everything a row of the layer needs, fixed before the rows run.
struct placement {
  const uint8_t* pixels;  // 4 bytes a pixel, w per row
  const uint8_t* mask;    // null: every pixel covered
  int w, h;
  double hw, hh;
  double xstep, ystep;
  double gx, gy;  // already truncated
  double base_x, base_y;
  double cos_a, sin_a;
  bool mirrored;
  bool nearest;
  int row0, col0, rows, cols;
};

constexpr int tile_cols = 128;

// Source coordinates of the columns [c_first, c_first + n) of one layer row. Kept
// free of branches so that the compiler vectorises it; each lane does exactly the
// scalar operations in the scalar order, so the values are the same to the bit.
__attribute__((target_clones("avx2", "default"))) void SpanCoordinates(
    const placement& p, double y_sin, double hh_y_cos, int c_first, int n, double* sx,
    double* sy) {
  const double sign = p.mirrored ? -1.0 : 1.0;
  for (int k = 0; k < n; ++k) {
    const double x = ((p.base_x + (c_first + k) - p.gx) * p.xstep - p.hw) * sign;
    sx[k] = p.hw + x * p.cos_a - y_sin;
    sy[k] = hh_y_cos + x * p.sin_a;
  }
}

// One row's span [c_first, c_end) of the layer.
void BuildSpan(const placement& p, source_layer& layer, int r, int c_first, int c_end) {
  const int w = p.w;
  const int h = p.h;
  const double y = (p.base_y + r - p.gy) * p.ystep - p.hh;
  const double y_sin = y * p.sin_a;
  const double hh_y_cos = p.hh + y * p.cos_a;
  double sxs[tile_cols];
  double sys[tile_cols];
  SpanCoordinates(p, y_sin, hh_y_cos, c_first, c_end - c_first, sxs, sys);
  uint8_t* out = layer.Pixel(p.row0 + r, p.col0);
  uint8_t* out_mask = &layer.Mask(p.row0 + r, p.col0);
  for (int c = c_first; c < c_end; ++c) {
    const double sx = sxs[c - c_first];
    const double sy = sys[c - c_first];
    // Written so that NaN lands outside as well.
    if (!(sx >= 0 && sx < w && sy >= 0 && sy < h)) continue;
    const int col = int(sx);
    const int row = int(sy);
    const size_t at = size_t(row) * w + col;
    if (p.mask && p.mask[at] == 0) {
      out_mask[c] = 0;
      continue;
    }
    const uint8_t* px = p.pixels + at * 4;
    uint8_t* o = out + size_t(c) * 3;
    if (p.nearest) {
      o[0] = px[0];
      o[1] = px[1];
      o[2] = px[2];
    } else {
      const uint32_t fx = uint32_t(int(sx * 256 - col * 256));
      const uint32_t fy = uint32_t(int(sy * 256 - row * 256));
      const uint8_t* right = col + 1 >= w ? px : px + 4;
      const uint8_t* down = row + 1 >= h ? px : px + size_t(w) * 4;
      const uint8_t* diagonal =
          p.pixels + (size_t(std::min(row + 1, h - 1)) * w + std::min(col + 1, w - 1)) * 4;
      const uint32_t wp = (256 - fx) * (256 - fy);
      const uint32_t wr = fx * (256 - fy);
      const uint32_t wd = (256 - fx) * fy;
      const uint32_t wg = fx * fy;
      for (int k = 0; k < 3; ++k)
        o[k] = uint8_t((px[k] * wp + right[k] * wr + down[k] * wd + diagonal[k] * wg) >> 16);
    }
    out_mask[c] = 1;
  }
}

void ClearRows(source_layer& layer, int width, int first, int end) {
  for (int r = first; r < end; ++r) {
    std::memset(layer.Pixel(r, 0), 0, size_t(width) * 3);
    std::memset(&layer.Mask(r, 0), 0, size_t(width));
  }
}

// Target rows [first, end): cleared, then filled where the source lands. A rotated
// source is read along slanted lines; walking the layer in small tiles keeps the
// source pixels a tile reads in cache instead of one cache line per pixel.
void BuildRows(const placement& p, source_layer& layer, int width, int first, int end) {
  ClearRows(layer, width, first, end);
  constexpr int tile_rows = 16;
  for (int r0 = std::max(first, p.row0); r0 < end; r0 += tile_rows) {
    const int r1 = std::min(end, r0 + tile_rows);
    for (int c0 = 0; c0 < p.cols; c0 += tile_cols) {
      const int c1 = std::min(p.cols, c0 + tile_cols);
      for (int r = r0; r < r1; ++r) BuildSpan(p, layer, r - p.row0, c0, c1);
    }
  }
}

// Fixes everything the rows need; false when the source places nothing.
bool PlanPlacement(const CvorbelViewCore& v, int s, int W, int H, placement& p) {
  const int i = s - 1;
  const CvorbelDoc& doc = *v.GetDocument();
  const image_record& record = doc.source_image[i];
  if (record.bitmap == nullptr) return false;
  p.w = doc.image_size[i].width;
  p.h = doc.image_size[i].height;
  // The size must describe the record it reads, or the samples would leave it.
  if (p.w <= 0 || p.h <= 0 || p.w != record.Width() || p.h != record.Height()) return false;
  p.pixels = record.Pixels();
  // Most records cover every pixel: one fast scan for a zero spares the rows a
  // second scattered read per sample.
  const size_t pixel_count = size_t(p.w) * size_t(p.h);
  const bool usable_mask = record.mask && size_t(record.mask_size) == pixel_count;
  p.mask = usable_mask && std::memchr(record.mask, 0, pixel_count) ? record.mask : nullptr;

  p.mirrored = doc.mirrored[i] == 1;
  const double a = (p.mirrored ? v.rotation[i] : -v.rotation[i]) * degrees_to_radians;
  const double sw = v.width_percent[i] * v.fit_factor_x[i] * p.w / 100.0;
  if (!(sw >= 1.0) || !std::isfinite(sw)) return false;
  const double sh = v.height_percent[i] * v.fit_factor_y[i] * p.h / 100.0;
  if (!(sh >= 1.0) || !std::isfinite(sh)) return false;
  p.xstep = p.w / sw;
  p.ystep = p.h / sh;
  p.cos_a = std::cos(a);
  p.sin_a = std::sin(a);
  if (!std::isfinite(p.cos_a)) return false;
  const double abs_cos = std::fabs(p.cos_a);
  const double abs_sin = std::fabs(p.sin_a);
  p.gx = std::trunc(0.5 * sw * ((p.h * abs_sin + p.w * abs_cos) / p.w - 1));
  p.gy = std::trunc(0.5 * sh * ((p.h * abs_cos + p.w * abs_sin) / p.h - 1));

  const int64_t row0 = std::max<int64_t>(0, -int64_t(v.offset[i].y));
  const int64_t col0 = std::max<int64_t>(0, -int64_t(v.offset[i].x));
  if (H - row0 < 1 || W - col0 < 1) return false;
  p.row0 = int(row0);
  p.col0 = int(col0);
  p.rows = H - p.row0;
  p.cols = W - p.col0;
  p.hw = p.w / 2;
  p.hh = p.h / 2;
  p.base_x = std::max(0, v.offset[i].x);
  p.base_y = std::max(0, v.offset[i].y);
  p.nearest = v.fast_preview == 1;

  return true;
}

}  // namespace

void CvorbelViewCore::BuildSourceLayer(int s) {
  if (s != 1 && s != 2) return;
  const int i = s - 1;
  source_layer& layer = layers[i];
  const int W = std::clamp(target_rect.Width(), 0, max_target_width);
  const int H = std::clamp(target_rect.Height(), 0, max_target_height);
  placement p;
  if (PlanPlacement(*this, s, W, H, p)) {
    ParallelRows(H, [&](int first, int end) { BuildRows(p, layer, W, first, end); });
  } else {
    ParallelRows(H, [&](int first, int end) { ClearRows(layer, W, first, end); });
  }
}

