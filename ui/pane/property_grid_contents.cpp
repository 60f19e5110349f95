#include <wx/propgrid/propgrid.h>
#include <wx/settings.h>

#include "engine/base/process_state.h"
#include "engine/base/view_core.h"
#include "platform/ui_port.h"
#include "sources/document.h"
#include "ui/commands/pane_command_ids.h"
#include "ui/pane/grid_properties.h"
#include "ui/pane/placement_calls.h"
#include "ui/pane/properties_pane.h"
#include "ui/pane/trackbar.h"

namespace {

namespace options = combining_options;

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

  prop_vscale_1 = new CBoundedNumberSubProp_a(0, 1);
  prop_hscale_1 = new CBoundedNumberSubProp_a(1, 1);
  AddGroup(page, options::scaling_groups[0], {prop_vscale_1, prop_hscale_1});
  prop_vscale_2 = new CBoundedNumberSubProp_a(0, 2);
  prop_hscale_2 = new CBoundedNumberSubProp_a(1, 2);
  AddGroup(page, options::scaling_groups[1], {prop_vscale_2, prop_hscale_2});

  prop_fit_1 = new choose_scale_method(1);
  prop_fit_2 = new choose_scale_method(2);
  AddGroup(page, options::fit_group, {prop_fit_1, prop_fit_2});

  prop_method = new vorbel_method;
  prop_source_bias = new CBoundedNumberSubProp_b(0);
  AddGroup(page, options::method_group, {prop_method, prop_source_bias});

  prop_contrast = new contrast_type;
  prop_contrast_bias = new CBoundedNumberSubProp_b(1);
  AddGroup(page, options::contrast_group, {prop_contrast, prop_contrast_bias});
  grid->EnableProperty(prop_contrast_bias, false);

  prop_effects = new effects_type;
  AddGroup(page, options::effects_group, {prop_effects});
  grid->SelectPage(0);
  grid->GetGrid()->SetSplitterLeft();
}

void CPropertiesWnd::ShowCombiningStarts() {
  for (wxPGProperty* list : {prop_method, prop_contrast, prop_effects})
    if (list) static_cast<option_list_property*>(list)->ShowStart();
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

  static_cast<bounded_number_property*>(prop_source_bias)->ShowStart();
  source_bias = options::start_source_bias;

  prop_fit_1->SetValue(options::fits[0].start);
  prop_fit_2->SetValue(options::fits[1].start);
  view.fit_to_target[0] = options::fits[0].start ? 1 : 0;
  view.fit_to_target[1] = options::fits[1].start ? 1 : 0;
  view.rotation[0] = view.rotation[1] = 0.0;
  view.UpdateSourceGeometry(1);
  view.UpdateSourceGeometry(2);

  ResetFlipButton(1);
  ResetFlipButton(2);

  static_cast<option_list_property*>(prop_effects)->ShowStart();
  effect_code = options::effects.StartCode();
  view.InstallEffectKernel(effect_code);

  static_cast<option_list_property*>(prop_method)->ShowStart();
  static_cast<option_list_property*>(prop_contrast)->ShowStart();
  static_cast<bounded_number_property*>(prop_contrast_bias)->ShowStart();
  contrast_bias = options::start_contrast_bias;
  grid->EnableProperty(prop_contrast_bias, false);
  for (wxPGProperty* scale : {prop_hscale_1, prop_vscale_1, prop_hscale_2, prop_vscale_2})
    static_cast<bounded_number_property*>(scale)->ShowStart();

  placement_calls::ResetAllSourceScales();
  method_code = options::method.StartCode();
  contrast_mode = options::contrast.StartCode();
  placement_calls::CentreSources();
  grid->RefreshGrid();
}
