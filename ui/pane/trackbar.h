#pragma once
#include <wx/control.h>

// A horizontal trackbar with tick marks above its channel, drawn by itself so that
// it fits a 20-pixel row whatever the theme. Dragging the thumb sends
// wxEVT_SCROLL_THUMBTRACK; the end of a drag, a click on the channel and a key send
// wxEVT_SCROLL_CHANGED once the position has changed.
class trackbar : public wxControl {
 public:
  trackbar(wxWindow* parent, int id, int value, int low, int high, int tick_frequency);

  int GetValue() const { return value; }
  // Moves the thumb without an event; values outside the range go to the nearer end.
  void SetValue(int position);
  int GetMin() const { return low; }
  int GetMax() const { return high; }
  // The position under client x.
  int PositionAt(int x) const;
  // Client x of a position's thumb centre.
  int ThumbX(int position) const;

 private:
  wxSize DoGetBestSize() const override;
  void OnPaint(wxPaintEvent& event);
  void OnLeftDown(wxMouseEvent& event);
  void OnMotion(wxMouseEvent& event);
  void OnLeftUp(wxMouseEvent& event);
  void OnCaptureLost(wxMouseCaptureLostEvent& event);
  void OnKeyDown(wxKeyEvent& event);
  void Send(wxEventType type);
  // Moves to position and sends the end-of-scroll event when it changed.
  void Commit(int position);

  int value, low, high, tick_frequency;
  int drag_start = 0;
  bool dragging = false;
};
