#include <wx/dcmemory.h>
#include <wx/dialog.h>

#include <algorithm>
#include <cmath>

#include "engine/base/view_core.h"
#include "sources/document.h"
#include "tests/ui/app_fixture.h"
#include "ui/app/app_look.h"

namespace {

// Stands in for the view while it is the_view: records every presentation.
class recording_view : public CvorbelViewCore {
 public:
  using CvorbelViewCore::CvorbelViewCore;
  bool PresentPixels(const bgra* pixels) override {
    presented.push_back(pixels == target_pixels ? -1 : pixels[0].blue);
    return false;
  }
  std::vector<int> presented;  // -1: the target; else the first pixel's blue
};

// Layer 1 is blue 11 everywhere, layer 2 blue 22, on a 4 x 2 target.
class StatusBar : public app_fixture {
 protected:
  void SetUp() override {
    app_fixture::SetUp();
    Start();
    real_view = the_view;
    view = std::make_unique<recording_view>(app.Document());
    target_width = 4;
    target_height = 2;
    view->target_rect = {0, 0, 4, 2};
    for (int s = 0; s < 2; ++s)
      for (int i = 0; i < 8; ++i) {
        view->layers[s].Mask(i / 4, i % 4) = 1;
        view->layers[s].Pixel(i / 4, i % 4)[0] = uint8_t(11 * (s + 1));
      }
    source_count = 2;
  }
  void TearDown() override {
    view.reset();
    the_view = real_view;
    source_count = 0;
    app_fixture::TearDown();
  }
  void Ticks(int n) {
    wxTimer timer;
    wxTimerEvent tick(timer);
    for (int i = 0; i < n; ++i) the_status_bar->OnTimer(tick);
  }

