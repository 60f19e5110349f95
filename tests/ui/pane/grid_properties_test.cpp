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
                                                        {"50", 128, 127}, {"", 0, 0},
                                                        {"1", 2, 2},     {"99", 253, 252}};
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
  for (int i = 0; i < int(std::size(combining_options::method_choices)); ++i) {
    Pick(prop_method, long(i));
    EXPECT_EQ(method_code, combining_options::method_choices[i].code)
        << combining_options::method_choices[i].text;
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
    EXPECT_EQ(contrast_mode, combining_options::contrast_choices[position].code);
    EXPECT_EQ(prop_contrast_bias->IsEnabled(), bias_enabled) << position;
  }
  EXPECT_EQ(contrast_bias, 99);
}

// One row of the grid as the user reads it, top to bottom.
struct grid_row {
  std::string label;
  std::string value;  // empty for a group
  std::string help;
  long low = 0, high = 0;  // spin range; 0, 0 for other kinds
  bool enabled = true;
};

TEST_F(GridProperties, AFreshGridShowsItsGroupsPropertiesStartValuesRangesAndHelpInOrder) {
  StartTwo();
  const grid_row expected[] = {
      {"Scaling: Source 1", "", ""},
      {"Vertical scale %", "100", "Change percent vertical scale of source 1", 1, 1000},
      {"Horizontal scale %", "100", "Change percent horizontal scale of source 1", 1, 1000},
      {"Scaling: Source 2", "", ""},
      {"Vertical scale %", "100", "Change percent vertical scale of source 2", 1, 1000},
      {"Horizontal scale %", "100", "Change percent horizontal scale of source 2", 1, 1000},
      {"Source Scale Method", "", ""},
      {"Scale Srce 1 to Target", "True",
       "Scaling you set are relative to target size set in edit menu (TRUE)\n -or- relative to "
       "original source 1 size (FALSE)"},
      {"Scale Srce 2 to Target", "True",
       "Scaling you set are relative to target size set in edit menu (TRUE)\n -or- relative to "
       "original source 2 size (FALSE)"},
      {"Vorbel method", "", ""},
      {"Per pixel src 1 & 2", "Average", "Select a vorbeling method between\nthe two source images."},
      {"Source 1/2 Bias %", "50",
       "Adjust overlay source bias where \n0% = source 1 only up to 100% = source 2 only.", 0, 100},
      {"Contrast / Gray Scale", "", ""},
      {"Contrast type:", "Normal contrast",
       "Select a Contrast type for the target image.\nAlso can set gray scale."},
      {"Infinite Contrast Bias", "50",
       "Infinite here means black or white\nSet the threshold B<>W with this command.", 0, 100,
       false},
      {"Special Effects", "", ""},
      {"Effects:", "No effects",
       "Select a 'surreal' effect on the target image.\nOnly one effect applies. (They do not "
       "accumulate)\n(Exception) Apply 'Articulate' last"},
  };
  std::vector<grid_row> shown;
  for (auto it = pane->grid->GetGrid()->GetIterator(wxPG_ITERATE_ALL); !it.AtEnd(); ++it) {
    wxPGProperty* p = *it;
    grid_row row{p->GetLabel().utf8_string(), p->IsCategory() ? "" : p->GetValueAsString().utf8_string(),
                 p->GetHelpString().utf8_string()};
    if (!p->GetAttribute(wxPG_ATTR_MIN).IsNull()) {
      row.low = p->GetAttribute(wxPG_ATTR_MIN).GetLong();
      row.high = p->GetAttribute(wxPG_ATTR_MAX).GetLong();
    }
    row.enabled = p->IsEnabled();
    shown.push_back(row);
  }
  ASSERT_EQ(shown.size(), std::size(expected));
  for (size_t i = 0; i < shown.size(); ++i) {
    EXPECT_EQ(shown[i].label, expected[i].label) << i;
    EXPECT_EQ(shown[i].value, expected[i].value) << expected[i].label;
    EXPECT_EQ(shown[i].help, expected[i].help) << expected[i].label;
    EXPECT_EQ(std::make_pair(shown[i].low, shown[i].high),
              std::make_pair(expected[i].low, expected[i].high)) << expected[i].label;
    EXPECT_EQ(shown[i].enabled, expected[i].enabled) << expected[i].label;
  }
  EXPECT_EQ(std::tie(method_code, source_bias, contrast_mode, contrast_bias, effect_code),
            std::make_tuple(8, 127, 1, 127, 0));
}

// Each scale property steers its own axis of its own source.
TEST_F(GridProperties, EachScalePropertySetsItsOwnAxisOfItsOwnSource) {
  StartTwo();
  const std::tuple<wxPGProperty*, double*, const char*> scales[] = {
      {prop_vscale_1, &the_view->height_percent[0], "210"},
      {prop_hscale_1, &the_view->width_percent[0], "220"},
      {prop_vscale_2, &the_view->height_percent[1], "230"},
      {prop_hscale_2, &the_view->width_percent[1], "240"}};
  for (const auto& [property, percent, text] : scales) {
    ASSERT_TRUE(Type(property, text));
    EXPECT_EQ(*percent, std::stod(text)) << text;
    Grid()->ClearSelection(false);
  }
  EXPECT_EQ(the_view->height_percent[0], 210.0);
  EXPECT_EQ(the_view->width_percent[0], 220.0);
  EXPECT_EQ(the_view->height_percent[1], 230.0);

  Pick(prop_fit_1, false);
  EXPECT_EQ(the_view->fit_to_target[0], 0);
  EXPECT_EQ(the_view->fit_to_target[1], 1);
}

