#pragma once
#include <wx/propgrid/props.h>

#include <string>

#include "engine/base/combining_options.h"

// The grid's eleven properties; set when the grid is filled, owned by the grid.
extern wxPGProperty* prop_vscale_1;
extern wxPGProperty* prop_hscale_1;
extern wxPGProperty* prop_vscale_2;
extern wxPGProperty* prop_hscale_2;
extern wxPGProperty* prop_fit_1;
extern wxPGProperty* prop_fit_2;
extern wxPGProperty* prop_method;
extern wxPGProperty* prop_source_bias;
extern wxPGProperty* prop_contrast;
extern wxPGProperty* prop_contrast_bias;
extern wxPGProperty* prop_effects;

// 1 while the range warning of a scale or a percent property is on the screen.
extern int scale_warning_open;
extern int percent_warning_open;

// Leading white space, an optional sign, then digits up to the first other
// character; no digits give 0. Values past the 64-bit range stay at its ends, so a
// long run of digits never wraps into range.
long long ParseLeadingInteger(const std::string& text);

// A property whose committed change rewrites a setting and recomputes.
class committed_property {
 public:
  virtual ~committed_property() = default;
  // Runs once the grid has stored a changed value.
  virtual void OnCommitted() = 0;
};

// An integer with a spin control whose typed text is refused when out of range; the
// grid then shows RangeMessage and keeps the editor open with the text.
class bounded_number_property : public wxIntProperty, public committed_property {
 public:
  // Labelled, helped, ranged and started as setting says.
  bounded_number_property(const number_setting& setting, int* guard);

  bool StringToValue(wxVariant& variant, const wxString& text, int flags) const override;
  bool ValidateValue(wxVariant& value, wxPGValidationInfo& info) const override;
  // Letters are parsed, not refused while typed.
  wxValidator* DoGetValidator() const override { return nullptr; }
  // The range message for this property's class.
  wxString RangeMessage() const;
  int* Guard() const { return guard; }
  // Back to the start value, as a new grid shows it.
  void ShowStart() { SetValue(start); }

 private:
  long low, high, start;
  const char* message;
  int* guard;
};

// Vertical (axis 0) or horizontal (axis 1) scale percent of a source.
class CBoundedNumberSubProp_a : public bounded_number_property {
 public:
  CBoundedNumberSubProp_a(int axis, int source);
  void OnCommitted() override;
  int axis = 0;
  int source = 1;
};

// Source bias (kind 0) or infinite-contrast threshold (kind 1) in percent.
class CBoundedNumberSubProp_b : public bounded_number_property {
 public:
  explicit CBoundedNumberSubProp_b(int kind);
  void OnCommitted() override;
  int kind = 0;
};

// Whether a source's scale is relative to the target.
class choose_scale_method : public wxBoolProperty, public committed_property {
 public:
  explicit choose_scale_method(int source);
  void OnCommitted() override;
  int source = 1;
};

// A list of fixed options that takes no typed text.
class option_list_property : public wxEnumProperty, public committed_property {
 public:
  explicit option_list_property(const option_setting& setting);
  // Position of the shown option in the list.
  int Position() const;
  // Back to the start option, as a new grid shows it.
  void ShowStart();

 protected:
  const option_setting& setting;
};

class vorbel_method : public option_list_property {
 public:
  vorbel_method();
  void OnCommitted() override;
};

class contrast_type : public option_list_property {
 public:
  contrast_type();
  void OnCommitted() override;
};

class effects_type : public option_list_property {
 public:
  effects_type();
  void OnCommitted() override;
};
