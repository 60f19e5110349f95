#include "ui/pane/grid_properties.h"

#include <wx/propgrid/advprops.h>

#include <cctype>
#include <climits>

#include "engine/base/process_state.h"
#include "engine/base/view_core.h"
#include "ui/commands/pane_command_ids.h"
#include "ui/pane/placement_calls.h"
#include "ui/pane/properties_pane.h"

wxPGProperty* prop_vscale_1 = nullptr;
wxPGProperty* prop_hscale_1 = nullptr;
wxPGProperty* prop_vscale_2 = nullptr;
wxPGProperty* prop_hscale_2 = nullptr;
wxPGProperty* prop_fit_1 = nullptr;
wxPGProperty* prop_fit_2 = nullptr;
wxPGProperty* prop_method = nullptr;
wxPGProperty* prop_source_bias = nullptr;
wxPGProperty* prop_contrast = nullptr;
wxPGProperty* prop_contrast_bias = nullptr;
wxPGProperty* prop_effects = nullptr;

int scale_warning_open = 0;
int percent_warning_open = 0;

namespace options = combining_options;

long long ParseLeadingInteger(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    const int digit = text[i] - '0';
    if (value > (LLONG_MAX - digit) / 10) return negative ? LLONG_MIN : LLONG_MAX;
    value = value * 10 + digit;
  }
  return negative ? -value : value;
}

bounded_number_property::bounded_number_property(const number_setting& setting, int* guard)
    : wxIntProperty(setting.label, wxPG_LABEL, setting.start),
      low(setting.low),
      high(setting.high),
      start(setting.start),
      message(setting.message),
      guard(guard) {
  SetHelpString(setting.help);
  SetAttribute(wxPG_ATTR_MIN, low);
  SetAttribute(wxPG_ATTR_MAX, high);
  SetEditor(wxPGEditor_SpinCtrl);
}

bool bounded_number_property::StringToValue(wxVariant& variant, const wxString& text,
                                            int) const {
  const long long parsed = ParseLeadingInteger(text.utf8_string());
  const long value = parsed > LONG_MAX ? LONG_MAX : parsed < LONG_MIN ? LONG_MIN : long(parsed);
  if (!variant.IsNull() && variant.GetType() == "long" && variant.GetLong() == value) return false;
  variant = value;
  return true;
}

wxString bounded_number_property::RangeMessage() const {
  return wxString::Format(message, int(low), int(high));
}

bool bounded_number_property::ValidateValue(wxVariant& value, wxPGValidationInfo&) const {
  const long v = value.GetLong();
  return v >= low && v <= high;
}

CBoundedNumberSubProp_a::CBoundedNumberSubProp_a(int axis, int source)
    : bounded_number_property(options::scales[source - 1][axis], &scale_warning_open),
      axis(axis),
      source(source) {}

void CBoundedNumberSubProp_a::OnCommitted() {
  placement_calls::SetSourceScalePercent(int(GetValue().GetLong()), axis, source);
}

CBoundedNumberSubProp_b::CBoundedNumberSubProp_b(int kind)
    : bounded_number_property(
          kind == 0 ? options::source_bias_percent : options::contrast_bias_percent,
          &percent_warning_open),
      kind(kind) {}

void CBoundedNumberSubProp_b::OnCommitted() {
  const int value = int(GetValue().GetLong());
  if (kind == 0)
    source_bias = options::SourceBiasOfPercent(value);
  else
    contrast_bias = options::ContrastBiasOfPercent(value);
  if (the_view) the_view->CombineTarget();
}

choose_scale_method::choose_scale_method(int source)
    : wxBoolProperty(options::fits[source - 1].label, wxPG_LABEL, options::fits[source - 1].start),
      source(source) {
  SetHelpString(options::fits[source - 1].help);
  SetAttribute(wxPG_BOOL_USE_CHECKBOX, true);
}

void choose_scale_method::OnCommitted() {
  if (!the_view) return;
  the_view->fit_to_target[source - 1] = GetValue().GetBool() ? 1 : 0;
  the_view->UpdateSourceGeometry(source);
  the_view->RebuildSources(source);
  placement_calls::MoveSizeOff();
}

namespace {

wxPGChoices Choices(const option_setting& setting) {
  wxPGChoices choices;
  for (size_t i = 0; i < setting.options.size(); ++i) choices.Add(setting.options[i].text, int(i));
  return choices;
}

}  // namespace

option_list_property::option_list_property(const option_setting& setting)
    : wxEnumProperty(setting.label, wxPG_LABEL), setting(setting) {
  wxPGChoices choices = Choices(setting);
  SetChoices(choices);
  SetChoiceSelection(setting.start);
  SetHelpString(setting.help);
}

int option_list_property::Position() const { return GetChoiceSelection(); }

void option_list_property::ShowStart() { SetValue(long(setting.start)); }

vorbel_method::vorbel_method() : option_list_property(options::method) {}

void vorbel_method::OnCommitted() {
  method_code = setting.CodeAt(Position(), method_code);
  if (the_view) the_view->CombineTarget();
}

contrast_type::contrast_type() : option_list_property(options::contrast) {}

void contrast_type::OnCommitted() {
  const int position = Position();
  if (position >= 0 && position < int(setting.options.size())) {
    contrast_mode = setting.CodeAt(position, contrast_mode);
    const bool infinite = position >= options::first_infinite_contrast;
    if (prop_contrast_bias) {
      if (wxPropertyGrid* grid = prop_contrast_bias->GetGrid())
        grid->EnableProperty(prop_contrast_bias, infinite);
      else
        prop_contrast_bias->Enable(infinite);
    }
  }
  if (the_view) the_view->CombineTarget();
}

effects_type::effects_type() : option_list_property(options::effects) {}

void effects_type::OnCommitted() {
  const int code = setting.CodeAt(Position(), -1);
  if (code > options::last_kernel_effect) {
    effect_code = code;
    // Posted: the dialog opens once the grid has finished storing the choice.
    PostPaneCommand(code == options::highlight_effect ? int(cmd_highlighting)
                                                    : int(cmd_artistic_image));
    return;
  }
  if (code >= 0 && the_view) {
    effect_code = code;
    the_view->InstallEffectKernel(code);
  }
  if (the_view) the_view->CombineTarget();
}
