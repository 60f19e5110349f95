#include <wx/dialog.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <string>
#include <thread>
#include <utility>

#include "engine/base/float_convert.h"
#include "engine/base/process_state.h"
#include "engine/base/view_mapping.h"
#include "ui/adapters/status_bar.h"
#include "ui/commands/command_rules.h"
#include "ui/commands/pane_command_ids.h"
#include "ui/dialogs/blend_dialog.h"
#include "ui/view/flying_tips.h"
#include "ui/view/move_size_box.h"
#include "ui/commands/pane_link.h"
#include "ui/view/view.h"

namespace {

constexpr int flash_milliseconds = 250;
// A box at least this many logical pixels wide and high is a blending zone; a
// smaller one is a click.
constexpr int least_box = 10;

// The left button alone: no other button, no modifier key.
bool LeftAlone(const wxMouseEvent& event) {
  return event.LeftIsDown() && !event.MiddleIsDown() && !event.RightIsDown() &&
         !event.Aux1IsDown() && !event.Aux2IsDown() && event.GetModifiers() == wxMOD_NONE;
}

void ShowStatus(const std::string& text) {
  if (the_status_bar) the_status_bar->ShowStatusText(text);
}

std::string PixelText(vpoint t) {
  return "X: " + std::to_string(t.x + 1) + " Y: " + std::to_string(t.y + 1);
}

}  // namespace

void CvorbelView::HoldFor(int milliseconds) {
  std::this_thread::sleep_until(std::chrono::steady_clock::now() +
                                std::chrono::milliseconds(milliseconds));
}

void CvorbelView::BindMouseAndKeys() {
  Bind(wxEVT_LEFT_DOWN, &CvorbelView::OnLButtonDown, this);
  Bind(wxEVT_LEFT_UP, &CvorbelView::OnLButtonUp, this);
  Bind(wxEVT_MOTION, &CvorbelView::OnMouseMove, this);
  Bind(wxEVT_RIGHT_DOWN, &CvorbelView::OnRButtonDown, this);
  Bind(wxEVT_RIGHT_UP, &CvorbelView::OnRButtonUp, this);
  Bind(wxEVT_MOUSE_CAPTURE_LOST, &CvorbelView::OnCaptureLost, this);
  Bind(wxEVT_CHAR, &CvorbelView::OnChar, this);
  Bind(wxEVT_KEY_DOWN, &CvorbelView::OnKeyDown, this);
  Bind(wxEVT_KEY_UP, &CvorbelView::OnKeyUp, this);
  Bind(wxEVT_MOUSEWHEEL, &CvorbelView::OnMouseWheel, this);
  // The bar's key-up goes elsewhere once the view has lost the keys.
  Bind(wxEVT_KILL_FOCUS, [this](wxFocusEvent& event) {
    space_held = false;
    event.Skip();
  });
}

void CvorbelView::OnLButtonDown(wxMouseEvent& event) {
  event.Skip();
  // The view takes the keys once clicked, as a document window does when activated.
  SetFocus();
  const wxPoint logical = CalcUnscrolledPosition(event.GetPosition());
  const vpoint p{logical.x, logical.y};
  if (!HasCapture()) CaptureMouse();
  right_capture = false;
  left_drag = true;
  if (moving_source != 0) {
    drag_points[0] = drag_points[2] = p.x;
    drag_points[1] = drag_points[3] = p.y;
    return;
  }
  if (perspective_on || BatchRunning()) return;
  if (InsideTarget(TargetPixelOf(p, target_rect, display_scale), target_rect.Width(),
                   target_rect.Height())) {
    StoreTargetCopy();
    box_dragging = true;
    zone_box[0] = zone_box[2] = p.x;
    zone_box[1] = zone_box[3] = p.y;
    if (!flying_tip)
      flying_tips::Open(this, wxPoint(100, 200),
                        "Drag out a box to smoothly blend in source 1 or source 2.", &flying_tip);
  } else {
    zone_box[0] = zone_box[1] = zone_box[2] = zone_box[3] = -1;
  }
}

void CvorbelView::OnMouseMove(wxMouseEvent& event) {
  event.Skip();
  flying_tips::Close(pane_tip);
  if (BatchRunning()) return;
  if (the_pane_link) the_pane_link->AllowTip();
  const wxPoint logical = CalcUnscrolledPosition(event.GetPosition());
  const vpoint p{logical.x, logical.y};
  const int w = std::min(target_rect.Width(), max_target_width);
  const int h = std::min(target_rect.Height(), max_target_height);

  if (!HasCapture()) {
    if (source_count != 2) return;
    const vpoint t = TargetPixelOf(p, target_rect, display_scale);
    const bool inside = InsideTarget(t, w, h);
    ShowStatus(inside ? PixelText(t) : "");
    if (moving_source == 0)
      SetCursor(wxCursor(wxCURSOR_HAND));
    else if (inside && std::as_const(layers[moving_source - 1]).Mask(t.y, t.x) == 1)
      SetCursor(wxCursor(wxCURSOR_SIZING));
    else
      SetCursor(wxNullCursor);
    return;
  }

  if (source_count != 2 || !left_drag || !LeftAlone(event)) return;
  const vpoint start = moving_source != 0 ? vpoint{drag_points[0], drag_points[1]}
                                          : vpoint{zone_box[0], zone_box[1]};
  const vpoint s = TargetPixelOf(start, target_rect, display_scale);
  if (InsideTarget(s, w, h)) {
    const vpoint d = DragDistance(s, TargetPixelOf(p, target_rect, display_scale), w, h);
    ShowStatus(PixelText(s) + ", dx: " + std::to_string(d.x) + " dy: " + std::to_string(d.y));
  } else {
    ShowStatus("");
  }
  if (moving_source != 0) {
    // The source moves at the release; meanwhile a line shows where to.
    DrawDragLine(start, p);
  } else if (box_dragging) {
    const vpoint corner = ClampIntoTarget(p, target_rect, display_scale);
    zone_box[2] = corner.x;
    zone_box[3] = corner.y;
    if (zone_box[0] < 0 || zone_box[1] < 0) return;
    // The preview is presented with the box outline; the buffer becomes the saved
    // target again at once.
    PreviewBlendingBox();
    RestoreTargetCopy();
  }
}

