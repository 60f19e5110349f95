#include <wx/radiobut.h>
#include <wx/spinbutt.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include <vector>

#include "engine/effects/blending_zone.h"
#include "engine/effects/effect_progress.h"
#include "tests/ui/dialogs/blend_box_fixture.h"
#include "tests/ui/target_copy.h"
#include "tests/ui/wait_for.h"
#include "ui/dialogs/articulate_dialog.h"
#include "ui/dialogs/blend_dialog.h"
#include "ui/view/view.h"

namespace {

struct bgr {
  uint8_t b, g, r;
  bool operator==(const bgr&) const = default;
};
bgr Bgr(const bgra& p) { return {p.blue, p.green, p.red}; }

// Two plain sources, red and blue, each covering the whole target.
class blending : public blend_box {
 protected:
  void SetUp() override {
    blend_box::SetUp();
    Start({PlainImage("red.png", 64, 48, 250, 0, 0), PlainImage("blue.png", 64, 48, 0, 0, 250)});
    view = app.Frame()->View();
    before = Target();
  }
  static void Press(blending_buttons* button) {
    wxMouseEvent down(wxEVT_LEFT_DOWN), up(wxEVT_LEFT_UP);
    button->OnLeftDown(down);
    button->OnLeftUp(up);
  }
  static const bgra& Pixel(int c, int r) { return target_pixels[size_t(r) * target_width + c]; }

