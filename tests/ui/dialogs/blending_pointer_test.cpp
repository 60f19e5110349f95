#include <wx/menu.h>
#include <wx/uiaction.h>

#include <chrono>
#include <vector>

#include "tests/ui/dialogs/blend_box_fixture.h"
#include "tests/ui/wait_for.h"
#include "ui/dialogs/blend_dialog.h"
#include "ui/view/view.h"

namespace {

// The blending buttons under the X server's own pointer: presses, moves and releases
// that the server makes, as a hand makes them, each followed by a click elsewhere that
// must reach its window.
class blending_pointer : public blend_box {
 protected:
  void SetUp() override {
    blend_box::SetUp();
    Start({PlainImage("red.png", 64, 48, 250, 0, 0), PlainImage("blue.png", 64, 48, 0, 0, 250)});
    view = app.Frame()->View();
    app.Frame()->Bind(wxEVT_MENU_OPEN, [this](wxMenuEvent& event) {
      ++menus_opened;
      event.Skip();
    });
    app.Frame()->Bind(wxEVT_MENU_CLOSE, [this](wxMenuEvent& event) {
      ++menus_closed;
      event.Skip();
    });
    dialog = OpenOver(50, 50, 400, 300);
    ASSERT_NE(dialog, nullptr);
    for (blending_buttons* button : {dialog->button1, dialog->button2}) {
      button->Bind(wxEVT_TIMER, [this](wxTimerEvent& event) {
        ++ticks;
        event.Skip();
      });
      button->Bind(wxEVT_MOTION, [this, button](wxMouseEvent& event) {
        hovered = button;
        event.Skip();
      });
    }
    dialog->Raise();
    Settle();
  }
  void TearDown() override {
    if (pressed) input.MouseUp();  // the next test starts with the button up
    blend_box::TearDown();
  }

  void MoveTo(wxPoint p) {
    input.MouseMove(p);
    ASSERT_TRUE(WaitFor([&] { return wxGetMousePosition() == p; }));
  }
  static wxPoint Middle(wxWindow* window) {
    const wxRect r = window->GetScreenRect();
    return {r.x + r.width / 2, r.y + r.height / 2};
  }
  // Puts the pointer over the button. A window manager may still be placing the
  // dialog when its place is first read: this waits until the server has the pointer
  // over the button, reading the place again if need be.
  void PointAt(blending_buttons* button) {
    hovered = nullptr;
    for (int attempt = 0; attempt < 5 && hovered != button; ++attempt) {
      if (attempt > 0) dialog->Raise(), Settle();
      MoveTo(Middle(button) + wxPoint(attempt % 2, 0));
      WaitFor([&] { return hovered == button; });
    }
    ASSERT_EQ(hovered, button) << "the pointer never came over the button";
  }
  // Presses over the button and waits for the press's step.
  void PressOn(blending_buttons* button) {
    ASSERT_NO_FATAL_FAILURE(PointAt(button));
    const int level = view->zone_level;
    input.MouseDown();
    pressed = true;
    ASSERT_TRUE(WaitFor([&] { return view->zone_level != level; }));
  }
  void Release() {
    input.MouseUp();
    pressed = false;
    ASSERT_TRUE(WaitFor([] { return !wxGetMouseState().LeftIsDown(); }));
  }
  // Lets more than two repeat intervals pass, for a repeat that should not come.
  static void LetTwoRepeatsPass() {
    const auto until =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(2 * blending_buttons::repeat_ms + 50);
    while (std::chrono::steady_clock::now() < until) Settle(), wxMilliSleep(10);
  }
  // After the release: no more steps, and a click on File opens its menu.
  void ExpectTheMouseFree() {
    const int level = view->zone_level;
    LetTwoRepeatsPass();
    EXPECT_EQ(view->zone_level, level) << "steps after the release";
    EXPECT_FALSE(dialog->button1->Repeating() || dialog->button2->Repeating());
    const wxRect bar = app.Frame()->GetMenuBar()->GetScreenRect();
    MoveTo({bar.x + 12, bar.y + bar.height / 2});
    const int opened = menus_opened, closed = menus_closed;
    input.MouseClick();
    ASSERT_TRUE(WaitFor([&] { return menus_opened > opened; })) << "the File menu did not open";
    input.Char(WXK_ESCAPE);
    ASSERT_TRUE(WaitFor([&] { return menus_closed > closed; }));
  }

