#include "engine/effects/articulate_session.h"

#include "engine/effects/effect_progress.h"
#include "engine/base/process_state.h"
#include "engine/base/view_core.h"
#include "platform/ui_port.h"

articulate_session::articulate_session(CvorbelViewCore& view)
    : view(view), zone_applied_at_open(view.zone_applied) {
  StoreTargetCopy();
  view.zone_level = 0;
}

void articulate_session::Finish() {
  view.PresentTarget();
  view.zone_applied = 1;
  the_ui().RedrawStats();
}

bool articulate_session::Bubble(int level, const effect_status& status) {
  RestoreTargetCopy();
  if (!::Bubble(target_pixels, target_width, target_height, level, status)) {
    view.PresentTarget();
    the_ui().MessageBox(out_of_memory_message, message_icon::error);
    return false;
  }
  Finish();
  return true;
}

void articulate_session::Dapple() {
  RestoreTargetCopy();
  ::Dapple(target_pixels, target_width, target_height);
  Finish();
  effect_progress().Done();
}

bool articulate_session::Pencil(int level) {
  // The strokes go over the target as it is shown now, earlier effects included;
  // their colours come from the stored target.
  if (!::Pencil(target_pixels, target_copy, target_pixels, target_width, target_height, level)) return false;
  Finish();
  return true;
}

bool articulate_session::Weird(int amplitude, int frequency) {
  RestoreTargetCopy();
  if (!::Weird(target_pixels, target_width, target_height, amplitude, frequency)) {
    view.PresentTarget();
    the_ui().MessageBox(out_of_memory_message, message_icon::error);
    return false;
  }
  Finish();
  effect_progress().Done();
  return true;
}

void articulate_session::Reset() {
  RestoreTargetCopy();
  view.PresentTarget();
  view.zone_applied = zone_applied_at_open;
  the_ui().RedrawStats();
}
