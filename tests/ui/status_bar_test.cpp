#include <wx/dcmemory.h>
#include <wx/dialog.h>

#include "engine/view_core.h"
#include "sources/document.h"
#include "tests/ui/app_fixture.h"
#include "ui/status_bar.h"

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
    bar = the_status_bar;
    real_view = the_view;
    view = std::make_unique<recording_view>(TheTestApp().Document());
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

  wxRect Pane(int pane) {
    wxRect rect;
    bar->GetFieldRect(pane, rect);
    return rect;
  }
  void MoveOver(int x) {
    wxMouseEvent move(wxEVT_MOTION);
    move.m_x = x;
    move.m_y = 5;
    bar->OnMouseMove(move);
  }
  void Ticks(int n) {
    wxTimer timer;
    wxTimerEvent tick(timer);
    for (int i = 0; i < n; ++i) bar->OnTimer(tick);
  }
  wxColour Painted(int x, int y) {
    wxBitmap bitmap(bar->GetClientSize().x, bar->GetClientSize().y, 24);
    wxMemoryDC dc(bitmap);
    bar->DrawPanes(dc);
    dc.SelectObject(wxNullBitmap);
    const wxImage image = bitmap.ConvertToImage();
    return wxColour(image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y));
  }

  wnd_status_bar* bar = nullptr;
  CvorbelViewCore* real_view = nullptr;
  std::unique_ptr<recording_view> view;
};

// The progress pane is painted at once, even inside a loop that handles no events.
TEST_F(StatusBar, ProgressFillsItsShareOfPaneEightOnTheScreen) {
  ASSERT_EQ(bar->GetFieldsCount(), 9);
  Settle();
  const wxRect rect = Pane(8);
  for (int percent : {30, 100}) {
    bar->ShowStatusProgress(0x00FF00, percent);
    EXPECT_EQ(bar->ProgressWidth(), rect.width * percent / 100);
    const wxImage shown = ScreenOf(bar);
    const int x = rect.x + rect.width * percent / 100 - 3, y = rect.y + 4;
    EXPECT_EQ(wxColour(shown.GetRed(x, y), shown.GetGreen(x, y), shown.GetBlue(x, y)), wxColour(0, 255, 0));
  }
  bar->ShowStatusProgress(0x808080, 30);
  EXPECT_EQ(Painted(rect.x + 2, rect.y + rect.height / 2), wxColour(128, 128, 128));
  EXPECT_NE(Painted(rect.GetRight() - 2, rect.y + rect.height / 2), wxColour(128, 128, 128));
  bar->ShowStatusProgress(0x808080, 250);
  EXPECT_EQ(bar->ProgressWidth(), rect.width);
}

TEST_F(StatusBar, HoverShowsOneSourceAloneAndTenQuietTicksBringTheTargetBack) {
  MoveOver(Pane(1).x);  // the pane's edge is outside it
  EXPECT_TRUE(view->presented.empty());
  MoveOver(Pane(1).x + 1);
  EXPECT_EQ(view->presented, std::vector<int>{11});
  EXPECT_EQ(Painted(Pane(1).GetRight() - 10, Pane(1).y + 2), wxColour(0xFF, 0xC0, 0xC0));
  MoveOver(Pane(2).x + 20);
  EXPECT_EQ(view->presented.back(), 22);
  EXPECT_EQ(bar->MarkerPane(), 2);
  EXPECT_EQ(Painted(Pane(2).GetRight() - 2, Pane(2).GetBottom() - 2), wxColour(0, 0, 255));

  Ticks(9);
  MoveOver(Pane(4).x + 20);  // a move anywhere on the bar starts the count again
  Ticks(9);
  EXPECT_EQ(view->presented.size(), 2u);
  Ticks(1);
  EXPECT_EQ(view->presented, (std::vector<int>{11, 22, -1}));
  EXPECT_EQ(bar->MarkerPane(), 3);
  Ticks(5);
  EXPECT_EQ(view->presented.size(), 3u);
  MoveOver(Pane(3).x + 20);
  EXPECT_EQ(view->presented.back(), -1);

  source_count = 1;  // with fewer than two sources hovering changes nothing
  bar->idle_ticks = 4;
  for (int pane = 1; pane <= 3; ++pane) MoveOver(Pane(pane).x + 20);
  Ticks(12);
  EXPECT_EQ(view->presented.size(), 4u);
  EXPECT_EQ(bar->idle_ticks, 4);
  bar->PaintViewPanes(2);
  EXPECT_EQ(bar->MarkerPane(), 3);
}

// The bar's own timer drives the quiet ticks.
TEST_F(StatusBar, TheBarsTimerTicksCountTowardsTheQuietTicks) {
  bar->SetTimer(1, 10);
  const wxLongLong start = wxGetLocalTimeMillis();
  while (bar->idle_ticks < 3 && wxGetLocalTimeMillis() - start < 5000) {
    wxMilliSleep(5);
    wxYield();
  }
  EXPECT_GE(bar->idle_ticks, 3);
  bar->KillTimer(1);
}

TEST_F(StatusBar, MovingOrSizingTheFrameEndsTheBlendingBox) {
  the_blend_dialog = new wxDialog(Frame(), wxID_ANY, "blend");
  view->box_dragging = view->blend_dialog_open = true;
  wxSizeEvent size(Frame()->GetSize());
  Frame()->OnSize(size);
  EXPECT_EQ(the_blend_dialog, nullptr);
  EXPECT_FALSE(view->box_dragging || view->blend_dialog_open);
  EXPECT_EQ(view->presented, std::vector<int>{-1});
  view->box_dragging = true;
  wxMoveEvent move(wxPoint(10, 10));
  Frame()->OnMove(move);
  EXPECT_FALSE(view->box_dragging);
  Settle();
}

TEST_F(StatusBar, TheIdleRebuildRunsOnlyWithTwoSourcesAndNoModalDialog) {
  view->fast_preview = 1;
  source_count = 1;
  EXPECT_FALSE(TheTestApp().RebuildAfterFastPreview());
  source_count = 2;
  bool inside = true;
  wxDialog dialog(Frame(), wxID_ANY, "modal");
  dialog.CallAfter([&] {
    inside = TheTestApp().RebuildAfterFastPreview();
    dialog.EndModal(wxID_OK);
  });
  dialog.ShowModal();
  EXPECT_FALSE(inside);
  EXPECT_EQ(view->fast_preview, 1);

  // The rebuild places both layers again: the marks left in the masks go.
  view->layers[0].Mask(0, 0) = view->layers[1].Mask(0, 0) = 9;
  wxIdleEvent idle;
  TheTestApp().OnIdle(idle);
  EXPECT_EQ(view->fast_preview, 0);
  EXPECT_NE(view->layers[0].Mask(0, 0), 9);
  EXPECT_NE(view->layers[1].Mask(0, 0), 9);
  EXPECT_EQ(view->presented, std::vector<int>{-1});
  EXPECT_FALSE(TheTestApp().RebuildAfterFastPreview());
}

}  // namespace
