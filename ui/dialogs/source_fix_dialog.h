#pragma once
#include <wx/dialog.h>

#include "engine/base/geometry_types.h"

class CvorbelViewCore;
class wxRadioButton;
class wxTextCtrl;

// "Source Edge/Corner Fixing": for each source the point that stays put when its
// size changes (its fix point), and the distances that place the fix points. A
// click on a fix point takes effect at once; Apply and OK move the sources to the
// distances typed. Cancel keeps what was applied.
class source_fix : public wxDialog {
 public:
  static constexpr int source_1_first_id = 1100;  // 1100..1108
  static constexpr int source_2_first_id = 1120;  // 1120..1127, then middle_2_id
  static constexpr int middle_2_id = 1228;
  static constexpr int distance_12_x_id = 1250, distance_12_y_id = 1251;
  static constexpr int distance_1_x_id = 1252, distance_1_y_id = 1253;
  static constexpr int apply_id = 1093;

  source_fix(wxWindow* parent, CvorbelViewCore& view);

  bool TransferDataToWindow() override;
  // Takes the fix points and the four distances (each -3000..3000, with a message
  // when one is not); false when one is refused.
  bool TransferDataFromWindow() override;

  void OnApply(wxCommandEvent& event);
  void OnFixPointClicked(wxCommandEvent& event);
  void OnOK(wxCommandEvent& event);

  int fix_1 = 1;
  int fix_2 = 1;
  vpoint distance_12;  // anchor of source 1 minus anchor of source 2
  vpoint distance_1;   // minus the anchor of source 1

  // The radio of fix position fix (0..8) of source s (1 or 2).
  static int RadioId(int s, int fix);

 private:
  // Moves both sources to the distances typed; false when one is refused.
  bool Apply();
  // Both distances from the anchors as they stand.
  void DistancesFromAnchors();
  // The radio chosen in source s's group; none chosen keeps current.
  int ChosenFix(int s, int current) const;
  void RedrawView();

  CvorbelViewCore& view;
  wxRadioButton* radios[2][9] = {};
  wxTextCtrl* distance_boxes[4] = {};  // 12 x, 12 y, 1 x, 1 y
};

// Runs the dialog modally over parent; true when it ended with OK.
bool RunSourceFixDialog(wxWindow* parent, CvorbelViewCore& view);
