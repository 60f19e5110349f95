#include <wx/dcmemory.h>
#include <wx/dialog.h>

#include <cstring>

#include "engine/view_core.h"
#include "sources/document.h"
#include "tests/ui/app_fixture.h"
#include "ui/status_bar.h"

namespace {

// Stands in for the view while it is the_view: records every presentation.
class recording_view : public CvorbelViewCore {
 public:
  explicit recording_view(CvorbelDoc* doc) : CvorbelViewCore(doc) {}
  bool PresentPixels(const bgra* pixels) override {
    presented.push_back(pixels == target_pixels ? -1 : pixels[0].blue);
    return false;
  }
  std::vector<int> presented;  // -1: the target; else the first pixel's blue
};

class StatusBar : public app_fixture {
 protected:
  void SetUp() override {
    app_fixture::SetUp();
    Start();
    bar = the_status_bar;
    ASSERT_NE(bar, nullptr);
    real_view = the_view;
    view = std::make_unique<recording_view>(TheTestApp().Document());
    target_width = 4;
    target_height = 2;
    view->target_rect = {0, 0, 4, 2};
    base_color = {7, 8, 9};
    for (int i = 0; i < 8; ++i) target_copy[i] = {77, 77, 77, 77};
    for (int r = 0; r < 2; ++r)
      for (int c = 0; c < 4; ++c) {
        view->layers[0].Mask(r, c) = 1;
        view->layers[0].Pixel(r, c)[0] = 11;
        view->layers[1].Mask(r, c) = 1;
        view->layers[1].Pixel(r, c)[0] = 22;
      }
  }
  void TearDown() override {
    view.reset();
    the_view = real_view;
    source_count = 0;
    app_fixture::TearDown();
  }

