#pragma once
#include <wx/dialog.h>

class CvorbelViewCore;
class wheel;
class wxRadioButton;
class wxTextCtrl;

// The angle as the dialog shows it (0..359) to a source's rotation (-180..179) and back.
int RotationOfAngle(int angle);
int AngleOfRotation(double rotation);

// Rotates source 1 or 2 in whole degrees with a wheel or a typed angle. Every
// change shows first as a quick preview, then at full quality once the dialog is
// idle; the source turns about the centre it had when the dialog opened. OK keeps
// the angle, Cancel puts both sources back as they were.
class rotate : public wxDialog {
 public:
  static constexpr int select_1_id = 1008, select_2_id = 1010, angle_id = 1005, apply_id = 1006;

  rotate(wxWindow* parent, CvorbelViewCore& view);
  ~rotate() override;

  bool TransferDataToWindow() override;
  // Takes the angle (validated to 0..359, with a message when it is not) and the
  // chosen source from the controls; false when the angle is refused.
  bool TransferDataFromWindow() override;

  // The idle step: a pending quick preview, then the full-quality pass.
  void OnKickIdle(wxIdleEvent& event);
  void OnApply(wxCommandEvent& event);
  void OnSelect(wxCommandEvent& event);
  void OnOK(wxCommandEvent& event);
  void OnCancel(wxCommandEvent& event);

  int angle = 0;
  int selected_source = 0;  // 0 source 1, 1 source 2
  bool live_changed = false;
  wheel* wheel_window = nullptr;
  double saved_rotation[2];
  int saved_offset[2][2];
  int saved_centring[2][2];

 private:
  // The offset of a source that centres its displayed box on the target, per axis.
  void Centring(int s, int out[2]) const;
  // Rotates the selected source to rotation, keeping the centre it had at opening.
  void ApplyKeepingCentre(int rotation);

  CvorbelViewCore& view;
  wxRadioButton* select_1 = nullptr;
  wxRadioButton* select_2 = nullptr;
  wxTextCtrl* angle_box = nullptr;
};

// Runs the dialog modally over parent; true when it ended with OK.
bool RunRotateDialog(wxWindow* parent, CvorbelViewCore& view);

// The open rotate dialog; null when none is open.
inline wxDialog* the_rotate_dialog = nullptr;
