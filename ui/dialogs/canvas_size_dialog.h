#pragma once
#include <wx/dialog.h>

#include "engine/base/geometry_types.h"

class CvorbelViewCore;
class wxTextCtrl;

// "Target Image Size": the target's width and height, kept in the settings as
// "canvas_width" and "canvas_height". OK sets the view's target rectangle at the
// origin and stores the size; Cancel puts the rectangle back.
class canvas_size : public wxDialog {
 public:
  static constexpr int width_id = 1031, height_id = 1032;

  canvas_size(wxWindow* parent, CvorbelViewCore& view);

  void OnOK(wxCommandEvent& event);
  void OnCancel(wxCommandEvent& event);

  int width = 100;
  int height = 100;
  vrect saved_rect;

 private:

  CvorbelViewCore& view;
  wxTextCtrl* width_box = nullptr;
  wxTextCtrl* height_box = nullptr;
};
