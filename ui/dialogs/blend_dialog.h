#pragma once
#include <wx/dialog.h>

#include "ui/dialogs/blending_buttons.h"

class CvorbelViewCore;
class view_link;
class wxRadioButton;

// The modeless blending-zone dialog, laid over the properties pane: steps towards
// either source in the view's box, the zone's shape, a full blend, undo and removal.
class blend_dialog : public wxDialog {
 public:
  static constexpr int button1_id = 328, button2_id = 330;
  static constexpr int ellipse_fade_id = 1068, ellipse_uniform_id = 1009, rectangle_uniform_id = 1067;
  static constexpr int max_1_id = 1090, max_2_id = 1091, undo_id = 1019, remove_id = 1085;

  explicit blend_dialog(view_link* view);
  ~blend_dialog() override;

  void OnBlendButton1();
  void OnBlendButton2();
  void OnEllipseFade();
  void OnEllipseUniform();
  void OnRectangleUniform();
  void OnMaxSource1();
  void OnMaxSource2();
  void OnUndoLastAction();
  void OnRemoveAllBlending();
  // Closes the dialog; Esc, Cancel and the window's close do the same.
  void OnOK();

  blending_buttons* button1 = nullptr;
  blending_buttons* button2 = nullptr;
  wxRadioButton* fade_radio = nullptr;

 private:
  // One blending step; a box too small is refused with a message, and a held
  // button stops repeating first.
  void Step(int direction);
  void MaxSource(int direction);

  CvorbelViewCore* view;
};

// Opens the blending dialog for the view's box, unless one is open already (that
// one then works on the new box). The box drag's release calls this.
void OpenBlendDialog(view_link* view);

// The open modeless blending-zone dialog; null when none is open.
inline wxDialog* the_blend_dialog = nullptr;
