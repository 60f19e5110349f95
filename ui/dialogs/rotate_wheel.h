#pragma once
#include <optional>

#include <wx/window.h>

class rotate;

// Where the rotation wheel's needle points and which points of its window turn it.
// w and h are the window's client size; angles are whole degrees clockwise from the top.
namespace wheel_geometry {
// Whether (px, py) lies on the ring: outside the small disc round the centre and
// inside the outer limit.
bool InRing(int w, int h, int px, int py);
// The angle 0..359 that a point of the ring chooses; none elsewhere.
std::optional<int> AngleAt(int w, int h, int px, int py);
// The needle's outer end for an angle.
wxPoint NeedleEnd(int w, int h, int angle);
}  // namespace wheel_geometry

// The dial of the rotate dialog: dragging on its ring turns the needle and sets the
// dialog's angle, asking for a quick preview.
class wheel : public wxWindow {
 public:
  wheel(rotate* dialog, const wxRect& place);

  // Takes the angle from a point of the ring; other points change nothing.
  void SetAngleFromPoint(wxPoint point);

  bool dragging = false;

 private:
  void OnPaint(wxPaintEvent& event);
  void OnLeftDown(wxMouseEvent& event);
  void OnMouseMove(wxMouseEvent& event);
  void OnLeftUp(wxMouseEvent& event);
  void OnCaptureLost(wxMouseCaptureLostEvent& event);

  rotate* dialog;
};
