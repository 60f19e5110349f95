#pragma once
#include <wx/dialog.h>

class show_quad;
class wxRadioButton;
class wxStaticText;

// The perspective dialog: the four corners of the target are dragged to a new
// quadrilateral, and OK maps the target onto it. The corners live in quad_corners.
class quad : public wxDialog {
 public:
  static constexpr int reset_id = 463;

  explicit quad(wxWindow* parent);
  ~quad() override;

  bool TransferDataToWindow() override;
  // Takes the mode from the radios.
  bool TransferDataFromWindow() override;

  void OnReset(wxCommandEvent& event);
  // Maps the target onto the corners and ends with OK; corners still on the image's
  // corners end the dialog as Cancel does.
  void OnOK(wxCommandEvent& event);
  void OnCancel(wxCommandEvent& event);

  int mode = 0;  // 0 "quad", 1 "Affine", 2 "Vertical edge", 3 "Horiz. edge"
  show_quad* quad_view = nullptr;
  wxStaticText* corner_label = nullptr;
  wxRadioButton* modes[4] = {};
  // Whether the dialog lost width to fit the image's proportions.
  bool narrowed = false;

 private:
};

// Puts the corners on the image's corners: (0, 0), (W, 0), (0, H), (W, H).
void ResetQuadCorners();

// Runs the dialog modally; true when it ended with OK.
bool RunQuadDialog(wxWindow* parent);

// The open perspective dialog; null when none is open.
inline wxDialog* the_quad_dialog = nullptr;
