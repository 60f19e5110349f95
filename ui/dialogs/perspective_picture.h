#pragma once
#include <string>

#include <wx/window.h>

class quad;

// The corner arithmetic of the perspective dialog. Corners are numbered as they are
// stored: 0 top-left, 1 top-right, 2 bottom-left, 3 bottom-right; corners holds
// them as (x, y) pairs.
namespace quad_drag {
enum coupling { free_corners = 0, affine = 1, vertical_edge = 2, horizontal_edge = 3 };
// After corner `dragged` moved: the opposite corner keeps a parallelogram (affine),
// the corner on the same vertical side takes its x, or the one on the same
// horizontal side its y. The coupled corner is not clamped.
void Couple(int corners[8], int dragged, int mode);
// What hovering a corner at (x, y) of a w x h image shows.
std::string HoverText(int corner, int x, int y, int w, int h);
// The size of the drawing frame fitted to a w x h image inside a frame of the given
// size; narrower is set when the frame lost width rather than height. Neither side
// drops below a size that leaves room to draw and drag.
wxSize FitFrame(int w, int h, wxSize frame, bool& narrower);
}  // namespace quad_drag

// The perspective dialog's drawing window: the image frame with a blob on each
// corner, dragged with the left button.
class show_quad : public wxWindow {
 public:
  static constexpr int margin_x = 10, margin_y = 8;

  show_quad(quad* dialog, const wxRect& place);

  // Where a client point lands in the image, clamped to 0..W and 0..H; false while
  // the window is too small to map points.
  bool ImagePoint(wxPoint point, int& x, int& y) const;

  float scale_x = 0, scale_y = 0;
  wxPoint corner_points[4];
  bool grabbed[4] = {false, false, false, false};

  void OnPaint(wxPaintEvent& event);
  void OnLeftDown(wxMouseEvent& event);
  void OnMouseMove(wxMouseEvent& event);
  void OnLeftUp(wxMouseEvent& event);
  // Sets scale_x, scale_y and corner_points for the client size, as a paint does.
  void Measure();

 private:
  void OnCaptureLost(wxMouseCaptureLostEvent& event);
  // Sets the grabbed corners to point and couples them by the dialog's mode.
  void MoveGrabbed(wxPoint point);

  quad* dialog;
};
