#include <wx/propgrid/propgrid.h>
#include <wx/settings.h>

#include "engine/process_state.h"
#include "engine/view_core.h"
#include "platform/ui_port.h"
#include "sources/document.h"
#include "ui/commands/pane_command_ids.h"
#include "ui/pane/grid_properties.h"
#include "ui/pane/placement_calls.h"
#include "ui/pane/properties_pane.h"
#include "ui/pane/trackbar.h"

namespace {

CBoundedNumberSubProp_a* MakeScale(const char* label, int axis, int source, const char* help) {
  auto* p = new CBoundedNumberSubProp_a(label, 100);
  p->axis = axis;
  p->source = source;
  p->SetHelpString(help);
  return p;
}

choose_scale_method* MakeFit(const char* label, int source, const char* help) {
  auto* p = new choose_scale_method(label, true);
  p->source = source;
  p->SetHelpString(help);
  return p;
}

CBoundedNumberSubProp_b* MakePercent(const char* label, int kind, const char* help) {
  auto* p = new CBoundedNumberSubProp_b(label, 50);
  p->kind = kind;
  p->SetHelpString(help);
  return p;
}

// Adds a group and its properties, each with its own name so that two groups may
// hold properties of the same label.
void AddGroup(wxPropertyGridPage* page, const char* title,
              std::initializer_list<wxPGProperty*> members) {
  wxPGProperty* group = page->Append(new wxPropertyCategory(title, wxString(title)));
  for (wxPGProperty* member : members) {
    member->SetName(wxString(title) + "." + member->GetLabel());
    page->AppendIn(group, member);
  }
}

}  // namespace

void CPropertiesWnd::UpdateGridFont() {
  grid_font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
  grid->SetFont(grid_font);
  grid->GetGrid()->SetFont(grid_font);
  grid->Refresh();
}

void CPropertiesWnd::InitPropList() {
  UpdateGridFont();
  grid->ShowHeader(false);
  wxPropertyGridPage* page = grid->AddPage("Properties");

  prop_vscale_1 = MakeScale("Vertical scale %", 0, 1, "Change percent vertical scale of source 1");
  prop_hscale_1 = MakeScale("Horizontal scale %", 1, 1, "Change percent horizontal scale of source 1");
  AddGroup(page, "Scaling: Source 1", {prop_vscale_1, prop_hscale_1});
  prop_vscale_2 = MakeScale("Vertical scale %", 0, 2, "Change percent vertical scale of source 2");
  prop_hscale_2 = MakeScale("Horizontal scale %", 1, 2, "Change percent horizontal scale of source 2");
  AddGroup(page, "Scaling: Source 2", {prop_vscale_2, prop_hscale_2});

  prop_fit_1 = MakeFit("Scale Srce 1 to Target", 1,
                   "Scaling you set are relative to target size set in edit menu (TRUE)\n -or- "
                   "relative to original source 1 size (FALSE)");
  prop_fit_2 = MakeFit("Scale Srce 2 to Target", 2,
                   "Scaling you set are relative to target size set in edit menu (TRUE)\n -or- "
                   "relative to original source 2 size (FALSE)");
  AddGroup(page, "Source Scale Method", {prop_fit_1, prop_fit_2});

  prop_method = new vorbel_method("Per pixel src 1 & 2");
  prop_method->SetHelpString("Select a vorbeling method between\nthe two source images.");
  prop_source_bias = MakePercent("Source 1/2 Bias %", 0,
                             "Adjust overlay source bias where \n0% = source 1 only up to 100% = "
                             "source 2 only.");
  AddGroup(page, "Vorbel method", {prop_method, prop_source_bias});

  prop_contrast = new contrast_type("Contrast type:");
  prop_contrast->SetHelpString(
      "Select a Contrast type for the target image.\nAlso can set gray scale.");
  prop_contrast_bias = MakePercent("Infinite Contrast Bias", 1,
                               "Infinite here means black or white\nSet the threshold B<>W with "
                               "this command.");
  AddGroup(page, "Contrast / Gray Scale", {prop_contrast, prop_contrast_bias});
  grid->EnableProperty(prop_contrast_bias, false);

  prop_effects = new effects_type("Effects:");
  prop_effects->SetHelpString(
      "Select a 'surreal' effect on the target image.\nOnly one effect applies. (They do not "
      "accumulate)\n(Exception) Apply 'Articulate' last");
  AddGroup(page, "Special Effects", {prop_effects});
  grid->SelectPage(0);
  grid->GetGrid()->SetSplitterLeft();
}

void CPropertiesWnd::OnResetAll() {
  if (!the_ui().AskYesNo("Do you wish to reset all parameters ?")) return;
  if (!the_view) return;
  CvorbelViewCore& view = *the_view;
  view.perspective_on = false;

  for (channel_pair& channel : view.channel_adjust) channel.contrast = channel.brightness = 50;
  contrast_slider->SetValue(50);
  contrast_label->SetText("50");
  contrast_prompt->selection = 0;
  contrast_prompt->Refresh();
  brightness_slider->SetValue(50);
  brightness_label->SetText("50");
  brightness_prompt->selection = 0;
  brightness_prompt->Refresh();

  // Reset shows 50 % as 127, the historic default, where a typed 50 gives 128.
  prop_source_bias->SetValue(50L);
  source_bias = 127;

  prop_fit_1->SetValue(true);
  prop_fit_2->SetValue(true);
  view.fit_to_target[0] = view.fit_to_target[1] = 1;
  view.rotation[0] = view.rotation[1] = 0.0;
  view.UpdateSourceGeometry(1);
  view.UpdateSourceGeometry(2);

  ResetFlipButton(1);
  ResetFlipButton(2);

  prop_effects->SetValue(0L);
  effect_code = 0;
  view.InstallEffectKernel(0);

  prop_method->SetValue(1L);
  prop_contrast->SetValue(0L);
  prop_contrast_bias->SetValue(50L);
  contrast_bias = 127;
  grid->EnableProperty(prop_contrast_bias, false);
  for (wxPGProperty* scale : {prop_hscale_1, prop_vscale_1, prop_hscale_2, prop_vscale_2})
    scale->SetValue(100L);

  placement_calls::ResetAllSourceScales();
  method_code = 8;
  contrast_mode = 1;
  placement_calls::CentreSources();
  grid->RefreshGrid();
}
