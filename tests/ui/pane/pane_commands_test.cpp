#include <wx/aui/auibar.h>

#include <filesystem>

#include "engine/base/process_state.h"
#include "tests/ui/pane_fixture.h"
#include "ui/app/main_frame.h"
#include "ui/commands/command_rules.h"
#include "ui/commands/pane_command_ids.h"
#include "ui/dialogs/rotate_dialog.h"
#include "ui/view/flying_tips.h"
#include "ui/view/move_size_box.h"

namespace {

class PaneCommands : public pane_fixture {
 protected:
  void Press(wxWindow* button) {
    wxCommandEvent press(wxEVT_BUTTON, button->GetId());
    press.SetEventObject(button);
    button->ProcessWindowEvent(press);
  }
  void Menu(int command) {
    wxCommandEvent chosen(wxEVT_MENU, WxId(command));
    app.Frame()->ProcessWindowEvent(chosen);
  }
  // The target pixel at (x, y) as 0x00RRGGBB.
  static uint32_t Pixel(int x, int y) {
    const bgra p = target_pixels[y * target_width + x];
    return uint32_t(p.red) << 16 | uint32_t(p.green) << 8 | p.blue;
  }
  static void Hover(wxWindow* control) {
    wxMouseEvent move(wxEVT_MOTION);
    move.SetEventObject(control);
    control->ProcessWindowEvent(move);
  }
  static flying_tips*& Tip() { return dynamic_cast<CvorbelView*>(the_view)->pane_tip; }
  void TearDown() override {
    pane_fixture::TearDown();
    fix_point_1 = fix_point_2 = 1;
  }
};

// Commands that need both sources, from every part of the pane.
constexpr int two_source_commands[] = {
    cmd_change_source_1,     cmd_change_source_2,      cmd_web_update,        cmd_vorbel_button,
    cmd_reset_all,           cmd_adjoin_1_2,           cmd_adjoin_2_1,        cmd_remove_blending,
    cmd_rotate,              cmd_move_size_1,          cmd_move_size_2,       cmd_mirror_1,
    cmd_mirror_2,            cmd_place_1_top_left,     cmd_place_1_top_right, cmd_place_1_bottom_left,
    cmd_place_1_bottom_right, cmd_place_2_top_left,    cmd_place_2_top_right, cmd_place_2_bottom_left,
    cmd_place_2_bottom_right, cmd_place_1_middle,      cmd_place_2_middle,    cmd_place_1_position_1,
    cmd_place_1_position_2,  cmd_positioning_off,
};
constexpr int step_commands[2][2] = {{cmd_previous_source_1_file, cmd_next_source_1_file},
                                     {cmd_previous_source_2_file, cmd_next_source_2_file}};

TEST_F(PaneCommands, EnablingFollowsTheSourceCountAndKinds) {
  for (int loaded : {0, 1}) {
    if (loaded == 0)
      Start();
    else
      Start({PlainImage("one.png", 64, 48, 10, 20, 30)});
    for (int command : two_source_commands) EXPECT_FALSE(CommandEnabled(command)) << loaded << " " << command;
    for (const auto& steps : step_commands)
      for (int command : steps) EXPECT_FALSE(CommandEnabled(command)) << loaded << " " << command;
    // Esc, 'b', the highlighting and the artistic image run whatever is loaded.
    for (int command : {int(cmd_move_size_off), int(cmd_highlighting), int(cmd_artistic_image)})
      EXPECT_TRUE(CommandEnabled(command)) << loaded << " " << command;
    // A key or posted command is dropped, not run with a source missing.
    const int step = the_properties_pane->middle_step_1;
    for (int command : two_source_commands) the_properties_pane->RunCommand(command);
    for (const auto& steps : step_commands)
      for (int command : steps) the_properties_pane->RunCommand(command);
    EXPECT_EQ(the_properties_pane->middle_step_1, step);
    EXPECT_EQ(fix_point_1, 1);
    EXPECT_EQ(fix_point_2, 1);
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(source_count, loaded);
    Stop();
  }

  StartTwo();
  for (int command : two_source_commands) EXPECT_TRUE(CommandEnabled(command)) << command;
  // Only a source read from an image file steps through its folder.
  for (int kind : {kind_text, kind_from_target, kind_pasted, kind_software, kind_file}) {
    for (int s = 1; s <= 2; ++s) {
      app.Document()->source_kind[s - 1] = kind;
      app.Document()->source_kind[2 - s] = kind_file;
      for (int command : step_commands[s - 1])
        EXPECT_EQ(CommandEnabled(command), kind == kind_file) << kind << " " << command;
      for (int command : step_commands[2 - s]) EXPECT_TRUE(CommandEnabled(command)) << kind;
    }
  }
  pane->UpdateWindowUI(wxUPDATE_UI_RECURSE);
  EXPECT_TRUE(pane->middle_button_1->IsEnabled());
}

// Each source steps from its own file through the image files of its folder in name
// order: "next" from the last one loads it again, "previous" from the first one does
// nothing. Pictures of different widths tell which file a source holds; a file
// rewritten in place tells whether it was loaded again.
TEST_F(PaneCommands, TheStepButtonsLoadThePreviousAndNextFileOfTheFolder) {
  std::filesystem::create_directories(folder / "walk");
  std::filesystem::create_directories(folder / "alone");
  auto picture = [this](const std::string& name, int width) {
    return PlainImage(name, width, 30, 90, 90, 90);
  };
  for (auto [name, width] : {std::pair{"walk/a.png", 40}, {"walk/b.png", 50}, {"walk/c.png", 60}})
    picture(name, width);
  picture("alone/only.png", 70);
  Start({(folder / "walk/b.png").string(), (folder / "walk/b.png").string()});
  pane = the_properties_pane;
  CvorbelDoc& doc = *app.Document();
  auto step = [&](int s, bool next) {
    wxCommandEvent tool(wxEVT_TOOL, WxId(step_commands[s - 1][next ? 1 : 0]));
    tool.SetEventObject(pane->main_toolbar);
    pane->ProcessWindowEvent(tool);
  };
  auto holds = [&](int s, const std::string& name, int width) {
    return doc.file_name[s - 1] == (folder / name).string() && doc.image_size[s - 1].width == width;
  };
  for (int s : {1, 2}) {
    const int other = 3 - s;
    step(s, true);
    EXPECT_TRUE(holds(s, "walk/c.png", 60)) << s;
    picture("walk/c.png", 61);
    step(s, true);
    EXPECT_TRUE(holds(s, "walk/c.png", 61)) << s << ": the last one, loaded again";
    step(s, false);
    EXPECT_TRUE(holds(s, "walk/b.png", 50)) << s;
    step(s, false);
    EXPECT_TRUE(holds(s, "walk/a.png", 40)) << s;
    picture("walk/a.png", 41);
    step(s, false);
    EXPECT_TRUE(holds(s, "walk/a.png", 40)) << s << ": nothing before the first";
    EXPECT_TRUE(holds(other, other == 2 ? "walk/b.png" : "walk/a.png", other == 2 ? 50 : 40)) << s;
    picture("walk/a.png", 40);
    picture("walk/c.png", 60);
  }
  ASSERT_TRUE(doc.LoadSourceFile((folder / "alone/only.png").string(), 2));
  picture("alone/only.png", 71);
  step(2, false);
  EXPECT_TRUE(holds(2, "alone/only.png", 70));
  step(2, true);
  EXPECT_TRUE(holds(2, "alone/only.png", 71));
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(source_count, 2);
}

TEST_F(PaneCommands, CornerShovesAndTheCentringCycleMoveWhatTheTargetShows) {
  StartTwo();
  const int W = the_view->target_rect.Width(), H = the_view->target_rect.Height();
  the_view->SetSourceScalePercent(50, 0, 2);
  the_view->SetSourceScalePercent(50, 1, 2);
  // Source 2 at half size, shoved into the bottom right corner from its toolbar.
  wxCommandEvent tool(wxEVT_TOOL, WxId(cmd_place_2_bottom_right));
  tool.SetEventObject(pane->shove_toolbar);
  pane->ProcessWindowEvent(tool);
  EXPECT_EQ(fix_point_2, 5);
  EXPECT_EQ(the_view->anchor[1], (vpoint{-W, -H}));
  const uint32_t red_alone = Pixel(2, 2);
  const uint32_t mixed = Pixel(target_width - 3, target_height - 3);
  EXPECT_NE(red_alone, mixed) << "source 2 covers the bottom right only";
  EXPECT_EQ(Pixel(2, target_height - 3), red_alone);

  // The Edit menu's entries reach the same handlers.
  Menu(cmd_place_2_top_right);
  EXPECT_EQ(fix_point_2, 3);
  EXPECT_EQ(Pixel(target_width - 3, 2), mixed);
  EXPECT_EQ(Pixel(target_width - 3, target_height - 3), red_alone);

  // Six presses: middle, top, bottom, left, right and middle again; the button
  // always shows where the next press goes.
  const int fixes[6] = {8, 2, 6, 0, 4, 8};
  const int images[6] = {image_middle_1_top, image_middle_1_bottom, image_middle_1_left,
                         image_middle_1_right, cmd_place_1_middle, image_middle_1_top};
  EXPECT_EQ(pane->middle_button_1->Image(), cmd_place_1_middle);
  for (int press = 0; press < 6; ++press) {
    if (press == 3)
      Menu(cmd_place_1_middle);
    else
      Press(pane->middle_button_1);
    EXPECT_EQ(fix_point_1, fixes[press]) << press;
    EXPECT_EQ(pane->middle_button_1->Image(), images[press]) << press;
  }
  EXPECT_EQ(pane->middle_step_2, 0) << "each source keeps its own cycle";
}

TEST_F(PaneCommands, RotatingFromThePaneTakesTheMoveSizeHandlesAlong) {
  StartTwo();
  auto* view = dynamic_cast<CvorbelView*>(the_view);
  view->SetMoveSizeSource(1);
  const wxPoint before = view->size_handles[handle_bottom_right]->GetPosition();
  wxTheApp->CallAfter([this] {
    ASSERT_NE(the_rotate_dialog, nullptr);
    dynamic_cast<wxTextCtrl*>(the_rotate_dialog->FindWindow(rotate::angle_id))->SetValue("90");
    Press(the_rotate_dialog->FindWindow(wxID_OK));
  });
  wxCommandEvent tool(wxEVT_TOOL, WxId(cmd_rotate));
  tool.SetEventObject(pane->main_toolbar);
  pane->ProcessWindowEvent(tool);
  ASSERT_EQ(view->rotation[0], 90.0);
  const wxPoint after = view->size_handles[handle_bottom_right]->GetPosition();
  EXPECT_NE(after, before);
  view->SetMoveSizeSource(1);
  EXPECT_EQ(after, view->size_handles[handle_bottom_right]->GetPosition());
}

TEST_F(PaneCommands, EachHoverTipTellsItsOwnTextAt100By200) {
  StartTwo();
  pane->tip_allowed = true;
  EXPECT_EQ(PaneTipText(pane_tip_source::stats),
            "You can change the target width and height in the edit menu.");
  the_view->zone_applied = 1;
  EXPECT_EQ(PaneTipText(pane_tip_source::stats),
            "Any target image changes such as source scrolling, scaling, contrast etc. will "
            "destroy any blending.");
  the_view->zone_applied = 0;
  EXPECT_EQ(PaneTipText(pane_tip_source::middle_button),
            "These source image centering buttons switch in turn to the following when "
            "clicked:\n\ncenter, center/top, center/bottom, center/left, center/right.");
  EXPECT_EQ(PaneTipText(pane_tip_source::prompt),
            "Click here to change selection to one of: R,G,B or all");
  const CvorbelDoc& doc = *app.Document();
  EXPECT_EQ(PaneTipText(pane_tip_source::file_names),
            "\nSource 1:   " + doc.file_name[0] + "\nSource 2:   " + doc.file_name[1]);
  app.Document()->source_kind[0] = kind_text;
  EXPECT_EQ(PaneTipText(pane_tip_source::file_names), "\nSource 2:   " + doc.file_name[1]);

  Hover(pane->brightness_prompt);
  ASSERT_NE(Tip(), nullptr);
  EXPECT_EQ(Tip()->GetPosition(), wxPoint(100, 200));
  flying_tips::Close(Tip());
}

TEST_F(PaneCommands, HoverHelpOpensOneTipUntilItIsClosed) {
  Start({PlainImage("one.png", 64, 48, 10, 20, 30)});
  Hover(the_stats);
  EXPECT_EQ(Tip(), nullptr) << "no tip with one source";
  Stop();

  StartTwo();
  pane->tip_allowed = true;
  Hover(the_stats);
  ASSERT_NE(Tip(), nullptr);
  flying_tips* shown = Tip();
  // The pane's one tip stays until it is closed: another control opens none.
  Hover(pane->file_name_1);
  EXPECT_EQ(Tip(), shown);
  const wxString names = PaneTipText(pane_tip_source::file_names);
  EXPECT_TRUE(names.Contains("red.png\nSource 2:   ")) << names;

  // A press on a centring button closes the tip and ends the centring help.
  wxMouseEvent down(wxEVT_LEFT_DOWN);
  down.SetEventObject(pane->middle_button_1);
  pane->middle_button_1->ProcessWindowEvent(down);
  wxMouseEvent up(wxEVT_LEFT_UP);
  pane->middle_button_1->ProcessWindowEvent(up);
  Settle();
  EXPECT_EQ(Tip(), nullptr);
  EXPECT_EQ(fix_point_1, 8) << "the press still centres";
  Hover(pane->middle_button_2);
  EXPECT_EQ(Tip(), nullptr);
  Hover(pane->contrast_prompt);
  ASSERT_NE(Tip(), nullptr);
  flying_tips::Close(Tip());

  // Without a file source the names tell nothing.
  app.Document()->source_kind[0] = app.Document()->source_kind[1] = kind_text;
  Hover(pane->file_name_2);
  EXPECT_EQ(Tip(), nullptr);
}

// The tip's own timer ends its time on the screen; the pointer still in the strip
// opens no second tip until it has passed over the view.
TEST_F(PaneCommands, AnExpiredTipOpensAgainOnlyAfterThePointerCrossedTheView) {
  StartTwo();
  Hover(the_stats);
  flying_tips* shown = Tip();
  ASSERT_NE(shown, nullptr);
  wxTimer timer(nullptr, flying_tips::timer_id);
  wxTimerEvent tick(timer);
  for (int i = 0; i < flying_tips::lifetime_ticks; ++i) shown->OnTimer(tick);
  EXPECT_FALSE(shown->IsShown());
  Settle();
  Hover(the_stats);
  Hover(pane->contrast_prompt);
  Settle();
  ASSERT_EQ(Tip(), shown) << "no tip opens again while the pointer stays in the pane";
  EXPECT_FALSE(shown->IsShown());

  wxMouseEvent over_view(wxEVT_MOTION);
  dynamic_cast<CvorbelView*>(the_view)->ProcessWindowEvent(over_view);
  EXPECT_EQ(Tip(), nullptr);
  Hover(the_stats);
  ASSERT_NE(Tip(), nullptr);
  EXPECT_TRUE(Tip()->IsShown());
  flying_tips::Close(Tip());
}

}  // namespace
