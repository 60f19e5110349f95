#include <wx/aui/auibar.h>
#include <wx/dcmemory.h>
#include <wx/display.h>
#include <wx/uiaction.h>

#include "batch/batch_choices.h"
#include "tests/ui/pane_fixture.h"
#include "tests/ui/wait_for.h"
#include "ui/commands/command_rules.h"
#include "ui/app/pane_docking.h"
#include "ui/commands/pane_command_ids.h"

namespace {

using PropertiesPane = pane_fixture;

pane_rect RectOf(wxWindow* window) {
  const wxRect r = window->GetRect();
  return {r.x, r.y, r.width, r.height};
}

TEST(PaneLayout, RowsFollowTheToolbarsTheStatisticsAndTheTextSources) {
  pane_layout_input in;
  in.width = 310;
  in.height = 800;
  in.tool_width_1 = 27;
  in.tool_height_1 = 28;
  in.tool_width_2 = 26;
  in.tool_height_2 = 27;
  in.text_source[1] = true;
  const pane_layout l = ComputePaneLayout(in);
  EXPECT_EQ(l.vorbel, (pane_rect{180, 0, 60, 60}));
  EXPECT_EQ(l.fillers[0], (pane_rect{240, 0, 70, 60}));
  EXPECT_EQ(l.main_toolbar, (pane_rect{0, 60, 270, 28}));
  EXPECT_EQ(l.fillers[1], (pane_rect{270, 60, 40, 28}));
  EXPECT_EQ(l.shove_toolbar, (pane_rect{0, 88, 234, 27}));
  const int y = 115;
  EXPECT_EQ(l.row_buttons[7], (pane_rect{210, y, 30, 30}));
  EXPECT_EQ(l.file_name[0], (pane_rect{0, y + 30, 310, 20}));
  EXPECT_EQ(l.file_name[1], (pane_rect{0, y + 50, 220, 20}));
  EXPECT_EQ(l.font_size[1], (pane_rect{220, y + 50, 30, 20}));
  EXPECT_EQ(l.font_down[1], (pane_rect{250, y + 50, 30, 20}));
  EXPECT_EQ(l.font_up[1], (pane_rect{280, y + 50, 30, 20}));
  EXPECT_EQ(l.stats, (pane_rect{0, y + 70, 310, 70}));
  EXPECT_EQ(l.prompts[0], (pane_rect{0, y + 140, 124, 20}));
  EXPECT_EQ(l.labels[1], (pane_rect{125, y + 160, 30, 20}));
  EXPECT_EQ(l.sliders[2], (pane_rect{155, y + 180, 155, 20}));
  EXPECT_EQ(l.grid, (pane_rect{0, y + 200, 310, 800 - y - 200}));

  in.dpi_scale_y = 1.5f;
  const pane_layout tall = ComputePaneLayout(in);
  EXPECT_EQ(tall.stats.height, 105);
  EXPECT_EQ(tall.grid.y, l.grid.y + 35);

  // Captions wider than their column take what they need from the sliders; the
  // value labels stay between the two.
  in.dpi_scale_y = 1.0f;
  in.caption_width = 140;
  const pane_layout wide = ComputePaneLayout(in);
  EXPECT_EQ(wide.prompts[0], (pane_rect{0, y + 140, 140, 20}));
  EXPECT_EQ(wide.labels[1], (pane_rect{141, y + 160, 30, 20}));
  EXPECT_EQ(wide.sliders[2], (pane_rect{171, y + 180, 139, 20}));
  in.caption_width = 100;
  EXPECT_EQ(ComputePaneLayout(in).sliders[0], l.sliders[0]);

  // A pane squeezed to a few pixels: nothing gets a negative size.
  in.width = 4;
  in.height = 30;
  const pane_layout tiny = ComputePaneLayout(in);
  EXPECT_EQ(tiny.grid.height, 0);
  EXPECT_EQ(tiny.fillers[0].width, 0);
  EXPECT_EQ(tiny.file_name[1].width, 0);
  EXPECT_EQ(tiny.prompts[0].width, 0);
}

// Every place of a 311-wide pane (an odd width: the halves truncate) with a text
// source 1, written out row by row.
TEST(PaneLayout, EveryChildHasItsOwnPlaceInItsRow) {
  pane_layout_input in;
  in.width = 311;
  in.height = 700;
  in.tool_width_1 = 25;
  in.tool_height_1 = 22;
  in.tool_width_2 = 24;
  in.tool_height_2 = 21;
  in.text_source[0] = true;
  const pane_layout l = ComputePaneLayout(in);
  EXPECT_EQ(l.change_1, (pane_rect{0, 0, 60, 60}));
  EXPECT_EQ(l.change_2, (pane_rect{60, 0, 60, 60}));
  EXPECT_EQ(l.update, (pane_rect{120, 0, 60, 60}));
  EXPECT_EQ(l.vorbel, (pane_rect{180, 0, 60, 60}));
  EXPECT_EQ(l.fillers[0], (pane_rect{240, 0, 71, 60}));
  EXPECT_EQ(l.main_toolbar, (pane_rect{0, 60, 250, 22}));
  EXPECT_EQ(l.fillers[1], (pane_rect{250, 60, 61, 22}));
  EXPECT_EQ(l.shove_toolbar, (pane_rect{0, 82, 216, 21}));
  EXPECT_EQ(l.fillers[2], (pane_rect{216, 82, 95, 21}));
  const int y = 103;
  for (int i = 0; i < 8; ++i) EXPECT_EQ(l.row_buttons[i], (pane_rect{30 * i, y, 30, 30})) << i;
  EXPECT_EQ(l.fillers[3], (pane_rect{240, y, 71, 30}));
  EXPECT_EQ(l.file_name[0], (pane_rect{0, 133, 221, 20}));
  EXPECT_EQ(l.font_size[0], (pane_rect{221, 133, 30, 20}));
  EXPECT_EQ(l.font_down[0], (pane_rect{251, 133, 30, 20}));
  EXPECT_EQ(l.font_up[0], (pane_rect{281, 133, 30, 20}));
  EXPECT_EQ(l.file_name[1], (pane_rect{0, 153, 311, 20}));
  EXPECT_EQ(l.stats, (pane_rect{0, 173, 311, 70}));
  for (int row = 0; row < 3; ++row) {
    const int top = 243 + 20 * row;
    EXPECT_EQ(l.prompts[row], (pane_rect{0, top, 124, 20})) << row;
    EXPECT_EQ(l.labels[row], (pane_rect{125, top, 30, 20})) << row;
    EXPECT_EQ(l.sliders[row], (pane_rect{155, top, 155, 20})) << row;
  }
  EXPECT_EQ(l.grid, (pane_rect{0, 303, 311, 397}));
}

TEST(PaneText, LongFileNamesKeepTheirEndFromAFolderOn) {
  const std::string eighty(80, 'a');
  EXPECT_EQ(ShortenedFileName(eighty), eighty);
  EXPECT_EQ(ShortenedFileName("x/" + std::string(79, 'b')), "../" + std::string(79, 'b'));
  EXPECT_EQ(ShortenedFileName("x\\" + std::string(79, 'b')), "..\\" + std::string(79, 'b'));
  EXPECT_EQ(ShortenedFileName("/home/" + std::string(90, 'c')), std::string(80, 'c'));
  EXPECT_EQ(ShortenedFileName("/one/two/" + std::string(70, 'd') + "/e.png"),
            "../" + std::string(70, 'd') + "/e.png");
  // Characters, not bytes: a cut never splits one.
  std::string wide;
  for (int i = 0; i < 85; ++i) wide += "\xC3\xA9";
  EXPECT_EQ(wxString::FromUTF8(ShortenedFileName(wide)).length(), 80u);
}

TEST_F(PropertiesPane, ChildrenStandWhereTheLayoutSaysAndTextSourcesGetTheirFontControls) {
  StartTwo();
  pane->SetSize(310, 800);
  pane->AdjustLayout();
  const pane_layout l = ComputePaneLayout(pane->LayoutInput());
  EXPECT_EQ(RectOf(pane->file_name_2), l.file_name[1]);
  EXPECT_EQ(RectOf(pane->contrast_slider), l.sliders[0]);
  EXPECT_EQ(RectOf(pane->grid), l.grid);
  EXPECT_EQ(RectOf(pane->main_toolbar).width, pane->MinimumWidth());
  EXPECT_FALSE(pane->font_size_2->IsShown());
  // Every toolbar button fits its toolbar's share.
  EXPECT_LE(pane->main_toolbar->GetBestSize().x, RectOf(pane->main_toolbar).width);
  EXPECT_LE(pane->shove_toolbar->GetBestSize().x, RectOf(pane->shove_toolbar).width);

  app.Document()->source_kind[1] = kind_text;
  pane->AdjustLayout();
  EXPECT_TRUE(pane->font_size_2->IsShown());
  EXPECT_TRUE(pane->font_up_button_2->IsShown());
  EXPECT_EQ(RectOf(pane->font_up_button_2), (pane_rect{280, l.file_name[1].y, 30, 20}));
  EXPECT_EQ(RectOf(pane->file_name_2).width, 220);
  the_ui().ShowFontSize(2, -32);
  EXPECT_EQ(pane->font_size_2->GetLabel(), "24");
  app.Document()->source_kind[1] = kind_file;
  pane->AdjustLayout();
  EXPECT_FALSE(pane->font_up_button_2->IsShown());
  EXPECT_EQ(RectOf(pane->file_name_2).width, 310);

  pane->SetSize(3, 40);
  pane->AdjustLayout();
  EXPECT_FALSE(pane->grid->IsShown());
  pane->SetSize(310, 800);
  pane->AdjustLayout();
  EXPECT_TRUE(pane->grid->IsShown());

  // Docked or floated, the pane is never narrower than ten main toolbar buttons.
  wxAuiManager& docking = app.Frame()->Docking();
  EXPECT_EQ(docking.GetPane(pane).min_size.x, pane->MinimumWidth());
  docking.GetPane(pane).Float();
  docking.Update();
  Settle();
  EXPECT_GE(pane->GetSize().x, pane->MinimumWidth());
  Pick(prop_method, 2L);
  EXPECT_EQ(method_code, 3);
  docking.GetPane(pane).Dock();
  docking.Update();
  Settle();

  // A new system font keeps what the grid holds.
  ASSERT_TRUE(Type(prop_hscale_1, "40"));
  pane->UpdateGridFont();
  EXPECT_EQ(prop_hscale_1->GetValue().GetLong(), 40);
  EXPECT_EQ(pane->grid->GetGrid()->GetFont(), pane->grid_font);
}

// Stands in for the hand on the left button while it lives.
struct hand_on_button {
  hand_on_button() { floating_pane::left_button_held = [this] { return held; }; }
  ~hand_on_button() { floating_pane::left_button_held = real; }
  bool held = false;
  const std::function<bool()> real = floating_pane::left_button_held;
};

// Drags the floating frame by its title bar to the pointer at drop (on the screen)
// and lets go there.
void DropFloatingFrame(wxWindow* frame, wxPoint drop) {
  hand_on_button hand;
  wxUIActionSimulator().MouseMove(drop);
  ASSERT_TRUE(WaitFor([&] { return wxGetMousePosition() == drop; }));
  hand.held = true;
  frame->Move(drop - wxPoint(100, 10));  // the pointer on its title bar
  wxMoveEvent move(frame->GetPosition(), wxEVT_MOVE);
  move.SetEventObject(frame);
  frame->GetEventHandler()->ProcessEvent(move);
  hand.held = false;
  wxTheApp->ProcessIdle();
}

// Floated, the pane has its first size; dragged by its title bar to either side of
// the frame and let go, it docks there again.
TEST_F(PropertiesPane, AFloatedPaneKeepsItsSizeAndDocksAgainAtEitherSide) {
  StartTwo();
  wxAuiManager& docking = app.Frame()->Docking();
  const wxPoint client = app.Frame()->GetClientAreaOrigin() + app.Frame()->GetScreenPosition();
  const wxSize room = app.Frame()->GetClientSize();
  const int top = pane->GetPosition().y;
  for (const auto& [side, drop] : {std::pair{wxAUI_DOCK_RIGHT, wxPoint(room.x + 10, room.y / 2)},
                                   std::pair{wxAUI_DOCK_LEFT, wxPoint(2, room.y / 2)}}) {
    docking.GetPane(pane).Float();
    docking.Update();
    ASSERT_TRUE(WaitFor([&] { return pane->GetSize() == wxSize(310, 800); })) << pane->GetSize().x;
    wxWindow* frame = docking.GetPane(pane).frame;
    ASSERT_NE(frame, nullptr);
    DropFloatingFrame(frame, client + drop);
    Settle();
    const wxAuiPaneInfo& info = docking.GetPane(pane);
    EXPECT_TRUE(info.IsDocked()) << side;
    EXPECT_EQ(info.dock_direction, side);
    EXPECT_EQ(pane->GetPosition().y, top);  // at the top of the side, as at the start
  }
}

// Let go low, the floating pane is moved up into the screen's work area whole:
// dropped by the title bar of its frame, or pulled out of its side by its caption
// with the real pointer.
TEST_F(PropertiesPane, AFloatingPaneLetGoLowStaysWithinTheScreen) {
  StartTwo();
  wxAuiManager& docking = app.Frame()->Docking();
  docking.GetPane(pane).Float();
  docking.Update();
  ASSERT_TRUE(WaitFor([&] { return pane->GetSize() == wxSize(310, 800); }));
  wxWindow* frame = docking.GetPane(pane).frame;
  ASSERT_NE(frame, nullptr);
  const wxRect area = wxDisplay(frame).GetClientArea();
  const wxSize size = frame->GetSize();
  ASSERT_LE(size.y, area.height);
  // Low in the middle of the screen, away from the sides where the pane docks.
  const wxPoint low(area.x + area.width / 2, area.GetBottom() - 20);
  DropFloatingFrame(frame, low);
  Settle();
  ASSERT_TRUE(docking.GetPane(pane).IsFloating());
  EXPECT_EQ(frame->GetRect(), wxRect(wxPoint(low.x - 100, area.GetBottom() + 1 - size.y), size));
  // Taller than the work area, it takes the area's height.
  frame->SetSize(wxSize(size.x, area.height + 100));
  wxTheApp->ProcessIdle();
  Settle();
  EXPECT_EQ(frame->GetRect(), wxRect(low.x - 100, area.y, size.x, area.height));

  docking.GetPane(pane).Dock();
  docking.Update();
  Settle();
  app.Frame()->Raise();
  Settle();
  const int caption = docking.GetArtProvider()->GetMetric(wxAUI_DOCKART_CAPTION_SIZE);
  wxUIActionSimulator input;
  input.MouseMove(pane->GetScreenPosition() + wxPoint(100, -caption / 2));
  Settle();
  input.MouseDown();
  for (int step = 1; step <= 10; ++step) {
    input.MouseMove(pane->GetScreenPosition() + wxPoint(100, -caption / 2) +
                    (low - pane->GetScreenPosition()) * step / 10);
    Settle();
  }
  input.MouseUp();
  ASSERT_TRUE(WaitFor([&] { return docking.GetPane(pane).IsFloating() && !wxGetMouseState().LeftIsDown(); }));
  frame = docking.GetPane(pane).frame;
  ASSERT_TRUE(WaitFor([&] { return area.Contains(frame->GetRect()); })) << frame->GetRect().y;
  EXPECT_GT(frame->GetPosition().y, area.y + area.height / 4);  // as low as it goes
}

TEST_F(PropertiesPane, CommandsFollowTheirRulesAndDroppedKeysDoNothing) {
  Start({PlainImage("one.png", 64, 48, 10, 20, 30)});
  pane = the_properties_pane;
  pane->UpdateWindowUI(wxUPDATE_UI_RECURSE);
  EXPECT_FALSE(pane->main_toolbar->GetToolEnabled(WxId(cmd_reset_all)));
  EXPECT_FALSE(pane->update_button->IsEnabled());
  pane->RunCommand(cmd_reset_all);
  EXPECT_TRUE(app.port->questions.empty()) << "dropped: fewer than two sources";
  EXPECT_TRUE(pane->file_name_1->Text().EndsWith("one.png"));
  EXPECT_EQ(pane->file_name_2->Text(), "Source 2 not loaded");
  Stop();

  StartTwo();
  pane->UpdateWindowUI(wxUPDATE_UI_RECURSE);
  EXPECT_TRUE(pane->main_toolbar->GetToolEnabled(WxId(cmd_reset_all)));
  EXPECT_TRUE(pane->main_toolbar->GetToolEnabled(WxId(cmd_next_source_2_file)));
  EXPECT_TRUE(pane->update_button->IsEnabled());
  EXPECT_TRUE(pane->vorbel_button->IsEnabled());
  EXPECT_TRUE(pane->change_button_1->IsEnabled());
  EXPECT_TRUE(pane->move_button_1->IsEnabled());
  app.Document()->source_kind[0] = kind_pasted;
  EXPECT_FALSE(CommandEnabled(cmd_previous_source_1_file));
  EXPECT_TRUE(CommandEnabled(cmd_previous_source_2_file));
  EXPECT_TRUE(RuleAllows(RuleOf(cmd_move_size_off)));
  EXPECT_EQ(RuleOf(cmd_mirror_2), command_rule::two_sources);
}

TEST_F(PropertiesPane, TheVorbelButtonRunsTheBatchAndThePaneWaitsMeanwhile) {
  StartTwo();
  int asked = 0;
  app.batch_dialog = [&](batch_choices&) {
    ++asked;
    EXPECT_TRUE(app.batch_running);
    EXPECT_FALSE(CommandEnabled(cmd_reset_all));
    EXPECT_FALSE(CommandEnabled(cmd_vorbel_button));
    pane->RunCommand(cmd_reset_all, true);
    EXPECT_TRUE(app.port->questions.empty());
    EXPECT_TRUE(CommandEnabled(cmd_move_size_off) || !CommandReady(cmd_move_size_off));
    return false;
  };
  wxCommandEvent press(wxEVT_BUTTON, pane->vorbel_button->GetId());
  press.SetEventObject(pane->vorbel_button);
  pane->vorbel_button->ProcessWindowEvent(press);
  EXPECT_EQ(asked, 1);
  EXPECT_FALSE(app.batch_running);
  EXPECT_TRUE(CommandEnabled(cmd_reset_all));
  app.batch_dialog = nullptr;
}

// Each child takes its own row place, and the three sliders their ranges.
TEST_F(PropertiesPane, EachChildStandsInItsOwnPlaceAndTheSlidersHaveTheirRanges) {
  StartTwo();
  pane->SetSize(310, 800);
  pane->AdjustLayout();
  EXPECT_EQ(pane->GetId(), 158);
  const pane_layout l = ComputePaneLayout(pane->LayoutInput());
  const std::pair<wxWindow*, int> top_row[] = {{pane->change_button_1, 0},
                                               {pane->change_button_2, 60},
                                               {pane->update_button, 120},
                                               {pane->vorbel_button, 180}};
  for (const auto& [button, x] : top_row) EXPECT_EQ(RectOf(button), (pane_rect{x, 0, 60, 60})) << x;
  wxWindow* const buttons[] = {pane->move_button_1,   pane->move_button_2,   pane->move_off_button,
                               pane->middle_button_1, pane->middle_button_2, pane->mirror_button_1,
                               pane->mirror_button_2, pane->sizes_button};
  const int y = l.row_buttons[0].y;
  for (int i = 0; i < 8; ++i) EXPECT_EQ(RectOf(buttons[i]), (pane_rect{30 * i, y, 30, 30})) << i;
  EXPECT_EQ(RectOf(pane->file_name_1), (pane_rect{0, y + 30, 310, 20}));
  EXPECT_EQ(RectOf(pane->file_name_2), (pane_rect{0, y + 50, 310, 20}));
  EXPECT_EQ(RectOf(the_stats).y, y + 70);
  const int s = RectOf(the_stats).height;
  const std::tuple<wxWindow*, wxWindow*, trackbar*, int, int, int> rows[] = {
      {pane->contrast_prompt, pane->contrast_label, pane->contrast_slider, 0, 100, 50},
      {pane->brightness_prompt, pane->brightness_label, pane->brightness_slider, 0, 100, 50},
      {pane->scale_prompt, pane->scale_label, pane->scale_slider, 55, 205, 100}};
  // The caption column is 124 wide, widened by what the longest caption needs beyond
  // that in the desktop's font; the sliders give up the same.
  int need = 0;
  for (const auto& row : rows) need = std::max(need, std::get<0>(row)->GetBestSize().x);
  const int wider = std::max(0, need - 124);
  for (int i = 0; i < 3; ++i) {
    const auto& [prompt, label, slider, low, high, start] = rows[i];
    const int top = y + 70 + s + 20 * i;
    EXPECT_EQ(RectOf(prompt), (pane_rect{0, top, 124 + wider, 20})) << i;
    EXPECT_EQ(RectOf(label), (pane_rect{125 + wider, top, 30, 20})) << i;
    EXPECT_EQ(RectOf(slider), (pane_rect{155 + wider, top, 155 - wider, 20})) << i;
    EXPECT_EQ(std::make_tuple(slider->GetMin(), slider->GetMax(), slider->GetValue()),
              std::make_tuple(low, high, start)) << i;
  }
  EXPECT_EQ(pane->contrast_label->GetLabel(), "50");
  EXPECT_EQ(pane->brightness_label->GetLabel(), "50");
  EXPECT_EQ(pane->contrast_prompt->Caption(), "Target Contrast");
  EXPECT_EQ(pane->brightness_prompt->Caption(), "Target Brightness");
  EXPECT_EQ(RectOf(pane->grid).y, y + 130 + s);
}

TEST_F(PropertiesPane, LevelSlidersSetTheChosenChannelsOnlyWhenAMoveEnds) {
  StartTwo();
  const uint32_t before = Centre();
  trackbar* contrast = pane->contrast_slider;
  wxScrollEvent track(wxEVT_SCROLL_THUMBTRACK, contrast->GetId(), 90, wxHORIZONTAL);
  track.SetEventObject(contrast);
  contrast->SetValue(90);
  contrast->ProcessWindowEvent(track);
  EXPECT_EQ(the_view->channel_adjust[0].contrast, 50);
  EXPECT_EQ(Centre(), before);

  Slide(contrast, 90);
  EXPECT_EQ(pane->contrast_label->GetLabel(), "90");
  for (const channel_pair& channel : the_view->channel_adjust) EXPECT_EQ(channel.contrast, 90);
  EXPECT_NE(Centre(), before);

  // Red brightness: the channels are stored blue, green, red.
  pane->brightness_prompt->CycleSelection();
  EXPECT_EQ(pane->brightness_prompt->Caption(), "Target red brightness");
  Slide(pane->brightness_slider, 80);
  EXPECT_EQ(the_view->channel_adjust[2].brightness, 80);
  EXPECT_EQ(the_view->channel_adjust[0].brightness, 50);
  pane->brightness_prompt->CycleSelection();
  EXPECT_EQ(pane->brightness_slider->GetValue(), 50);  // green's own level
  pane->brightness_prompt->CycleSelection();
  pane->brightness_prompt->CycleSelection();
  EXPECT_EQ(pane->brightness_prompt->Caption(), "Target Brightness");
  EXPECT_EQ(pane->brightness_slider->GetValue(), 50);
  EXPECT_EQ(the_view->channel_adjust[2].brightness, 80) << "a click changes no level";
}

TEST_F(PropertiesPane, TheViewScaleSliderAndItsLabelRescaleTheView) {
  StartTwo();
  CvorbelView* view = app.Frame()->View();
  Slide(pane->scale_slider, 160);
  EXPECT_EQ(CvorbelApp::viewing_scale, 160);
  EXPECT_EQ(pane->scale_label->GetLabel(), "160");
  EXPECT_FLOAT_EQ(view->display_scale, 1.6f * view->fit_scale);
  Slide(pane->scale_slider, 400);
  EXPECT_EQ(CvorbelApp::viewing_scale, 205);

  wxMouseEvent click(wxEVT_LEFT_DOWN);
  pane->contrast_label->ProcessWindowEvent(click);
  EXPECT_EQ(CvorbelApp::viewing_scale, 205);
  pane->scale_label->ProcessWindowEvent(click);
  EXPECT_EQ(CvorbelApp::viewing_scale, 100);
  EXPECT_EQ(pane->scale_slider->GetValue(), 100);
  EXPECT_EQ(pane->scale_label->GetLabel(), "100");
}

// The label shows the slider's position once the target is set up, and again at
// every resize, without the slider being touched.
TEST_F(PropertiesPane, TheViewScaleLabelShowsTheSliderFromTheStartAndAtEachResize) {
  WriteFile("vorbel.conf", "[Configure]\nViewing Scale=130\n");
  StartTwo();
  CvorbelView* view = app.Frame()->View();
  EXPECT_EQ(pane->scale_label->GetLabel(), "130");
  pane->scale_slider->SetValue(90);
  wxSizeEvent resized(view->GetSize());
  view->ProcessWindowEvent(resized);
  EXPECT_EQ(pane->scale_label->GetLabel(), "90");
  EXPECT_EQ(CvorbelApp::viewing_scale, 90);
  EXPECT_FLOAT_EQ(view->display_scale, 0.9f * view->fit_scale);
}

TEST_F(PropertiesPane, AStoredViewScaleOutOfRangeStandsAtTheSliderEnd) {
  WriteFile("vorbel.conf", "[Configure]\nViewing Scale=99999\n");
  StartTwo();
  EXPECT_EQ(pane->scale_slider->GetValue(), 205);
}

TEST_F(PropertiesPane, StatisticsShowTheSizesWithTwoSourcesAndAHatchWithout) {
  StartTwo();
  EXPECT_EQ(stats::Line(1), "Target image pixels width/height =1024 768");
  EXPECT_EQ(stats::Line(3), "Source 1 width = 1024  height = 768");
  the_view->zone_applied = 1;
  EXPECT_EQ(stats::Line(2), "Beware: changes will remove blending or 'articulate' effects");
  wxBitmap picture(300, 70, 24);
  {
    wxMemoryDC dc(picture);
    the_stats->Draw(dc, {300, 70});
  }
  const wxImage warned = picture.ConvertToImage();
  bool red = false;
  for (int x = 0; x < 300 && !red; ++x)
    for (int y = 15; y < 30 && !red; ++y) red = ColourAt(warned, x, y) == wxColour(255, 0, 0);
  EXPECT_TRUE(red);
  the_view->zone_applied = 0;

  source_count = 1;
  {
    wxMemoryDC dc(picture);
    the_stats->Draw(dc, {300, 70});
  }
  const wxImage hatch = picture.ConvertToImage();
  int hatched = 0;
  // The hatch's olive lines (smoothed at their edges) on white.
  for (int x = 0; x < 300; ++x) {
    const wxColour c = ColourAt(hatch, x, 35);
    hatched += c.Green() < 160 && c.Green() > c.Red() && c.Red() > c.Blue();
  }
  EXPECT_GT(hatched, 10);
  source_count = 2;
}

TEST_F(PropertiesPane, GridKeysSwitchMoveSizeThroughThePane) {
  StartTwo();
  std::vector<int> sent;
  for (int command : {cmd_move_size_1, cmd_move_size_2, cmd_move_size_off})
    pane->Handle(command, [&sent, command] { sent.push_back(command); });
  wxKeyEvent key(wxEVT_KEY_DOWN);
  for (int code : {int('1'), int('2'), int('B'), int(WXK_ESCAPE), int('X')}) {
    key.m_keyCode = code;
    Grid()->ProcessWindowEvent(key);
  }
  key.m_keyCode = 'B';
  key.m_shiftDown = true;  // upper-case B is no shortcut
  Grid()->ProcessWindowEvent(key);
  EXPECT_EQ(sent, (std::vector<int>{cmd_move_size_1, cmd_move_size_2, cmd_move_size_off,
                                    cmd_move_size_off}));
}

// Real input: the keyboard picks the next method in the grid's list.
TEST_F(PropertiesPane, AMethodPickedWithTheKeyboardRecombinesTheTarget) {
  StartTwo();
  app.Frame()->Raise();
  Settle();
  Grid()->SelectProperty(prop_method, true);
  Settle();
  ASSERT_NE(Grid()->GetEditorControl(), nullptr);
  Grid()->GetEditorControl()->SetFocus();
  Settle();
  const uint32_t average = Centre();
  wxUIActionSimulator input;
  input.Char(WXK_DOWN);
  ASSERT_TRUE(WaitFor([] { return method_code != 8; }));
  EXPECT_EQ(prop_method->GetValueAsString(), "Darkest");
  EXPECT_EQ(method_code, 3);
  EXPECT_NE(Centre(), average);
}

// Real input: a thumb drag changes nothing until the thumb is let go.
TEST_F(PropertiesPane, DraggingALevelThumbAppliesOnRelease) {
  StartTwo();
  app.Frame()->Raise();
  Settle();
  trackbar* bar = pane->contrast_slider;
  const wxPoint from = bar->ClientToScreen({bar->ThumbX(50), bar->GetClientSize().y / 2});
  const wxPoint to = bar->ClientToScreen({bar->ThumbX(80), bar->GetClientSize().y / 2});
  wxUIActionSimulator input;
  input.MouseMove(from);
  Settle();
  input.MouseDown();
  ASSERT_TRUE(WaitFor([bar] { return bar->HasCapture(); }));
  input.MouseMove(to);
  ASSERT_TRUE(WaitFor([bar] { return bar->GetValue() > 60; }));
  EXPECT_GT(bar->GetValue(), 60);
  EXPECT_EQ(the_view->channel_adjust[1].contrast, 50);
  input.MouseUp();
  ASSERT_TRUE(WaitFor([] { return the_view->channel_adjust[1].contrast != 50; }));
  EXPECT_EQ(the_view->channel_adjust[1].contrast, bar->GetValue());
  EXPECT_EQ(pane->contrast_label->GetLabel(), wxString::Format("%d", bar->GetValue()));
}

// Every caption of the three sliders shows whole in the pane as it starts: the
// text, drawn 10 pixels in, ends inside its control.
TEST_F(PropertiesPane, EverySliderCaptionFitsItsControl) {
  StartTwo();
  const wxFont eight_point{wxFontInfo(8)};
  auto check = [&](wxWindow* control, const wxString& caption) {
    int width = 0;
    control->GetTextExtent(caption, &width, nullptr, nullptr, nullptr, &eight_point);
    EXPECT_LE(10 + width, control->GetClientSize().x) << caption;
    EXPECT_LE(control->GetBestSize().x, control->GetClientSize().x) << caption;
  };
  for (prompt* caption : {pane->contrast_prompt, pane->brightness_prompt})
    for (int i = 0; i < 4; ++i) {
      check(caption, caption->Caption());
      caption->CycleSelection();
    }
  check(pane->scale_prompt, "Set View Scale %");
  // The slider keeps room to be worked.
  EXPECT_GE(pane->contrast_slider->GetClientSize().x, 100);
}

// Real input: after a slider had the keys, a click on a row's name or on the
// description box below the rows gives them to the grid, whose shortcuts then work.
TEST_F(PropertiesPane, AClickAnywhereOnTheGridTakesTheKeysFromASlider) {
  StartTwo();
  app.Frame()->Raise();
  Settle();
  wxUIActionSimulator input;
  auto click = [&](wxWindow* window, wxPoint at) {
    input.MouseMove(window->ClientToScreen(at));
    Settle();
    input.MouseClick();
    WaitFor([] { return wxWindow::FindFocus() == the_properties_pane->grid->GetGrid(); });
  };
  const wxRect row = Grid()->GetPropertyRect(prop_method, prop_method);
  wxWindow* description = nullptr;
  for (wxWindow* child : pane->grid->GetChildren())
    if (child != Grid() && child->IsShown() && child->GetClientSize().y > 0) description = child;
  ASSERT_NE(description, nullptr);
  const int before = pane->contrast_slider->GetValue();
  for (auto [window, at] : {std::pair<wxWindow*, wxPoint>{Grid(), {20, row.y + row.height / 2}},
                            {description, {5, 5}}}) {
    pane->contrast_slider->SetFocus();
    WaitFor([&] { return wxWindow::FindFocus() == pane->contrast_slider; });
    ASSERT_EQ(wxWindow::FindFocus(), pane->contrast_slider);
    click(window, at);
    EXPECT_EQ(wxWindow::FindFocus(), Grid()) << window->GetClassInfo()->GetClassName();
  }
  input.Char(WXK_RIGHT);
  input.Char('1');
  WaitFor([] { return the_view->moving_source == 1; });
  EXPECT_EQ(the_view->moving_source, 1);
  EXPECT_EQ(pane->contrast_slider->GetValue(), before);

  // A click on a value still opens its editor with the keys.
  const wxRect value = Grid()->GetPropertyRect(prop_vscale_1, prop_vscale_1);
  input.MouseMove(Grid()->ClientToScreen({Grid()->GetClientSize().x - 20, value.y + value.height / 2}));
  Settle();
  input.MouseClick();
  WaitFor([this] { return Grid()->GetEditorControl() && wxWindow::FindFocus() == Grid()->GetEditorControl(); });
  ASSERT_NE(Grid()->GetEditorControl(), nullptr);
  EXPECT_EQ(wxWindow::FindFocus(), Grid()->GetEditorControl());
}

// A method changed in the grid is recombined and composed for the screen before the
// change returns, with no event let through: the display already shows the new
// target, even at the largest canvas.
TEST_F(PropertiesPane, AMethodChangeIsPresentedAt2048By1536BeforeTheChangeReturns) {
  WriteFile("vorbel.conf", "[Configure]\ncanvas_width=2048\ncanvas_height=1536\n");
  StartTwo();
  ASSERT_EQ(target_width, 2048);
  CvorbelView* view = app.Frame()->View();
  auto shown = [view] {
    cairo_surface_t* surface = view->DisplaySurface();
    const wxPoint at = view->CalcScrolledPosition(
        wxPoint(view->target_rect.left + int(target_width * view->display_scale / 2),
                view->target_rect.top + int(target_height * view->display_scale / 2)));
    const uint8_t* row = cairo_image_surface_get_data(surface) + at.y * cairo_image_surface_get_stride(surface);
    return *reinterpret_cast<const uint32_t*>(row + at.x * 4) & 0xFFFFFF;
  };
  for (long method : {0L, 2L, 0L}) {
    const uint32_t before = Centre();
    Pick(prop_method, method);
    EXPECT_NE(Centre(), before) << method;
    EXPECT_EQ(shown(), Centre()) << method;
  }
}

}  // namespace