void CvorbelView::OnLButtonUp(wxMouseEvent& event) {
  event.Skip();
  const wxPoint logical = CalcUnscrolledPosition(event.GetPosition());
  if (HasCapture()) ReleaseMouse();
  right_capture = false;
  flying_tips::Close(flying_tip);
  const bool ended = left_drag;
  left_drag = false;
  if (!ended || BatchRunning() || source_count != 2) return;
  if (moving_source != 0)
    EndSourceDrag({logical.x, logical.y});
  else if (!perspective_on)
    EndBox({logical.x, logical.y});
}

void CvorbelView::EndSourceDrag(vpoint p) {
  const int s = moving_source;
  const vpoint end = TargetPixelOf(p, target_rect, display_scale);
  const vpoint start = TargetPixelOf({drag_points[0], drag_points[1]}, target_rect, display_scale);
  drag_points[0] = start.x, drag_points[1] = start.y;
  drag_points[2] = end.x, drag_points[3] = end.y;
  const long long x = (long long)offset[s - 1].x + start.x - end.x;
  const long long y = (long long)offset[s - 1].y + start.y - end.y;
  offset[s - 1] = ClampOffset({int(std::clamp<long long>(x, INT_MIN, INT_MAX)),
                               int(std::clamp<long long>(y, INT_MIN, INT_MAX))},
                              TruncToInt(ScaledWidth(s)), TruncToInt(ScaledHeight(s)),
                              target_rect.Width(), target_rect.Height());
  UpdateFixAnchor(s);
  // A quick pass now; the application's idle pass rebuilds both at full quality.
  fast_preview = 1;
  RebuildSources(s);
  ShowMoveSizeLabel(s);
  PlaceSizeHandles();
}

void CvorbelView::EndBox(vpoint p) {
  const vpoint corner = ClampIntoTarget(p, target_rect, display_scale);
  zone_box[2] = corner.x;
  zone_box[3] = corner.y;
  if (zone_box[2] < zone_box[0]) std::swap(zone_box[0], zone_box[2]);
  if (zone_box[3] < zone_box[1]) std::swap(zone_box[1], zone_box[3]);
  zone_level = 0;
  DrawBlendingBox();
  if (zone_box[2] - zone_box[0] >= least_box && zone_box[3] - zone_box[1] >= least_box) {
    // A press outside the target leaves x0 at -1: no zone.
    if (zone_box[0] != -1 && zone_box[1] != -1) OpenBlendDialog(this);
    return;
  }
  if (blend_dialog_open) return;
  box_dragging = false;
  ShowSourceAlone(1);
  hold(flash_milliseconds);
  ShowSourceAlone(2);
  hold(flash_milliseconds);
  ShowSourceAlone(-1);
}

void CvorbelView::OnCaptureLost(wxMouseCaptureLostEvent&) {
  right_capture = false;
  if (!left_drag) return;
  // Another window took the pointer: the drag ends as a release would, with
  // nothing applied.
  left_drag = false;
  flying_tips::Close(flying_tip);
  if (moving_source == 0 && !blend_dialog_open) box_dragging = false;
  if (source_count == 2) PresentTarget();
}

void CvorbelView::OnRButtonDown(wxMouseEvent& event) {
  event.Skip();
  if (HasCapture()) return;
  CaptureMouse();
  right_capture = true;
}

void CvorbelView::OnRButtonUp(wxMouseEvent& event) {
  event.Skip();
  if (right_capture && HasCapture()) ReleaseMouse();
  right_capture = false;
}

void CvorbelView::SendPaneCommand(int id) {
  // Not from a control: the pane drops it when its rule disables it.
  if (the_pane_link) {
    the_pane_link->RunPaneCommand(id);
    return;
  }
  wxCommandEvent command(wxEVT_MENU, WxId(id));
  command.SetEventObject(this);
  GetEventHandler()->ProcessEvent(command);
}

void CvorbelView::OnChar(wxKeyEvent& event) {
  event.Skip();
  if (box_dragging) return;
  const int code = event.GetKeyCode();
  if (code == WXK_ESCAPE || code == 'b')
    SendPaneCommand(cmd_move_size_off);
  else if (code == '1')
    SendPaneCommand(cmd_move_size_1);
  else if (code == '2')
    SendPaneCommand(cmd_move_size_2);
}

void CvorbelView::OnKeyDown(wxKeyEvent& event) {
  event.Skip();
  if (event.GetKeyCode() != WXK_SPACE || source_count != 2) return;
  // The keyboard's repeat sends more key-downs, with no key-up between, while the
  // bar is held: each would flash source 2 again.
  if (space_held) return;
  space_held = true;
  // A glimpse of source 2, then source 1 stays while the bar is held.
  ShowSourceAlone(2);
  ShowSourceAlone(1);
}

void CvorbelView::OnKeyUp(wxKeyEvent& event) {
  event.Skip();
  if (event.GetKeyCode() != WXK_SPACE) return;
  space_held = false;
  if (source_count == 2) PresentTarget();
}

void CvorbelView::OnMouseWheel(wxMouseEvent&) {
  // Not passed on: the wheel never scrolls the view.
}
