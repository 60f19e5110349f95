#pragma once
#include <wx/bitmap.h>
#include <wx/window.h>

// One of the large buttons shown while fewer than two sources are loaded. It draws
// its own faces (up, pressed, focused) and, when clicked, queues the command whose
// id it carries as a menu event on its parent, from where it travels up.
class start_button : public wxWindow {
 public:
  // which: 0 "Load Image", 1 "Load text", 2 Paste, 3 "Create blank source image".
  start_button(wxWindow* parent, int which);

  static constexpr int width = 80;
  static constexpr int height = 48;
  // Command id (as a window id) and client rectangle of button which.
  static int CommandOf(int which);
  static wxRect RectOf(int which);

  // Queues the button's command as a click does.
  void Click();
  bool IsPressed() const { return pressed; }

 private:
  void OnPaint(wxPaintEvent& event);
  void OnLeftDown(wxMouseEvent& event);
  void OnLeftUp(wxMouseEvent& event);
  void OnMotion(wxMouseEvent& event);
  void OnCaptureLost(wxMouseCaptureLostEvent& event);
  void OnKeyDown(wxKeyEvent& event);

  wxBitmap up, down;
  bool pressed = false;  // drawn pressed: the button is held with the pointer over it
  bool holding = false;  // the left button went down here and is not released yet
};

// The faces of button which; the focused face is the up face.
wxBitmap StartButtonFace(int which, bool pressed);
