#include <gtk/gtk.h>
#include <wx/dialog.h>
#include <wx/uiaction.h>

#include <vector>

#include "tests/ui/app_fixture.h"
#include "tests/ui/target_copy.h"
#include "tests/ui/view_fixture.h"
#include "tests/ui/wait_for.h"
#include "ui/commands/command_ids.h"
#include "ui/commands/pane_command_ids.h"
#include "ui/dialogs/blend_dialog.h"
#include "ui/pane/grid_properties.h"
#include "ui/pane/properties_pane.h"
#include "ui/view/flying_tips.h"
#include "ui/view/move_size_box.h"

namespace {

constexpr uint32_t red = 0xFF0000, blue = 0x0000FF;

void FailOnAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                  const wxString& message) {
  ADD_FAILURE() << "wx assertion " << cond << " (" << message << ") in " << func << " at " << file
                << ":" << line;
}

void Send(wxWindow* window, wxEvent& event) {
  event.SetEventObject(window);
  window->GetEventHandler()->ProcessEvent(event);
}

void Key(wxWindow* window, wxEventType type, int code) {
  wxKeyEvent event(type);
  event.m_keyCode = code;
  event.m_uniChar = code;
  Send(window, event);
}

// Source 1 red over the whole 200 x 150 target, source 2 blue over its top-left
// 100 x 75, shown at scale 2.
class view_mouse : public view_fixture {
 protected:
  void SetUp() override {
    view_fixture::SetUp();
    old_assert = wxSetAssertHandler(FailOnAssert);
    Canvas(200, 150);
    Source(1, 200, 150, 0, 0, 255);
    Source(2, 100, 75, 255, 0, 0);
    view->fit_to_target[1] = 0;
    source_count = 2;
    view->OnInitialUpdate();
    view->display_scale = 2.0f;
    view->CenterTargetInView();
    view->PresentTarget();
    combined = Shown(At(10, 10).x, At(10, 10).y);
    view->hold = [this](int ms) {
      EXPECT_EQ(ms, 250);
      held.push_back(Shown(At(10, 10).x, At(10, 10).y));
    };
  }
  void TearDown() override {
    if (the_blend_dialog) the_blend_dialog->Destroy();
    the_blend_dialog = nullptr;
    view_fixture::TearDown();
    wxSetAssertHandler(old_assert);
  }
  void Source(int s, int w, int h, uint8_t b, uint8_t g, uint8_t r) {
    image_record& image = doc.source_image[s - 1];
    ASSERT_TRUE(image.Create(w, h));
    uint8_t* p = image.Pixels();
    for (int i = 0; i < w * h; ++i, p += 4) p[0] = b, p[1] = g, p[2] = r;
    doc.image_size[s - 1] = {w, h};
    doc.source_kind[s - 1] = kind_file;
  }
  // The client point over target pixel (x, y).
  wxPoint At(int x, int y) const {
    return {view->target_rect.left + 2 * x, view->target_rect.top + 2 * y};
  }
  void Mouse(wxEventType type, wxPoint p, bool left = true) {
    wxMouseEvent event(type);
    event.SetPosition(p);
    event.m_leftDown = left;
    Send(view, event);
  }
  void Drag(wxPoint from, wxPoint to) {
    Mouse(wxEVT_LEFT_DOWN, from);
    Mouse(wxEVT_MOTION, to);
    Mouse(wxEVT_LEFT_UP, to, false);
  }
  static bool Same(const std::vector<bgra>& a, const bgra* b) {
    return std::equal(a.begin(), a.end(), b, [](const bgra& x, const bgra& y) {
      return x.blue == y.blue && x.green == y.green && x.red == y.red;
    });
  }

  wxAssertHandler_t old_assert = nullptr;
  uint32_t combined = 0;
  std::vector<uint32_t> held;
};

