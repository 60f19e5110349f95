#include "engine/placement/source_sizing.h"

#include <algorithm>

#include "engine/base/view_core.h"

namespace {

int Bounded(int value, int least, int most) { return std::clamp(value, least, most); }

}  // namespace

source_margins MarginsOf(const CvorbelViewCore& v, int s, int W, int H) {
  const int i = s - 1;
  source_margins m;
  m.width = int(v.width_percent[i] * v.fit_factor_x[i] * v.rotated_size[i].width / 100 + 0.5);
  m.height = int(v.height_percent[i] * v.fit_factor_y[i] * v.rotated_size[i].height / 100 + 0.5);
  m.left = -v.offset[i].x;
  m.top = -v.offset[i].y;
  m.right = W - m.width + v.offset[i].x;
  m.bottom = H - m.height + v.offset[i].y;
  return m;
}

sizing_box PartnerOf(sizing_box box) {
  switch (box) {
    case sizing_box::left:
    case sizing_box::width:
      return sizing_box::right;
    case sizing_box::top:
    case sizing_box::height:
      return sizing_box::bottom;
    case sizing_box::right:
      return sizing_box::left;
    case sizing_box::bottom:
      return sizing_box::top;
  }
  return box;
}

sizing_box ApplySizingBox(CvorbelViewCore& v, int s, sizing_box box, source_margins& m, int W, int H) {
  const int i = s - 1;
  const int limit = sizing_margin_limit;
  m.left = Bounded(m.left, -limit, limit);
  m.top = Bounded(m.top, -limit, limit);
  m.right = Bounded(m.right, -limit, limit);
  m.bottom = Bounded(m.bottom, -limit, limit);
  m.width = Bounded(m.width, -limit, limit);
  m.height = Bounded(m.height, -limit, limit);
  switch (box) {
    case sizing_box::left:
      v.offset[i].x = -m.left;
      m.right = W - m.width - m.left;
      break;
    case sizing_box::top:
      v.offset[i].y = -m.top;
      m.bottom = H - m.height - m.top;
      break;
    case sizing_box::right:
      m.left = W - m.right - m.width;
      v.offset[i].x = -m.left;
      break;
    case sizing_box::bottom:
      m.top = H - m.bottom - m.height;
      v.offset[i].y = -m.top;
      break;
    case sizing_box::width: {
      m.width = std::max(m.width, sizing_min_size);
      const double unscaled = v.rotated_size[i].width * v.fit_factor_x[i];
      if (unscaled > 0)
        v.width_percent[i] = m.width * 100.0 / unscaled;
      else
        m.width = MarginsOf(v, s, W, H).width;
      v.offset[i].x = -m.left;
      m.right = W - m.width - m.left;
      break;
    }
    case sizing_box::height: {
      m.height = std::max(m.height, sizing_min_size);
      const double unscaled = v.rotated_size[i].height * v.fit_factor_y[i];
      if (unscaled > 0)
        v.height_percent[i] = m.height * 100.0 / unscaled;
      else
        m.height = MarginsOf(v, s, W, H).height;
      v.offset[i].y = -m.top;
      m.bottom = H - m.height - m.top;
      break;
    }
  }
  return PartnerOf(box);
}
