#include "ui/dialogs/rotate_dialog.h"

#include <wx/button.h>
#include <wx/radiobut.h>
#include <wx/statbox.h>
#include <wx/textctrl.h>

#include <cmath>

#include "engine/base/float_convert.h"
#include "engine/base/view_core.h"
#include "ui/dialogs/dialog_finish.h"
#include "ui/dialogs/dialog_units.h"
#include "ui/dialogs/integer_field.h"
#include "ui/dialogs/rotate_wheel.h"

int RotationOfAngle(int angle) { return angle <= 179 ? angle : angle - 360; }

int AngleOfRotation(double rotation) {
  const int angle = TruncToInt(rotation);
  return angle < 0 ? angle + 360 : angle;
}

rotate::rotate(wxWindow* parent, CvorbelViewCore& v)
    : wxDialog(parent, 334, "Rotate Source"), view(v) {
  for (int s = 0; s < 2; ++s) {
    saved_rotation[s] = view.rotation[s];
    saved_offset[s][0] = view.offset[s].x;
    saved_offset[s][1] = view.offset[s].y;
    Centring(s, saved_centring[s]);
  }
  the_rotate_dialog = this;

  UseDialogFont(this);
  SetClientSize(DialogUnits(this, 0, 0, 160, 160).GetSize());
  auto place = [this](wxWindow* control, int x, int y, int w, int h) { control->SetSize(DialogUnits(this, x, y, w, h)); };
  select_1 = new wxRadioButton(this, select_1_id, "Select 1", wxDefaultPosition, wxDefaultSize, wxRB_GROUP);
  place(select_1, 7, 7, 41, 10);
  select_2 = new wxRadioButton(this, select_2_id, "Select 2");
  place(select_2, 7, 19, 41, 10);
  angle_box = new wxTextCtrl(this, angle_id, "", wxDefaultPosition, wxDefaultSize, wxTE_LEFT);
  place(angle_box, 59, 14, 40, 14);
  place(new wxButton(this, apply_id, "Apply"), 55, 44, 50, 14);
  const wxRect frame = DialogUnits(this, 46, 62, 66, 60);
  auto* ok = new wxButton(this, wxID_OK, "OK");
  place(ok, 10, 139, 50, 14);
  place(new wxButton(this, wxID_CANCEL, "Cancel"), 98, 139, 50, 14);
  ok->SetDefault();
  SetEscapeId(wxID_CANCEL);

  wheel_window = new wheel(this, frame);
  angle = AngleOfRotation(view.rotation[0]);
  TransferDataToWindow();
  CentreOnParent();

  Bind(wxEVT_IDLE, &rotate::OnKickIdle, this);
  Bind(wxEVT_BUTTON, &rotate::OnApply, this, apply_id);
  Bind(wxEVT_RADIOBUTTON, &rotate::OnSelect, this, select_1_id);
  Bind(wxEVT_RADIOBUTTON, &rotate::OnSelect, this, select_2_id);
  Bind(wxEVT_BUTTON, &rotate::OnOK, this, wxID_OK);
  Bind(wxEVT_BUTTON, &rotate::OnCancel, this, wxID_CANCEL);
}

rotate::~rotate() {
  if (the_rotate_dialog == this) the_rotate_dialog = nullptr;
}

void rotate::Centring(int s, int out[2]) const {
  const double w = view.target_rect.Width(), h = view.target_rect.Height();
  out[0] = TruncToInt((view.width_percent[s] * view.fit_factor_x[s] * view.rotated_size[s].width / 100 + 0.5 - w) * 0.5);
  out[1] =
      TruncToInt((view.height_percent[s] * view.fit_factor_y[s] * view.rotated_size[s].height / 100 + 0.5 - h) * 0.5);
}

void rotate::ApplyKeepingCentre(int rotation) {
  const int s = selected_source;
  view.rotation[s] = rotation;
  view.UpdateSourceGeometry(s + 1);
  int centring[2];
  Centring(s, centring);
  view.offset[s].x = saved_offset[s][0] + centring[0] - saved_centring[s][0];
  view.offset[s].y = saved_offset[s][1] + centring[1] - saved_centring[s][1];
  view.BuildSourceLayer(s + 1);
  view.CombineTarget();
}

bool rotate::TransferDataToWindow() {
  angle_box->ChangeValue(wxString::Format("%d", angle));
  (selected_source == 0 ? select_1 : select_2)->SetValue(true);
  return true;
}

bool rotate::TransferDataFromWindow() {
  const std::optional<int> typed = ReadIntegerField(angle_box, 0, 359);
  if (!typed) return false;
  angle = *typed;
  selected_source = select_2->GetValue() ? 1 : 0;
  return true;
}

// The idle steps read only the chosen source: the text box counts once Apply or
// OK takes it, so a half-typed angle is neither previewed nor complained about.
void rotate::OnKickIdle(wxIdleEvent& event) {
  event.Skip();
  const int rotation = RotationOfAngle(angle);
  if (view.fast_preview == 1) {
    selected_source = select_2->GetValue() ? 1 : 0;
    ApplyKeepingCentre(rotation);
    view.fast_preview = 0;
    live_changed = true;
    // The full-quality pass must follow even when no further input arrives.
    event.RequestMore();
  } else if (live_changed) {
    live_changed = false;
    selected_source = select_2->GetValue() ? 1 : 0;
    ApplyKeepingCentre(rotation);
  }
}

void rotate::OnApply(wxCommandEvent&) {
  if (!TransferDataFromWindow()) return;
  wheel_window->Refresh();
  view.fast_preview = 1;
}

void rotate::OnSelect(wxCommandEvent& event) {
  const int s = event.GetId() == select_2_id ? 1 : 0;
  angle = AngleOfRotation(view.rotation[s]);
  selected_source = s;
  TransferDataToWindow();
  wheel_window->Refresh();
}

void rotate::OnOK(wxCommandEvent&) {
  if (!TransferDataFromWindow()) return;
  wheel_window->Refresh();
  view.fast_preview = 0;
  live_changed = false;
  ApplyKeepingCentre(RotationOfAngle(angle));
  FinishDialog(*this, wxID_OK);
}

void rotate::OnCancel(wxCommandEvent&) {
  for (int s = 0; s < 2; ++s) {
    view.rotation[s] = saved_rotation[s];
    view.offset[s] = {saved_offset[s][0], saved_offset[s][1]};
  }
  view.fast_preview = 0;
  live_changed = false;
  view.UpdateSourceGeometry(1);
  view.UpdateSourceGeometry(2);
  view.BuildSourceLayer(1);
  view.BuildSourceLayer(2);
  view.CombineTarget();
  FinishDialog(*this, wxID_CANCEL);
}

bool RunRotateDialog(wxWindow* parent, CvorbelViewCore& view) {
  rotate dialog(parent, view);
  return dialog.ShowModal() == wxID_OK;
}
