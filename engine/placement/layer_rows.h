#pragma once
#include <cstddef>
#include <cstdint>

#include "engine/base/view_core.h"

// Coverage masks from this many bytes on are scanned for holes on the row pool.
inline constexpr size_t large_mask = size_t(1) << 20;

// Everything a row of the layer needs, fixed before the rows run.
struct layer_placement {
  const uint8_t* pixels;  // 4 bytes a pixel, w per row
  const uint8_t* mask;    // null: every pixel covered
  size_t mask_bytes;      // of mask, when it has one
  int w, h;
  double hw, hh;
  double xstep, ystep;
  double gx, gy;  // already truncated
  double base_x, base_y;
  double cos_a, sin_a;
  // Per column of the covered area: hw + X cos a and X sin a, the parts of the
  // sample position that do not change down the rows; null for the plain form.
  const double* column_sx;
  const double* column_sy;
  bool mirrored;
  bool nearest;
  // Neither scaled nor turned: every sample falls on a whole source pixel, so each
  // layer pixel is a copy of one. Source row = row + row_shift; source column =
  // column_shift + column, or column_shift - column when mirrored (rows and columns
  // counted from row0 and col0).
  bool copies;
  int64_t row_shift, column_shift;
  int row0, col0, rows, cols;
};

// For tests: false builds every layer by sampling, as a scaled or turned one is.
void AllowLayerCopies(bool allowed);
// Layers built by copying since the program started.
int LayerCopies();

// One source's layer built band by band: Plan fixes the placement from the view's
// settings, then Rows fills target rows [first, end), clearing what the source
// does not cover. Bands may run at once, and both layers may be planned at once;
// building allocates nothing.
class layer_rows {
 public:
  // s: 1 or 2. A source of a megapixel or more still has its coverage to scan.
  void Plan(CvorbelViewCore& view, int s);
  // Scans the coverage of the planned sources (count 1 or 2) for holes, all at once
  // on the row pool; a source without holes is then read without its mask.
  static void ScanCoverage(layer_rows* builds, int count);
  void Rows(int first, int end) const;
  int Height() const { return H; }

 private:
  source_layer* layer = nullptr;
  int W = 0, H = 0;
  bool places = false;
  layer_placement p{};
};