  CvorbelViewCore* real_view = nullptr;
  std::unique_ptr<recording_view> view;
};

// The progress pane is painted at once, even inside a loop that handles no events.
TEST_F(StatusBar, ProgressFillsItsShareOfPaneEightOnTheScreen) {
  const wxRect rect = Pane(8);
  for (int percent : {30, 100}) {
    the_status_bar->ShowStatusProgress(0x00FF00, percent);
    const int x = rect.x + rect.width * percent / 100 - 3;
    EXPECT_EQ(ColourAt(ScreenOf(the_status_bar), x, rect.y + 4), wxColour(0, 255, 0));
  }
  the_status_bar->ShowStatusProgress(0x808080, 250);
  EXPECT_EQ(the_status_bar->ProgressWidth(), rect.width);
}

TEST_F(StatusBar, HoverShowsOneSourceAloneAndTenQuietTicksBringTheTargetBack) {
  MoveOverBar(Pane(1).x);  // the pane's edge is outside it
  EXPECT_TRUE(view->presented.empty());
  MoveOverBar(Pane(1).x + 1);
  EXPECT_EQ(view->presented, std::vector<int>{11});
  MoveOverBar(Pane(2).x + 20);
  EXPECT_EQ(view->presented.back(), 22);
  EXPECT_EQ(the_status_bar->MarkerPane(), 2);

  Ticks(9);
  MoveOverBar(Pane(4).x + 20);  // a move anywhere on the bar starts the count again
  Ticks(9);
  EXPECT_EQ(view->presented.size(), 2u);
  Ticks(1);
  EXPECT_EQ(view->presented, (std::vector<int>{11, 22, -1}));
  EXPECT_EQ(the_status_bar->MarkerPane(), 3);
  Ticks(5);
  MoveOverBar(Pane(3).x + 20);
  EXPECT_EQ(view->presented.size(), 4u);
  EXPECT_EQ(view->presented.back(), -1);

  source_count = 1;  // with fewer than two sources hovering changes nothing
  the_status_bar->idle_ticks = 4;
  for (int pane = 1; pane <= 3; ++pane) MoveOverBar(Pane(pane).x + 20);
  Ticks(12);
  EXPECT_EQ(view->presented.size(), 4u);
  EXPECT_EQ(the_status_bar->idle_ticks, 4);
}

TEST_F(StatusBar, TheIdleRebuildRunsOnlyWithTwoSourcesAndNoModalDialog) {
  view->fast_preview = 1;
  source_count = 1;
  EXPECT_FALSE(app.RebuildAfterFastPreview());
  source_count = 2;
  bool inside = true;
  wxDialog dialog(app.Frame(), wxID_ANY, "modal");
  dialog.CallAfter([&] {
    inside = app.RebuildAfterFastPreview();
    dialog.EndModal(wxID_OK);
  });
  dialog.ShowModal();
  EXPECT_FALSE(inside);
  EXPECT_EQ(view->fast_preview, 1);

  // The rebuild places both layers again: the marks left in the masks go.
  view->layers[0].Mask(0, 0) = view->layers[1].Mask(0, 0) = 9;
  wxIdleEvent idle;
  app.OnIdle(idle);
  EXPECT_EQ(view->fast_preview, 0);
  EXPECT_NE(view->layers[0].Mask(0, 0), 9);
  EXPECT_NE(view->layers[1].Mask(0, 0), 9);
  EXPECT_EQ(view->presented, std::vector<int>{-1});
  EXPECT_FALSE(app.RebuildAfterFastPreview());
}

TEST_F(StatusBar, NinePanesInTheirOrderWithTheirTextsAndWidths) {
  const std::pair<const char*, int> panes[] = {
      {"Vorbel is ready", 150},          {"View Source 1", 100},
      {"View Source 2", 100},            {"View both src", 100},
      {"Batch vorbel status", 250},      {"Scroll_Status", 100},
      {"Positioning Status Src 1", 50},  {"Positioning Status Src 2", 50},
      {"Progress", 100}};
  ASSERT_EQ(the_status_bar->GetFieldsCount(), int(std::size(panes)));
  // The bar widens every pane alike for its font: width = given × growth + border.
  const double growth = (Pane(4).width - Pane(6).width) / 200.0;
  const double border = Pane(6).width - 50 * growth;
  for (int i = 0; i < int(std::size(panes)); ++i) {
    EXPECT_EQ(the_status_bar->GetStatusText(i), panes[i].first) << i;
    EXPECT_NEAR(Pane(i).width, panes[i].second * growth + border, 1.5) << panes[i].first;
    if (i > 0) {
      EXPECT_GE(Pane(i).x, Pane(i - 1).GetRight()) << i;
    }
  }
  EXPECT_GE(growth, 1.0);
}

TEST_F(StatusBar, TheViewPanesTakeTheirColoursTextsAndTheMarkerInTheHoveredPane) {
  auto draw = [] {
    wxBitmap bitmap(the_status_bar->GetClientSize(), 24);
    {
      wxMemoryDC dc(bitmap);
      the_status_bar->DrawPanes(dc);
    }
    return bitmap.ConvertToImage();
  };
  auto hex = [](const wxImage& image, int x, int y) {
    return ColourAt(image, x, y).GetAsString(wxC2S_HTML_SYNTAX).utf8_string();
  };
  const char* const marker = "#0000FF";
  for (int which : {1, 2, -1}) {
    the_status_bar->PaintViewPanes(which);
    EXPECT_EQ(the_status_bar->PaneText(1), "View source 1");
    EXPECT_EQ(the_status_bar->PaneText(2), "View source 2");
    EXPECT_EQ(the_status_bar->PaneText(3), "View both srce");
    const wxImage image = draw();
    const wxRect one = Pane(1), two = Pane(2);
    // Right of the texts, above the marker's corner.
    EXPECT_EQ(hex(image, one.GetRight() - 3, one.y + 2), "#FFC0C0") << which;
    EXPECT_EQ(hex(image, two.GetRight() - 3, two.y + 2), "#99FF66") << which;
    const int marked = which == -1 ? 3 : which;
    for (int pane = 1; pane <= 3; ++pane) {
      const wxRect r = Pane(pane);
      const bool here = pane == marked;
      // 6 wide and 8 high in the pane's bottom-right corner.
      EXPECT_EQ(hex(image, r.GetRight(), r.GetBottom()) == marker, here) << which << pane;
      EXPECT_EQ(hex(image, r.GetRight() - 5, r.GetBottom() - 7) == marker, here) << which << pane;
      EXPECT_NE(hex(image, r.GetRight() - 6, r.GetBottom()), marker) << which << pane;
      EXPECT_NE(hex(image, r.GetRight(), r.GetBottom() - 8), marker) << which << pane;
    }
  }
  the_status_bar->PaintViewPanes(0);
  EXPECT_EQ(the_status_bar->MarkerPane(), 0);
}

using StatusBarRoads = app_fixture;

// With one source, a second one that does not come leaves the panes as one source
// has them, whether its dialog was cancelled or its file failed to load; the idle
// updates that run meanwhile (as inside a dialog's or a message box's loop) included.
TEST_F(StatusBarRoads, ASecondSourceThatDoesNotComeLeavesTheOneSourcePanes) {
  Start({PlainImage("one.png", 64, 48, 10, 20, 30)});
  auto one_source_look = [] {
    wxBitmap bitmap(the_status_bar->GetClientSize(), 24);
    {
      wxMemoryDC dc(bitmap);
      the_status_bar->DrawPanes(dc);
    }
    const wxImage image = bitmap.ConvertToImage();
    for (int pane : {1, 2, 3, 6, 7}) {
      wxRect r;
      the_status_bar->GetFieldRect(pane, r);
      const wxColour corner = ColourAt(image, r.GetRight() - 1, r.GetBottom() - 1);
      if (corner == wxColour(0xFF, 0xC0, 0xC0) || corner == wxColour(0x99, 0xFF, 0x66) ||
          corner == wxColour(0x00, 0x00, 0xFF))
        return false;
    }
    return the_status_bar->MarkerPane() == 0 && the_status_bar->ShownText(1) == "View Source 1" &&
           the_status_bar->ShownText(3) == "View both src" && the_status_bar->ShownText(6).empty();
  };
  ASSERT_TRUE(one_source_look());

  app.port->text_answer = [](CvorbelDoc&, int, bool) {
    wxTheApp->ProcessIdle();
    return false;
  };
  Command(WxId(cmd_open_text));
  EXPECT_EQ(app.port->text_dialogs, 1);
  wxTheApp->ProcessIdle();
  EXPECT_TRUE(one_source_look()) << "text cancelled";

  WriteFile("cut.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\0\x40\0\0\0\x30", 24));
  int count_while_told = -1;
  app.port->while_shown = [&] {
    wxTheApp->ProcessIdle();
    count_while_told = source_count;
  };
  EXPECT_FALSE(app.OpenDocumentFile((folder / "cut.png").string()));
  EXPECT_EQ(count_while_told, 1) << "the view and the statistics show one source meanwhile";
  wxTheApp->ProcessIdle();
  EXPECT_TRUE(one_source_look()) << "file failed";
  EXPECT_EQ(source_count, 1);
}