  // Presses the button, moves through the points and releases there: the press's step
  // and one a tick while held, none after, and the next click reaches the menu bar.
  void Wander(blending_buttons* button, const std::vector<wxPoint>& points) {
    PressOn(button);
    for (wxPoint p : points) MoveTo(p);
    Release();
    ExpectTheMouseFree();
    EXPECT_EQ(view->zone_level, (button == dialog->button1 ? 1 : -1) * (1 + ticks));
  }

  wxUIActionSimulator input;
  blend_dialog* dialog = nullptr;
  int menus_opened = 0, menus_closed = 0;
  blending_buttons* hovered = nullptr;
  int ticks = 0;  // of both buttons' repeat timers
  bool pressed = false;
};

TEST_F(blending_pointer, AOnePixelMoveWhileHeld) {
  Wander(dialog->button1, {Middle(dialog->button1) + wxPoint(1, 0)});
}

TEST_F(blending_pointer, AReleaseOverTheDialog) {
  const wxRect r = dialog->button2->GetScreenRect();
  Wander(dialog->button2, {{r.GetRight() + 30, r.GetBottom() + 8}});
}

TEST_F(blending_pointer, AReleaseOverTheView) { Wander(dialog->button1, {Middle(view)}); }

TEST_F(blending_pointer, OffTheButtonAndBack) {
  Wander(dialog->button2, {Middle(dialog), Middle(dialog->button2) + wxPoint(2, 1)});
}

TEST_F(blending_pointer, AReleaseAwayFromEveryWindowOfTheProgram) {
  const wxSize screen = wxGetDisplaySize();
  const wxPoint bare(screen.x - 5, screen.y - 5);
  ASSERT_FALSE(app.Frame()->GetScreenRect().Contains(bare) || dialog->GetScreenRect().Contains(bare));
  Wander(dialog->button1, {bare});
}

TEST_F(blending_pointer, AStillClickStepsOnceAndADoubleClickTwice) {
  ASSERT_NO_FATAL_FAILURE(PointAt(dialog->button2));
  input.MouseClick();
  ASSERT_TRUE(WaitFor([&] { return view->zone_level == -1 - ticks; }));
  input.MouseDblClick();
  ASSERT_TRUE(WaitFor([&] { return view->zone_level == -3 - ticks; }));
  ExpectTheMouseFree();
  EXPECT_EQ(view->zone_level, -3 - ticks);
}

// Held for about two seconds while the pointer wanders: the press's step and one for
// each tick of the repeat, which goes on wherever the pointer is and ends at the release.
TEST_F(blending_pointer, AHeldButtonRepeatsWhereverThePointerGoes) {
  PressOn(dialog->button1);
  EXPECT_EQ(dialog->button1->RepeatInterval(), blending_buttons::repeat_ms);
  MoveTo(Middle(dialog->button1) + wxPoint(2, 0));
  ASSERT_TRUE(WaitFor([&] { return ticks >= 2; })) << "no repeat while held";
  MoveTo(Middle(view));
  ASSERT_TRUE(WaitFor([&] { return ticks >= 4; }));
  EXPECT_TRUE(dialog->button1->Repeating());
  Release();
  ExpectTheMouseFree();
  EXPECT_EQ(view->zone_level, 1 + ticks);
  // OK closes the dialog at the first click.
  MoveTo(Middle(dialog->FindWindow(wxID_OK)));
  input.MouseClick();
  EXPECT_TRUE(WaitFor([] { return the_blend_dialog == nullptr; }));
}

}  // namespace
