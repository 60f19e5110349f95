#include "ui/adapters/status_bar.h"

#include <wx/dcclient.h>
#include <wx/settings.h>

#include <algorithm>
#include <cmath>

#include "engine/placement/fix_positions.h"
#include "engine/base/process_state.h"
#include "engine/base/view_core.h"
#include "ui/adapters/screen_flush.h"

wnd_status_bar* the_status_bar = nullptr;

namespace {

const char* const indicator_texts[wnd_status_bar::pane_count] = {
    "Vorbel is ready",     "View Source 1", "View Source 2",
    "View both src",       "Batch vorbel status", "Scroll_Status",
    "Positioning Status Src 1", "Positioning Status Src 2", "Progress"};

constexpr uint32_t source_1_colour = 0xC0C0FF;
constexpr uint32_t source_2_colour = 0x66FF99;
constexpr uint32_t marker_colour = 0xFF0000;
// A device context starts with a white text background; the opaque writes use it.
constexpr uint32_t text_background = 0xFFFFFF;

constexpr int progress_pane = 8;
constexpr int text_pane = 4;

// Relative luminance of an sRGB colour, 0 (black) to 1 (white).
double Luminance(const wxColour& colour) {
  auto linear = [](unsigned char channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear(colour.Red()) + 0.7152 * linear(colour.Green()) +
         0.0722 * linear(colour.Blue());
}

// Black or white, whichever stands out more from background: the looks range from
// near white to dark grey.
wxColour TextColourOn(const wxColour& background) {
  const double l = Luminance(background);
  return (l + 0.05) / 0.05 >= 1.05 / (l + 0.05) ? *wxBLACK : *wxWHITE;
}

}  // namespace

wxColour FromColorRef(uint32_t colour) {
  return wxColour(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

wnd_status_bar::wnd_status_bar(wxWindow* parent)
    : wxStatusBar(parent, wxID_ANY, wxSTB_SHOW_TIPS | wxFULL_REPAINT_ON_RESIZE) {
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  SetFieldsCount(pane_count, FittedWidths().data());
  int styles[pane_count];
  std::fill(std::begin(styles), std::end(styles), wxSB_NORMAL);
  SetStatusStyles(pane_count, styles);
  for (int i = 0; i < pane_count; ++i) SetStatusText(indicator_texts[i], i);
  Bind(wxEVT_PAINT, &wnd_status_bar::OnPaint, this);
  Bind(wxEVT_SIZE, &wnd_status_bar::OnSize, this);
  Bind(wxEVT_MOTION, &wnd_status_bar::OnMouseMove, this);
  Bind(wxEVT_TIMER, &wnd_status_bar::OnTimer, this);
  the_status_bar = this;
}

std::array<int, wnd_status_bar::pane_count> wnd_status_bar::FittedWidths() const {
  // The specified widths suit an 8-point font. The bar's font may be larger: every
  // pane grows by the most any indicator text grows from 8 points to that font,
  // so each pane shows as much of its text as it was made to.
  wxFont eight_point = GetFont();
  eight_point.SetPointSize(8);
  double growth = 1.0;
  for (const char* text : indicator_texts) {
    int wide = 0, narrow = 0;
    GetTextExtent(text, &wide, nullptr);
    GetTextExtent(text, &narrow, nullptr, nullptr, nullptr, &eight_point);
    if (narrow > 0) growth = std::max(growth, double(wide) / narrow);
  }
  // The bar's border takes a few pixels of every pane, whatever the font.
  constexpr int border = 4;
  std::array<int, pane_count> widths;
  for (int i = 0; i < pane_count; ++i)
    widths[i] = int(std::ceil(pane_widths[i] * growth)) + border;
  return widths;
}

wnd_status_bar::~wnd_status_bar() {
  for (auto& [id, timer] : timers) timer->Stop();
  if (the_status_bar == this) the_status_bar = nullptr;
}

void wnd_status_bar::SetTimer(int id, int milliseconds) {
  auto& timer = timers[id];
  if (!timer) timer = std::make_unique<wxTimer>(this, id);
  timer->Start(milliseconds);
}

void wnd_status_bar::KillTimer(int id) {
  auto it = timers.find(id);
  if (it != timers.end()) it->second->Stop();
}

int wnd_status_bar::ProgressWidth() const {
  if (!progress_shown) return 0;
  wxRect rect;
  if (!GetFieldRect(progress_pane, rect)) return 0;
  // In 64 bits: a wild percentage must not overflow the product.
  const long long width = (long long)rect.width * progress_percent / 100;
  return int(std::clamp<long long>(width, 0, rect.width));
}

void wnd_status_bar::ShowStatusProgress(uint32_t colour, int percent) {
  progress_shown = true;
  progress_colour = colour;
  progress_percent = percent;
  RepaintPane(progress_pane);
}

void wnd_status_bar::ShowStatusText(const std::string& text) {
  PaintPane(text_pane, text_background, text);
}

void wnd_status_bar::PaintPane(int pane, uint32_t colour, const std::string& text) {
  if (pane < 0 || pane >= pane_count) return;
  pane_paint& p = panes[pane];
  if (p.filled && p.colour == colour && p.has_text && p.text == text) return;
  p = {true, colour, true, text};
  RepaintPane(pane);
}

void wnd_status_bar::PaintFixPane(int pane, uint32_t colour, int fix, uint32_t cell_colour) {
  if (pane < 0 || pane >= pane_count) return;
  pane_paint& p = panes[pane];
  if (p.filled && p.colour == colour && p.has_text && p.text.empty() && p.fix == fix &&
      p.cell_colour == cell_colour)
    return;
  p = {true, colour, true, "", fix, cell_colour};
  RepaintPane(pane);
}

void wnd_status_bar::PaintViewPanes(int which) {
  if (source_count != 2) return;
  const int new_marker = which == 1 ? 1 : which == 2 ? 2 : which == -1 ? 3 : 0;
  const bool unchanged = marker_pane == new_marker && panes[1].filled && panes[2].filled &&
                         panes[3].filled;
  if (unchanged) return;
  panes[1] = {true, source_1_colour, true, "View source 1"};
  panes[2] = {true, source_2_colour, true, "View source 2"};
  panes[3] = {true, text_background, true, "View both srce"};
  marker_pane = new_marker;
  for (int pane = 1; pane <= 3; ++pane) RepaintPane(pane);
}

bool wnd_status_bar::ShowIndicatorTexts() {
  const int marked = marker_pane;
  marker_pane = 0;
  bool changed = false;
  for (int pane : {1, 2, 3, 6, 7}) {
    pane_paint& p = panes[pane];
    if (!p.filled && !p.has_text && p.fix < 0 && pane != marked) continue;
    p = {};
    RepaintPane(pane);
    changed = true;
  }
  return changed;
}

void wnd_status_bar::RepaintPane(int pane) {
  wxRect rect;
  if (!GetFieldRect(pane, rect)) return;
  RefreshRect(rect.Inflate(1), false);
  PaintNow(*this);
}

void wnd_status_bar::DrawPanes(wxDC& dc, const wxRegion& region) {
  const wxSize size = GetClientSize();
  const wxColour face = GetBackgroundColour();
  dc.SetPen(*wxTRANSPARENT_PEN);
  dc.SetBrush(wxBrush(face));
  dc.DrawRectangle(0, 0, size.x, size.y);
  dc.SetFont(GetFont());
  const wxPen edge(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW));

  for (int i = 0; i < pane_count; ++i) {
    wxRect rect;
    if (!GetFieldRect(i, rect)) continue;
    // A pane's repaint each percent of a pass would otherwise lay out every pane's text.
    if (!region.IsEmpty() && region.Contains(wxRect(rect).Inflate(1)) == wxOutRegion) continue;
    dc.SetPen(edge);
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    const vrect field{rect.x, rect.y, rect.x + rect.width, rect.y + rect.height};
    dc.DrawRectangle(rect.Inflate(1));
    rect.Deflate(1);
    wxDCClipper clip(dc, rect);
    const pane_paint& p = panes[i];
    if (p.filled) {
      dc.SetPen(*wxTRANSPARENT_PEN);
      dc.SetBrush(wxBrush(FromColorRef(p.colour)));
      dc.DrawRectangle(rect);
    }
    if (p.fix >= 0) {
      const vrect cell = FixPositionRect(p.fix, field);
      dc.SetBrush(wxBrush(FromColorRef(p.cell_colour)));
      dc.DrawRectangle(cell.left, cell.top, cell.Width(), cell.Height());
    }
    const wxString text = ShownText(i);
    dc.SetTextForeground(TextColourOn(p.filled ? FromColorRef(p.colour) : face));
    dc.DrawText(text, rect.GetTopLeft());
    if (i == progress_pane && progress_shown) {
      dc.SetPen(*wxTRANSPARENT_PEN);
      dc.SetBrush(wxBrush(FromColorRef(progress_colour)));
      dc.DrawRectangle(rect.x, rect.y, ProgressWidth(), rect.height);
    }
    if (marker_pane != 0 && i == marker_pane) {
      dc.SetPen(*wxTRANSPARENT_PEN);
      dc.SetBrush(wxBrush(FromColorRef(marker_colour)));
      dc.DrawRectangle(rect.GetRight() + 1 - 6, rect.GetBottom() + 1 - 8, 6, 8);
    }
  }
}

wxString wnd_status_bar::ShownText(int pane) const {
  if (pane < 0 || pane >= pane_count) return {};
  const pane_paint& p = panes[pane];
  const wxString text = p.has_text ? wxString::FromUTF8(p.text) : GetStatusText(pane);
  wxRect rect;
  if (!GetFieldRect(pane, rect)) return {};
  // The pane's edge takes a pixel on either side.
  const int room = rect.width - 2;
  auto fits = [&](const wxString& part) {
    int width = 0;
    GetTextExtent(part, &width, nullptr);
    return width <= room;
  };
  if (fits(text)) return text;
  size_t end = text.find(' ');
  wxString shown;
  while (end != wxString::npos && fits(text.Left(end))) {
    shown = text.Left(end);
    end = text.find(' ', end + 1);
  }
  return shown;
}

void wnd_status_bar::OnPaint(wxPaintEvent&) {
  wxPaintDC dc(this);
  DrawPanes(dc, GetUpdateRegion());
}

void wnd_status_bar::OnSize(wxSizeEvent& event) {
  Refresh(false);
  event.Skip();
}

void wnd_status_bar::OnMouseMove(wxMouseEvent& event) {
  event.Skip();
  if (source_count != 2) return;
  idle_ticks = 0;
  const int x = event.GetX();
  int hovered = 0;
  for (int pane = 1; pane <= 3; ++pane) {
    wxRect rect;
    if (GetFieldRect(pane, rect) && rect.x < x && x < rect.x + rect.width) hovered = pane;
  }
  if (hovered == 0) {
    SetCursor(wxNullCursor);
    return;
  }
  SetCursor(wxCursor(wxCURSOR_HAND));
  const int which = hovered == 3 ? -1 : hovered;
  if (the_view) {
    if (which == -1)
      the_view->PresentTarget();
    else
      the_view->ShowSourceAlone(which);
  }
  PaintViewPanes(which);
}

void wnd_status_bar::OnTimer(wxTimerEvent& event) {
  event.Skip();
  if (source_count != 2 || idle_ticks >= quiet_ticks) return;
  if (++idle_ticks < quiet_ticks) return;
  if (the_view) the_view->PresentTarget();
  PaintViewPanes(-1);
}
