#include <algorithm>
#include <cmath>

#include "engine/base/float_convert.h"
#include "engine/placement/layer_rows.h"
#include "engine/base/row_parallel.h"
#include "engine/base/source_records.h"
#include "engine/base/view_core.h"

void CvorbelViewCore::UpdateSourceGeometry(int s) {
  if (s != 1 && s != 2) return;
  const int i = s - 1;
  const source_records& doc = Sources();
  const double a = rotation[i] * degrees_to_radians;
  const int w = doc.image_size[i].width;
  const int h = doc.image_size[i].height;
  const double c = std::fabs(std::cos(a));
  const double n = std::fabs(std::sin(a));
  rotated_size[i].width = TruncToInt(w * c + h * n);
  rotated_size[i].height = TruncToInt(h * c + w * n);

  fit_factor_x[i] = fit_factor_y[i] = 1.0;
  if (doc.source_kind[i] != kind_text && fit_to_target[i] == 1 && w > 0 && h > 0) {
    const double fx = double(target_rect.Width()) / w;
    const double fy = double(target_rect.Height()) / h;
    fit_factor_x[i] = fit_factor_y[i] = std::min(fx, fy);
  }
}

void CvorbelViewCore::RebuildSources(int s) {
  if (s == -1) {
    // Both layers in one pass over the rows: the threads meet once, not twice.
    layer_rows builds[2];
    builds[0].Plan(*this, 1);
    builds[1].Plan(*this, 2);
    layer_rows::ScanCoverage(builds, 2);
    ParallelRows(builds[0].Height(), [&](int first, int end) {
      builds[0].Rows(first, end);
      builds[1].Rows(first, end);
    });
  } else {
    BuildSourceLayer(s);
  }
  CombineTarget();
}
