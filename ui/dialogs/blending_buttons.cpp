#include "ui/dialogs/blending_buttons.h"

#include <wx/dcclient.h>
#include <wx/renderer.h>

#include "engine/base/view_core.h"
#include "ui/commands/view_link.h"

blending_buttons::blending_buttons(wxWindow* parent, int id, const wxString& caption, const wxBitmap& bitmap,
                                   std::function<void()> action)
    : wxControl(parent, id, wxDefaultPosition, wxSize(60, 60), wxBORDER_NONE),
      picture(bitmap),
      step(std::move(action)),
      repeat(this) {
  SetLabel(caption);
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  Bind(wxEVT_PAINT, &blending_buttons::OnPaint, this);
  Bind(wxEVT_LEFT_DOWN, &blending_buttons::OnLeftDown, this);
  Bind(wxEVT_LEFT_DCLICK, &blending_buttons::OnLeftDown, this);
  Bind(wxEVT_LEFT_UP, &blending_buttons::OnLeftUp, this);
  Bind(wxEVT_MOTION, &blending_buttons::OnMouseMove, this);
  Bind(wxEVT_TIMER, &blending_buttons::OnRepeat, this);
  Bind(wxEVT_MOUSE_CAPTURE_LOST, &blending_buttons::OnCaptureLost, this);
  Bind(wxEVT_KEY_UP, &blending_buttons::OnKeyUp, this);
  Bind(wxEVT_SET_FOCUS, [this](wxFocusEvent&) { Refresh(); });
  Bind(wxEVT_KILL_FOCUS, [this](wxFocusEvent&) { Refresh(); });
}

void blending_buttons::OnPaint(wxPaintEvent&) {
  wxPaintDC dc(this);
  const wxRect all(GetClientSize());
  wxRendererNative& renderer = wxRendererNative::Get();
  renderer.DrawPushButton(this, dc, all, Repeating() ? int(wxCONTROL_PRESSED) : 0);
  const int shift = Repeating() ? 1 : 0;
  dc.DrawBitmap(picture, (all.width - picture.GetWidth()) / 2 + shift, (all.height - picture.GetHeight()) / 2 + shift);
  if (HasFocus()) renderer.DrawFocusRect(this, dc, wxRect(all).Deflate(4));
}

void blending_buttons::OnLeftDown(wxMouseEvent&) {
  // GTK follows the second press of a double click with a double click, other
  // toolkits send the double click in its place: one step either way.
  if (repeat.IsRunning()) return;
  if (!HasCapture()) CaptureMouse();
  repeat.Start(repeat_ms);
  Refresh();
  step();
}

void blending_buttons::OnLeftUp(wxMouseEvent&) { StopRepeating(); }

void blending_buttons::StopRepeating() {
  repeat.Stop();
  if (HasCapture()) ReleaseMouse();
  Refresh();
}

void blending_buttons::OnMouseMove(wxMouseEvent& event) {
  if (auto* view = dynamic_cast<view_link*>(the_view)) view->DrawBlendingBox();
  event.Skip();
}

void blending_buttons::OnRepeat(wxTimerEvent&) { step(); }

void blending_buttons::OnCaptureLost(wxMouseCaptureLostEvent&) { StopRepeating(); }

void blending_buttons::OnKeyUp(wxKeyEvent& event) {
  const int key = event.GetKeyCode();
  if (key == WXK_SPACE || key == WXK_RETURN || key == WXK_NUMPAD_ENTER)
    step();
  else
    event.Skip();
}
