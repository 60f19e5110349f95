#include <gtest/gtest.h>

#include <wx/radiobut.h>
#include <wx/textctrl.h>

#include <string>
#include <vector>

#include "engine/base/process_state.h"
#include "sources/document.h"
#include "tests/ui/placed_sources_fixture.h"
#include "tests/ui/target_copy.h"
#include "ui/commands/command_ids.h"
#include "ui/dialogs/source_fix_dialog.h"
#include "ui/dialogs/source_size_dialog.h"
#include "ui/pane/grid_properties.h"
#include "ui/view/view.h"

namespace {

class placement_dialogs : public placed_sources {
 protected:
  static wxTextCtrl* Text(wxWindow* dialog, int id) { return dynamic_cast<wxTextCtrl*>(dialog->FindWindow(id)); }
  static void Distances(source_fix& dialog, const std::vector<std::string>& values) {
    const int ids[4] = {source_fix::distance_12_x_id, source_fix::distance_12_y_id, source_fix::distance_1_x_id,
                        source_fix::distance_1_y_id};
    for (int i = 0; i < 4; ++i) Text(&dialog, ids[i])->ChangeValue(values[i]);
  }
  static std::string Shown(wxWindow* dialog, int id) { return Text(dialog, id)->GetValue().utf8_string(); }
  // Types into a sizing box (its change notice follows) and takes the focus away.
  static void Edit(source_size& dialog, int s, sizing_box kind, const std::string& value) {
    sizing_moving_backgnd* box = dialog.Box(s, kind);
    box->SetValue(value);
    wxFocusEvent leave(wxEVT_KILL_FOCUS, box->GetId());
    leave.SetEventObject(box);
    box->ProcessWindowEvent(leave);
  }
};

// Where fix position 0..8 lies in a source, in halves of its width and height.
constexpr int column_of[9] = {0, 0, 1, 2, 2, 2, 1, 0, 1};
constexpr int row_of[9] = {1, 0, 0, 0, 1, 2, 2, 2, 1};

}  // namespace

TEST_F(placement_dialogs, FixPointsShowTheirDistancesAndApplyPutsEachAtTheDistanceTyped) {
  source_fix dialog(view, *view);
  dialog.Show();
  EXPECT_EQ(Shown(&dialog, source_fix::distance_12_x_id), "100");  // source 2 lies 100, 50 further
  EXPECT_EQ(Shown(&dialog, source_fix::distance_12_y_id), "50");
  EXPECT_EQ(Shown(&dialog, source_fix::distance_1_x_id), "0");
  EXPECT_EQ(view->moving_source, 0);

  for (int fix = 0; fix < 9; ++fix) {
    const int left = -view->offset[0].x, top = -view->offset[0].y;
    Click(&dialog, source_fix::RadioId(1, fix));
    ASSERT_EQ(fix_point_1, fix);
    // The click keeps the source where it is: the distance shown is its fix point.
    EXPECT_EQ(Shown(&dialog, source_fix::distance_1_x_id), std::to_string(left + column_of[fix] * 32)) << fix;
    EXPECT_EQ(Shown(&dialog, source_fix::distance_1_y_id), std::to_string(top + row_of[fix] * 24)) << fix;
    Distances(dialog, {"0", "0", "200", "100"});
    Press(&dialog, source_fix::apply_id);
    EXPECT_EQ(-view->offset[0].x + column_of[fix] * 32, 200) << fix;
    EXPECT_EQ(-view->offset[0].y + row_of[fix] * 24, 100) << fix;
  }

  // Source 1 fixed at Right and source 2 at Left, no distance between: they meet.
  Click(&dialog, source_fix::RadioId(1, 4));
  Click(&dialog, source_fix::RadioId(2, 0));
  EXPECT_EQ(fix_point_2, 0);
  Distances(dialog, {"0", "0", "300", "200"});
  Press(&dialog, wxID_OK);
  EXPECT_FALSE(dialog.IsShown());
  EXPECT_EQ(-view->offset[0].x + 64, 300);
  EXPECT_EQ(-view->offset[1].x, 300);
  EXPECT_EQ(-view->offset[0].y + 24, -view->offset[1].y + 15);
  const bgra met = target_pixels[200 * target_width + 300];
  const bgra before = target_pixels[200 * target_width + 299];
  EXPECT_GT(met.blue, met.red);
  EXPECT_GT(before.red, before.blue);
}

TEST_F(placement_dialogs, RefusedDistancesApplyNothingAndKeepTheDialogOpen) {
  source_fix dialog(view, *view);
  dialog.Show();
  for (const char* bad : {"3001", "-3001", "abc", "", "99999999999"}) {
    Messages().clear();
    Distances(dialog, {"0", "0", bad, "10"});
    Press(&dialog, source_fix::apply_id);
    Press(&dialog, wxID_OK);
    EXPECT_TRUE(dialog.IsShown()) << bad;
    ASSERT_EQ(Messages().size(), 2u) << bad;
    const std::string number = bad[0] == '-' || bad[0] == '3' ? "Please enter an integer between -3000 and 3000."
                                                              : "Please enter an integer.";
    EXPECT_EQ(Messages()[0].first, number);
    EXPECT_EQ(view->offset[0].x, 0);
    EXPECT_EQ(view->offset[1].x, -100);
  }
  Distances(dialog, {"-3000", "3000", "3000", "-3000"});
  Press(&dialog, source_fix::apply_id);
  EXPECT_EQ(view->offset[0].x, -3000);
  EXPECT_EQ(view->offset[1].x, 0);
  // A click puts distances that agree with the sources back in place of any typed.
  Text(&dialog, source_fix::distance_1_x_id)->ChangeValue("abc");
  Click(&dialog, source_fix::RadioId(2, 8));
  EXPECT_EQ(Shown(&dialog, source_fix::distance_1_x_id), "3000");
  Press(&dialog, wxID_CANCEL);
  EXPECT_EQ(view->offset[0].x, -3000);  // Cancel keeps what was applied
}

