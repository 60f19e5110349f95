#include <gtest/gtest.h>

#include <wx/uiaction.h>

#include <tuple>

#include "engine/base/process_state.h"
#include "engine/placement/size_handles.h"
#include "tests/ui/app_fixture.h"
#include "tests/ui/wait_for.h"
#include "ui/pane/grid_properties.h"
#include "ui/pane/properties_pane.h"
#include "ui/view/move_size_box.h"
#include "ui/view/view.h"

namespace {

void Send(wxWindow* window, wxEvent& event) {
  event.SetEventObject(window);
  window->GetEventHandler()->ProcessEvent(event);
}

// Two sources in the application, source 1 64 x 48 and source 2 32 x 32, each at
// its own size on a 320 x 240 target.
class view_pointer : public app_fixture {
 protected:
  void SetUp() override {
    app_fixture::SetUp();
    WriteFile("vorbel.conf", "[Configure]\ncanvas_width=320\ncanvas_height=240\n");
    Start({PlainImage("one.png", 64, 48, 255, 0, 0), PlainImage("two.png", 32, 32, 0, 0, 255)});
    view = app.Frame()->View();
    ASSERT_EQ(source_count, 2);
    for (int s = 1; s <= 2; ++s) view->fit_to_target[s - 1] = 0, view->UpdateSourceGeometry(s);
    view->RebuildSources(-1);
  }
  // The client point in the middle of target pixel (x, y).
  wxPoint Over(int x, int y) const {
    const float s = view->display_scale;
    const wxPoint logical(view->target_rect.left + int((x + 0.5f) * s), view->target_rect.top + int((y + 0.5f) * s));
    return view->CalcScrolledPosition(logical);
  }
  void Mouse(wxWindow* window, wxEventType type, wxPoint p, bool left) {
    wxMouseEvent event(type);
    event.SetPosition(p);
    event.m_leftDown = left;
    Send(window, event);
  }

  CvorbelView* view = nullptr;
};

TEST_F(view_pointer, TheStatusBarCountsPixelsFromOneAndADragTellsItsDistance) {
  Mouse(view, wxEVT_MOTION, Over(37, 12), false);
  EXPECT_EQ(the_status_bar->PaneText(4), "X: 38 Y: 13");
  Mouse(view, wxEVT_MOTION, Over(319, 239), false);
  EXPECT_EQ(the_status_bar->PaneText(4), "X: 320 Y: 240");

  Mouse(view, wxEVT_LEFT_DOWN, Over(37, 12), true);
  Mouse(view, wxEVT_MOTION, Over(42, 9), true);
  EXPECT_EQ(the_status_bar->PaneText(4), "X: 38 Y: 13, dx: 5 dy: -3");
  // A drag past the target's corner counts to its last pixel.
  Mouse(view, wxEVT_MOTION, Over(400, 300), true);
  EXPECT_EQ(the_status_bar->PaneText(4), "X: 38 Y: 13, dx: 282 dy: 227");
  view->hold = [](int) {};
  Mouse(view, wxEVT_MOTION, Over(37, 12), true);
  Mouse(view, wxEVT_LEFT_UP, Over(37, 12), false);
  EXPECT_FALSE(view->HasCapture());
  EXPECT_FALSE(view->box_dragging);
}

TEST_F(view_pointer, ARightClickOnAHandleResetsItsOwnSourceOnly) {
  for (int s : {1, 2}) {
    SCOPED_TRACE(s);
    view->width_percent[0] = view->width_percent[1] = 150;
    view->height_percent[0] = view->height_percent[1] = 80;
    view->offset[0] = {-20, -10};
    view->offset[1] = {-30, -40};
    fix_point_1 = fix_point_2 = 4;
    view->SetMoveSizeSource(s);
    ASSERT_NE(view->size_handles[handle_middle_right], nullptr);
    Mouse(view->size_handles[handle_middle_right], wxEVT_RIGHT_DOWN, {8, 9}, false);
    const int other = 2 - s;
    EXPECT_EQ(view->width_percent[s - 1], 100.0);
    EXPECT_EQ(view->height_percent[s - 1], 100.0);
    EXPECT_EQ(view->offset[s - 1], (vpoint{0, 0}));
    EXPECT_EQ(s == 1 ? fix_point_1 : fix_point_2, 1);
    EXPECT_EQ(view->width_percent[other], 150.0);
    EXPECT_EQ(view->offset[other], (vpoint{other == 0 ? -20 : -30, other == 0 ? -10 : -40}));
    EXPECT_EQ(s == 1 ? fix_point_2 : fix_point_1, 4);
  }
  fix_point_1 = fix_point_2 = 1;
}

TEST_F(view_pointer, AHandleReleaseWritesWidthAndHeightIntoTheirOwnGridRows) {
  view->SetMoveSizeSource(1);
  Settle();
  move_size_box* corner = view->size_handles[handle_bottom_right];
  ASSERT_NE(corner, nullptr);
  wxUIActionSimulator input;
  const wxPoint grab = corner->GetScreenPosition() + wxPoint(8, 9);
  input.MouseMove(grab);
  ASSERT_TRUE(WaitFor([&] { return wxGetMousePosition() == grab; }));
  Mouse(corner, wxEVT_LEFT_DOWN, {8, 9}, true);
  const wxPoint to = grab + wxPoint(40, 10);
  input.MouseMove(to);
  ASSERT_TRUE(WaitFor([&] { return wxGetMousePosition() == to; }));
  Mouse(corner, wxEVT_LEFT_UP, {8, 9}, false);
  EXPECT_GT(view->width_percent[0], view->height_percent[0] + 10);
  EXPECT_GT(view->height_percent[0], 100.0);
  EXPECT_EQ(prop_hscale_1->GetValue().GetLong(), long(view->width_percent[0]));
  EXPECT_EQ(prop_vscale_1->GetValue().GetLong(), long(view->height_percent[0]));
  EXPECT_EQ(prop_hscale_2->GetValue().GetLong(), 100);
}

TEST_F(view_pointer, TheMoveSizeLabelWearsItsSourcesColour) {
  const wxColour pink(255, 192, 192), green(153, 255, 102);
  for (auto [s, text, colour] : {std::tuple{1, "Move/size 1", pink}, {2, "Move/size 2", green}}) {
    view->SetMoveSizeSource(s);
    EXPECT_EQ(the_status_bar->PaneText(5), text);
    const wxRect pane = Pane(5);
    EXPECT_EQ(ColourAt(ScreenOf(the_status_bar), pane.GetRight() - 2, pane.y + 2), colour) << text;
  }
  view->SetMoveSizeSource(0);
  EXPECT_EQ(the_status_bar->PaneText(5), "Move/size off");
}

}  // namespace
