#include "ui/app/pane_docking.h"

#include <wx/display.h>

#include <algorithm>

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

// A pane dropped low would run off the bottom of the screen, its grid out of reach.
void floating_pane::KeepWithinWorkArea() {
  if (pane_window->GetParent() != this) return;
  const wxRect area = wxDisplay(this).GetClientArea();
  const wxRect before = GetRect();
  wxRect kept = before;
  kept.width = std::min(kept.width, area.width);
  kept.height = std::min(kept.height, area.height);
  kept.x = std::clamp(kept.x, area.x, area.GetRight() + 1 - kept.width);
  kept.y = std::clamp(kept.y, area.y, area.GetBottom() + 1 - kept.height);
  if (kept == before) return;
  // The docking puts a floating frame back where it last knew it.
  GetOwnerManager()->GetPane(pane_window).FloatingPosition(kept.GetPosition()).FloatingSize(kept.GetSize());
  SetSize(kept);
}

void floating_pane::OnMoved(wxMoveEvent& event) {
  event.Skip();
  if (!left_button_held()) return;
  OnMoveStart();
  OnMoving(GetRect(), wxNORTH);
}

void floating_pane::OnIdleTime(wxIdleEvent& event) {
  event.Skip();
  if (left_button_held()) {
    if (moving) event.RequestMore();
    return;
  }
  if (moving) OnMoveFinished();
  // Let go wherever the drag put it: by the window manager's title bar, or by the
  // docking's own caption when the pane was pulled out of its side.
  KeepWithinWorkArea();
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