TEST_F(GridProperties, EveryOptionOfTheThreeListsStandsInItsPlaceAndSetsItsOwnCode) {
  StartTwo();
  const std::pair<const char*, int> methods[] = {
      {"Brightest", 2},
      {"Average", 8},
      {"Darkest", 3},
      {"Most Colored", 4},
      {"Least Colored", 5},
      {"Subtract 1, 2", 6},
      {"Subtract 2, 1", 7},
      {"If 1 > gray then 1 else 2", 9},
      {"If 1 > gray then 2 else 1", 10},
      {"If 2 > gray then 1 else 2", 11},
      {"If 2 > gray then 2 else 1", 12},
      {"If 1 > gray then 1 else bk gnd", 13},
      {"If 1 > gray then 2 else bk gnd", 14},
      {"If 2 > gray then 1 else bk gnd", 15},
      {"If 2 > gray then 2 else bk gnd", 16},
      {"Copy Srce 1 image only", 0},
      {"Copy Srce 2 image only", 1}};
  ASSERT_EQ(prop_method->GetChoices().GetCount(), std::size(methods));
  for (size_t i = 0; i < std::size(methods); ++i) {
    method_code = -1;
    Pick(prop_method, long(i));
    EXPECT_EQ(prop_method->GetValueAsString(), methods[i].first) << i;
    EXPECT_EQ(method_code, methods[i].second) << methods[i].first;
  }

  const std::tuple<const char*, int, bool> contrasts[] = {{"Normal contrast", 1, false},
                                                          {"Gray scale", 0, false},
                                                          {"Infinite contrast b/w", 2, true},
                                                          {"Infinite contrast color", 3, true}};
  ASSERT_EQ(prop_contrast->GetChoices().GetCount(), std::size(contrasts));
  for (int round = 0; round < 2; ++round)  // each entry both after a disabled and an enabled one
    for (size_t i = 0; i < std::size(contrasts); ++i) {
      const size_t at = round == 0 ? i : std::size(contrasts) - 1 - i;
      const auto& [text, mode, bias_enabled] = contrasts[at];
      contrast_mode = -1;
      Pick(prop_contrast, long(at));
      EXPECT_EQ(prop_contrast->GetValueAsString(), text);
      EXPECT_EQ(contrast_mode, mode) << text;
      EXPECT_EQ(prop_contrast_bias->IsEnabled(), bias_enabled) << text;
    }

  const char* const effects[] = {"No effects", "Blur",    "Edge",      "Emboss",
                                 "Sharpen",    "Soften", "Highlight", "Articulate"};
  ASSERT_EQ(prop_effects->GetChoices().GetCount(), std::size(effects));
  for (int i = 0; i < int(std::size(effects)); ++i)
    EXPECT_EQ(prop_effects->GetChoices().GetLabel(i), effects[i]) << i;
  for (int i = 5; i >= 0; --i) {
    effect_code = -1;
    Pick(prop_effects, long(i));
    EXPECT_EQ(effect_code, i) << effects[i];
  }
}

// Closes whatever modal dialog is up once the events queued before have run;
// shown tells whether it was one of type D.
template <typename D>
void CancelWhenShown(bool& shown) {
  wxTheApp->CallAfter([&shown] {
    for (wxWindow* window : wxTopLevelWindows)
      if (auto* dialog = dynamic_cast<wxDialog*>(window); dialog && dialog->IsModal()) {
        shown = dynamic_cast<D*>(dialog) != nullptr;
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
  Pick(prop_fit_2, false);
  ASSERT_TRUE(Type(prop_source_bias, "10"));
  ASSERT_TRUE(Type(prop_hscale_2, "40"));
  pane->contrast_prompt->CycleSelection();
  pane->brightness_prompt->CycleSelection();
  Slide(pane->contrast_slider, 70);
  Slide(pane->brightness_slider, 20);
  the_view->perspective_on = true;
  the_view->rotation[0] = 30.0;
  the_view->rotation[1] = 45.0;
  app.Document()->mirrored[0] = app.Document()->mirrored[1] = 1;
  pane->mirror_button_1->SetImage(32826);
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
  EXPECT_EQ(pane->brightness_prompt->Caption(), "Target Brightness");
  EXPECT_EQ(pane->brightness_slider->GetValue(), 50);
  EXPECT_EQ(pane->contrast_label->GetLabel(), "50");
  EXPECT_EQ(prop_source_bias->GetValue().GetLong(), 50);
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
  EXPECT_TRUE(prop_fit_2->GetValue().GetBool());
  EXPECT_EQ(the_view->fit_to_target[1], 1);
  EXPECT_EQ(the_view->width_percent[1], 100.0);
  EXPECT_EQ(the_view->rotation[0], 0.0);
  EXPECT_EQ(the_view->rotation[1], 0.0);
  EXPECT_EQ(app.Document()->mirrored[0], 0);
  EXPECT_EQ(app.Document()->mirrored[1], 0);
  EXPECT_EQ(pane->mirror_button_1->Image(), 32824);
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
