#include <gtest/gtest.h>

#include <wx/radiobut.h>
#include <wx/textctrl.h>

#include <vector>

#include "engine/base/process_state.h"
#include "tests/ui/app_fixture.h"
#include "tests/ui/dialogs/tool_dialogs_fixture.h"
#include "ui/commands/command_ids.h"
#include "ui/dialogs/perspective_dialog.h"
#include "ui/dialogs/rotate_dialog.h"
#include "ui/dialogs/rotate_wheel.h"

namespace {

class tool_commands : public app_fixture {};

TEST_F(tool_commands, RotateAndPerspectiveAreOfferedWithTwoSourcesOnly) {
  Start();
  for (int command : {cmd_rotate, cmd_perspective}) {
    source_count = 1;
    EXPECT_FALSE(Enabled(command));
    Command(WxId(command));  // as the accelerator may still send it: nothing opens
    EXPECT_EQ(the_rotate_dialog, nullptr);
    EXPECT_EQ(the_quad_dialog, nullptr);
    source_count = 2;
    EXPECT_TRUE(Enabled(command));
  }
  source_count = 0;
}

TEST(rotate_wheel, PointsOfTheRingChooseClockwiseAnglesAndTheNeedleFollows) {
  using namespace wheel_geometry;
  const int w = 100, h = 100;  // centre (50, 50), R 50
  EXPECT_EQ(AngleAt(w, h, 50, 10), 0);
  EXPECT_EQ(AngleAt(w, h, 90, 50), 90);
  EXPECT_EQ(AngleAt(w, h, 50, 90), 180);
  EXPECT_EQ(AngleAt(w, h, 10, 50), 270);
  EXPECT_EQ(AngleAt(w, h, 80, 20), 45);
  EXPECT_EQ(AngleAt(w, h, 20, 20), 315);
  EXPECT_EQ(AngleAt(w, h, 50, 29), 0);             // d² 441 > 2500 / 6
  EXPECT_EQ(AngleAt(w, h, 50, 30), std::nullopt);  // d² 400: the inner disc
  EXPECT_EQ(AngleAt(w, h, 50, 50), std::nullopt);
  EXPECT_EQ(AngleAt(w, h, 50 + 87, 50), std::nullopt);  // d² 7569 ≥ 3 R²
  // Straight up and to the right, 3w/8 long less the pixel that the truncated
  // sine and cosine of the short pi lose.
  EXPECT_EQ(NeedleEnd(w, h, 0), wxPoint(50, 14));
  EXPECT_EQ(NeedleEnd(w, h, 90), wxPoint(86, 50));
  EXPECT_EQ(RotationOfAngle(270), -90);
  EXPECT_EQ(RotationOfAngle(180), -180);
  EXPECT_EQ(RotationOfAngle(179), 179);
  EXPECT_EQ(AngleOfRotation(-90.0), 270);
  EXPECT_EQ(AngleOfRotation(45.7), 45);
}

TEST_F(tool_dialogs, RotateAppliesAQuickPreviewThenTheFullPassAboutTheOpeningCentre) {
  rotate dialog(frame, *view);
  dialog.Show();
  auto* box = Child<wxTextCtrl>(&dialog, rotate::angle_id);
  EXPECT_EQ(box->GetValue(), "0");
  box->SetValue("90");
  Press(&dialog, rotate::apply_id);
  EXPECT_EQ(view->fast_preview, 1);
  Idle(&dialog);
  Idle(&dialog);
  Idle(&dialog);
  EXPECT_EQ(view->presented, (std::vector<int>{1, 0})) << "one quick pass, then one full pass";
  EXPECT_EQ(view->rotation[0], 90.0);
  EXPECT_EQ(view->rotated_size[0].width, 100);
  // The 200 x 100 box turned upright keeps its middle: 50 pixels more on each side
  // vertically, 50 fewer horizontally.
  EXPECT_EQ(view->offset[0].x, dialog.saved_offset[0][0] - 50);
  EXPECT_EQ(view->offset[0].y, dialog.saved_offset[0][1] + 50);

  // A dragged wheel asks for the preview and the box follows; the typed text is not
  // read by the idle steps, so a half-typed angle neither counts nor complains.
  dialog.wheel_window->SetAngleFromPoint({dialog.wheel_window->GetClientSize().x / 2, 2});
  EXPECT_EQ(box->GetValue(), "0");
  box->SetValue("4x");
  Idle(&dialog);
  Idle(&dialog);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(view->rotation[0], 0.0);

  // OK takes the typed angle about the same centre a preview would have used.
  box->SetValue("90");
  Press(&dialog, wxID_OK);
  EXPECT_EQ(dialog.GetReturnCode(), wxID_OK);
  EXPECT_EQ(view->rotation[0], 90.0);
  EXPECT_EQ(view->offset[0].x, dialog.saved_offset[0][0] - 50);
  EXPECT_EQ(view->presented.back(), 0);
}

TEST_F(tool_dialogs, RotateRefusesAnglesOutsideTheRangeAndCancelRestoresBothSources) {
  view->rotation[1] = -90;
  view->UpdateSourceGeometry(2);
  const vpoint offsets[2] = {view->offset[0], view->offset[1]};
  rotate dialog(frame, *view);
  dialog.Show();
  auto* box = Child<wxTextCtrl>(&dialog, rotate::angle_id);
  const std::string range = "Please enter an integer between 0 and 359.", integer = "Please enter an integer.";
  for (auto [text, message] : {std::pair{"400", range}, {"360", range}, {" -1 ", range}, {"abc", integer},
                               {"99999999999", integer}, {"", integer}, {"4 5", integer}}) {
    ui.messages.clear();
    box->SetValue(text);
    Press(&dialog, wxID_OK);
    ASSERT_EQ(ui.messages.size(), 1u) << text;
    EXPECT_EQ(ui.messages[0].first, message) << text;
    EXPECT_TRUE(dialog.IsShown());
    EXPECT_EQ(view->rotation[0], 0.0);
  }

  box->SetValue("30");
  Press(&dialog, rotate::apply_id);
  Idle(&dialog);
  Idle(&dialog);
  Child<wxRadioButton>(&dialog, rotate::select_2_id)->SetValue(true);
  wxCommandEvent select(wxEVT_RADIOBUTTON, rotate::select_2_id);
  dialog.ProcessWindowEvent(select);
  EXPECT_EQ(box->GetValue(), "270") << "source 2's angle";
  box->SetValue("10");
  Press(&dialog, rotate::apply_id);
  Idle(&dialog);
  Idle(&dialog);
  EXPECT_EQ(view->rotation[0], 30.0);
  EXPECT_EQ(view->rotation[1], 10.0);

  view->fast_preview = 1;  // input still waiting for an idle step
  const size_t before = view->presented.size();
  Press(&dialog, wxID_CANCEL);
  EXPECT_EQ(dialog.GetReturnCode(), wxID_CANCEL);
  EXPECT_EQ(view->rotation[0], 0.0);
  EXPECT_EQ(view->rotation[1], -90.0);
  for (int s = 0; s < 2; ++s) {
    EXPECT_EQ(view->offset[s].x, offsets[s].x);
    EXPECT_EQ(view->offset[s].y, offsets[s].y);
  }
  EXPECT_EQ(view->presented.size(), before + 1);
  EXPECT_EQ(view->presented.back(), 0) << "the restored target at full quality";
}

}  // namespace
