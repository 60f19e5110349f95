#include "engine/base/process_state.h"
#include "engine/base/view_core.h"

const bgra* CvorbelViewCore::ShownPixels() const {
  return held_pixels ? held_pixels : target_pixels;
}

bool CvorbelViewCore::PresentTarget() {
  return presentation_paced ? false : PresentPixels(ShownPixels());
}

void CvorbelViewCore::ShowSourceAlone(int s) {
  if (s != 1 && s != 2) {
    PresentTarget();
    return;
  }
  if (target_width <= 0 || target_height <= 0 || target_width > max_target_width ||
      target_height > max_target_height) {
    PresentTarget();
    return;
  }
  if (!alone_pixels) alone_pixels.reset(new bgra[target_capacity]);
  const source_layer& layer = layers[s - 1];
  bgra* out = alone_pixels.get();
  for (int row = 0; row < target_height; ++row) {
    for (int column = 0; column < target_width; ++column, ++out) {
      if (layer.Mask(row, column) == 1) {
        const uint8_t* p = layer.Pixel(row, column);
        out->blue = p[0], out->green = p[1], out->red = p[2];
      } else {
        out->blue = base_color.blue, out->green = base_color.green, out->red = base_color.red;
      }
      out->fourth = 0;
    }
  }
  PresentPixels(alone_pixels.get());
}