  int PaneMiddle(int pane) {
    wxRect rect;
    bar->GetFieldRect(pane, rect);
    return rect.x + rect.width / 2;
  }
  void MoveOver(int x) {
    wxMouseEvent move(wxEVT_MOTION);
    move.m_x = x;
    move.m_y = 5;
    bar->OnMouseMove(move);
  }
  void Tick() {
    wxTimer timer;
    wxTimerEvent tick(timer);
    bar->OnTimer(tick);
  }
  wxColour PaintedAt(int x, int y) {
    const wxSize size = bar->GetClientSize();
    wxBitmap bitmap(size.x, size.y, 24);
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

TEST_F(StatusBar, HasNinePanesOfTheGivenWidthsAndIndicatorTexts) {
  ASSERT_EQ(bar->GetFieldsCount(), 9);
  const int widths[9] = {150, 100, 100, 100, 250, 100, 50, 50, 100};
  for (int i = 0; i < 9; ++i) {
    wxRect rect;
    ASSERT_TRUE(bar->GetFieldRect(i, rect));
    EXPECT_NEAR(rect.width, widths[i], 4) << i;
  }
  EXPECT_EQ(bar->GetStatusText(0), "Vorbel is ready");
  EXPECT_EQ(bar->GetStatusText(3), "View both src");
  EXPECT_EQ(bar->GetStatusText(8), "Progress");
}

TEST_F(StatusBar, ProgressFillsItsShareOfPaneEight) {
  wxRect rect;
  bar->GetFieldRect(8, rect);
  bar->ShowStatusProgress(0x00FF00, 0);
  EXPECT_EQ(bar->ProgressWidth(), 0);
  bar->ShowStatusProgress(0x00FF00, 50);
  EXPECT_EQ(bar->ProgressWidth(), rect.width * 50 / 100);
  EXPECT_EQ(PaintedAt(rect.x + 2, rect.y + rect.height / 2), wxColour(0, 255, 0));
  EXPECT_NE(PaintedAt(rect.GetRight() - 2, rect.y + rect.height / 2), wxColour(0, 255, 0));
  bar->ShowStatusProgress(0x808080, 100);
  EXPECT_EQ(bar->ProgressWidth(), rect.width);
  EXPECT_EQ(PaintedAt(rect.GetRight() - 2, rect.y + rect.height / 2), wxColour(128, 128, 128));
  bar->ShowStatusProgress(0x808080, 250);
  EXPECT_EQ(bar->ProgressWidth(), rect.width);
}

TEST_F(StatusBar, ProgressReachesTheScreenInsideALoopThatHandlesNoEvents) {
  Settle();
  wxRect rect;
  bar->GetFieldRect(8, rect);
  for (int percent : {30, 100}) {
    bar->ShowStatusProgress(0x00FF00, percent);
    const wxImage shown = ScreenOf(bar);
    const int x = rect.x + rect.width * percent / 100 - 3;
    EXPECT_EQ(wxColour(shown.GetRed(x, rect.y + 4), shown.GetGreen(x, rect.y + 4),
                       shown.GetBlue(x, rect.y + 4)),
              wxColour(0, 255, 0))
        << percent;
  }
}

TEST_F(StatusBar, TextAndViewPanesArePaintedInTheirColours) {
  bar->ShowStatusText("x 12 y 34");
  wxRect text;
  bar->GetFieldRect(4, text);
  EXPECT_EQ(PaintedAt(text.GetRight() - 3, text.y + 2), *wxWHITE);

  bar->PaintViewPanes(1);  // fewer than two sources: nothing
  EXPECT_EQ(bar->MarkerPane(), 0);
  source_count = 2;
  bar->PaintViewPanes(2);
  EXPECT_EQ(bar->MarkerPane(), 2);
  wxRect one, two;
  bar->GetFieldRect(1, one);
  bar->GetFieldRect(2, two);
  EXPECT_EQ(PaintedAt(one.GetRight() - 10, one.y + 2), wxColour(0xFF, 0xC0, 0xC0));
  EXPECT_EQ(PaintedAt(two.GetRight() - 10, two.y + 2), wxColour(0x99, 0xFF, 0x66));
  EXPECT_EQ(PaintedAt(two.GetRight() - 2, two.GetBottom() - 2), wxColour(0, 0, 255));
  EXPECT_NE(PaintedAt(one.GetRight() - 2, one.GetBottom() - 2), wxColour(0, 0, 255));
  bar->PaintViewPanes(7);
  EXPECT_EQ(bar->MarkerPane(), 0);
}

TEST_F(StatusBar, HoverShowsOneSourceAloneAndTenQuietTicksBringTheTargetBack) {
  source_count = 2;
  MoveOver(PaneMiddle(1));
  EXPECT_EQ(view->presented, std::vector<int>{11});
  EXPECT_EQ(bar->MarkerPane(), 1);
  MoveOver(PaneMiddle(2));
  EXPECT_EQ(view->presented.back(), 22);
  EXPECT_EQ(bar->MarkerPane(), 2);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(target_copy[i].blue, 77);

  for (int i = 0; i < 9; ++i) Tick();
  EXPECT_EQ(view->presented.size(), 2u);
  MoveOver(PaneMiddle(4));  // a move anywhere on the bar starts the count again
  EXPECT_EQ(bar->idle_ticks, 0);
  for (int i = 0; i < 9; ++i) Tick();
  EXPECT_EQ(view->presented.size(), 2u);
  Tick();
  EXPECT_EQ(view->presented, (std::vector<int>{11, 22, -1}));
  EXPECT_EQ(bar->MarkerPane(), 3);
  for (int i = 0; i < 5; ++i) Tick();
  EXPECT_EQ(bar->idle_ticks, 10);
  EXPECT_EQ(view->presented.size(), 3u);

  MoveOver(PaneMiddle(3));
  EXPECT_EQ(view->presented.back(), -1);
}

TEST_F(StatusBar, WithFewerThanTwoSourcesHoveringChangesNothing) {
  source_count = 1;
  bar->idle_ticks = 4;
  for (int pane = 1; pane <= 3; ++pane) MoveOver(PaneMiddle(pane));
  for (int i = 0; i < 12; ++i) Tick();
  EXPECT_TRUE(view->presented.empty());
  EXPECT_EQ(bar->MarkerPane(), 0);
  EXPECT_EQ(bar->idle_ticks, 4);
  wxRect one;
  bar->GetFieldRect(1, one);
  EXPECT_NE(PaintedAt(one.GetRight() - 10, one.y + 2), wxColour(0xFF, 0xC0, 0xC0));
}

TEST_F(StatusBar, PaneEdgesAreOutsideTheHoverPanes) {
  source_count = 2;
  wxRect one;
  bar->GetFieldRect(1, one);
  MoveOver(one.x);
  EXPECT_TRUE(view->presented.empty());
  MoveOver(one.x + 1);
  EXPECT_EQ(view->presented.size(), 1u);
}

TEST_F(StatusBar, TheBarsTimerTicksCountTowardsTheQuietTicks) {
  source_count = 2;
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
  view->box_dragging = true;
  view->blend_dialog_open = true;
  wxSizeEvent size(Frame()->GetSize());
  Frame()->OnSize(size);
  EXPECT_EQ(the_blend_dialog, nullptr);
  EXPECT_FALSE(view->box_dragging);
  EXPECT_FALSE(view->blend_dialog_open);
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
  EXPECT_EQ(view->fast_preview, 1);

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
  view->layers[0].Mask(0, 0) = 9;
  view->layers[1].Mask(0, 0) = 9;
  wxIdleEvent idle;
  TheTestApp().OnIdle(idle);
  EXPECT_EQ(view->fast_preview, 0);
  EXPECT_NE(view->layers[0].Mask(0, 0), 9);
  EXPECT_NE(view->layers[1].Mask(0, 0), 9);
  EXPECT_EQ(view->presented, std::vector<int>{-1});
  EXPECT_FALSE(TheTestApp().RebuildAfterFastPreview());
}

}  // namespace
