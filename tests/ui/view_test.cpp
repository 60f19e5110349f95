#include <cmath>

#include <wx/dcmemory.h>

#include "tests/ui/view_fixture.h"
#include "ui/app.h"
#include "ui/background_bitmaps.h"
#include "ui/start_buttons.h"

namespace {

class view_start : public view_fixture {
 protected:
  // What OnDraw paints into a client-sized picture.
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
    wxImage t = tile.ConvertToImage();
    int tx = x % t.GetWidth(), ty = y % t.GetHeight();
    return drawn.GetRed(x, y) == t.GetRed(tx, ty) && drawn.GetGreen(x, y) == t.GetGreen(tx, ty) &&
           drawn.GetBlue(x, y) == t.GetBlue(tx, ty);
  }
};

TEST_F(view_start, NoSourceShowsButtonsPatternAndPromptsOnceImagingIsReady) {
  view->OnInitialUpdate();
  for (int i = 0; i < 4; ++i) {
    ASSERT_NE(view->start_buttons[i], nullptr);
    EXPECT_EQ(view->start_buttons[i]->GetRect(), start_button::RectOf(i));
  }
  EXPECT_EQ(view->GetVirtualSize(), view->GetClientSize());  // nothing to scroll

  wic_ready = false;  // the first paint during start-up
  wxImage first = Drawn();
  EXPECT_TRUE(SameAsTile(first, NoSourceBackground(), 5, 5));
  EXPECT_TRUE(SameAsTile(first, NoSourceBackground(), 700, 550));  // tiled past 512
  EXPECT_EQ(DarkPixels(first, wxRect(100, 250, 400, 80)), 0);

  wic_ready = true;
  wxImage later = Drawn();
  EXPECT_GT(DarkPixels(later, wxRect(100, 250, 300, 16)), 20);
  EXPECT_GT(DarkPixels(later, wxRect(100, 280, 300, 16)), 20);
  EXPECT_GT(DarkPixels(later, wxRect(100, 310, 300, 16)), 20);
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
  EXPECT_FALSE(SameAsTile(Drawn(), NoSourceBackground(), 5, 5));
}

TEST_F(view_start, TwoSourcesLayTheStoredCanvasOutAndDropTheButtons) {
  settings.WriteInt("Configure", "canvas_width", 640);
  settings.WriteInt("Configure", "canvas_height", 480);
  LoadPlainSource(1, 64, 48, 255, 0, 0);
  LoadPlainSource(2, 32, 32, 0, 0, 255);
  source_count = 2;
  view->OnInitialUpdate();
  for (start_button* button : view->start_buttons) EXPECT_EQ(button, nullptr);
  EXPECT_EQ(view->target_rect.Width(), 640);
  EXPECT_EQ(view->target_rect.Height(), 480);
  EXPECT_FLOAT_EQ(view->fit_scale, 600.0f / 560.0f);  // the height ratio is the smaller
  EXPECT_FLOAT_EQ(view->display_scale, view->fit_scale);
  // Fitted to the 640 x 480 target: 10 times source 1's width, 15 times source 2's height.
  EXPECT_DOUBLE_EQ(view->fit_factor_x[0], 10.0);
  EXPECT_DOUBLE_EQ(view->fit_factor_y[1], 15.0);
  // Combined and presented: the target's first pixel shows at the target's origin.
  ASSERT_EQ(target_width, 640);
  ASSERT_EQ(target_height, 480);
  const bgra first = target_pixels[0];
  EXPECT_EQ(Shown(view->target_rect.left, view->target_rect.top),
            uint32_t(first.red) << 16 | uint32_t(first.green) << 8 | first.blue);
}

TEST_F(view_start, StartButtonsAreMadeOnlyWhileTheFirstIsMissing) {
  view->CreateStartButtons();
  start_button* first = view->start_buttons[0];
  view->start_buttons[2]->Destroy();
  view->start_buttons[2] = nullptr;
  view->CreateStartButtons();  // button 1 exists: nothing is made
  EXPECT_EQ(view->start_buttons[0], first);
  EXPECT_EQ(view->start_buttons[2], nullptr);
  view->DestroyStartButtons();
  for (start_button* button : view->start_buttons) EXPECT_EQ(button, nullptr);
  EXPECT_TRUE(view->GetChildren().empty());
}

class view_canvas : public view_fixture {};

TEST_F(view_canvas, StoredSizeIsClampedAndDefaultsTo1024By768) {
  view->InitTarget();
  EXPECT_EQ(view->target_rect.Width(), 1024);
  EXPECT_EQ(view->target_rect.Height(), 768);

  settings.WriteInt("Configure", "canvas_width", 5000);
  settings.WriteInt("Configure", "canvas_height", 3);
  view->InitTarget();
  EXPECT_EQ(view->target_rect.Width(), 2048);
  EXPECT_EQ(view->target_rect.Height(), 32);

  settings.WriteInt("Configure", "canvas_width", -7);
  settings.WriteInt("Configure", "canvas_height", 99999);
  view->InitTarget();
  EXPECT_EQ(view->target_rect.Width(), 32);
  EXPECT_EQ(view->target_rect.Height(), 1536);
}

TEST_F(view_canvas, ScaleFollowsClientTargetAndViewingScale) {
  settings.WriteInt("Configure", "canvas_width", 1520);
  settings.WriteInt("Configure", "canvas_height", 400);
  view->InitTarget();
  EXPECT_FLOAT_EQ(view->fit_scale, 0.5f);  // 800 / 1600 is below 600 / 480
  EXPECT_FLOAT_EQ(view->display_scale, 0.5f);

  const int kept = CvorbelApp::viewing_scale;
  CvorbelApp::viewing_scale = 150;
  view->InitTarget();
  EXPECT_FLOAT_EQ(view->display_scale, 0.75f);
  CvorbelApp::viewing_scale = kept;
}

TEST_F(view_canvas, TargetIsCentredWithATwentyPixelMargin) {
  view->target_rect = {0, 0, 1024, 768};
  view->display_scale = 0.5f;
  view->CenterTargetInView();
  EXPECT_EQ(view->target_rect.left, 144);
  EXPECT_EQ(view->target_rect.top, 108);
  EXPECT_EQ(view->target_rect.Width(), 1024);
  EXPECT_EQ(view->target_rect.Height(), 768);
  EXPECT_EQ(view->GetVirtualSize(), wxSize(800, 600));

  view->display_scale = 2.0f;  // larger than the window
  view->CenterTargetInView();
  EXPECT_EQ(view->target_rect.left, 20);
  EXPECT_EQ(view->target_rect.top, 20);
  EXPECT_EQ(view->GetVirtualSize(), wxSize(2048 + 40, 1536 + 40));
}

class view_resize : public view_fixture {};

TEST_F(view_resize, ResizingAlwaysDropsTheBlendingBox) {
  for (int count : {0, 2}) {
    source_count = count;
    view->zone_box[0] = view->zone_box[1] = 30;
    view->zone_box[2] = view->zone_box[3] = 60;
    view->box_dragging = view->blend_dialog_open = true;
    view->SetSize(0, 0, 700 + count, 500);
    Settle();
    for (int edge : view->zone_box) EXPECT_EQ(edge, -1);
    EXPECT_FALSE(view->box_dragging);
    EXPECT_FALSE(view->blend_dialog_open);
  }
}

TEST_F(view_resize, WindowSqueezedToAFewPixelsKeepsAPositiveScaleAndPresents) {
  const uint32_t colours[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
  PaintQuarters(256, 192, colours);
  source_count = 2;
  view->InitTarget();
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
