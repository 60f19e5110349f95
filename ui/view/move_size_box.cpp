#include "ui/view/move_size_box.h"

#include <gtk/gtk.h>
#include <wx/dcclient.h>
#include <wx/utils.h>

#include "engine/base/float_convert.h"
#include "engine/base/process_state.h"
#include "platform/ui_port.h"
#include "ui/adapters/display_scales.h"
#include "ui/adapters/status_bar.h"
#include "ui/view/view.h"

namespace {

constexpr int label_pane = 5;
constexpr uint32_t source_colours[2] = {0xC0C0FF, 0x66FF99};
// The colours a status-bar device context starts with.
constexpr uint32_t plain_background = 0xFFFFFF;

wxStockCursor HandleCursor(int handle) {
  switch (handle) {
    case handle_top_left:
    case handle_bottom_right:
      return wxCURSOR_SIZENWSE;
    case handle_top_right:
    case handle_bottom_left:
      return wxCURSOR_SIZENESW;
    case handle_middle_top:
    case handle_middle_bottom:
      return wxCURSOR_SIZENS;
    default:
      return wxCURSOR_SIZEWE;
  }
}

}  // namespace

void ShowMoveSizeLabel(int s) {
  if (!the_status_bar) return;
  the_status_bar->PaintPane(label_pane, source_colours[s == 1 ? 0 : 1],
                            s == 1 ? "Move/size 1" : "Move/size 2");
}

move_size_box::move_size_box(CvorbelView* view, int handle, vpoint origin)
    : wxWindow(view, window_id, wxPoint(origin.x, origin.y), wxSize(handle_width, handle_height),
               wxBORDER_NONE),
      view(view),
      handle(handle),
      placed(origin) {
  SetName(HandleName(handle));
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  SetCursor(wxCursor(HandleCursor(handle)));
  Bind(wxEVT_PAINT, &move_size_box::OnPaint, this);
  Bind(wxEVT_LEFT_DOWN, &move_size_box::OnLButtonDown, this);
  Bind(wxEVT_LEFT_UP, &move_size_box::OnLButtonUp, this);
  Bind(wxEVT_MOTION, &move_size_box::OnMouseMove, this);
  Bind(wxEVT_RIGHT_DOWN, &move_size_box::OnRButtonDown, this);
  Bind(wxEVT_MOUSE_CAPTURE_LOST, &move_size_box::OnCaptureLost, this);
  // A right click on a handle resets the source; the view's menu stays shut.
  Bind(wxEVT_CONTEXT_MENU, [](wxContextMenuEvent&) {});
}

move_size_box::~move_size_box() {
  if (HasCapture()) ReleaseMouse();
}

void move_size_box::Place(vpoint origin) {
  placed = origin;
  SetSize(origin.x, origin.y, handle_width, handle_height);
  Refresh();
  Update();
}

void move_size_box::OnPaint(wxPaintEvent&) {
  wxPaintDC dc(this);
  const wxColour fill = FromColorRef(HandleFill(base_color));
  dc.SetPen(*wxTRANSPARENT_PEN);
  dc.SetBrush(wxBrush(fill));
  dc.DrawRectangle(0, 0, handle_width, handle_height);
  dc.SetPen(wxPen(FromColorRef(HandleFrame(base_color)), 1));
  const wxPoint frame[5] = {{0, 0}, {15, 0}, {15, 17}, {0, 17}, {0, 0}};
  dc.DrawLines(5, frame);
  const int s = view->moving_source;
  if (s != 1 && s != 2) return;
  dc.SetBrush(wxBrush(fill));
  dc.SetPen(*wxTRANSPARENT_PEN);
  dc.DrawRectangle(4, 1, 10, 15);
  dc.SetFont(GetFont());
  dc.SetTextForeground(*wxWHITE);
  dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
  dc.DrawText(s == 1 ? "1" : "2", 4, 1);
}

wxPoint move_size_box::Movement() const {
  return wxGetMousePosition() - view->ClientToScreen(wxPoint(placed.x, placed.y)) - click_point;
}

