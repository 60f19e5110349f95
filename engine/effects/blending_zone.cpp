#include "engine/effects/blending_zone.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "engine/base/process_state.h"
#include "engine/base/row_parallel.h"
#include "engine/base/view_core.h"
#include "platform/ui_port.h"

namespace {

// Truncates toward zero; values beyond any target are held at a bound that still
// leaves room for the sums made from them.
int Truncate(float v) {
  constexpr float bound = 1 << 28;
  if (!(v > -bound)) return -(1 << 28);
  if (!(v < bound)) return 1 << 28;
  return int(v);
}

struct zone_paint {
  const source_layer* layer;
  zone_area zone;
  int k;
  bool rectangular;
  bool fade;
  double ratio;
  int cx;
  int cy;
  int w;  // target width: the row stride
};

uint8_t Blend(int old, int src, double weight) {
  const int v = weight < 8.0 ? old + (int(std::trunc((src - old) * weight)) >> 3) : src;
  return uint8_t(std::clamp(v, 0, 255));
}

void PaintZoneRows(const zone_paint& p, int first, int end, int c0, int c1) {
  for (int r = first; r < end; ++r) {
    const bgra* copy = target_copy + size_t(r) * p.w;
    bgra* out = target_pixels + size_t(r) * p.w;
    for (int c = c0; c < c1; ++c) {
      double base = 0.5;
      if (!p.rectangular) {
        const double across = (c - p.cx) * p.ratio;
        const double down = r - p.cy;
        const double d = std::sqrt(across * across + down * down);
        const double t = p.zone.height - 2.0 * d;
        if (t < 0) continue;  // outside the ellipse: left as it is
        const double q = t / p.zone.height;
        base = p.fade ? q * q : 1.0;
      }
      const double weight = base * p.k;
      const bgra old = copy[c];
      if (p.layer->Mask(r, c) == 1) {
        const uint8_t* src = p.layer->Pixel(r, c);
        out[c].blue = Blend(old.blue, src[0], weight);
        out[c].green = Blend(old.green, src[1], weight);
        out[c].red = Blend(old.red, src[2], weight);
      } else {
        out[c].blue = old.blue, out[c].green = old.green, out[c].red = old.red;
      }
    }
  }
}

}  // namespace

zone_area ZoneInTarget(const int box[4], int origin_x, int origin_y, float scale) {
  const int xmin = std::min(box[0], box[2]), xmax = std::max(box[0], box[2]);
  const int ymin = std::min(box[1], box[3]), ymax = std::max(box[1], box[3]);
  zone_area z;
  z.width = Truncate(float(xmax - xmin) / scale);
  z.height = Truncate(float(ymax - ymin) / scale);
  z.left = Truncate(float(xmin - origin_x) / scale);
  z.top = Truncate(float(ymin - origin_y) / scale);
  return z;
}

zone_step CvorbelViewCore::ApplyBlendingZone(int direction) {
  if (std::any_of(zone_box, zone_box + 4, [](int v) { return v < 0; })) return zone_step::no_box;
  if (!(display_scale > 0.0f) || !std::isfinite(display_scale)) return zone_step::no_box;
  const zone_area zone = ZoneInTarget(zone_box, target_rect.left, target_rect.top, display_scale);
  if (zone.width < 10 || zone.height < 10) return zone_step::too_small;

  if (zone_level == 0) StoreTargetCopy();
  zone_level += direction == 1 ? 1 : -1;
  if (zone_level == 0) {
    RestoreTargetCopy();
    PresentTarget();
    return zone_step::applied;
  }

  const int w = std::clamp(target_width, 0, max_target_width);
  const int h = std::clamp(target_height, 0, max_target_height);
  zone_paint p;
  p.layer = &layers[zone_level > 0 ? 0 : 1];
  p.zone = zone;
  p.k = std::abs(zone_level);
  p.rectangular = zone_rectangular;
  p.fade = zone_fade;
  p.ratio = double(std::abs(zone_box[3] - zone_box[1])) / double(std::abs(zone_box[2] - zone_box[0]));
  p.cx = (zone.width + 2 * zone.left) >> 1;
  p.cy = (zone.height + 2 * zone.top) >> 1;
  p.w = w;
  // The ellipse keeps the shape of the whole box; only pixels inside the target are written.
  const int r0 = std::max(zone.top, 0), r1 = std::min(zone.top + zone.height, h);
  const int c0 = std::max(zone.left, 0), c1 = std::min(zone.left + zone.width, w);
  if (r0 < r1 && c0 < c1)
    ParallelRows(r1 - r0, [&](int first, int end) { PaintZoneRows(p, r0 + first, r0 + end, c0, c1); });

  PresentTarget();
  zone_applied = 1;
  the_ui().RedrawStats();
  return zone_step::applied;
}
