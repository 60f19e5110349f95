#include "tests/ui/pane_fixture.h"
#include "ui/commands/pane_command_ids.h"
#include "ui/dialogs/articulate_dialog.h"
#include "ui/dialogs/highlighting_dialog.h"

namespace {

using GridProperties = pane_fixture;

TEST(GridText, ParsesLikeAtoiButSaturates) {
  const std::pair<const char*, long long> cases[] = {
      {"", 0},      {"  42", 42},   {"12abc", 12},  {"-7", -7},      {"+8", 8},
      {"abc", 0},   {"- 3", 0},     {"\t\n 9x", 9}, {"0100", 100},
      {"99999999999", 99999999999LL}, {"99999999999999999999999", LLONG_MAX},
      {"-99999999999999999999999", LLONG_MIN}};
  for (const auto& [text, value] : cases) EXPECT_EQ(ParseLeadingInteger(text), value) << text;
}

TEST_F(GridProperties, ScaleTextsOutOfRangeAreRefusedWithTheScaleMessage) {
  StartTwo();
  const std::string message = "Value must be between 1 and 1000.";
  for (const char* text : {"0", "1001", "", "abc", "-5", "99999999999", "4294967396"}) {
    Messages().clear();
    EXPECT_FALSE(Type(prop_vscale_2, text)) << text;
    EXPECT_EQ(Messages(), (message_list{{message, message_icon::warning}})) << text;
    EXPECT_TRUE(Grid()->IsEditorFocused() || Grid()->GetEditorControl()) << text;
    EXPECT_EQ(prop_vscale_2->GetValue().GetLong(), 100) << text;
    EXPECT_EQ(the_view->height_percent[1], 100.0) << text;
    Grid()->ClearSelection(false);
  }
  EXPECT_EQ(scale_warning_open, 0);

  Messages().clear();
  EXPECT_TRUE(Type(prop_vscale_2, "1"));
  EXPECT_EQ(the_view->height_percent[1], 1.0);
  EXPECT_TRUE(Type(prop_vscale_2, "1000"));
  EXPECT_EQ(the_view->height_percent[1], 1000.0);
  EXPECT_TRUE(Type(prop_hscale_1, "12abc"));
  EXPECT_EQ(the_view->width_percent[0], 12.0);
  EXPECT_EQ(prop_hscale_1->GetValueAsString(), "12");
  EXPECT_TRUE(Messages().empty());

  // A warning already up: the next refusal goes silently.
  scale_warning_open = 1;
  Type(prop_hscale_2, "0");
  scale_warning_open = 0;
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(the_view->width_percent[1], 100.0);
}

TEST_F(GridProperties, PercentTextsMapToTheBiasesAndRefuseOutsideZeroToHundred) {
  StartTwo();
  for (const char* text : {"-1", "101", "99999999999"}) {
    Messages().clear();
    EXPECT_FALSE(Type(prop_source_bias, text)) << text;
    EXPECT_EQ(Messages(), (message_list{{"Value must be equal to or between 0 and 100.",
                                         message_icon::warning}}));
    Grid()->ClearSelection(false);
  }
  const std::tuple<const char*, int, int> accepted[] = {{"0", 0, 0}, {"100", 256, 255},
                                                        {"50", 128, 127}, {"", 0, 0}};
  pane->grid->EnableProperty(prop_contrast_bias, true);
  for (const auto& [text, source, contrast] : accepted) {
    source_bias = contrast_bias = -1;
    EXPECT_TRUE(Type(prop_source_bias, text)) << text;
    EXPECT_TRUE(Type(prop_contrast_bias, text)) << text;
    EXPECT_EQ(source_bias, source) << text;
    EXPECT_EQ(contrast_bias, contrast) << text;
    Grid()->ClearSelection(false);
  }
}

TEST_F(GridProperties, EachOptionSetsItsCodeAndThePictureFollows) {
  StartTwo();
  for (int i = 0; i < method_option_count; ++i) {
    Pick(prop_method, long(i));
    EXPECT_EQ(method_code, method_codes[i]) << method_options[i];
  }
  Pick(prop_method, 15L);
  EXPECT_EQ(Centre(), 0xC80000u);
  const wxImage shown = ScreenOf(app.Frame()->View());
  CvorbelView* view = app.Frame()->View();
  const int cx = view->target_rect.left + int(512 * view->display_scale);
  const int cy = view->target_rect.top + int(384 * view->display_scale);
  EXPECT_EQ(ColourAt(shown, cx, cy), wxColour(200, 0, 0));
  Pick(prop_method, 16L);
  EXPECT_EQ(Centre(), 0x0000C8u);
  EXPECT_EQ(ColourAt(ScreenOf(view), cx, cy), wxColour(0, 0, 200));

  const std::pair<int, bool> contrast[] = {{2, true}, {1, false}, {3, true}, {0, false}};
  contrast_bias = 99;
  for (const auto& [position, bias_enabled] : contrast) {
    Pick(prop_contrast, long(position));
    EXPECT_EQ(contrast_mode, contrast_modes[position]);
    EXPECT_EQ(prop_contrast_bias->IsEnabled(), bias_enabled) << position;
  }
  EXPECT_EQ(contrast_bias, 99);
}

// Closes the modal dialog of type D once the events queued before have run.
template <typename D>
void CancelWhenShown(bool& shown) {
  wxTheApp->CallAfter([&shown] {
    for (wxWindow* window : wxTopLevelWindows)
      if (auto* dialog = dynamic_cast<D*>(window); dialog && dialog->IsModal()) {
        shown = true;
        dialog->EndModal(wxID_CANCEL);
      }
  });
}

TEST_F(GridProperties, EffectsInstallKernelsAndHighlightAndArticulateOpenOnceTheGridIsDone) {
  StartTwo();
  Pick(prop_effects, 3L);
  EXPECT_EQ(effect_code, 3);
  EXPECT_EQ(the_view->kernel_offset, 127);
  Pick(prop_effects, 1L);
  EXPECT_EQ(the_view->kernel_divisor, 9);

  // Highlight keeps the kernel before it; its dialog opens once the grid's change is over.
  bool highlighting = false, articulating = false;
  Pick(prop_effects, 6L);
  EXPECT_EQ(effect_code, 6);
  EXPECT_EQ(the_view->kernel_divisor, 9);
  CancelWhenShown<pos_bright_cont>(highlighting);
  Settle();
  EXPECT_TRUE(highlighting);
  Pick(prop_effects, 7L);
  CancelWhenShown<articulate>(articulating);
  Settle();
  EXPECT_TRUE(articulating);
  EXPECT_EQ(prop_effects->GetValueAsString(), "Articulate");
  EXPECT_EQ(effect_code, 7);

  Pick(prop_effects, 0L);
  EXPECT_EQ(the_view->kernel_size, 0);
  EXPECT_EQ(the_view->kernel_divisor, 0);
  EXPECT_EQ(the_view->kernel_offset, 0);
  for (int weight : the_view->kernel) EXPECT_EQ(weight, 1);
}

TEST_F(GridProperties, ScaleToTargetRewritesTheFitAndSwitchesMoveSizeOff) {
  StartTwo();
  the_view->moving_source = 1;
  Pick(prop_fit_2, false);
  EXPECT_EQ(the_view->fit_to_target[1], 0);
  EXPECT_EQ(the_view->moving_source, 0);
  // Unscaled, the 64 x 48 source covers only the target's top-left corner.
  EXPECT_EQ(the_view->fit_factor_x[1], 1.0);
  Pick(prop_fit_2, true);
  EXPECT_EQ(the_view->fit_to_target[1], 1);
  EXPECT_EQ(the_view->fit_factor_x[1], 16.0);
}

TEST_F(GridProperties, ResetAllPutsTheSettingsBackAndLeavesTheRestAlone) {
  StartTwo();
  Pick(prop_contrast, 2L);
  pane->grid->EnableProperty(prop_contrast_bias, true);
  ASSERT_TRUE(Type(prop_contrast_bias, "80"));
  Pick(prop_method, 0L);
  Pick(prop_effects, 4L);
  ASSERT_TRUE(Type(prop_vscale_1, "300"));
  Pick(prop_fit_1, false);
  pane->contrast_prompt->CycleSelection();
  Slide(pane->contrast_slider, 70);
  Slide(pane->brightness_slider, 20);
  the_view->perspective_on = true;
  the_view->rotation[0] = 30.0;
  app.Document()->mirrored[1] = 1;
  pane->mirror_button_2->SetImage(32827);
  base_color = {1, 2, 3};
  pane->middle_step_1 = 3;
  CvorbelApp::viewing_scale = 150;
  fix_point_1 = 5;
  the_view->offset[0] = {40, 50};

  // No: nothing changes, not even the perspective flag.
  app.port->answer_yes = false;
  pane->RunCommand(32792);
  EXPECT_EQ(app.port->questions, std::vector<std::string>{"Do you wish to reset all parameters ?"});
  EXPECT_TRUE(the_view->perspective_on);
  EXPECT_EQ(method_code, 2);

  app.port->answer_yes = true;
  pane->RunCommand(32792);
  EXPECT_FALSE(the_view->perspective_on);
  for (const channel_pair& channel : the_view->channel_adjust) {
    EXPECT_EQ(channel.contrast, 50);
    EXPECT_EQ(channel.brightness, 50);
  }
  EXPECT_EQ(pane->contrast_slider->GetValue(), 50);
  EXPECT_EQ(pane->brightness_label->GetLabel(), "50");
  EXPECT_EQ(pane->contrast_prompt->Caption(), "Target Contrast");
  EXPECT_EQ(std::tie(source_bias, contrast_bias, method_code, contrast_mode, effect_code, the_view->kernel_size),
            std::make_tuple(127, 127, 8, 1, 0, 0));
  EXPECT_EQ(prop_method->GetValueAsString(), "Average");
  EXPECT_EQ(prop_contrast->GetValueAsString(), "Normal contrast");
  EXPECT_EQ(prop_effects->GetValueAsString(), "No effects");
  EXPECT_EQ(prop_contrast_bias->GetValue().GetLong(), 50);
  EXPECT_FALSE(prop_contrast_bias->IsEnabled());
  for (wxPGProperty* scale : {prop_vscale_1, prop_hscale_1, prop_vscale_2, prop_hscale_2})
    EXPECT_EQ(scale->GetValue().GetLong(), 100);
  EXPECT_TRUE(prop_fit_1->GetValue().GetBool());
  EXPECT_EQ(the_view->fit_to_target[0], 1);
  EXPECT_EQ(the_view->height_percent[0], 100.0);
  EXPECT_EQ(the_view->rotation[0], 0.0);
  EXPECT_EQ(app.Document()->mirrored[1], 0);
  EXPECT_EQ(pane->mirror_button_2->Image(), 32825);
  EXPECT_EQ(the_view->offset[0].x, 0);  // centred: the source fills the target
  // Left alone.
  EXPECT_EQ(std::tie(base_color.red, pane->middle_step_1, CvorbelApp::viewing_scale, fix_point_1, source_count),
            std::make_tuple(1, 3, 150, 5, 2));

  // The threshold that goes with 50 % comes back with the next infinite contrast.
  Pick(prop_contrast, 2L);
  EXPECT_EQ(contrast_bias, 127);
  EXPECT_EQ(contrast_mode, 2);
}

}  // namespace
