#include "ui/placement_calls.h"

#include <wx/propgrid/property.h>

#include "engine/view_core.h"
#include "ui/grid_properties.h"
#include "ui/view.h"

namespace placement_calls {

void SetSourceScalePercent(int percent, int axis, int s) {
  if (!the_view || (s != 1 && s != 2)) return;
  double& scale = axis == 0 ? the_view->height_percent[s - 1] : the_view->width_percent[s - 1];
  scale = double(percent);
  the_view->UpdateSourceGeometry(s);
  the_view->BuildSourceLayer(s);
  the_view->CombineTarget();
}

void ResetAllSourceScales() {
  if (!the_view) return;
  for (int i = 0; i < 2; ++i) the_view->width_percent[i] = the_view->height_percent[i] = 100.0;
  for (wxPGProperty* scale : {prop_hscale_1, prop_vscale_1, prop_hscale_2, prop_vscale_2})
    if (scale) scale->SetValue(100L);
  the_view->UpdateSourceGeometry(1);
  the_view->UpdateSourceGeometry(2);
  the_view->RebuildSources(-1);
}

void CentreSources() {
  if (!the_view) return;
  CvorbelViewCore& v = *the_view;
  const int w = v.target_rect.Width();
  const int h = v.target_rect.Height();
  for (int i = 0; i < 2; ++i) {
    const double scaled_w = v.width_percent[i] * v.fit_factor_x[i] * v.rotated_size[i].width / 100.0 + 0.5;
    const double scaled_h = v.height_percent[i] * v.fit_factor_y[i] * v.rotated_size[i].height / 100.0 + 0.5;
    v.offset[i].x = int((scaled_w - w) * 0.5);
    v.offset[i].y = int((scaled_h - h) * 0.5);
  }
  v.BuildSourceLayer(1);
  v.BuildSourceLayer(2);
  v.CombineTarget();
}

void MoveSizeOff() {
  if (!the_view) return;
  the_view->moving_source = 0;
  if (auto* window = dynamic_cast<CvorbelView*>(the_view)) {
    window->Refresh();
    window->Update();
  }
}

}  // namespace placement_calls
