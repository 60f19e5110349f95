#include <cstdlib>

#include <wx/dcmemory.h>

#include "tests/ui/view_fixture.h"

namespace {

constexpr uint32_t red = 0xFF0000, green = 0x00FF00, blue = 0x0000FF, white = 0xFFFFFF;

bool Near(uint32_t a, uint32_t b, int tolerance) {
  for (int shift : {0, 8, 16})
    if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance) return false;
  return true;
}

class view_presentation : public view_fixture {
 protected:
  // Two sources, the target w x h in quarters, shown at scale and centred.
  void Present(int w, int h, float scale) {
    source_count = 2;
    const uint32_t quarters[4] = {red, green, blue, white};
    PaintQuarters(w, h, quarters);
    view->target_rect = {0, 0, w, h};
    view->display_scale = scale;
    view->CenterTargetInView();
    ASSERT_FALSE(view->PresentTarget());
    left = view->target_rect.left;
    top = view->target_rect.top;
  }
  int left = 0, top = 0;
};

TEST_F(view_presentation, TargetCornersLandWhereTheDisplayScalePutsThem) {
  for (float scale : {1.0f, 0.5f, 0.75f, 2.0f, 3.0f}) {
    SCOPED_TRACE(scale);
    Present(64, 48, scale);
    const int right = left + int(64 * scale), bottom = top + int(48 * scale);
    EXPECT_EQ(Shown(left, top), red);  // target pixel (0, 0)
    EXPECT_EQ(Shown(right - 1, top), green);
    EXPECT_EQ(Shown(left, bottom - 1), blue);
    EXPECT_EQ(Shown(right - 1, bottom - 1), white);  // target pixel (w - 1, h - 1)
    for (uint32_t outside : {Shown(left - 1, top), Shown(left, top - 1), Shown(right, bottom - 1), Shown(right - 1, bottom)})
      EXPECT_FALSE(outside == red || outside == green || outside == blue || outside == white);
  }
  // The background runs from light yellow to forest green.
  EXPECT_TRUE(Near(Shown(0, 0), 0xFFFFE0, 2));
  EXPECT_TRUE(Near(Shown(client_width - 1, client_height - 1), 0x228B22, 2));
}

TEST_F(view_presentation, ScrolledTargetMovesByTheScrollPosition) {
  Present(400, 300, 4.0f);  // 1600 x 1200 on an 800 x 600 window
  view->Scroll(100, 50);
  ASSERT_FALSE(view->PresentTarget());
  const int x = left - 100 + 800, y = top - 50 + 600;  // where the red quarter ends
  EXPECT_EQ(x, -80 + 800);
  EXPECT_EQ(Shown(0, 0), red);
  // A few pixels either side of the corner lie clear of the blend between target pixels.
  EXPECT_EQ(Shown(x - 3, y - 3), red);
  EXPECT_EQ(Shown(x + 2, y - 3), green);
  EXPECT_EQ(Shown(x + 2, y + 2), white);
}

TEST_F(view_presentation, OutlineConnectorAndBlendingBoxAreDrawnOverTheTarget) {
  view->moving_source = 2;
  view->rotated_size[1] = {40, 20};
  view->width_percent[1] = 50.0;  // 20 x 20 target pixels
  view->offset[1] = {-10, -8};    // top-left at (10, 8)
  Present(64, 48, 2.0f);
  // Each outline edge starts with a dash two stroke widths long.
  const uint32_t yellow = 0xFFFF33;
  EXPECT_EQ(Shown(left + 10 * 2, top + 9 * 2), yellow);   // left edge, going down
  EXPECT_EQ(Shown(left + 30 * 2, top + 27 * 2), yellow);  // right edge, going up
  EXPECT_EQ(Shown(left + 20 * 2, top + 18 * 2), red);

  view->moving_source = 0;
  view->zone_box[0] = left + 10;
  view->zone_box[1] = top + 10;
  view->zone_box[2] = left + 60;
  view->zone_box[3] = top + 40;
  ASSERT_FALSE(view->PresentTarget());
  EXPECT_EQ(Shown(left + 10, top + 10), red);  // no box while none is dragged
  view->box_dragging = true;
  ASSERT_FALSE(view->PresentTarget());
  int black = 0, other = 0;
  for (int y = top + 10; y <= top + 40; ++y) (Shown(left + 10, y) == 0 ? black : other)++;
  EXPECT_GT(black, 10);
  EXPECT_GT(other, 10);

  view->box_dragging = false;
  view->show_fix_cross = true;
  view->anchor[0] = {-10, -10};  // fix point of source 1 at (10, 10)
  view->anchor[1] = {-50, -40};
  Present(64, 48, 1.0f);
  auto connector = [](uint32_t c) { return Near(c, 0x0080FF, 1); };
  EXPECT_TRUE(connector(Shown(left + 50 + 7, top + 40 - 7)));  // square about point 2
  EXPECT_TRUE(connector(Shown(left + 10, top + 25)));          // down from point 1
  EXPECT_TRUE(connector(Shown(left + 30, top + 40)));          // across to point 2
}

TEST_F(view_presentation, PaintShowsThePresentationOrSaysTheTargetIsMissing) {
  Present(64, 48, 2.0f);
  auto paint = [&] {
    wxBitmap picture(client_width, client_height, 24);
    {
      wxMemoryDC dc(picture);
      dc.SetBackground(*wxBLACK_BRUSH);
      dc.Clear();
      view->OnDraw(dc);
    }
    return picture.ConvertToImage();
  };
  wxImage drawn = paint();
  EXPECT_EQ(wxColour(drawn.GetRed(left, top), drawn.GetGreen(left, top), drawn.GetBlue(left, top)), *wxRED);
  EXPECT_EQ(drawn.GetBlue(left + 127, top + 95), 255);
  EXPECT_EQ(drawn.GetRed(left + 127, top + 95), 255);

  target_width = target_height = 0;
  EXPECT_TRUE(view->PresentTarget());
  drawn = paint();
  EXPECT_EQ(drawn.GetGreen(5, 5), 255);  // cleared, not left black
  int dark = 0;
  for (int y = 400; y < 416; ++y)
    for (int x = 100; x < 400; ++x) dark += drawn.GetRed(x, y) < 80;
  EXPECT_GT(dark, 20);
}

}  // namespace
