#include "ui/app/pane_docking.h"

floating_pane::floating_pane(wxWindow* parent, wxAuiManager* owner, const wxAuiPaneInfo& pane)
    : wxAuiFloatingFrame(parent, owner, pane), pane_window(pane.window), pane_size(pane.best_size) {
  Bind(wxEVT_MOVE, &floating_pane::OnMoved, this);
  Bind(wxEVT_IDLE, &floating_pane::OnIdleTime, this);
  // The docking sizes the frame before GTK shows it, which GTK ignores.
  CallAfter(&floating_pane::KeepPaneSize);
}

void floating_pane::KeepPaneSize() {
  if (pane_size.x <= 0 || pane_size.y <= 0 || pane_window->GetParent() != this) return;
  SetClientSize(GetClientSize() + pane_size - pane_window->GetSize());
}

void floating_pane::OnMoved(wxMoveEvent& event) {
  event.Skip();
  if (!left_button_held()) return;
  OnMoveStart();
  OnMoving(GetRect(), wxNORTH);
}

void floating_pane::OnIdleTime(wxIdleEvent& event) {
  event.Skip();
  if (!moving) return;
  if (left_button_held())
    event.RequestMore();
  else
    OnMoveFinished();
}

// The toolkit's frame starts and finishes a drag of its own now and then; once each.
void floating_pane::OnMoveStart() {
  if (moving) return;
  moving = true;
  wxAuiFloatingFrame::OnMoveStart();
}

void floating_pane::OnMoveFinished() {
  if (!moving) return;
  moving = false;
  wxAuiFloatingFrame::OnMoveFinished();
}

wxAuiFloatingFrame* pane_docking::CreateFloatingFrame(wxWindow* parent, const wxAuiPaneInfo& pane) {
  return new floating_pane(parent, this, pane);
}

bool pane_docking::ProcessDockResult(wxAuiPaneInfo& target, const wxAuiPaneInfo& new_pos) {
  if (!wxAuiManager::ProcessDockResult(target, new_pos)) return false;
  if (target.IsFixed()) target.Position(0);
  return true;
}