TEST_F(view_mouse, SourceDragMovesTheSourceWithinReachAndItsHandlesFollow) {
  view->SetMoveSizeSource(2);
  ASSERT_EQ(view->GetChildren().size(), 8u);
  EXPECT_EQ(view->size_handles[7]->GetName(), "middle_bottom");
  EXPECT_EQ(view->size_handles[1]->GetPosition(), At(100, 75) - wxPoint(8, 9));

  Mouse(wxEVT_LEFT_DOWN, At(10, 10));
  Mouse(wxEVT_MOTION, At(30, 20));
  int dark = 0;  // the dotted line from the press to the pointer
  for (int x = At(10, 10).x; x <= At(30, 20).x; ++x)
    for (int y = At(10, 10).y - 1; y <= At(30, 20).y + 1; ++y) dark += Shown(x, y) == 0;
  EXPECT_GT(dark, 8);
  Mouse(wxEVT_LEFT_UP, At(30, 20), false);
  EXPECT_EQ(view->offset[1], (vpoint{-20, -10}));
  EXPECT_EQ(view->anchor[1], (vpoint{-20, -10}));
  EXPECT_EQ(view->size_handles[0]->GetPosition(), At(20, 10) - wxPoint(8, 9));

  Drag(At(10, 10), {5000, At(0, 10).y});  // far right: the left edge on the right edge
  EXPECT_EQ(view->offset[1].x, -200);
  Drag(At(10, 10), {-5000, At(0, 10).y});  // far left: the right edge on the left edge
  EXPECT_EQ(view->offset[1].x, 100);

  // A drag whose capture another window takes, or with both buttons, applies nothing.
  Mouse(wxEVT_LEFT_DOWN, At(10, 10));
  wxMouseCaptureLostEvent lost(view->GetId());
  Send(view, lost);
  Mouse(wxEVT_LEFT_UP, At(50, 50), false);
  EXPECT_EQ(view->offset[1].x, 100);
  Mouse(wxEVT_LEFT_DOWN, At(10, 10));
  Mouse(wxEVT_RIGHT_DOWN, At(10, 10));
  Mouse(wxEVT_RIGHT_UP, At(10, 10));
  Mouse(wxEVT_LEFT_UP, At(10, 10), false);
  EXPECT_FALSE(view->HasCapture());

  // With the perspective warp on a source still moves.
  view->perspective_on = true;
  Drag(At(10, 10), At(20, 10));
  EXPECT_EQ(view->offset[1].x, 90);
  view->perspective_on = false;

  view->SetMoveSizeSource(0);
  EXPECT_TRUE(view->GetChildren().empty());
}

TEST_F(view_mouse, AButtonDownInTheTargetOpensTheBlendTipAt100By200) {
  Mouse(wxEVT_LEFT_DOWN, At(10, 10));
  ASSERT_NE(view->flying_tip, nullptr);
  const wxString text = "Drag out a box to smoothly blend in source 1 or source 2.";
  const wxFont eight{wxFontInfo(8)};
  int w = 0, h = 0;
  view->GetTextExtent(text, &w, &h, nullptr, nullptr, &eight);
  EXPECT_EQ(view->flying_tip->GetRect(), wxRect(100, 200, w + 10, h + 2));
  EXPECT_EQ(view->flying_tip->GetId(), 149);
  Mouse(wxEVT_LEFT_UP, At(10, 10), false);
}

TEST_F(view_mouse, BoxPreviewsTheMixAndAClickFlashesEachSource) {
  Mouse(wxEVT_LEFT_DOWN, At(10, 10));
  const std::vector<bgra> before = Target();
  Mouse(wxEVT_MOTION, At(40, 40));
  EXPECT_EQ(Shown(At(20, 20).x, At(20, 20).y),
            0x80007Eu);                      // (129 x source 1 + 127 x source 2) >> 8
  EXPECT_TRUE(Same(before, target_pixels));  // the buffer is the target again
  // Where a box is too small to be a zone, the release is a click: source 1 alone,
  // source 2 alone, then the combination; the undo copy and the target survive.
  Mouse(wxEVT_MOTION, At(15, 14));  // 10 x 8 logical pixels
  std::fill_n(target_copy, 4, bgra{1, 2, 3, 4});
  Mouse(wxEVT_LEFT_UP, At(15, 14), false);
  EXPECT_EQ(held, (std::vector<uint32_t>{red, blue}));
  EXPECT_EQ(Shown(At(10, 10).x, At(10, 10).y), combined);
  EXPECT_TRUE(Same(before, target_pixels));
  EXPECT_EQ(target_copy[0].blue, 1);
  EXPECT_FALSE(view->box_dragging);

  // 10 x 10 logical pixels make a zone: its dialog opens once.
  Drag(At(10, 10), At(10, 10) + wxPoint(10, 10));
  ASSERT_NE(the_blend_dialog, nullptr);
  EXPECT_TRUE(view->blend_dialog_open && view->box_dragging);
  wxDialog* first = the_blend_dialog;
  held.clear();
  Drag(At(10, 10), At(10, 10));
  Drag(At(10, 10), At(30, 30));
  EXPECT_EQ(the_blend_dialog, first);
  EXPECT_TRUE(held.empty());

  // A press outside the target starts no box: no dialog, no flash.
  the_blend_dialog->Destroy();
  the_blend_dialog = nullptr;
  view->box_dragging = view->blend_dialog_open = false;
  Drag({5, 5}, At(30, 30));
  EXPECT_EQ(the_blend_dialog, nullptr);
  EXPECT_TRUE(held.empty());
}

