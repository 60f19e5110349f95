#include "engine/base/target_layout.h"

#include <algorithm>

target_layout CentredTarget(int client_w, int client_h, int W, int H, float display_scale) {
  const int tw = int(float(W) * display_scale);
  const int th = int(float(H) * display_scale);
  target_layout layout;
  layout.x = std::max((client_w - tw) / 2, 20);
  layout.y = std::max((client_h - th) / 2, 20);
  layout.scroll_width = tw + 2 * layout.x;
  layout.scroll_height = th + 2 * layout.y;
  return layout;
}

float FitScale(int client_w, int client_h, int W, int H) {
  const float cw = float(std::max(client_w, 1));
  const float ch = float(std::max(client_h, 1));
  const float by_width = cw / float(std::max(W, 0) + 80);
  const float by_height = ch / float(std::max(H, 0) + 80);
  return by_height < by_width ? by_height : by_width;
}