void move_size_box::OnLButtonDown(wxMouseEvent& event) {
  view->SetFocus();
  if (!HasCapture()) CaptureMouse();
  // GTK holds a motion back to merge it with the next one, and under a grab it may
  // wait for that next one: a single long move would leave the handles behind.
  if (GdkWindow* window = gtk_widget_get_window(GetHandle()))
    gdk_window_set_event_compression(window, FALSE);
  click_point = event.GetPosition();
  const int s = view->moving_source;
  if (s == 1 || s == 2) {
    before_drag = {view->width_percent[s - 1], view->height_percent[s - 1], view->offset[s - 1]};
    dragging = true;
  }
  event.Skip();
}

void move_size_box::OnMouseMove(wxMouseEvent& event) {
  event.Skip();
  if (!dragging || !HasCapture()) return;
  const wxPoint d = Movement();
  // Only the handles follow; the image is rebuilt once, at the release.
  view->ApplyHandleDrag(handle, d.x, d.y);
}

void move_size_box::OnLButtonUp(wxMouseEvent& event) {
  event.Skip();
  if (HasCapture()) ReleaseMouse();
  if (!dragging) return;
  dragging = false;
  const int s = view->moving_source;
  if (s != 1 && s != 2) return;
  const wxPoint d = Movement();
  view->ApplyHandleDrag(handle, d.x, d.y);
  view->RebuildSources(-1);
  the_ui().SetScaleProperty(s, 1, TruncToInt(view->width_percent[s - 1]));
  the_ui().SetScaleProperty(s, 0, TruncToInt(view->height_percent[s - 1]));
  // The fix point follows the new size, as after a body drag, so that a later
  // placement by fix position keeps the source where the handles left it.
  view->UpdateFixAnchor(s);
  ShowMoveSizeLabel(s);
  view->PlaceSizeHandles();
}

void move_size_box::OnCaptureLost(wxMouseCaptureLostEvent&) {
  if (!dragging) return;
  dragging = false;
  const int s = view->moving_source;
  if (s != 1 && s != 2) return;
  view->width_percent[s - 1] = before_drag.width_percent;
  view->height_percent[s - 1] = before_drag.height_percent;
  view->offset[s - 1] = before_drag.offset;
  view->PlaceSizeHandles();
}

void move_size_box::OnRButtonDown(wxMouseEvent& event) {
  event.Skip();
  const int s = view->moving_source;
  if (s != 1 && s != 2) return;
  view->ResetSourceScale(s);
  if (s == 1)
    view->MoveSource1TopLeft();
  else
    view->MoveSource2TopLeft();
  view->PlaceSizeHandles();
}

void CvorbelView::SetMoveSizeSource(int s) {
  for (move_size_box*& box : size_handles) {
    if (!box) continue;
    box->Destroy();
    box = nullptr;
  }
  moving_source = s == 1 || s == 2 ? s : 0;
  Refresh(false);
  Update();
  if (moving_source == 0) {
    if (the_status_bar) the_status_bar->PaintPane(label_pane, plain_background, "Move/size off");
    return;
  }
  ShowMoveSizeLabel(moving_source);
  for (int i = 0; i < handle_count; ++i) size_handles[i] = new move_size_box(this, i, {});
  PlaceSizeHandles();
}

void CvorbelView::PlaceSizeHandles() {
  if (moving_source != 1 && moving_source != 2) return;
  const int s = moving_source;
  const int sw = TruncToInt(ScaledWidth(s)), sh = TruncToInt(ScaledHeight(s));
  const wxPoint scroll = CalcUnscrolledPosition(wxPoint(0, 0));
  for (int i = 0; i < handle_count; ++i) {
    if (!size_handles[i]) continue;
    size_handles[i]->Place(HandleOrigin(HandlePoint(i, sw, sh), offset[s - 1], display_scale,
                                        target_rect, display_scales::dpi_x,
                                        display_scales::dpi_y, {scroll.x, scroll.y}));
  }
}
