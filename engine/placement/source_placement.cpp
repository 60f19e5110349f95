#include <algorithm>

#include "engine/placement/fix_positions.h"
#include "engine/base/float_convert.h"
#include "engine/base/process_state.h"
#include "engine/placement/size_handles.h"
#include "engine/base/source_records.h"
#include "engine/base/view_core.h"
#include "platform/ui_port.h"

namespace {

int& FixPointOf(int s) { return s == 2 ? fix_point_2 : fix_point_1; }

}  // namespace

double CvorbelViewCore::ScaledWidth(int s) const {
  const int i = s - 1;
  return width_percent[i] * fit_factor_x[i] * rotated_size[i].width / 100 + 0.5;
}

double CvorbelViewCore::ScaledHeight(int s) const {
  const int i = s - 1;
  return height_percent[i] * fit_factor_y[i] * rotated_size[i].height / 100 + 0.5;
}

void CvorbelViewCore::UpdateFixAnchor(int s) {
  if (s != 1 && s != 2) return;
  AnchorForFix(FixPointOf(s), offset[s - 1], TruncToInt(ScaledWidth(s)),
               TruncToInt(ScaledHeight(s)), anchor[s - 1]);
}

void CvorbelViewCore::MoveSourceToFixPosition(int s) {
  if (s != 1 && s != 2) return;
  PlaceSourceAtFixPosition(s);
  BuildSourceLayer(s);
  CombineTarget();
}

void CvorbelViewCore::PlaceSourceAtFixPosition(int s) {
  if (s != 1 && s != 2) return;
  UpdateSourceGeometry(s);
  OffsetForFix(FixPointOf(s), anchor[s - 1], ScaledWidth(s), ScaledHeight(s), offset[s - 1]);
}

void CvorbelViewCore::SetSourceScalePercent(int value, int axis, int s) {
  if (s != 1 && s != 2) return;
  (axis == 0 ? height_percent : width_percent)[s - 1] = value;
  // The offset stays: the source keeps its top-left and the anchor follows the size.
  UpdateFixAnchor(s);
  UpdateSourceGeometry(s);
  BuildSourceLayer(s);
  CombineTarget();
}

void CvorbelViewCore::ResetSourceScale(int s) {
  if (s != 1 && s != 2) return;
  width_percent[s - 1] = height_percent[s - 1] = 100.0;
  the_ui().SetScaleProperty(s, 1, 100);
  the_ui().SetScaleProperty(s, 0, 100);
  UpdateSourceGeometry(s);
  // A first source has no target to be combined into yet.
  if (source_count != 2) return;
  RebuildSources(s);
}

void CvorbelViewCore::ResetAllSourceScales() {
  for (int s = 1; s <= 2; ++s) width_percent[s - 1] = height_percent[s - 1] = 100.0;
  for (int s = 1; s <= 2; ++s) {
    the_ui().SetScaleProperty(s, 1, 100);
    the_ui().SetScaleProperty(s, 0, 100);
  }
  UpdateSourceGeometry(1);
  UpdateSourceGeometry(2);
  RebuildSources(-1);
}

void CvorbelViewCore::AdjoinSources(int s) {
  if (s != 1 && s != 2) return;
  UpdateSourceGeometry(1);
  offset[0] = {0, 0};
  UpdateSourceGeometry(2);
  offset[1] = {0, 0};
  const int W = target_rect.Width(), H = target_rect.Height();
  for (int t = 1; t <= 2; ++t) {
    const int i = t - 1;
    if (Sources().source_kind[i] == kind_text) {
      fit_to_target[i] = 1;
      the_ui().SetFitProperty(t, true);
    }
    if (fit_to_target[i] == 1) {
      // A source with no width has no percent that makes it half the target.
      const double across = rotated_size[i].width * fit_factor_x[i];
      if (!(across > 0.0)) continue;
      double p = W * 50.0 / across;
      width_percent[i] = height_percent[i] = p;
      if (H / (p * fit_factor_y[i] * rotated_size[i].height / 100 + 0.5) < 1.0) {
        width_percent[i] = height_percent[i] = 100.0;
        p = 100.0;
      }
      the_ui().SetScaleProperty(t, 1, TruncToInt(p));
      the_ui().SetScaleProperty(t, 0, TruncToInt(p));
    } else {
      width_percent[i] = 50.0;
      the_ui().SetScaleProperty(t, 1, 50);
    }
  }
  const int o = 3 - s;
  offset[o - 1] = {-(W / 2) + TruncToInt(rotated_size[o - 1].width * fit_factor_x[o - 1] *
                                         width_percent[o - 1] / 100),
                   0};
  offset[s - 1] = {-(W / 2), 0};
  fix_point_1 = s == 1 ? fix_top_right : fix_top_left;
  fix_point_2 = s == 1 ? fix_top_left : fix_top_right;
  UpdateFixAnchor(1);
  UpdateFixAnchor(2);
  DrawFixPositionIndicator();
  RebuildSources(-1);
  PlaceSizeHandles();
}

void CvorbelViewCore::CentreSources() {
  const int W = target_rect.Width(), H = target_rect.Height();
  for (int s = 1; s <= 2; ++s)
    offset[s - 1] = {TruncToInt((ScaledWidth(s) - W) * 0.5),
                     TruncToInt((ScaledHeight(s) - H) * 0.5)};
  BuildSourceLayer(1);
  BuildSourceLayer(2);
  CombineTarget();
}

namespace {

void MoveSourceTopLeft(CvorbelViewCore& view, int s) {
  FixPointOf(s) = fix_top_left;
  view.anchor[s - 1] = {0, 0};
  view.DrawFixPositionIndicator();
  view.UpdateSourceGeometry(s);
  view.offset[s - 1] = {0, 0};
  view.BuildSourceLayer(s);
  view.CombineTarget();
  view.PlaceSizeHandles();
}

}  // namespace

void CvorbelViewCore::MoveSource1TopLeft() { MoveSourceTopLeft(*this, 1); }

void CvorbelViewCore::MoveSource2TopLeft() { MoveSourceTopLeft(*this, 2); }

void CvorbelViewCore::MirrorSource(int s) {
  if (s != 1 && s != 2) return;
  uint8_t& mirrored = Sources().mirrored[s - 1];
  mirrored = mirrored == 1 ? 0 : 1;
  the_ui().SetMirrorImage(s, mirrored == 1);
  UpdateSourceGeometry(s);
  BuildSourceLayer(s);
  CombineTarget();
}

void CvorbelViewCore::ApplyHandleDrag(int handle, int dx, int dy) {
  if (moving_source != 1 && moving_source != 2) return;
  const int i = moving_source - 1;
  source_scale scale{width_percent[i], height_percent[i], offset[i]};
  MoveHandle(handle, scale, ScaledWidth(moving_source), ScaledHeight(moving_source), dx, dy,
             display_scale);
  width_percent[i] = scale.width_percent;
  height_percent[i] = scale.height_percent;
  offset[i] = scale.offset;
  PlaceSizeHandles();
}
