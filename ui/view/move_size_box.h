#pragma once
#include <wx/window.h>

#include "engine/placement/size_handles.h"

class CvorbelView;

// One of the eight grab handles on the outline of the source under move/size: a
// left drag rescales the source from that corner or edge, a right click puts it
// back to 100 % at the target's top-left.
class move_size_box : public wxWindow {
 public:
  static constexpr int window_id = 129;

  move_size_box(CvorbelView* view, int handle, vpoint origin);
  ~move_size_box() override;

  int Handle() const { return handle; }
  // The keys stay with the view: a handle never takes the focus.
  bool AcceptsFocus() const override { return false; }
  // Puts the handle's top-left at origin in the view's client coordinates.
  void Place(vpoint origin);

  // Where the left button went down, in the handle's client coordinates.
  wxPoint click_point;

 private:
  void OnPaint(wxPaintEvent& event);
  void OnLButtonDown(wxMouseEvent& event);
  void OnLButtonUp(wxMouseEvent& event);
  void OnMouseMove(wxMouseEvent& event);
  void OnRButtonDown(wxMouseEvent& event);
  void OnCaptureLost(wxMouseCaptureLostEvent& event);
  // The pointer's movement since the handle was last placed. Taken from the
  // pointer's screen position: motion events queued before the handle moved are
  // relative to where it was, and would count a movement twice.
  wxPoint Movement() const;

  CvorbelView* view;
  int handle;
  vpoint placed;
  // The source's scale and place when the drag began, restored when it is aborted.
  source_scale before_drag{};
  bool dragging = false;
};

// Pane 5 of the status bar names the source under move/size (1 or 2) on its colour.
void ShowMoveSizeLabel(int s);