  std::vector<bgra> before;
};

TEST_F(blending, PressesStepTheLevelUndoRestoresAndMaxFillsTheBoxAsARectangle) {
  blend_dialog* dialog = OpenOver(100, 100, 500, 400);
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(view->blend_dialog_open);
  EXPECT_TRUE(dialog->fade_radio->GetValue());
  OpenBlendDialog(view);  // a second box works with the open dialog
  EXPECT_EQ(the_blend_dialog, dialog);

  for (int i = 0; i < 3; ++i) Press(dialog->button1);
  EXPECT_EQ(view->zone_level, 3);
  EXPECT_GT(Pixel(300, 250).red, before[size_t(250) * target_width + 300].red);  // redder in the middle
  dialog->OnUndoLastAction();
  EXPECT_EQ(view->zone_level, 0);
  EXPECT_TRUE(Same(Target(), before));

  dialog->OnMaxSource2();
  EXPECT_EQ(view->zone_level, 0);
  EXPECT_TRUE(dialog->fade_radio->GetValue());
  EXPECT_FALSE(view->zone_rectangular);
  EXPECT_TRUE(view->zone_fade);
  const zone_area z = ZoneInTarget(view->zone_box, view->target_rect.left, view->target_rect.top, view->display_scale);
  const int right = z.left + z.width - 1, bottom = z.top + z.height - 1;
  for (auto [c, r] : {std::pair{z.left, z.top}, std::pair{right, bottom}, std::pair{300, 250}})
    EXPECT_EQ(Bgr(Pixel(c, r)), (bgr{250, 0, 0})) << c << "," << r;  // source 2 even in the corners
  for (auto [c, r] : {std::pair{z.left - 1, z.top}, std::pair{right + 1, bottom}, std::pair{right, bottom + 1}})
    EXPECT_EQ(Bgr(Pixel(c, r)), Bgr(before[size_t(r) * target_width + c])) << c << "," << r;

  // A box under 10 target pixels: the message, and no step.
  OpenOver(10, 10, 15, 200);
  Press(dialog->button2);
  EXPECT_EQ(Messages().back(), (std::pair<std::string, message_icon>{zone_too_small_message, message_icon::error}));
  EXPECT_EQ(view->zone_level, 0);
  EXPECT_FALSE(dialog->button2->Repeating());
}

TEST_F(blending, HeldButtonRepeatsEveryHalfSecondAndTheReleaseAddsNoStep) {
  blend_dialog* dialog = OpenOver(50, 50, 400, 300);
  wxMouseEvent down(wxEVT_LEFT_DOWN), up(wxEVT_LEFT_UP);
  wxTimer timer;
  wxTimerEvent tick(timer);
  dialog->button1->OnLeftDown(down);
  EXPECT_TRUE(dialog->button1->Repeating());
  for (int i = 0; i < 3; ++i) dialog->button1->OnRepeat(tick);
  dialog->button1->OnLeftUp(up);
  EXPECT_FALSE(dialog->button1->Repeating());
  EXPECT_EQ(view->zone_level, 4);

  // The real thing: a step at the press, then the repeat timer's, every half second
  // while held; the release stops the timer.
  dialog->OnUndoLastAction();
  dialog->Raise();
  Settle();
  wxUIActionSimulator input;
  input.MouseMove(dialog->button2->GetScreenRect().GetPosition() + wxPoint(30, 30));
  Settle();
  input.MouseDown();
  ASSERT_TRUE(WaitFor([&] { return view->zone_level == -1; }));
  EXPECT_TRUE(dialog->button2->Repeating());
  EXPECT_EQ(dialog->button2->RepeatInterval(), 500);
  ASSERT_TRUE(WaitFor([&] { return view->zone_level <= -3; }));
  input.MouseUp();
  ASSERT_TRUE(WaitFor([&] { return !dialog->button2->Repeating(); }));
  const int held = view->zone_level;
  Settle();
  EXPECT_EQ(view->zone_level, held);
}

TEST_F(blending, DoubleClickTakesTwoStepsAndEveryReleaseGivesTheMouseBack) {
  blend_dialog* dialog = OpenOver(100, 100, 400, 400);
  blending_buttons* button = dialog->button2;
  const auto send = [](wxWindow* to, wxEventType type) {
    wxMouseEvent event(type);
    event.SetEventObject(to);
    to->GetEventHandler()->ProcessEvent(event);
  };
  wxTimer timer;
  wxTimerEvent tick(timer);
  const auto wait_half_seconds = [&](int n) {
    for (int i = 0; i < n; ++i)
      if (button->Repeating()) button->OnRepeat(tick);
  };
  const auto released = [&] { return !button->Repeating() && !button->HasCapture(); };

  // GTK: press, release, press and double click, release.
  send(button, wxEVT_LEFT_DOWN);
  EXPECT_TRUE(button->HasCapture());
  send(button, wxEVT_LEFT_UP);
  EXPECT_TRUE(released());
  for (wxEventType type : {wxEVT_LEFT_DOWN, wxEVT_LEFT_DCLICK, wxEVT_LEFT_UP}) send(button, type);
  wait_half_seconds(4);
  EXPECT_EQ(view->zone_level, -2);
  EXPECT_TRUE(released());

  // The double click in place of the second press.
  for (wxEventType type : {wxEVT_LEFT_DOWN, wxEVT_LEFT_UP, wxEVT_LEFT_DCLICK, wxEVT_LEFT_UP}) send(button, type);
  wait_half_seconds(4);
  EXPECT_EQ(view->zone_level, -4);
  EXPECT_TRUE(released());

  // Held, then the mouse taken away: no more steps, and the late release changes nothing.
  send(button, wxEVT_LEFT_DOWN);
  wait_half_seconds(1);
  wxMouseCaptureLostEvent lost(button->GetId());
  button->GetEventHandler()->ProcessEvent(lost);
  wait_half_seconds(3);
  send(button, wxEVT_LEFT_UP);
  EXPECT_EQ(view->zone_level, -6);
  EXPECT_TRUE(released());
}

TEST_F(blending, TheStepButtonsSitSideBySideWithTheirTipsPicturesAndKeys) {
  blend_dialog* dialog = OpenOver(100, 100, 400, 400);
  EXPECT_EQ(dialog->button1->GetRect(), wxRect(12, 12, 60, 60));
  EXPECT_EQ(dialog->button2->GetRect(), wxRect(72, 12, 60, 60));
  const wxString note =
      " in the rectangular zone. This button will autorepeat if held down.\n\nENSURE BLENDING IS THE LAST THING "
      "(except 'articulate effects') YOU DO BEFORE SAVING TO FILE.\n(or copying to the clipboard CTRL C)";
  EXPECT_EQ(dialog->button1->GetToolTipText(), "Smooth blend source 1" + note);
  EXPECT_EQ(dialog->button2->GetToolTipText(), "Smooth blend source 2" + note);
  // Above the number: source 1's pink, source 2's green.
  const auto tint = [](blending_buttons* button) {
    const wxColour c = ColourAt(ScreenOf(button), 30, 10);
    return int(c.Green()) - int(c.Red());
  };
  EXPECT_TRUE(WaitFor([&] { return tint(dialog->button1) < -20 && tint(dialog->button2) > 20; }));

  wxKeyEvent space(wxEVT_KEY_UP);
  space.m_keyCode = WXK_SPACE;
  dialog->button2->GetEventHandler()->ProcessEvent(space);
  EXPECT_EQ(view->zone_level, -1);
  EXPECT_FALSE(dialog->button2->Repeating());
}

TEST_F(blending, EscapeAndAMovedFrameCloseTheDialogForGood) {
  blend_dialog* dialog = OpenOver(50, 50, 400, 300);
  wxKeyEvent escape(wxEVT_CHAR_HOOK);
  escape.m_keyCode = WXK_ESCAPE;
  dialog->GetEventHandler()->ProcessEvent(escape);
  Settle();
  EXPECT_EQ(the_blend_dialog, nullptr);
  EXPECT_FALSE(view->box_dragging || view->blend_dialog_open);

  ASSERT_NE(OpenOver(60, 60, 300, 300), nullptr);  // a new box opens a new dialog
  app.Frame()->Move(app.Frame()->GetPosition() + wxPoint(7, 5));
  Settle();
  EXPECT_EQ(the_blend_dialog, nullptr);
}

TEST_F(blending, ArticulateEffectsResetAndRefuseValuesOutOfRange) {
  articulate dialog(app.Frame(), *view);

  dialog.OnBubble();
  EXPECT_EQ(dialog.status_text->GetLabel(), "Complete");
  const std::vector<bgra> bubble = Target();
  EXPECT_FALSE(Same(Target(), before));
  // A value out of range: the message, the focus on the box, and the shown target stays.
  dialog.bubble_edit->ChangeValue("11");
  dialog.OnWeird();
  EXPECT_EQ(Messages().back().first, "Please enter an integer between 1 and 10.");
  EXPECT_TRUE(Same(Target(), bubble));
  dialog.bubble_edit->ChangeValue("5");

  // A spin click at the top keeps 100 and runs Weird again.
  dialog.amplitude_edit->ChangeValue("100");
  dialog.OnWeird();
  const std::vector<bgra> weird = Target();
  std::fill_n(target_pixels, 100, bgra{1, 2, 3, 4});
  dialog.OnDeltaPosWeird(0, 1);
  EXPECT_EQ(dialog.weird_amplitude, 100);
  EXPECT_EQ(dialog.amplitude_edit->GetValue(), "100");
  EXPECT_TRUE(Same(Target(), weird));

  dialog.OnReset();
  EXPECT_TRUE(Same(Target(), before));
}

TEST_F(blending, SpinClicksStepTheAmplitudeAndRunWeirdAlsoAtTheTop) {
  auto* dialog = new articulate(app.Frame(), *view);
  dialog->Show();
  Settle();
  const wxRect spin = dialog->amplitude_spin->GetScreenRect();
  wxUIActionSimulator input;
  auto click = [&](bool up) {
    std::fill_n(target_pixels, 100, bgra{1, 2, 3, 4});
    // GTK lays the two halves side by side, "-" then "+"; a vertical one puts "+" on top.
    const bool across = spin.width > spin.height;
    const wxPoint at = across ? wxPoint(spin.x + spin.width * (up ? 3 : 1) / 4, spin.y + spin.height / 2)
                              : wxPoint(spin.x + spin.width / 2, spin.y + spin.height * (up ? 1 : 3) / 4);
    input.MouseMove(at);
    Settle();
    input.MouseClick();
  };
  dialog->weird_amplitude = 100;
  click(true);
  // Weird ran: the frame is black again.
  ASSERT_TRUE(WaitFor([] { return Bgr(target_pixels[0]) == bgr{0, 0, 0}; }));
  EXPECT_EQ(dialog->weird_amplitude, 100);
  click(false);
  ASSERT_TRUE(WaitFor([&] { return dialog->weird_amplitude != 100; }));
  Settle();
  EXPECT_EQ(dialog->weird_amplitude, 99);
  EXPECT_EQ(dialog->amplitude_edit->GetValue(), "99");
  dialog->Destroy();
  Settle();
}

// A spin repeat that arrives while Weird lets the windows repaint, with the button's
// release still waiting, is dropped: one step a click.
TEST_F(blending, SpinRepeatsThatComeWhileWeirdRunsAddNoStep) {
  articulate dialog(app.Frame(), *view);
  dialog.amplitude_edit->ChangeValue("50");
  auto spin = [&dialog] {
    wxSpinEvent event(wxEVT_SPIN, articulate::amplitude_spin_id);
    event.SetPosition(1);
    event.SetEventObject(dialog.amplitude_spin);
    dialog.amplitude_spin->GetEventHandler()->ProcessEvent(event);
  };
  int repeats = 0;
  SetEffectPause([&] {
    if (repeats < 5) ++repeats, spin();
  });
  dialog.weird_amplitude = 50;
  spin();
  EXPECT_EQ(repeats, 5);
  EXPECT_EQ(dialog.weird_amplitude, 51);
  EXPECT_EQ(dialog.amplitude_edit->GetValue(), "51");
  spin();  // the next click after the effect steps again
  EXPECT_EQ(dialog.weird_amplitude, 52);
}

TEST_F(blending, ArtisticImageCommandWantsTwoSources) {
  source_count = 1;
  Command(WxId(cmd_artistic_image));
  EXPECT_EQ(Messages().back(),
            (std::pair<std::string, message_icon>{"Need two images loaded before attempting this command.",
                                                  message_icon::error}));
  source_count = 2;
}

}  // namespace