TEST_F(placement_dialogs, SizingAppliesOnFocusLossColoursTheRecomputedMarginAndCancelPutsAllBack) {
  const std::vector<bgra> opening = Target();
  const long hscale = prop_hscale_1->GetValue().GetLong();
  source_size dialog(view, *view);
  dialog.Show();
  auto* apply = dialog.FindWindow(source_size::apply_id);
  EXPECT_FALSE(apply->IsEnabled());
  EXPECT_EQ(dialog.Box(2, sizing_box::left)->GetValue(), "100");
  EXPECT_EQ(dialog.Box(2, sizing_box::right)->GetValue(), "500");  // 640 - 40 - 100
  EXPECT_EQ(dialog.Box(2, sizing_box::bottom)->GetValue(), "400");

  dialog.Box(1, sizing_box::left)->SetValue("20");
  EXPECT_TRUE(dialog.Box(1, sizing_box::right)->changed);
  EXPECT_EQ(dialog.Box(1, sizing_box::right)->GetBackgroundColour(), dialog.Box(1, sizing_box::right)->changed_color);
  EXPECT_TRUE(apply->IsEnabled());
  Edit(dialog, 1, sizing_box::left, "20");
  EXPECT_EQ(view->offset[0].x, -20);
  EXPECT_EQ(dialog.Box(1, sizing_box::right)->GetValue(), "556");
  EXPECT_FALSE(dialog.Box(1, sizing_box::right)->changed);
  // The recomputed right box's own change marks the left box in turn.
  EXPECT_TRUE(dialog.Box(1, sizing_box::left)->changed);
  EXPECT_TRUE(apply->IsEnabled());
  EXPECT_FALSE(Same(Target(), opening));

  Edit(dialog, 1, sizing_box::width, "5");
  EXPECT_EQ(dialog.Box(1, sizing_box::width)->GetValue(), "10");
  EXPECT_EQ(prop_hscale_1->GetValue().GetLong(), 16);  // 10 of 64 pixels
  EXPECT_FALSE(dialog.Box(1, sizing_box::width)->changed);
  Edit(dialog, 2, sizing_box::bottom, "-20");
  EXPECT_EQ(view->offset[1].y, -(480 + 20 - 30));
  Messages().clear();
  // The message takes the focus from another box: that box is not applied inside.
  app.port->while_shown = [&dialog] { Edit(dialog, 1, sizing_box::top, "33"); };
  Edit(dialog, 2, sizing_box::height, "abc");
  app.port->while_shown = nullptr;
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].first, "Please enter an integer.");
  EXPECT_EQ(dialog.Box(2, sizing_box::height)->GetValue(), "30");
  EXPECT_EQ(view->offset[0].y, 0);

  Press(&dialog, wxID_CANCEL);
  EXPECT_EQ(view->offset[0].x, 0);
  EXPECT_EQ(view->offset[1].y, -50);
  EXPECT_DOUBLE_EQ(view->width_percent[0], 100.0);
  EXPECT_EQ(prop_hscale_1->GetValue().GetLong(), hscale);
  EXPECT_TRUE(Same(Target(), opening));
  // A focus that leaves a box as the dialog closes applies nothing any more.
  Edit(dialog, 1, sizing_box::left, "77");
  EXPECT_EQ(view->offset[0].x, 0);
}

TEST_F(placement_dialogs, SizesCommandHoldsASourceThatLeftTheTargetAndShowsItThere) {
  wxTheApp->CallAfter([] {
    auto* dialog = dynamic_cast<source_size*>(wxWindow::FindWindowById(450));
    ASSERT_NE(dialog, nullptr);
    Edit(*dialog, 1, sizing_box::left, "-5000");  // far to the left of the target
    Edit(*dialog, 2, sizing_box::top, "30");
    Press(dialog, wxID_OK);
  });
  fix_point_1 = 5;  // Bottom Right
  Command(WxId(cmd_sizes));
  EXPECT_EQ(view->offset[0].x, 64);  // touching the target's left edge from outside
  EXPECT_EQ(view->anchor[0].x, 0);
  EXPECT_EQ(view->offset[1].y, -30);
  EXPECT_EQ(view->anchor[1].y, -30);
  const std::vector<bgra> shown = Target();
  view->RebuildSources(-1);
  EXPECT_TRUE(Same(Target(), shown));

  source_count = 1;
  EXPECT_FALSE(Enabled(cmd_sizes));
  EXPECT_FALSE(Enabled(cmd_fix_positions));
  source_count = 2;
  EXPECT_TRUE(Enabled(cmd_fix_positions));
}
