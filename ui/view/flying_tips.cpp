#include "ui/view/flying_tips.h"

#include <wx/dcclient.h>

#include "ui/view/tip_box.h"

namespace {

constexpr uint32_t tip_background = 0xEEFFDD;
constexpr int tip_points = 8;

}  // namespace

flying_tips* flying_tips::Open(wxWindow* parent, const wxPoint& at, const wxString& text,
                               flying_tips** owner) {
  auto* tip = new flying_tips(parent, at, owner);
  tip->ShowTip(text);
  return tip;
}

void flying_tips::Close(flying_tips*& slot) {
  flying_tips* tip = slot;
  slot = nullptr;
  if (tip) tip->Destroy();
}

flying_tips::flying_tips(wxWindow* parent, const wxPoint& at, flying_tips** owner_slot)
    : wxWindow(parent, window_id, at, wxSize(480, 14), wxBORDER_NONE, "tips"), owner(owner_slot) {
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  Bind(wxEVT_PAINT, &flying_tips::OnPaint, this);
  Bind(wxEVT_TIMER, &flying_tips::OnTimer, this);
  if (owner) *owner = this;
  timer.Start(tick_milliseconds);
}

flying_tips::~flying_tips() {
  timer.Stop();
  Disown();
}

void flying_tips::Disown() {
  if (owner && *owner == this) *owner = nullptr;
  owner = nullptr;
}

void flying_tips::ShowTip(const wxString& text) {
  const wxFont font{wxFontInfo(tip_points)};
  layout = LayOutFlyingTip(text.utf8_string(), MeasureIn(this, font));
  SetSize(layout.width, layout.height);
  Refresh();
}

void flying_tips::OnTimer(wxTimerEvent& event) {
  if (event.GetId() == timer_id && ++ticks >= lifetime_ticks && IsShown()) {
    timer.Stop();
    Hide();
    // Unheld, the object goes once this event is over, as deleting it inside its
    // own timer's event is not safe.
    if (!owner) CallAfter([this] { Destroy(); });
  }
  event.Skip();
}

void flying_tips::OnPaint(wxPaintEvent&) {
  wxPaintDC dc(this);
  PaintTipBox(dc, layout, tip_background, wxFont(wxFontInfo(tip_points)));
}
