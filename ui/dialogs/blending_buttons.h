#pragma once
#include <wx/bitmap.h>
#include <wx/control.h>
#include <wx/timer.h>

#include <functional>

// A large button showing a picture, that takes a step when pressed and another every
// 500 ms while the left button is held, wherever the pointer goes meanwhile. It is a
// plain window of its own that takes the mouse at the press and gives it back at the
// release, which reaches it wherever it happens; a native button's grab on its parent
// outlived releases that came after a move and kept the whole program from the mouse.
// The loss of the mouse ends the repeat too. Space or Enter takes one step.
class blending_buttons : public wxControl {
 public:
  static constexpr int repeat_ms = 500;

  blending_buttons(wxWindow* parent, int id, const wxString& caption, const wxBitmap& picture,
                   std::function<void()> step);

  void OnLeftDown(wxMouseEvent& event);
  void OnLeftUp(wxMouseEvent& event);
  void OnMouseMove(wxMouseEvent& event);
  void OnRepeat(wxTimerEvent& event);
  bool Repeating() const { return repeat.IsRunning(); }
  int RepeatInterval() const { return repeat.GetInterval(); }
  void StopRepeating();

 private:
  wxSize DoGetBestClientSize() const override { return {60, 60}; }
  void OnPaint(wxPaintEvent& event);
  void OnCaptureLost(wxMouseCaptureLostEvent& event);
  void OnKeyUp(wxKeyEvent& event);

  wxBitmap picture;
  std::function<void()> step;
  wxTimer repeat;
};
