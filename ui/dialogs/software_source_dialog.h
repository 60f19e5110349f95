#pragma once
#include <wx/dialog.h>

#include <cstdint>
#include <functional>
#include <optional>

class wxRadioButton;

// The dialog's state while it is up, process-wide because the preview paints from it:
// exactly one shape flag set, the size index 0..3, the colour as blue, green, red.
extern uint8_t software_diamonds, software_circles, software_squares, software_jiggles,
    software_blank, software_null;
extern int software_size;
extern uint8_t software_color[3];

// The preview window: paints the pattern of the dialog's state over the base colour.
class software_view : public wxWindow {
 public:
  software_view(wxWindow* parent, const wxRect& place);

 private:
  void OnPaint(wxPaintEvent& event);
};

// "Software Generated Source": shape, tile size and colour of a pattern, with a live
// preview. OK writes the caller's shape code and size index; "Set Color" the caller's
// colour (a COLORREF, red in the low byte).
class software_source : public wxDialog {
 public:
  software_source(wxWindow* parent, int* shape, int* size, uint32_t* colour);
  ~software_source() override;

  static constexpr int shape_ids[6] = {1065, 1009, 1068, 1097, 1069, 1086};
  static constexpr int size_ids[4] = {1066, 1067, 1080, 1081};
  static constexpr int set_color_id = 1070;
  static constexpr int preview_id = 1064;

  // The dialog while it runs.
  static software_source* active;
  // Asks for a colour starting at black; none when cancelled. Tests answer in its place.
  static std::function<std::optional<uint32_t>(wxWindow* parent)> ask_colour;

  // Picks shape 0..5 (diamonds .. null) or size 0..3 as a click on its radio button does.
  void ChooseShape(int which);
  void ChooseSize(int which);
  void OnSetColor(wxCommandEvent& event);

  software_view* preview = nullptr;
  int shape_index = 0;
  int size_index = 0;
  wxRadioButton* shape_buttons[6] = {};
  wxRadioButton* size_buttons[4] = {};

 private:
  void OnOK(wxCommandEvent& event);
  void RedrawPreview();

  int* caller_shape;
  int* caller_size;
  uint32_t* caller_colour;
};

// Runs the dialog; true for OK.
bool RunSoftwareSourceDialog(wxWindow* parent, int& shape, int& size, uint32_t& colour);
