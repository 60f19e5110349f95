#include "ui/pane/trackbar.h"

#include <wx/dcbuffer.h>
#include <wx/settings.h>

#include <algorithm>

namespace {

constexpr int margin = 6;  // half the thumb's width: the ends stay reachable

}  // namespace

trackbar::trackbar(wxWindow* parent, int id, int value, int low, int high, int tick_frequency)
    : wxControl(parent, id, wxDefaultPosition, wxDefaultSize, wxBORDER_NONE | wxWANTS_CHARS),
      value(std::clamp(value, low, high)),
      low(low),
      high(std::max(low, high)),
      tick_frequency(std::max(tick_frequency, 1)) {
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  Bind(wxEVT_PAINT, &trackbar::OnPaint, this);
  Bind(wxEVT_LEFT_DOWN, &trackbar::OnLeftDown, this);
  Bind(wxEVT_MOTION, &trackbar::OnMotion, this);
  Bind(wxEVT_LEFT_UP, &trackbar::OnLeftUp, this);
  Bind(wxEVT_MOUSE_CAPTURE_LOST, &trackbar::OnCaptureLost, this);
  Bind(wxEVT_KEY_DOWN, &trackbar::OnKeyDown, this);
  Bind(wxEVT_SET_FOCUS, [this](wxFocusEvent& e) { Refresh(), e.Skip(); });
  Bind(wxEVT_KILL_FOCUS, [this](wxFocusEvent& e) { Refresh(), e.Skip(); });
}

void trackbar::SetValue(int position) {
  value = std::clamp(position, low, high);
  Refresh();
}

wxSize trackbar::DoGetBestSize() const { return wxSize(100, 20); }

int trackbar::ThumbX(int position) const {
  const int span = std::max(GetClientSize().x - 2 * margin, 1);
  if (high == low) return margin;
  return margin + int((long long)(position - low) * span / (high - low));
}

int trackbar::PositionAt(int x) const {
  const int span = std::max(GetClientSize().x - 2 * margin, 1);
  const long long offset = std::clamp(x - margin, 0, span);
  return low + int((offset * (high - low) + span / 2) / span);
}

void trackbar::OnPaint(wxPaintEvent&) {
  wxAutoBufferedPaintDC dc(this);
  const wxSize size = GetClientSize();
  dc.SetBackground(*wxWHITE_BRUSH);
  dc.Clear();
  const wxColour line = wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW);
  dc.SetPen(wxPen(line));
  for (int tick = low; tick <= high; tick += tick_frequency) {
    const int x = ThumbX(tick);
    dc.DrawLine(x, 1, x, 4);
  }
  const int channel_y = size.y / 2 + 2;
  dc.SetBrush(wxBrush(wxColour(225, 225, 225)));
  dc.DrawRectangle(margin, channel_y - 2, std::max(size.x - 2 * margin, 1), 4);
  const int x = ThumbX(value);
  const bool focused = HasFocus();
  dc.SetPen(wxPen(focused ? wxColour(40, 90, 190) : wxColour(90, 90, 90)));
  dc.SetBrush(wxBrush(IsEnabled() ? wxColour(60, 120, 220) : wxColour(170, 170, 170)));
  wxPoint thumb[5] = {{x - 5, 6}, {x + 5, 6}, {x + 5, size.y - 6}, {x, size.y - 2}, {x - 5, size.y - 6}};
  dc.DrawPolygon(5, thumb);
}

void trackbar::Send(wxEventType type) {
  wxScrollEvent event(type, GetId(), value, wxHORIZONTAL);
  event.SetEventObject(this);
  ProcessWindowEvent(event);
}

void trackbar::Commit(int position) {
  position = std::clamp(position, low, high);
  if (position == value) return;
  SetValue(position);
  Send(wxEVT_SCROLL_CHANGED);
}

void trackbar::OnLeftDown(wxMouseEvent& event) {
  SetFocus();
  const int x = event.GetX();
  if (std::abs(x - ThumbX(value)) <= 6) {
    dragging = true;
    drag_start = value;
    if (!HasCapture()) CaptureMouse();
    return;
  }
  // A click beside the thumb moves it a page (a tenth of the range) that way.
  const int page = std::max((high - low) / 10, 1);
  Commit(value + (x < ThumbX(value) ? -page : page));
}

void trackbar::OnMotion(wxMouseEvent& event) {
  if (!dragging) return;
  const int position = PositionAt(event.GetX());
  if (position == value) return;
  SetValue(position);
  Update();
  Send(wxEVT_SCROLL_THUMBTRACK);
}

void trackbar::OnLeftUp(wxMouseEvent&) {
  if (HasCapture()) ReleaseMouse();
  if (!dragging) return;
  dragging = false;
  if (value != drag_start) Send(wxEVT_SCROLL_CHANGED);
}

void trackbar::OnCaptureLost(wxMouseCaptureLostEvent&) {
  // A drag another window cut short ends where the thumb stands.
  if (!dragging) return;
  dragging = false;
  if (value != drag_start) Send(wxEVT_SCROLL_CHANGED);
}

void trackbar::OnKeyDown(wxKeyEvent& event) {
  const int page = std::max((high - low) / 10, 1);
  switch (event.GetKeyCode()) {
    case WXK_LEFT:
    case WXK_DOWN:
      Commit(value - 1);
      break;
    case WXK_RIGHT:
    case WXK_UP:
      Commit(value + 1);
      break;
    case WXK_PAGEUP:
      Commit(value - page);
      break;
    case WXK_PAGEDOWN:
      Commit(value + page);
      break;
    case WXK_HOME:
      Commit(low);
      break;
    case WXK_END:
      Commit(high);
      break;
    default:
      event.Skip();
  }
}
