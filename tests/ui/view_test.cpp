#include <array>
#include <cmath>

#include <wx/dcmemory.h>

#include "tests/ui/view_fixture.h"
#include "ui/app.h"
#include "ui/background_bitmaps.h"
#include "ui/start_buttons.h"

namespace {

class view_start : public view_fixture {
 protected:
  wxImage Drawn() {
    wxBitmap picture(client_width, client_height, 24);
    {
      wxMemoryDC dc(picture);
      dc.SetBackground(*wxWHITE_BRUSH);
      dc.Clear();
      view->OnDraw(dc);
    }
    return picture.ConvertToImage();
  }
  static int DarkPixels(const wxImage& image, const wxRect& area) {
    int dark = 0;
    for (int y = area.GetTop(); y <= area.GetBottom(); ++y)
      for (int x = area.GetLeft(); x <= area.GetRight(); ++x)
        dark += image.GetRed(x, y) < 80 && image.GetGreen(x, y) < 80 && image.GetBlue(x, y) < 80;
    return dark;
  }
  static bool SameAsTile(const wxImage& drawn, const wxBitmap& tile, int x, int y) {
    const wxImage t = tile.ConvertToImage();
    const int tx = x % t.GetWidth(), ty = y % t.GetHeight();
    return drawn.GetRed(x, y) == t.GetRed(tx, ty) && drawn.GetGreen(x, y) == t.GetGreen(tx, ty) &&
           drawn.GetBlue(x, y) == t.GetBlue(tx, ty);
  }
  void Canvas(int w, int h) {
    settings.WriteInt("Configure", "canvas_width", w);
    settings.WriteInt("Configure", "canvas_height", h);
  }
};

TEST_F(view_start, NoSourceShowsButtonsPatternAndPromptsOnceImagingIsReady) {
  view->OnInitialUpdate();
  for (int i = 0; i < 4; ++i) EXPECT_EQ(view->start_buttons[i]->GetRect(), start_button::RectOf(i));
  EXPECT_EQ(view->GetVirtualSize(), view->GetClientSize());  // nothing to scroll
  wic_ready = false;  // the first paint during start-up
  const wxImage first = Drawn();
  EXPECT_TRUE(SameAsTile(first, NoSourceBackground(), 700, 550));  // tiled past 512
  EXPECT_EQ(DarkPixels(first, wxRect(100, 250, 400, 80)), 0);
  wic_ready = true;
  const wxImage later = Drawn();
  for (int y : {250, 280, 310}) EXPECT_GT(DarkPixels(later, wxRect(100, y, 300, 16)), 20) << y;
  EXPECT_EQ(DarkPixels(later, wxRect(100, 330, 400, 40)), 0);
}

TEST_F(view_start, OneSourceMeasuresItAndAsksForTheSecond) {
  LoadPlainSource(1, 30, 20, 1, 2, 3);
  source_count = 1;
  view->OnInitialUpdate();
  EXPECT_EQ(view->rotated_size[0].width, 30);
  EXPECT_EQ(view->rotated_size[0].height, 20);
  EXPECT_NE(view->start_buttons[0], nullptr);
  EXPECT_TRUE(SameAsTile(Drawn(), OneSourceBackground(), 5, 5));
}

TEST_F(view_start, TwoSourcesLayTheStoredCanvasOutAndDropTheButtons) {
  Canvas(640, 480);
  LoadPlainSource(1, 64, 48, 255, 0, 0);
  LoadPlainSource(2, 32, 32, 0, 0, 255);
  source_count = 2;
  view->CreateStartButtons();
  view->OnInitialUpdate();
  for (start_button* button : view->start_buttons) EXPECT_EQ(button, nullptr);
  EXPECT_TRUE(view->GetChildren().empty());
  EXPECT_EQ(view->target_rect.Width(), 640);
  EXPECT_EQ(view->target_rect.Height(), 480);
  EXPECT_FLOAT_EQ(view->display_scale, 600.0f / 560.0f);  // the height ratio is the smaller
  // Fitted to the 640 x 480 target: 10 times source 1's width, 15 times source 2's height.
  EXPECT_DOUBLE_EQ(view->fit_factor_x[0], 10.0);
  EXPECT_DOUBLE_EQ(view->fit_factor_y[1], 15.0);
  ASSERT_EQ(target_width * target_height, 640 * 480);
  const bgra first = target_pixels[0];
  EXPECT_EQ(Shown(view->target_rect.left, view->target_rect.top),
            uint32_t(first.red) << 16 | uint32_t(first.green) << 8 | first.blue);
}

TEST_F(view_start, StoredCanvasIsClampedAndScaledToTheClient) {
  view->InitTarget();
  EXPECT_EQ(view->target_rect.Width(), 1024);
  EXPECT_EQ(view->target_rect.Height(), 768);
  Canvas(1520, 400);
  view->InitTarget();
  EXPECT_FLOAT_EQ(view->fit_scale, 0.5f);  // 800 / 1600 is below 600 / 480
  EXPECT_FLOAT_EQ(view->display_scale, 0.5f);
  CvorbelApp::viewing_scale = 150;
  view->InitTarget();
  EXPECT_FLOAT_EQ(view->display_scale, 0.75f);
  CvorbelApp::viewing_scale = 100;
  for (auto [w, h, want_w, want_h] : {std::array{5000, 3, 2048, 32}, std::array{-7, 99999, 32, 1536}}) {
    Canvas(w, h);
    view->InitTarget();
    EXPECT_EQ(view->target_rect.Width(), want_w);
    EXPECT_EQ(view->target_rect.Height(), want_h);
  }
}

TEST_F(view_start, TargetIsCentredWithATwentyPixelMargin) {
  view->target_rect = {0, 0, 1024, 768};
  view->display_scale = 0.5f;
  view->CenterTargetInView();
  EXPECT_EQ(view->target_rect.left, 144);
  EXPECT_EQ(view->target_rect.top, 108);
  EXPECT_EQ(view->target_rect.Width(), 1024);
  EXPECT_EQ(view->GetVirtualSize(), wxSize(800, 600));
  view->display_scale = 2.0f;  // larger than the window
  view->CenterTargetInView();
  EXPECT_EQ(view->target_rect.left + view->target_rect.top, 40);
  EXPECT_EQ(view->GetVirtualSize(), wxSize(2048 + 40, 1536 + 40));
}

TEST_F(view_start, ResizingDropsTheBlendingBoxAndAFewPixelsStillPresent) {
  const uint32_t colours[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
  PaintQuarters(256, 192, colours);
  view->InitTarget();
  for (int count : {0, 2}) {
    source_count = count;
    view->zone_box[0] = view->zone_box[1] = 30;
    view->zone_box[2] = view->zone_box[3] = 60;
    view->box_dragging = view->blend_dialog_open = true;
    view->SetSize(0, 0, 700 + count, 500);
    Settle();
    for (int edge : view->zone_box) EXPECT_EQ(edge, -1);
    EXPECT_FALSE(view->box_dragging || view->blend_dialog_open);
  }
  for (wxSize tiny : {wxSize(3, 3), wxSize(1, 1), wxSize(0, 0)}) {
    view->SetSize(wxRect(wxPoint(0, 0), tiny));
    Settle();
    EXPECT_GT(view->display_scale, 0.0f);
    EXPECT_TRUE(std::isfinite(view->display_scale));
    EXPECT_FALSE(view->PresentTarget());
  }
  view->SetSize(0, 0, client_width, client_height);
  Settle();
  EXPECT_FALSE(view->PresentTarget());
  EXPECT_GE(view->target_rect.left, 20);
}

}  // namespace
