#include <algorithm>

#include "engine/view_core.h"
#include "sources/document.h"
#include "tests/ui/app_fixture.h"
#include "ui/status_bar.h"
#include "ui/view.h"

namespace {

class EndToEnd : public app_fixture {};

TEST_F(EndToEnd, TwoImagesOnTheCommandLineAreShownAveraged) {
  // Both 4 : 3 like the canvas, so each covers the whole target. A third name is ignored.
  const std::string second = PlainImage("second.png", 160, 120, 20, 100, 250);
  Start({PlainImage("first.png", 64, 48, 200, 40, 10), second, PlainImage("third.png", 8, 8, 0, 255, 0)});
  ASSERT_TRUE(Messages().empty());
  ASSERT_EQ(source_count, 2);
  EXPECT_EQ(TheTestApp().Document()->file_name[1], second);
  ASSERT_EQ(target_width, 1024);
  ASSERT_EQ(target_height, 768);
  // "Average" at its starting weight: (c1 (256 - 127) + c2 127) >> 8.
  auto average = [](int c1, int c2) { return (c1 * 129 + c2 * 127) >> 8; };
  const wxColour expected(average(200, 20), average(40, 100), average(10, 250));
  EXPECT_EQ(std::count_if(target_pixels, target_pixels + 1024 * 768,
                          [&](const bgra& p) { return wxColour(p.red, p.green, p.blue) != expected; }),
            0);

  Settle();
  CvorbelView* view = Frame()->View();
  wxImage shown = ScreenOf(view);
  auto at = [&](int x, int y) { return wxColour(shown.GetRed(x, y), shown.GetGreen(x, y), shown.GetBlue(x, y)); };
  const float scale = view->display_scale;
  const int left = view->target_rect.left, top = view->target_rect.top;
  ASSERT_GT(shown.GetWidth(), left + int(1024 * scale));
  ASSERT_GT(shown.GetHeight(), top + int(768 * scale));
  for (double fx : {0.02, 0.5, 0.98})
    for (double fy : {0.02, 0.5, 0.98}) {
      const int x = left + int(fx * 1024 * scale), y = top + int(fy * 768 * scale);
      EXPECT_EQ(at(x, y), expected) << x << "," << y;
    }
  EXPECT_NE(at(2, 2), expected);  // the background outside the target

  // Hovering over the "source 1" pane shows it alone; the target keeps the average.
  wxRect pane;
  the_status_bar->GetFieldRect(1, pane);
  wxMouseEvent move(wxEVT_MOTION);
  move.m_x = pane.x + 10;
  move.m_y = pane.y + 2;
  the_status_bar->OnMouseMove(move);
  shown = ScreenOf(view);
  EXPECT_EQ(at(left + 20, top + 20), wxColour(200, 40, 10));
  EXPECT_EQ(target_pixels[0].red, expected.Red());
}

}  // namespace
