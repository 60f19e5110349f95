#include "engine/base/view_mapping.h"

#include <algorithm>

#include "engine/base/float_convert.h"

vpoint TargetPixelOf(vpoint logical, const vrect& target_rect, float scale) {
  const float x = float(logical.x - target_rect.left) / scale;
  const float y = float(logical.y - target_rect.top) / scale;
  return {TruncToInt(x), TruncToInt(y)};
}

bool InsideTarget(vpoint pixel, int width, int height) {
  return pixel.x >= 0 && pixel.x < width && pixel.y >= 0 && pixel.y < height;
}

vpoint ClampIntoTarget(vpoint logical, const vrect& target_rect, float scale) {
  const int w = target_rect.Width(), h = target_rect.Height();
  const vpoint t = TargetPixelOf(logical, target_rect, scale);
  vpoint p = logical;
  if (t.x < 0) p.x = target_rect.left;
  if (t.y < 0) p.y = target_rect.top;
  if (t.x >= w) p.x = TruncToInt(float(w - 1) * scale + float(target_rect.left));
  if (t.y >= h) p.y = TruncToInt(float(h - 1) * scale + float(target_rect.top));
  return p;
}

vpoint DragDistance(vpoint start, vpoint current, int width, int height) {
  auto axis = [](long long s, long long c, long long size) {
    return int(std::min(std::max(c - s, -s), size - 1 - s));
  };
  return {axis(start.x, current.x, width), axis(start.y, current.y, height)};
}

vpoint ClampOffset(vpoint offset, int sw, int sh, int width, int height) {
  // In 64 bits: minus the most negative int has no int value.
  auto axis = [](long long o, long long size, long long extent) {
    if (o > size) o = size;
    if (-o > extent) o = -extent;
    return int(o);
  };
  return {axis(offset.x, sw, width), axis(offset.y, sh, height)};
}
