#include "ui/dialogs/perspective_picture.h"

#include <wx/dcclient.h>
#include <wx/stattext.h>

#include <algorithm>
#include <cmath>

#include "engine/base/float_convert.h"
#include "engine/base/process_state.h"
#include "engine/warp/quad_transform.h"
#include "ui/dialogs/perspective_dialog.h"

namespace quad_drag {

void Couple(int c[8], int dragged, int mode) {
  auto x = [c](int corner) -> int& { return c[2 * corner]; };
  auto y = [c](int corner) -> int& { return c[2 * corner + 1]; };
  if (mode == affine) {
    const int opposite = 3 - dragged, left = dragged ^ 1, right = dragged ^ 2;
    x(opposite) = x(left) + x(right) - x(dragged);
    y(opposite) = y(left) + y(right) - y(dragged);
  } else if (mode == vertical_edge) {
    x(dragged ^ 2) = x(dragged);
  } else if (mode == horizontal_edge) {
    y(dragged ^ 1) = y(dragged);
  }
}

std::string HoverText(int corner, int x, int y, int w, int h) {
  static const char* const names[4] = {"Top left ", "Top right ", "Bottom left ", "Bottom right "};
  const int across = TruncToInt(float(x) * 100.0f / float(w));
  const int down = TruncToInt(float(y) * 100.0f / float(h));
  return names[corner] + std::to_string(x) + " X " + std::to_string(y) + "      " + std::to_string(across) +
         "% X " + std::to_string(down) + "%";
}

wxSize FitFrame(int w, int h, wxSize frame, bool& narrower) {
  // Room for the margins and a drawing at least 36 pixels across.
  constexpr int least = 56;
  const float r = float(w) / float(h);
  narrower = !(r > float(frame.x) / float(frame.y));
  if (!narrower) return {frame.x, std::max(least, TruncToInt(float(frame.x) / r))};
  return {std::max(least, TruncToInt(float(frame.y) * r)), frame.y};
}

}  // namespace quad_drag

show_quad::show_quad(quad* owner, const wxRect& place)
    : wxWindow(owner, 462, place.GetPosition(), place.GetSize(), wxBORDER_NONE, "quadrilateral view"),
      dialog(owner) {
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  Bind(wxEVT_PAINT, &show_quad::OnPaint, this);
  Bind(wxEVT_LEFT_DOWN, &show_quad::OnLeftDown, this);
  Bind(wxEVT_MOTION, &show_quad::OnMouseMove, this);
  Bind(wxEVT_LEFT_UP, &show_quad::OnLeftUp, this);
  Bind(wxEVT_MOUSE_CAPTURE_LOST, &show_quad::OnCaptureLost, this);
}

void show_quad::Measure() {
  const wxSize size = GetClientSize();
  scale_x = float(size.x - 2 * margin_x) / float(target_width);
  scale_y = float(size.y - 2 * margin_y) / float(target_height);
  for (int i = 0; i < 4; ++i)
    corner_points[i] = {TruncToInt(quad_corners[2 * i] * scale_x) + margin_x,
                        TruncToInt(quad_corners[2 * i + 1] * scale_y) + margin_y};
}

bool show_quad::ImagePoint(wxPoint point, int& x, int& y) const {
  if (!(scale_x > 0 && scale_y > 0)) return false;
  x = TruncToInt(std::clamp((point.x - double(margin_x)) / scale_x, 0.0, double(target_width)));
  y = TruncToInt(std::clamp((point.y - double(margin_y)) / scale_y, 0.0, double(target_height)));
  return true;
}

void show_quad::OnPaint(wxPaintEvent&) {
  wxPaintDC dc(this);
  Measure();
  dc.SetBackground(wxBrush(wxColour(0x20, 0x50, 0x70)));
  dc.Clear();
  dc.SetPen(wxPen(*wxWHITE, 2));
  const wxPoint outline[5] = {corner_points[0], corner_points[2], corner_points[3], corner_points[1],
                              corner_points[0]};
  dc.DrawLines(5, outline);
  dc.SetPen(*wxTRANSPARENT_PEN);
  dc.SetBrush(wxBrush(wxColour(0, 0xFF, 0)));
  for (const wxPoint& p : corner_points) dc.DrawRectangle(p.x - 4, p.y - 4, 8, 8);
}

void show_quad::OnLeftDown(wxMouseEvent& event) {
  if (!HasCapture()) CaptureMouse();
  Measure();
  const wxPoint p = event.GetPosition();
  for (int i = 0; i < 4; ++i)
    grabbed[i] = std::abs(p.x - corner_points[i].x) <= 3 && std::abs(p.y - corner_points[i].y) <= 3;
  event.Skip();
}

void show_quad::MoveGrabbed(wxPoint point) {
  int x, y;
  if (!ImagePoint(point, x, y)) return;
  for (int i = 0; i < 4; ++i) {
    if (!grabbed[i]) continue;
    quad_corners[2 * i] = x;
    quad_corners[2 * i + 1] = y;
    quad_drag::Couple(quad_corners, i, dialog->mode);
  }
}

void show_quad::OnMouseMove(wxMouseEvent& event) {
  dialog->TransferDataFromWindow();
  const wxPoint p = event.GetPosition();
  if (HasCapture()) {
    MoveGrabbed(p);
    Refresh();
    Update();
  }
  Measure();
  std::string text;
  for (int i = 0; i < 4; ++i)
    if (std::abs(p.x - corner_points[i].x) <= 3 && std::abs(p.y - corner_points[i].y) <= 3)
      text = quad_drag::HoverText(i, quad_corners[2 * i], quad_corners[2 * i + 1], target_width, target_height);
  dialog->corner_label->SetLabel(wxString::FromUTF8(text));
  event.Skip();
}

// The release point counts as one more move: a release away from the last move
// still leaves the quadrilateral as its mode shapes it. A release that ends no drag
// of this window moves nothing.
void show_quad::OnLeftUp(wxMouseEvent& event) {
  if (!HasCapture()) return;
  ReleaseMouse();
  if (!std::any_of(std::begin(grabbed), std::end(grabbed), [](bool g) { return g; })) return;
  dialog->TransferDataFromWindow();
  MoveGrabbed(event.GetPosition());
  dialog->TransferDataToWindow();
  Refresh();
  Update();
}

// Without the capture the grabbed corners no longer follow the mouse; nothing else to undo.
void show_quad::OnCaptureLost(wxMouseCaptureLostEvent&) {}
