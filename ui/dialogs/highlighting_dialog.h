#pragma once
#include <wx/dialog.h>

#include "engine/base/view_core.h"

// The highlighting dialog: sixteen arrow buttons step the vertical and horizontal
// slopes of the position-dependent brightening by 8, for all three channels or for
// one, recombining at each press. Cancel puts back the target and the slopes found
// at opening.
class pos_bright_cont : public wxDialog {
 public:
  static constexpr int reset_id = 1050;
  // A button's command, what it changes (channel -1: all three) and where it sits.
  struct button_row {
    int command;
    const char* name;
    int channel;  // 0 red, 1 green, 2 blue
    bool vertical;
    int step;
    int x, y, size;
  };
  static const button_row buttons[16];

  pos_bright_cont(wxWindow* parent, CvorbelViewCore& view);

  void OnArrow(wxCommandEvent& event);
  void OnReset(wxCommandEvent& event);
  void OnCancel(wxCommandEvent& event);

 private:

  CvorbelViewCore& view;
  slope_pair opening_slopes[3];
};

// The properties pane's highlighting command: the dialog is built, the target is
// kept as the undo copy, then the dialog runs modally.
void RunHighlightingDialog(wxWindow* parent, CvorbelViewCore& view);