TEST_F(view_mouse, WithTheWarpOnNoBoxStartsAndNoReleaseEndsOne) {
  Drag(At(10, 10), At(11, 11));  // a click before the warp leaves its corner behind
  held.clear();
  view->perspective_on = true;
  const std::vector<bgra> before = Target();
  Mouse(wxEVT_LEFT_DOWN, At(10, 10));
  EXPECT_FALSE(view->box_dragging);
  EXPECT_EQ(view->flying_tip, nullptr);
  Mouse(wxEVT_MOTION, At(60, 60));
  Mouse(wxEVT_LEFT_UP, At(60, 60), false);  // a zone's size
  EXPECT_EQ(the_blend_dialog, nullptr);
  Drag(At(10, 10), At(11, 11));  // a click's size
  EXPECT_TRUE(held.empty());
  EXPECT_TRUE(Same(before, target_pixels));
  view->perspective_on = false;
}

TEST_F(view_mouse, KeysSelectAndShowSourcesAndTheWheelNeverScrolls) {
  const std::pair<int, int> keys[] = {{'1', 1}, {'B', 1}, {'2', 2}, {WXK_ESCAPE, 0}, {'2', 2}, {'b', 0}};
  for (auto [key, selected] : keys) {
    Key(view, wxEVT_CHAR, key);
    EXPECT_EQ(view->moving_source, selected) << key;
  }
  Mouse(wxEVT_LEFT_DOWN, At(10, 10));  // keys wait while a box is dragged
  Key(view, wxEVT_CHAR, '1');
  EXPECT_EQ(view->moving_source, 0);
  Mouse(wxEVT_LEFT_UP, At(10, 10), false);

  Key(view, wxEVT_KEY_DOWN, WXK_SPACE);
  EXPECT_EQ(Shown(At(10, 10).x, At(10, 10).y), red);
  Key(view, wxEVT_KEY_UP, WXK_SPACE);
  EXPECT_EQ(Shown(At(10, 10).x, At(10, 10).y), combined);

  view->SetVirtualSize(4000, 4000);
  wxMouseEvent wheel(wxEVT_MOUSEWHEEL);
  wheel.m_wheelRotation = -360;
  wheel.m_wheelDelta = 120;
  wheel.m_linesPerAction = 3;
  Send(view, wheel);
  EXPECT_EQ(view->GetViewStart(), wxPoint(0, 0));
}

// A view that notes the colour of target pixel (10, 10) in every presentation.
class noting_view : public CvorbelView {
 public:
  using CvorbelView::CvorbelView;
  bool PresentPixels(const bgra* pixels) override {
    const bgra& p = pixels[10 * target_width + 10];
    presented.push_back(uint32_t(p.red) << 16 | uint32_t(p.green) << 8 | p.blue);
    return CvorbelView::PresentPixels(pixels);
  }
  std::vector<uint32_t> presented;
};

// Held down, the bar repeats its key-down without key-ups in between, as GTK
// delivers the keyboard's auto-repeat under X: source 2 is glimpsed once only.
TEST_F(view_mouse, AHeldSpaceBarGlimpsesSourceTwoOnceAndKeepsSourceOne) {
  view->Destroy();
  auto* noting = new noting_view(frame, &doc);
  view = noting;
  view->SetSize(0, 0, client_width, client_height);
  view->OnInitialUpdate();
  const uint32_t mixed = noting->presented.back();
  std::vector<uint32_t>& presented = noting->presented;

  presented.clear();
  Key(view, wxEVT_KEY_DOWN, WXK_SPACE);
  for (int repeat = 0; repeat < 5; ++repeat) Key(view, wxEVT_KEY_DOWN, WXK_SPACE);
  Key(view, wxEVT_KEY_UP, WXK_SPACE);
  EXPECT_EQ(presented, (std::vector<uint32_t>{blue, red, mixed}));

  // A new press glimpses again, also after the view lost the keys with the bar down.
  presented.clear();
  Key(view, wxEVT_KEY_DOWN, WXK_SPACE);
  wxFocusEvent lost(wxEVT_KILL_FOCUS);
  Send(view, lost);
  Key(view, wxEVT_KEY_DOWN, WXK_SPACE);
  EXPECT_EQ(presented, (std::vector<uint32_t>{blue, red, blue, red}));
}

