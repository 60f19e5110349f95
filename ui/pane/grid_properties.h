#pragma once
#include <wx/propgrid/props.h>

#include <string>

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
  bounded_number_property(const wxString& label, long value, long low, long high,
                          const char* message, int* guard);

  bool StringToValue(wxVariant& variant, const wxString& text, int flags) const override;
  bool ValidateValue(wxVariant& value, wxPGValidationInfo& info) const override;
  // Letters are parsed, not refused while typed.
  wxValidator* DoGetValidator() const override { return nullptr; }
  // The range message for this property's class.
  wxString RangeMessage() const;
  int* Guard() const { return guard; }

 private:
  long low, high;
  const char* message;
  int* guard;
};

// Vertical (axis 0) or horizontal (axis 1) scale percent of a source.
class CBoundedNumberSubProp_a : public bounded_number_property {
 public:
  CBoundedNumberSubProp_a(const wxString& label, long value);
  void OnCommitted() override;
  int axis = 0;
  int source = 1;
};

// Source bias (kind 0) or infinite-contrast threshold (kind 1) in percent.
class CBoundedNumberSubProp_b : public bounded_number_property {
 public:
  CBoundedNumberSubProp_b(const wxString& label, long value);
  void OnCommitted() override;
  int kind = 0;
};

// Whether a source's scale is relative to the target.
class choose_scale_method : public wxBoolProperty, public committed_property {
 public:
  choose_scale_method(const wxString& label, bool value);
  void OnCommitted() override;
  int source = 1;
};

// A list of fixed options that takes no typed text.
class option_list_property : public wxEnumProperty, public committed_property {
 public:
  option_list_property(const wxString& label, const char* const* options, int count,
                       int start);
  // Position of the shown option in the list.
  int Position() const;
};

class vorbel_method : public option_list_property {
 public:
  explicit vorbel_method(const wxString& label);
  void OnCommitted() override;
};

class contrast_type : public option_list_property {
 public:
  explicit contrast_type(const wxString& label);
  void OnCommitted() override;
};

class effects_type : public option_list_property {
 public:
  explicit effects_type(const wxString& label);
  void OnCommitted() override;
};

// Option texts and the codes they stand for.
inline constexpr int method_option_count = 17;
extern const char* const method_options[method_option_count];
extern const int method_codes[method_option_count];
inline constexpr int contrast_option_count = 4;
extern const char* const contrast_options[contrast_option_count];
extern const int contrast_modes[contrast_option_count];
inline constexpr int effect_option_count = 8;
extern const char* const effect_options[effect_option_count];
