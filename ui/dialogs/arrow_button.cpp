#include "ui/dialogs/arrow_button.h"

#include <wx/dcclient.h>

arrow_button::arrow_button(wxWindow* parent, int id, const wxRect& place, direction way, const wxColour& c,
                           const wxString& name)
    : wxControl(parent, id, place.GetPosition(), place.GetSize(), wxBORDER_NONE), pointing(way), colour(c) {
  SetName(name);
  SetToolTip(name);
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  Bind(wxEVT_PAINT, &arrow_button::OnPaint, this);
  Bind(wxEVT_LEFT_DOWN, &arrow_button::OnLeftDown, this);
  Bind(wxEVT_LEFT_DCLICK, &arrow_button::OnLeftDown, this);
  Bind(wxEVT_LEFT_UP, &arrow_button::OnLeftUp, this);
  Bind(wxEVT_MOUSE_CAPTURE_LOST, &arrow_button::OnCaptureLost, this);
}

void arrow_button::Click() {
  wxCommandEvent click(wxEVT_BUTTON, GetId());
  click.SetEventObject(this);
  ProcessWindowEvent(click);
}

void arrow_button::OnPaint(wxPaintEvent&) {
  wxPaintDC dc(this);
  const wxSize size = GetClientSize();
  const int w = size.x, h = size.y;
  dc.SetBackground(wxBrush(pressed ? wxColour(150, 150, 150) : wxColour(225, 225, 225)));
  dc.Clear();
  dc.SetPen(wxPen(pressed ? wxColour(60, 60, 60) : *wxWHITE));
  dc.DrawLine(0, h - 1, 0, 0);
  dc.DrawLine(0, 0, w - 1, 0);
  dc.SetPen(wxPen(pressed ? *wxWHITE : wxColour(60, 60, 60)));
  dc.DrawLine(w - 1, 0, w - 1, h - 1);
  dc.DrawLine(w - 1, h - 1, 0, h - 1);
  // A triangle with a shaft, a pixel lower and to the right while pressed.
  const int shift = pressed ? 1 : 0;
  const int cx = w / 2 + shift, cy = h / 2 + shift, rx = w / 2 - 3, ry = h / 2 - 3;
  wxPoint head[3];
  wxRect shaft;
  switch (pointing) {
    case up:
      head[0] = {cx, cy - ry}, head[1] = {cx - rx, cy}, head[2] = {cx + rx, cy};
      shaft = wxRect(cx - rx / 3, cy, std::max(2, 2 * rx / 3), ry);
      break;
    case down:
      head[0] = {cx, cy + ry}, head[1] = {cx - rx, cy}, head[2] = {cx + rx, cy};
      shaft = wxRect(cx - rx / 3, cy - ry, std::max(2, 2 * rx / 3), ry);
      break;
    case left:
      head[0] = {cx - rx, cy}, head[1] = {cx, cy - ry}, head[2] = {cx, cy + ry};
      shaft = wxRect(cx, cy - ry / 3, rx, std::max(2, 2 * ry / 3));
      break;
    case right:
      head[0] = {cx + rx, cy}, head[1] = {cx, cy - ry}, head[2] = {cx, cy + ry};
      shaft = wxRect(cx - rx, cy - ry / 3, rx, std::max(2, 2 * ry / 3));
      break;
  }
  dc.SetPen(wxPen(colour));
  dc.SetBrush(wxBrush(colour));
  dc.DrawPolygon(3, head);
  dc.DrawRectangle(shaft);
}

void arrow_button::OnLeftDown(wxMouseEvent&) {
  if (!HasCapture()) CaptureMouse();
  pressed = true;
  Refresh();
}

void arrow_button::OnLeftUp(wxMouseEvent& event) {
  if (!HasCapture()) return;
  ReleaseMouse();
  const bool over = GetClientRect().Contains(event.GetPosition());
  pressed = false;
  Refresh();
  if (over) Click();
}

void arrow_button::OnCaptureLost(wxMouseCaptureLostEvent&) {
  pressed = false;
  Refresh();
}
