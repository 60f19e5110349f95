#pragma once
#include <wx/region.h>
#include <wx/statusbr.h>
#include <wx/timer.h>

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

// The frame's status bar of nine panes. What the program paints into a pane is kept
// per pane and drawn by every repaint; a change repaints its pane at once, which
// also works inside long loops that handle no events. Colours are COLORREFs (red in
// the low byte).
class wnd_status_bar : public wxStatusBar {
 public:
  static constexpr int pane_count = 9;
  static constexpr std::array<int, pane_count> pane_widths = {150, 100, 100, 100, 250,
                                                              100, 50,  50,  100};
  static constexpr int quiet_ticks = 10;

  explicit wnd_status_bar(wxWindow* parent);
  ~wnd_status_bar() override;

  // Fills the left (width x percent / 100) pixels of pane 8 with colour.
  void ShowStatusProgress(uint32_t colour, int percent);
  // Writes text at the top-left of pane 4 on the bar's background.
  void ShowStatusText(const std::string& text);
  // With two sources: colours panes 1 to 3 and puts the marker on pane 1, 2 or 3
  // (which = 1, 2 or -1; any other value: no marker).
  void PaintViewPanes(int which);
  // Panes 1 to 3, 6 and 7 back to their indicator texts, without marker or fill,
  // as they stand with fewer than two sources; true when any of them changed.
  bool ShowIndicatorTexts();
  // Fills a pane with colour and writes text at its top-left, kept until painted
  // again; for the panes whose contents other parts of the program decide.
  void PaintPane(int pane, uint32_t colour, const std::string& text);
  // Fills a fix-position pane with colour and the cell that stands for fix with
  // cell_colour.
  void PaintFixPane(int pane, uint32_t colour, int fix, uint32_t cell_colour);

  // Starts (or restarts) a timer on the bar; every tick of any of them counts.
  void SetTimer(int id, int milliseconds);
  void KillTimer(int id);

  void OnMouseMove(wxMouseEvent& event);
  void OnTimer(wxTimerEvent& event);

  // pane_widths grown in proportion to the bar's font (never below them), plus the
  // bar's border.
  std::array<int, pane_count> FittedWidths() const;

  // Everything the bar shows within region (an empty region: all of it), drawn into dc.
  void DrawPanes(wxDC& dc, const wxRegion& region = wxRegion());
  // Width in pixels that a progress fill of percent covers now.
  int ProgressWidth() const;
  // The text the program wrote into a pane; empty when none.
  std::string PaneText(int pane) const {
    return pane >= 0 && pane < pane_count ? panes[pane].text : std::string();
  }
  // What a pane shows of its text: the words from its start that fit the pane
  // whole, so that no word is cut; nothing when the first word does not fit.
  wxString ShownText(int pane) const;
  // The pane that carries the view-pane marker: 1, 2, 3, or 0 for none.
  int MarkerPane() const { return marker_pane; }

  int idle_ticks = 0;

 private:
  struct pane_paint {
    bool filled = false;
    uint32_t colour = 0;
    bool has_text = false;
    std::string text;
    int fix = -1;  // the fix position whose cell is filled; -1 none
    uint32_t cell_colour = 0;
  };

  void OnPaint(wxPaintEvent& event);
  void OnSize(wxSizeEvent& event);
  void RepaintPane(int pane);

  std::array<pane_paint, pane_count> panes;
  bool progress_shown = false;
  uint32_t progress_colour = 0;
  int progress_percent = 0;
  int marker_pane = 0;
  std::map<int, std::unique_ptr<wxTimer>> timers;
};

// The frame's status bar while the frame exists.
extern wnd_status_bar* the_status_bar;

wxColour FromColorRef(uint32_t colour);
