#include "ui/pane/placement_calls.h"

#include "ui/view/move_size_box.h"
#include "ui/view/view.h"

namespace placement_calls {

namespace {

CvorbelView* View() { return dynamic_cast<CvorbelView*>(the_view); }

// The source under move/size shows its label and handles where it is now.
void FollowMoveSize(CvorbelView& view) {
  if (view.moving_source == 1 || view.moving_source == 2) ShowMoveSizeLabel(view.moving_source);
  view.PlaceSizeHandles();
}

}  // namespace

void SetSourceScalePercent(int percent, int axis, int s) {
  CvorbelView* view = View();
  if (!view || (s != 1 && s != 2)) return;
  view->SetSourceScalePercent(percent, axis, s);
  if (view->moving_source == s) ShowMoveSizeLabel(s);
  view->PlaceSizeHandles();
}

void ResetAllSourceScales() {
  if (CvorbelView* view = View()) view->ResetAllSourceScales();
}

void CentreSources() {
  CvorbelView* view = View();
  if (!view) return;
  view->CentreSources();
  FollowMoveSize(*view);
}

void MoveSizeOff() {
  if (CvorbelView* view = View()) view->SetMoveSizeSource(0);
}

}  // namespace placement_calls