// Contrast of two colours as print guidelines define it, 1 to 21.
double Contrast(const wxColour& a, const wxColour& b) {
  auto luminance = [](const wxColour& c) {
    auto linear = [](int v) { return std::pow((v / 255.0 + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(c.Red()) + 0.7152 * linear(c.Green()) + 0.0722 * linear(c.Blue()) + 0.05;
  };
  return std::max(luminance(a), luminance(b)) / std::min(luminance(a), luminance(b));
}

// In every look the text of plain panes and of a pane painted white stands out
// from its background at least 4.5 : 1.
TEST_F(StatusBar, EveryLookKeepsTheStatusTextReadable) {
  the_status_bar->ShowStatusText("x 123 y 456");
  for (int look = first_look_id; look <= last_look_id; ++look) {
    app.Frame()->OnApplicationLook(look);
    wxBitmap bitmap(the_status_bar->GetClientSize(), 24);
    {
      wxMemoryDC dc(bitmap);
      the_status_bar->DrawPanes(dc);
    }
    const wxImage image = bitmap.ConvertToImage();
    for (int pane : {0, 4, 5}) {
      const wxRect rect = Pane(pane);
      // The texts are shorter than their panes: the right end is background.
      const wxColour back = ColourAt(image, rect.GetRight() - 4, rect.y + rect.height / 2);
      double best = 1.0;
      for (int y = rect.y + 1; y < rect.GetBottom(); ++y)
        for (int x = rect.x + 1; x < rect.x + rect.width / 2; ++x)
          best = std::max(best, Contrast(ColourAt(image, x, y), back));
      EXPECT_GE(best, 4.5) << "look " << look << ", pane " << pane;
    }
  }
}

// A repaint of one pane draws that pane as a full paint does, with its edge, and
// does not draw the panes it does not meet.
TEST_F(StatusBar, APanesRepaintDrawsThatPaneOnly) {
  the_status_bar->ShowStatusText("Current file count = 3");
  the_status_bar->ShowStatusProgress(0x00FF00, 40);
  const wxSize size = the_status_bar->GetClientSize();
  auto draw = [&](const wxRegion& region) {
    wxBitmap bitmap(size, 24);
    {
      wxMemoryDC dc(bitmap);
      dc.SetBackground(wxBrush(wxColour(1, 2, 3)));
      dc.Clear();
      the_status_bar->DrawPanes(dc, region);
    }
    return bitmap.ConvertToImage();
  };
  const wxImage full = draw(wxRegion()), text_only = draw(wxRegion(wxRect(Pane(4)).Inflate(1)));
  const wxRect text = wxRect(Pane(4)).Inflate(1);
  for (int y = text.y; y <= text.GetBottom(); ++y)
    for (int x = text.x; x <= text.GetRight(); ++x)
      ASSERT_EQ(ColourAt(text_only, x, y), ColourAt(full, x, y)) << x << "," << y;
  const wxRect progress = Pane(8);
  const int mid = progress.y + progress.height / 2;
  EXPECT_EQ(ColourAt(full, progress.x + 2, mid), wxColour(0, 255, 0));
  EXPECT_NE(ColourAt(text_only, progress.x + 2, mid), wxColour(0, 255, 0));
}

// The given widths suit an 8-point font: in the bar's font each pane still shows
// what it showed at 8 points.
TEST_F(StatusBar, EachPaneShowsAsMuchOfItsTextAsAtEightPoints) {
  wxFont eight_point = the_status_bar->GetFont();
  eight_point.SetPointSize(8);
  for (int pane = 0; pane < wnd_status_bar::pane_count; ++pane) {
    wxString shown = the_status_bar->GetStatusText(pane);
    int width = 0;
    while (the_status_bar->GetTextExtent(shown, &width, nullptr, nullptr, nullptr, &eight_point),
           width > wnd_status_bar::pane_widths[pane] - 2)
      shown.RemoveLast();
    int needed = 0;
    the_status_bar->GetTextExtent(shown, &needed, nullptr);
    EXPECT_LE(needed, Pane(pane).width - 2) << '"' << shown << '"';
  }
  EXPECT_LE(Pane(8).GetRight(), the_status_bar->GetClientSize().x);
}

// Whatever the program has written into the panes, none shows a word cut at its
// edge: a pane shows its whole text, the words of it that fit, or nothing.
TEST_F(StatusBar, NoPaneShowsACutWord) {
  auto check = [](const char* state) {
    for (int pane = 0; pane < wnd_status_bar::pane_count; ++pane) {
      const std::string painted = the_status_bar->PaneText(pane);
      const wxString whole =
          painted.empty() ? the_status_bar->GetStatusText(pane) : wxString::FromUTF8(painted);
      const wxString shown = the_status_bar->ShownText(pane);
      int width = 0;
      the_status_bar->GetTextExtent(shown, &width, nullptr);
      EXPECT_LE(width, Pane(pane).width - 2) << state << ", pane " << pane << ": \"" << shown << '"';
      EXPECT_TRUE(shown.empty() || shown == whole || whole.StartsWith(shown + " "))
          << state << ", pane " << pane << ": \"" << shown << "\" of \"" << whole << '"';
    }
  };
  check("before two sources");
  EXPECT_EQ(the_status_bar->ShownText(6), "");
  EXPECT_EQ(the_status_bar->ShownText(7), "");

  the_status_bar->SetStatusText("Open a picture file and put it in place of source one", 0);
  the_status_bar->PaintViewPanes(2);
  the_status_bar->PaintFixPane(6, 0xC0C0FF, 4, 0xFF0000);
  the_status_bar->PaintFixPane(7, 0x66FF99, 0, 0xFF0000);
  the_status_bar->PaintPane(5, 0xC0C0FF, "Move/size 1");
  the_status_bar->ShowStatusText("X: 1024 Y: 768, dx: -1023 dy: -767");
  check("two sources");
  EXPECT_EQ(the_status_bar->ShownText(4), "X: 1024 Y: 768, dx: -1023 dy: -767");
  EXPECT_TRUE(the_status_bar->ShownText(0).StartsWith("Open a"));
}

}  // namespace
