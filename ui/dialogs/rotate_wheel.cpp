#include "ui/dialogs/rotate_wheel.h"

#include <wx/dcbuffer.h>
#include <wx/dcmemory.h>

#include <cmath>

#include "engine/base/view_core.h"
#include "ui/dialogs/rotate_dialog.h"

namespace wheel_geometry {

bool InRing(int w, int h, int px, int py) {
  const long r = h / 2;
  const long dx = px - w / 2, dy = py - r;
  const long d2 = dx * dx + dy * dy;
  return r * r / 6 < d2 && d2 < 3 * r * r;
}

std::optional<int> AngleAt(int w, int h, int px, int py) {
  if (!InRing(w, h, px, py)) return std::nullopt;
  const double dx = px - w / 2, dy = py - h / 2;
  int angle = 90 - int(std::atan2(dy, dx) * -180.0 / 3.14159);
  if (angle < 0) angle += 360;
  return angle;
}

wxPoint NeedleEnd(int w, int h, int angle) {
  const double theta = angle * 3.14159 / 180 + 1.570795;
  const int length = (3 * w) / 8;
  return {w / 2 - int(std::cos(theta) * length), h / 2 - int(std::sin(theta) * length)};
}

}  // namespace wheel_geometry

namespace {

// The 100 x 100 dial: a blue disc inside a white ring and a grey outer ring with
// marks at the top, right, bottom and left, on white.
const wxBitmap& Dial() {
  static const wxBitmap dial = [] {
    wxBitmap bitmap(100, 100, 24);
    wxMemoryDC dc(bitmap);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    dc.SetPen(wxPen(wxColour(96, 96, 96)));
    dc.SetBrush(wxBrush(wxColour(170, 170, 170)));
    dc.DrawCircle(50, 50, 48);
    dc.SetBrush(*wxWHITE_BRUSH);
    dc.DrawCircle(50, 50, 40);
    dc.SetBrush(wxBrush(wxColour(40, 70, 200)));
    dc.SetPen(wxPen(wxColour(40, 70, 200)));
    dc.DrawCircle(50, 50, 34);
    dc.SetPen(wxPen(wxColour(40, 40, 40), 3));
    dc.DrawLine(50, 2, 50, 10);
    dc.DrawLine(90, 50, 98, 50);
    dc.DrawLine(50, 90, 50, 98);
    dc.DrawLine(2, 50, 10, 50);
    dc.SelectObject(wxNullBitmap);
    return bitmap;
  }();
  return dial;
}

}  // namespace

wheel::wheel(rotate* owner, const wxRect& place)
    : wxWindow(owner, 335, place.GetPosition(), place.GetSize(), wxBORDER_NONE, "wheel"), dialog(owner) {
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  Bind(wxEVT_PAINT, &wheel::OnPaint, this);
  Bind(wxEVT_LEFT_DOWN, &wheel::OnLeftDown, this);
  Bind(wxEVT_MOTION, &wheel::OnMouseMove, this);
  Bind(wxEVT_LEFT_UP, &wheel::OnLeftUp, this);
  Bind(wxEVT_MOUSE_CAPTURE_LOST, &wheel::OnCaptureLost, this);
}

void wheel::SetAngleFromPoint(wxPoint point) {
  const wxSize size = GetClientSize();
  const std::optional<int> angle = wheel_geometry::AngleAt(size.x, size.y, point.x, point.y);
  if (!angle) return;
  dialog->angle = *angle;
  Refresh();
  Update();
  if (the_view) the_view->fast_preview = 1;
  dialog->TransferDataToWindow();
}

void wheel::OnPaint(wxPaintEvent&) {
  wxPaintDC dc(this);
  const wxSize size = GetClientSize();
  wxMemoryDC dial;
  dial.SelectObjectAsSource(Dial());
  dc.StretchBlit(0, 0, size.x, size.y, &dial, 0, 0, 100, 100);
  dc.SetPen(wxPen(wxColour(0x80, 0xEF, 0xC0), 5));
  dc.DrawLine(wxPoint(size.x / 2, size.y / 2), wheel_geometry::NeedleEnd(size.x, size.y, dialog->angle));
}

void wheel::OnLeftDown(wxMouseEvent& event) {
  if (!HasCapture()) CaptureMouse();
  dragging = true;
  SetAngleFromPoint(event.GetPosition());
}

void wheel::OnMouseMove(wxMouseEvent& event) {
  if (HasCapture()) {
    if (dragging) SetAngleFromPoint(event.GetPosition());
    return;
  }
  const wxSize size = GetClientSize();
  const wxPoint p = event.GetPosition();
  SetCursor(wheel_geometry::InRing(size.x, size.y, p.x, p.y) ? wxCursor(wxCURSOR_HAND) : wxNullCursor);
}

void wheel::OnLeftUp(wxMouseEvent&) {
  dragging = false;
  if (HasCapture()) ReleaseMouse();
}

void wheel::OnCaptureLost(wxMouseCaptureLostEvent&) { dragging = false; }
