#include <algorithm>

#include "engine/base/float_convert.h"
#include "engine/base/process_state.h"
#include "engine/base/view_core.h"

void CvorbelViewCore::PreviewBlendingBox() {
  if (zone_box[0] < 0 || zone_box[1] < 0) return;
  const int xa = std::min(zone_box[0], zone_box[2]), xb = std::max(zone_box[0], zone_box[2]);
  const int ya = std::min(zone_box[1], zone_box[3]), yb = std::max(zone_box[1], zone_box[3]);
  const float scale = display_scale;
  const int c0 = TruncToInt(float(xa - target_rect.left) / scale);
  const int r0 = TruncToInt(float(ya - target_rect.top) / scale);
  const int c1 = std::min(c0 + TruncToInt(float(xb - xa) / scale), target_width);
  const int r1 = std::min(r0 + TruncToInt(float(yb - ya) / scale), target_height);
  if (r0 >= r1) {
    PresentTarget();
    return;
  }
  // A box left from an earlier layout may start before the target: only its part
  // on the target is touched. The layers are read as constants: a write access would
  // send the next combine back to their coverage bytes.
  const source_layer& layer1 = layers[0];
  const source_layer& layer2 = layers[1];
  for (int y = std::max(r0, 0); y < r1; ++y) {
    for (int x = std::max(c0, 0); x < c1; ++x) {
      const bool m1 = layer1.Mask(y, x) == 1, m2 = layer2.Mask(y, x) == 1;
      bgra& out = target_pixels[size_t(y) * target_width + x];
      if (m1 && m2) {
        const uint8_t* a = layer1.Pixel(y, x);
        const uint8_t* b = layer2.Pixel(y, x);
        out.blue = uint8_t((129 * a[0] + 127 * b[0]) >> 8);
        out.green = uint8_t((129 * a[1] + 127 * b[1]) >> 8);
        out.red = uint8_t((129 * a[2] + 127 * b[2]) >> 8);
      } else if (!m1 && !m2) {
        const bgra& saved = target_copy[size_t(y) * target_width + x];
        out.blue = saved.blue, out.green = saved.green, out.red = saved.red;
      }
    }
  }
  PresentTarget();
}