// Zoom levels from the smallest to the largest, drags that leave the window and a
// window squeezed while a handle is held stay inside every buffer.
TEST_F(view_mouse, ExtremeZoomsTinyWindowsAndStrayDragsStayConsistent) {
  const wxPoint far[4] = {{-3000, -3000}, {5000, 4000}, {0, 0}, {799, 599}};
  for (float scale : {0.005f, 0.3f, 1.0f, 8.0f, 60.0f}) {
    SCOPED_TRACE(scale);
    view->display_scale = scale;
    view->CenterTargetInView();
    for (int s : {2, 0}) {
      view->SetMoveSizeSource(s);
      for (const wxPoint& from : far)
        for (const wxPoint& to : far) Drag(from, to);
      EXPECT_GE(view->offset[1].x, -200);
      EXPECT_LE(view->offset[1].x, 100);
    }
    EXPECT_FALSE(view->HasCapture());
  }
  view->display_scale = 2.0f;
  view->CenterTargetInView();
  view->SetMoveSizeSource(1);
  move_size_box* handle = view->size_handles[handle_top_left];
  wxMouseEvent down(wxEVT_LEFT_DOWN);
  Send(handle, down);
  view->SetSize(0, 0, 3, 3);
  Settle();
  wxMouseEvent move(wxEVT_MOTION), up(wxEVT_LEFT_UP);
  move.m_leftDown = true;
  Send(handle, move);
  Send(handle, up);
  EXPECT_GE(view->width_percent[0], 2.0);
  EXPECT_GE(view->height_percent[0], 2.0);
  EXPECT_FALSE(handle->HasCapture());
  view->SetSize(0, 0, client_width, client_height);
  Settle();
}

// Real input through the X server: a handle drag rescales from that corner and
// leaves the handle under the pointer.
TEST_F(view_mouse, HandleDragRescalesAndKeepsTheAnchorInStep) {
  view->SetMoveSizeSource(2);
  fix_point_2 = 5;  // bottom right: the anchor must follow the new width
  Settle();
  move_size_box* corner = view->size_handles[handle_bottom_right];
  const wxPoint grab = corner->GetScreenPosition() + wxPoint(8, 9);
  wxUIActionSimulator input;
  input.MouseMove(grab);
  ASSERT_TRUE(WaitFor([&] { return wxGetMousePosition() == grab; }));
  input.MouseDown();
  ASSERT_TRUE(WaitFor([&] { return corner->HasCapture(); }));
  for (int step = 1; step <= 4; ++step) {
    input.MouseMove(grab + wxPoint(10 * step, 0));
    ASSERT_TRUE(WaitFor([&] {
      return view->size_handles[handle_bottom_right]->GetPosition().x >= At(100, 75).x - 8 + 10 * step;
    }));
  }
  input.MouseUp();
  ASSERT_TRUE(WaitFor([&] { return !corner->HasCapture(); }));
  Settle();
  // 40 client pixels at scale 2 are 20 target pixels on a width of 100.5; each
  // step rescales the size with its half pixel, so the steps add a little.
  EXPECT_NEAR(view->width_percent[1], 100.0 * 120.5 / 100.5, 0.02);
  EXPECT_EQ(view->height_percent[1], 100.0);
  EXPECT_EQ(view->offset[1], (vpoint{0, 0}));
  EXPECT_EQ(view->anchor[1], (vpoint{-int(view->ScaledWidth(2)), -75}));
  EXPECT_LT(view->anchor[1].x, -115);
  EXPECT_TRUE(corner->GetScreenRect().Contains(wxGetMousePosition()));

  input.MouseMove(corner->GetScreenPosition() + wxPoint(8, 9));
  ASSERT_TRUE(WaitFor([&] { return corner->GetScreenRect().Contains(wxGetMousePosition()); }));
  input.MouseClick(wxMOUSE_BTN_RIGHT);  // back to 100 % at the top-left
  ASSERT_TRUE(WaitFor([&] { return view->width_percent[1] == 100.0; }));
  EXPECT_EQ(fix_point_2, 1);
  EXPECT_EQ(view->anchor[1], (vpoint{0, 0}));
  EXPECT_EQ(view->size_handles[handle_top_left]->GetPosition(), At(0, 0) - wxPoint(8, 9));
}

