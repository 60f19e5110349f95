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

void BuildRows(const placement& p, source_layer& layer, int first, int end) {
  const int w = p.w;
  const int h = p.h;
  for (int r = first; r < end; ++r) {
    const double y = (p.base_y + r - p.gy) * p.ystep - p.hh;
    const double y_sin = y * p.sin_a;
    const double hh_y_cos = p.hh + y * p.cos_a;
    uint8_t* out = layer.Pixel(p.row0 + r, p.col0);
    uint8_t* out_mask = &layer.Mask(p.row0 + r, p.col0);
    for (int c = 0; c < p.cols; ++c, out += 3) {
      double x = (p.base_x + c - p.gx) * p.xstep - p.hw;
      if (p.mirrored) x = -x;
      const double sx = p.hw + x * p.cos_a - y_sin;
      const double sy = hh_y_cos + x * p.sin_a;
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
      if (p.nearest) {
        out[0] = px[0];
        out[1] = px[1];
        out[2] = px[2];
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
          out[k] = uint8_t((px[k] * wp + right[k] * wr + down[k] * wd + diagonal[k] * wg) >> 16);
      }
      out_mask[c] = 1;
    }
  }
}

}  // namespace

void CvorbelViewCore::BuildSourceLayer(int s) {
  if (s != 1 && s != 2) return;
  const int i = s - 1;
  source_layer& layer = layers[i];
  const int W = std::clamp(target_rect.Width(), 0, max_target_width);
  const int H = std::clamp(target_rect.Height(), 0, max_target_height);
  for (int r = 0; r < H; ++r) {
    std::memset(layer.Pixel(r, 0), 0, size_t(W) * 3);
    std::memset(&layer.Mask(r, 0), 0, size_t(W));
  }

  const CvorbelDoc& doc = *GetDocument();
  const image_record& record = doc.source_image[i];
  if (record.bitmap == nullptr) return;
  placement p;
  p.w = doc.image_size[i].width;
  p.h = doc.image_size[i].height;
  // The size must describe the record it reads, or the samples would leave it.
  if (p.w <= 0 || p.h <= 0 || p.w != record.Width() || p.h != record.Height()) return;
  p.pixels = record.Pixels();
  p.mask = record.mask && record.mask_size == int32_t(int64_t(p.w) * p.h) ? record.mask : nullptr;

  p.mirrored = doc.mirrored[i] == 1;
  const double a = (p.mirrored ? rotation[i] : -rotation[i]) * degrees_to_radians;
  const double sw = width_percent[i] * fit_factor_x[i] * p.w / 100.0;
  if (!(sw >= 1.0) || !std::isfinite(sw)) return;
  const double sh = height_percent[i] * fit_factor_y[i] * p.h / 100.0;
  if (!(sh >= 1.0) || !std::isfinite(sh)) return;
  p.xstep = p.w / sw;
  p.ystep = p.h / sh;
  p.cos_a = std::cos(a);
  p.sin_a = std::sin(a);
  if (!std::isfinite(p.cos_a)) return;
  const double abs_cos = std::fabs(p.cos_a);
  const double abs_sin = std::fabs(p.sin_a);
  p.gx = std::trunc(0.5 * sw * ((p.h * abs_sin + p.w * abs_cos) / p.w - 1));
  p.gy = std::trunc(0.5 * sh * ((p.h * abs_cos + p.w * abs_sin) / p.h - 1));

  const int64_t row0 = std::max<int64_t>(0, -int64_t(offset[i].y));
  const int64_t col0 = std::max<int64_t>(0, -int64_t(offset[i].x));
  if (H - row0 < 1 || W - col0 < 1) return;
  p.row0 = int(row0);
  p.col0 = int(col0);
  p.rows = H - p.row0;
  p.cols = W - p.col0;
  p.hw = p.w / 2;
  p.hh = p.h / 2;
  p.base_x = std::max(0, offset[i].x);
  p.base_y = std::max(0, offset[i].y);
  p.nearest = fast_preview == 1;

  ParallelRows(p.rows, [&](int first, int end) { BuildRows(p, layer, first, end); });
}
