#pragma once
#include <wx/dialog.h>
#include <wx/textctrl.h>

#include "engine/base/geometry_types.h"
#include "engine/placement/source_sizing.h"

class CvorbelViewCore;
class wxButton;

// An edit box that shows in another colour while its value waits to be recomputed.
class sizing_moving_backgnd : public wxTextCtrl {
 public:
  sizing_moving_backgnd(wxWindow* parent, int id);
  // Marks the box as waiting (or not) and repaints it in the matching colour.
  void SetChanged(bool on);

  bool changed = false;
  wxColour text_color{100, 0, 0};
  wxColour back_color{0xF0, 0xFF, 0xFF};
  wxColour changed_color{0xE6, 0xFF, 0x64};
};

// "Source Sizing and Positioning": each source's size in target pixels and its
// margins to the target's edges. A box's value is applied when the box loses the
// focus, and the margin it moves is recomputed; Cancel puts everything back.
class source_size : public wxDialog {
 public:
  static constexpr int apply_id = 1278;
  static constexpr int box_count = 12;
  // The boxes in their order here: per source left, right, top, bottom, width, height.
  static constexpr int box_ids[box_count] = {1257, 1261, 1258, 1262, 1254, 1253,
                                             1259, 1263, 1260, 1264, 1255, 1256};

  source_size(wxWindow* parent, CvorbelViewCore& view);

  // The box of kind for source s (1 or 2).
  sizing_moving_backgnd* Box(int s, sizing_box kind) const;

  void OnKillFocus(int k);
  void OnChange(int k);
  void OnOK(wxCommandEvent& event);
  void OnCancel(wxCommandEvent& event);

  source_margins sizes[2];
  vsize target_size;
  double saved_percent[4];    // width, height of source 1, then of source 2
  vpoint saved_offset[2];
  long saved_scale_values[4];  // horizontal, vertical scale property of 1, then of 2
  sizing_moving_backgnd* boxes[box_count] = {};

 private:
  // Writes the values into the boxes; a box whose text changes reports the change.
  void ShowValues();
  // Reads every box; one that holds no number keeps its value.
  void ReadValues();

  CvorbelViewCore& view;
  wxButton* apply_button = nullptr;
  bool closing = false;
  bool applying = false;
};

// Runs the dialog modally over parent; true when it ended with OK.
bool RunSourceSizeDialog(wxWindow* parent, CvorbelViewCore& view);
