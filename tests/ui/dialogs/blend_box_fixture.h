#pragma once
#include <algorithm>

#include "engine/base/process_state.h"
#include "tests/ui/app_fixture.h"
#include "ui/dialogs/blend_dialog.h"
#include "ui/view/view.h"

// A started application whose view opens the blending dialog over a box of target
// pixels; the dialog goes at the end of each test.
class blend_box : public app_fixture {
 protected:
  void TearDown() override {
    if (the_blend_dialog) the_blend_dialog->Destroy();
    the_blend_dialog = nullptr;
    app_fixture::TearDown();
  }
  // A box over target pixels (c0, r0)..(c1, r1) in view coordinates, and the dialog for it.
  blend_dialog* OpenOver(int c0, int r0, int c1, int r1) {
    const float s = view->display_scale;
    const int box[4] = {view->target_rect.left + int(c0 * s), view->target_rect.top + int(r0 * s),
                        view->target_rect.left + int(c1 * s), view->target_rect.top + int(r1 * s)};
    std::copy(box, box + 4, view->zone_box);
    view->box_dragging = true;
    StoreTargetCopy();  // the box's press keeps the target
    OpenBlendDialog(view);
    Settle();
    return static_cast<blend_dialog*>(the_blend_dialog);
  }

  CvorbelView* view = nullptr;
};
