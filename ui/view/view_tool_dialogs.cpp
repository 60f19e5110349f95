#include <wx/toplevel.h>

#include "engine/base/process_state.h"
#include "platform/ui_port.h"
#include "ui/dialogs/perspective_dialog.h"
#include "ui/dialogs/rotate_dialog.h"
#include "ui/view/view.h"

// The accelerator can fire before the menu's enabling has caught up with the
// sources, so both commands check for two sources themselves.

void CvorbelView::OnEditRotate(wxCommandEvent&) {
  if (source_count != 2) return;
  RunRotateDialog(this, *this);
  PlaceSizeHandles();
}

void CvorbelView::OnPerspectiveTransform(wxCommandEvent&) {
  if (source_count != 2) return;
  // The dialog starts from the target without the warp.
  perspective_on = false;
  CombineTarget();
  perspective_on = RunQuadDialog(wxGetTopLevelParent(this));
  PresentTarget();
  zone_applied = 0;
  the_ui().RedrawStats();
}
