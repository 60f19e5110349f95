#include "engine/placement/corner_shoves.h"

#include "engine/placement/fix_positions.h"
#include "engine/base/float_convert.h"
#include "engine/base/process_state.h"
#include "engine/base/view_core.h"

namespace {

// Pins source s at fix with anchor, then lays it out at the offset that place()
// works out from its scaled size once the geometry is current.
template <typename Place>
void PinSource(CvorbelViewCore& view, int s, int fix, vpoint anchor, Place place) {
  (s == 1 ? fix_point_1 : fix_point_2) = fix;
  view.anchor[s - 1] = anchor;
  view.DrawFixPositionIndicator();
  view.UpdateSourceGeometry(s);
  view.offset[s - 1] = place(view.ScaledWidth(s), view.ScaledHeight(s));
  view.BuildSourceLayer(s);
  view.CombineTarget();
  view.PlaceSizeHandles();
}

}  // namespace

void ShoveSourceToCorner(CvorbelViewCore& view, int s, int corner) {
  if (s != 1 && s != 2) return;
  if (corner != fix_top_right && corner != fix_bottom_left && corner != fix_bottom_right) return;
  const int W = view.target_rect.Width(), H = view.target_rect.Height();
  const bool right = corner != fix_bottom_left;
  const bool bottom = corner != fix_top_right;
  // Source 1 rounds its size before it takes the target's off, source 2 after:
  // below the target's size a fractional source 2 lands one pixel nearer zero.
  auto far_edge = [s](double scaled, int target) {
    return s == 1 ? TruncToInt(scaled) - target : TruncToInt(scaled - target);
  };
  PinSource(view, s, corner, {right ? -W : 0, bottom ? -H : 0}, [&](double sw, double sh) {
    return vpoint{right ? far_edge(sw, W) : 0, bottom ? far_edge(sh, H) : 0};
  });
}

int CentreSourceStep(CvorbelViewCore& view, int s, int step) {
  if (s != 1 && s != 2) return step;
  if (step < 0 || step >= centring_steps) step = 0;
  const int W = view.target_rect.Width(), H = view.target_rect.Height();
  struct position {
    int fix;
    vpoint anchor;
    int across, down;  // 0 at the near edge, 1 in the middle, 2 at the far edge
  };
  const position positions[centring_steps] = {
      {fix_middle, {-(W / 2), -(H / 2)}, 1, 1}, {fix_top, {-(W / 2), 0}, 1, 0},
      {fix_bottom, {-(W / 2), -H}, 1, 2},        {fix_left, {0, -(H / 2)}, 0, 1},
      {fix_right, {-W, -(H / 2)}, 2, 1},
  };
  const position& p = positions[step];
  auto along = [](int where, double scaled, int target) {
    if (where == 0) return 0;
    return where == 1 ? TruncToInt((scaled - target) * 0.5) : TruncToInt(scaled - target);
  };
  PinSource(view, s, p.fix, p.anchor, [&](double sw, double sh) {
    return vpoint{along(p.across, sw, W), along(p.down, sh, H)};
  });
  return (step + 1) % centring_steps;
}
