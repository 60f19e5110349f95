#include "engine/view_core.h"
#include "tests/ui/app_fixture.h"
#include "ui/status_bar.h"
#include "ui/view.h"

namespace {

class EndToEnd : public app_fixture {
 protected:
  // The "Average" method at its starting weight: (c1 (256 - 127) + c2 127) >> 8.
  static int Average(int c1, int c2) { return (c1 * 129 + c2 * 127) >> 8; }
};

TEST_F(EndToEnd, TwoImagesOnTheCommandLineAreShownAveraged) {
  // Both 4 : 3 like the canvas, so each covers the whole target.
  const std::string first = PlainImage("first.png", 64, 48, 200, 40, 10);
  const std::string second = PlainImage("second.png", 160, 120, 20, 100, 250);
  Start({first, second});
  ASSERT_TRUE(Messages().empty());
  ASSERT_EQ(source_count, 2);
  CvorbelView* view = Frame()->View();
  ASSERT_EQ(target_width, 1024);
  ASSERT_EQ(target_height, 768);

  const int red = Average(200, 20), green = Average(40, 100), blue = Average(10, 250);
  long wrong = 0;
  for (int i = 0; i < target_width * target_height; ++i) {
    const bgra& p = target_pixels[i];
    wrong += p.red != red || p.green != green || p.blue != blue;
  }
  EXPECT_EQ(wrong, 0);

  Settle();
  const wxImage shown = ScreenOf(view);
  const float scale = view->display_scale;
  const int left = view->target_rect.left, top = view->target_rect.top;
  for (double fx : {0.02, 0.25, 0.5, 0.75, 0.98})
    for (double fy : {0.02, 0.5, 0.98}) {
      const int x = left + int(fx * target_width * scale);
      const int y = top + int(fy * target_height * scale);
      ASSERT_TRUE(shown.GetWidth() > x && shown.GetHeight() > y) << x << "," << y;
      EXPECT_EQ(shown.GetRed(x, y), red) << x << "," << y;
      EXPECT_EQ(shown.GetGreen(x, y), green) << x << "," << y;
      EXPECT_EQ(shown.GetBlue(x, y), blue) << x << "," << y;
    }
  // Outside the target the window shows the background, not the target.
  EXPECT_FALSE(shown.GetRed(2, 2) == red && shown.GetGreen(2, 2) == green);
}

TEST_F(EndToEnd, HoveringOverViewSourceOneShowsItAloneOnTheScreen) {
  Start({PlainImage("first.png", 64, 48, 200, 40, 10),
         PlainImage("second.png", 64, 48, 20, 100, 250)});
  CvorbelView* view = Frame()->View();
  Settle();
  wxRect pane;
  the_status_bar->GetFieldRect(1, pane);
  wxMouseEvent move(wxEVT_MOTION);
  move.m_x = pane.x + 10;
  move.m_y = pane.y + 2;
  the_status_bar->OnMouseMove(move);
  const int x = view->target_rect.left + 20, y = view->target_rect.top + 20;
  const wxImage shown = ScreenOf(view);
  EXPECT_EQ(shown.GetRed(x, y), 200);
  EXPECT_EQ(shown.GetGreen(x, y), 40);
  EXPECT_EQ(shown.GetBlue(x, y), 10);
  EXPECT_EQ(target_pixels[0].red, Average(200, 20));
}

}  // namespace