// Real input: one long move after the press on a handle, with nothing after it.
// GTK merges a motion with the next one and under the handle's grab may hold it
// until that next one comes; the handle takes its motions as they come instead.
TEST_F(view_mouse, HandlesFollowTheFirstMotionOfADragAlone) {
  view->SetMoveSizeSource(2);
  Settle();
  move_size_box* corner = view->size_handles[handle_bottom_right];
  const wxPoint start = corner->GetPosition();
  const wxPoint grab = corner->GetScreenPosition() + wxPoint(8, 9);
  wxUIActionSimulator input;
  input.MouseMove(grab);
  ASSERT_TRUE(WaitFor([&] { return wxGetMousePosition() == grab; }));
  input.MouseDown();
  ASSERT_TRUE(WaitFor([&] { return corner->HasCapture(); }));
  EXPECT_FALSE(gdk_window_get_event_compression(gtk_widget_get_window(corner->GetHandle())));
  input.MouseMove(grab - wxPoint(60, 40));
  // 60 and 40 client pixels at scale 2: 30 and 20 target pixels.
  WaitFor([&] { return corner->GetPosition() == start - wxPoint(60, 40); });
  EXPECT_EQ(corner->GetPosition(), start - wxPoint(60, 40));
  EXPECT_EQ(view->offset[1], (vpoint{0, 0})) << "the source itself waits for the release";
  input.MouseUp();
  ASSERT_TRUE(WaitFor([&] { return !corner->HasCapture(); }));
}

// In the application: the status bar tells the pixel, the selection and the fix points.
class view_status : public app_fixture {};

TEST_F(view_status, HoverLabelAndFixPanesTellWhatTheMouseAndPlacementDo) {
  Start({PlainImage("one.png", 64, 48, 255, 0, 0), PlainImage("two.png", 32, 32, 0, 0, 255)});
  CvorbelView* view = app.Frame()->View();
  ASSERT_EQ(source_count, 2);
  wxMouseEvent move(wxEVT_MOTION);
  move.SetPosition({view->target_rect.left, view->target_rect.top});
  Send(view, move);
  EXPECT_EQ(the_status_bar->PaneText(4), "X: 1 Y: 1");
  move.SetPosition({2, 2});
  Send(view, move);
  EXPECT_EQ(the_status_bar->PaneText(4), "");

  // The keys reach the view through the properties pane and the frame.
  Key(view, wxEVT_CHAR, '2');
  EXPECT_EQ(view->moving_source, 2);
  EXPECT_EQ(the_status_bar->PaneText(5), "Move/size 2");
  Key(view, wxEVT_CHAR, 'b');
  EXPECT_EQ(the_status_bar->PaneText(5), "Move/size off");

  EXPECT_TRUE(Enabled(cmd_place_2_top_left));
  fix_point_2 = 5;
  view->DrawFixPositionIndicator();
  const wxRect pane = Pane(7);
  const wxImage bar = ScreenOf(the_status_bar);
  EXPECT_EQ(ColourAt(bar, pane.GetRight() - 3, pane.GetBottom() - 3), wxColour(0, 128, 255));
  EXPECT_EQ(ColourAt(bar, pane.x + 3, pane.y + 3), wxColour(0x99, 0xFF, 0x66));
  Command(WxId(cmd_place_2_top_left));
  EXPECT_EQ(fix_point_2, 1);
  // The pane's flip button reaches the view, and shows the flipped image.
  the_properties_pane->RunCommand(cmd_mirror_1, true);
  EXPECT_EQ(app.Document()->mirrored[0], 1);
  EXPECT_EQ(the_properties_pane->mirror_button_1->Image(), image_mirrored_1);
  // Adjoining puts source 1 on the right, pinned at its top right, and the grid
  // shows the new scale.
  the_properties_pane->RunCommand(cmd_adjoin_2_1, true);
  EXPECT_EQ(fix_point_1, 3);
  EXPECT_EQ(view->offset[0].x, -view->target_rect.Width() / 2);
  EXPECT_EQ(prop_hscale_1->GetValue().GetLong(), long(view->width_percent[0]));
  const wxImage after = ScreenOf(the_status_bar);
  EXPECT_EQ(ColourAt(after, pane.x + 3, pane.y + 3), wxColour(0, 128, 255));
}

}  // namespace
