#pragma once
#include <wx/control.h>

// A flat button showing an arrow drawn in code, in one colour, with a pressed look
// while the button is held. A click sends wxEVT_BUTTON with the button's id.
class arrow_button : public wxControl {
 public:
  enum direction { up, down, left, right };

  arrow_button(wxWindow* parent, int id, const wxRect& place, direction pointing, const wxColour& colour,
               const wxString& name);

  // Sends the button's command as a click does.
  void Click();

 private:
  void OnPaint(wxPaintEvent& event);
  void OnLeftDown(wxMouseEvent& event);
  void OnLeftUp(wxMouseEvent& event);
  void OnCaptureLost(wxMouseCaptureLostEvent& event);

  direction pointing;
  wxColour colour;
  bool pressed = false;
};
