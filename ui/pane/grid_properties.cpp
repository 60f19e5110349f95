#include "ui/pane/grid_properties.h"

#include <wx/propgrid/advprops.h>

#include <cctype>
#include <climits>

#include "engine/process_state.h"
#include "engine/view_core.h"
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

const char* const method_options[method_option_count] = {
    "Brightest",
    "Average",
    "Darkest",
    "Most Colored",
    "Least Colored",
    "Subtract 1, 2",
    "Subtract 2, 1",
    "If 1 > gray then 1 else 2",
    "If 1 > gray then 2 else 1",
    "If 2 > gray then 1 else 2",
    "If 2 > gray then 2 else 1",
    "If 1 > gray then 1 else bk gnd",
    "If 1 > gray then 2 else bk gnd",
    "If 2 > gray then 1 else bk gnd",
    "If 2 > gray then 2 else bk gnd",
    "Copy Srce 1 image only",
    "Copy Srce 2 image only",
};
const int method_codes[method_option_count] = {2,  8,  3,  4,  5,  6, 7, 9, 10,
                                               11, 12, 13, 14, 15, 16, 0, 1};
const char* const contrast_options[contrast_option_count] = {
    "Normal contrast", "Gray scale", "Infinite contrast b/w", "Infinite contrast color"};
const int contrast_modes[contrast_option_count] = {1, 0, 2, 3};
const char* const effect_options[effect_option_count] = {
    "No effects", "Blur", "Edge", "Emboss", "Sharpen", "Soften", "Highlight", "Articulate"};

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

bounded_number_property::bounded_number_property(const wxString& label, long value, long low,
                                                 long high, const char* message, int* guard)
    : wxIntProperty(label, wxPG_LABEL, value), low(low), high(high), message(message), guard(guard) {
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

CBoundedNumberSubProp_a::CBoundedNumberSubProp_a(const wxString& label, long value)
    : bounded_number_property(label, value, 1, 1000, "Value must be between %d and %d.",
                              &scale_warning_open) {}

void CBoundedNumberSubProp_a::OnCommitted() {
  placement_calls::SetSourceScalePercent(int(GetValue().GetLong()), axis, source);
}

CBoundedNumberSubProp_b::CBoundedNumberSubProp_b(const wxString& label, long value)
    : bounded_number_property(label, value, 0, 100,
                              "Value must be equal to or between %d and %d.",
                              &percent_warning_open) {}

void CBoundedNumberSubProp_b::OnCommitted() {
  const int value = int(GetValue().GetLong());
  if (kind == 0)
    source_bias = value * 256 / 100;
  else
    contrast_bias = value * 255 / 100;
  if (the_view) the_view->CombineTarget();
}

choose_scale_method::choose_scale_method(const wxString& label, bool value)
    : wxBoolProperty(label, wxPG_LABEL, value) {
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

wxPGChoices Choices(const char* const* options, int count) {
  wxPGChoices choices;
  for (int i = 0; i < count; ++i) choices.Add(options[i], i);
  return choices;
}

}  // namespace

option_list_property::option_list_property(const wxString& label, const char* const* options,
                                           int count, int start)
    : wxEnumProperty(label, wxPG_LABEL) {
  wxPGChoices choices = Choices(options, count);
  SetChoices(choices);
  SetChoiceSelection(start);
}

int option_list_property::Position() const { return GetChoiceSelection(); }

vorbel_method::vorbel_method(const wxString& label)
    : option_list_property(label, method_options, method_option_count, 1) {}

void vorbel_method::OnCommitted() {
  const int position = Position();
  if (position >= 0 && position < method_option_count) method_code = method_codes[position];
  if (the_view) the_view->CombineTarget();
}

contrast_type::contrast_type(const wxString& label)
    : option_list_property(label, contrast_options, contrast_option_count, 0) {}

void contrast_type::OnCommitted() {
  const int position = Position();
  if (position >= 0 && position < contrast_option_count) {
    contrast_mode = contrast_modes[position];
    if (prop_contrast_bias) {
      if (wxPropertyGrid* grid = prop_contrast_bias->GetGrid())
        grid->EnableProperty(prop_contrast_bias, position >= 2);
      else
        prop_contrast_bias->Enable(position >= 2);
    }
  }
  if (the_view) the_view->CombineTarget();
}

effects_type::effects_type(const wxString& label)
    : option_list_property(label, effect_options, effect_option_count, 0) {}

void effects_type::OnCommitted() {
  const int position = Position();
  if (position == 6 || position == 7) {
    effect_code = position;
    // Posted: the dialog opens once the grid has finished storing the choice.
    PostPaneCommand(position == 6 ? int(cmd_highlighting) : int(cmd_artistic_image));
    return;
  }
  if (position >= 0 && position <= 5 && the_view) {
    effect_code = position;
    the_view->InstallEffectKernel(position);
  }
  if (the_view) the_view->CombineTarget();
}
