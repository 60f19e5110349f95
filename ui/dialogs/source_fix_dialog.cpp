#include "ui/dialogs/source_fix_dialog.h"

#include <wx/button.h>
#include <wx/radiobut.h>
#include <wx/statbmp.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "engine/base/process_state.h"
#include "engine/base/view_core.h"
#include "ui/dialogs/dialog_units.h"
#include "ui/dialogs/fix_pictures.h"
#include "ui/dialogs/integer_field.h"

namespace {

const char* const fix_names[9] = {"Left",   "Top Left", "Top",         "Top Right", "Right",
                                  "Bottom Right", "Bottom", "Bottom Left", "Middle"};

}  // namespace

int source_fix::RadioId(int s, int fix) {
  if (s == 1) return source_1_first_id + fix;
  return fix == 8 ? middle_2_id : source_2_first_id + fix;
}

source_fix::source_fix(wxWindow* parent, CvorbelViewCore& v)
    : wxDialog(parent, 431, "Source Edge/Corner Fixing"), view(v) {
  UseDialogFont(this);
  SetClientSize(DialogUnits(this, 0, 0, 273, 340).GetSize());
  auto place = [this](wxWindow* control, int x, int y, int w, int h) {
    control->SetSize(DialogUnits(this, x, y, w, h));
  };

  for (int s = 1; s <= 2; ++s) {
    const int left = s == 1 ? 7 : 139;
    place(new wxStaticBox(this, wxID_ANY, s == 1 ? "Source 1 fixing" : "Source 2 fixing"), left, 4, 127, 166);
    for (int fix = 0; fix < 9; ++fix) {
      const int y = 16 + fix * 16;
      auto* radio = new wxRadioButton(this, RadioId(s, fix), fix_names[fix], wxDefaultPosition, wxDefaultSize,
                                      fix == 0 ? wxRB_GROUP : 0);
      place(radio, left + 8, y + 2, 66, 12);
      radios[s - 1][fix] = radio;
      auto* picture = new wxStaticBitmap(this, wxID_ANY, FixPicture(s, fix));
      picture->SetPosition(DialogUnits(this, left + 80, y, 0, 0).GetPosition());
      picture->SetSize(fix_picture_width, fix_picture_height);
      Bind(wxEVT_RADIOBUTTON, &source_fix::OnFixPointClicked, this, RadioId(s, fix));
    }
  }

  const char* const distance_titles[2] = {"Fix distance src1 to src2",
                                          "Fix distance src1 to top left of target boundary"};
  const int distance_ids[4] = {distance_12_x_id, distance_12_y_id, distance_1_x_id, distance_1_y_id};
  for (int group = 0; group < 2; ++group) {
    const int top = 174 + group * 34;
    place(new wxStaticBox(this, wxID_ANY, distance_titles[group]), 7, top, 259, 30);
    for (int axis = 0; axis < 2; ++axis) {
      const int x = 15 + axis * 60;
      place(new wxStaticText(this, wxID_ANY, axis == 0 ? "X" : "Y"), x, top + 14, 8, 9);
      wxTextCtrl*& box = distance_boxes[group * 2 + axis];
      box = new wxTextCtrl(this, distance_ids[group * 2 + axis], "");
      place(box, x + 10, top + 11, 40, 14);
    }
  }

  place(new wxStaticText(this, wxID_ANY, "Moves source images as measured from your chosen fix points above."), 7,
        246, 200, 18);
  place(new wxButton(this, apply_id, "Apply"), 216, 245, 50, 14);
  place(new wxStaticText(this, wxID_ANY,
                         "Source fixing is used to anchor sources when scrolling through files or batch "
                         "vorbeling, useful when aspect ratio is not consistent."),
        7, 268, 259, 18);
  place(new wxStaticText(this, wxID_ANY,
                         "Example: with source 1 fixed at Right, source 2 fixed at Left and a distance of 0 "
                         "from source 1 to source 2, source 2 begins where source 1 ends, whatever the "
                         "sizes of the two images."),
        7, 290, 259, 26);
  auto* ok = new wxButton(this, wxID_OK, "OK");
  place(ok, 156, 320, 50, 14);
  place(new wxButton(this, wxID_CANCEL, "Cancel"), 216, 320, 50, 14);
  ok->SetDefault();
  SetEscapeId(wxID_CANCEL);

  fix_1 = fix_point_1;
  fix_2 = fix_point_2;
  DistancesFromAnchors();
  TransferDataToWindow();
  view.SetMoveSizeSource(0);
  CentreOnParent();

  Bind(wxEVT_BUTTON, &source_fix::OnApply, this, apply_id);
  Bind(wxEVT_BUTTON, &source_fix::OnOK, this, wxID_OK);
}

void source_fix::DistancesFromAnchors() {
  distance_12 = {view.anchor[0].x - view.anchor[1].x, view.anchor[0].y - view.anchor[1].y};
  distance_1 = {-view.anchor[0].x, -view.anchor[0].y};
}

bool source_fix::TransferDataToWindow() {
  if (fix_1 >= 0 && fix_1 <= 8) radios[0][fix_1]->SetValue(true);
  if (fix_2 >= 0 && fix_2 <= 8) radios[1][fix_2]->SetValue(true);
  const int values[4] = {distance_12.x, distance_12.y, distance_1.x, distance_1.y};
  for (int i = 0; i < 4; ++i) distance_boxes[i]->ChangeValue(wxString::Format("%d", values[i]));
  return true;
}

int source_fix::ChosenFix(int s, int current) const {
  for (int fix = 0; fix < 9; ++fix)
    if (radios[s - 1][fix]->GetValue()) return fix;
  return current;
}

bool source_fix::TransferDataFromWindow() {
  fix_1 = ChosenFix(1, fix_1);
  fix_2 = ChosenFix(2, fix_2);
  int values[4];
  for (int i = 0; i < 4; ++i) {
    const std::optional<int> value = ReadIntegerField(distance_boxes[i], -3000, 3000);
    if (!value) return false;
    values[i] = *value;
  }
  distance_12 = {values[0], values[1]};
  distance_1 = {values[2], values[3]};
  return true;
}

void source_fix::OnApply(wxCommandEvent&) { Apply(); }

bool source_fix::Apply() {
  if (!TransferDataFromWindow()) return false;
  view.anchor[0] = {-distance_1.x, -distance_1.y};
  view.MoveSourceToFixPosition(1);
  view.anchor[1] = {view.anchor[0].x - distance_12.x, view.anchor[0].y - distance_12.y};
  view.MoveSourceToFixPosition(2);
  RedrawView();
  return true;
}

void source_fix::OnFixPointClicked(wxCommandEvent&) {
  // Only the fix points are read: the distances shown are replaced anyway.
  fix_1 = fix_point_1 = ChosenFix(1, fix_point_1);
  fix_2 = fix_point_2 = ChosenFix(2, fix_point_2);
  view.UpdateFixAnchor(1);
  view.UpdateFixAnchor(2);
  DistancesFromAnchors();
  TransferDataToWindow();
  view.DrawFixPositionIndicator();
  RedrawView();
}

void source_fix::OnOK(wxCommandEvent&) {
  if (!Apply()) return;
  if (IsModal())
    EndModal(wxID_OK);
  else
    Hide();
}

void source_fix::RedrawView() {
  if (auto* window = dynamic_cast<wxWindow*>(&view)) {
    window->Refresh();
    window->Update();
  }
}

bool RunSourceFixDialog(wxWindow* parent, CvorbelViewCore& view) {
  source_fix dialog(parent, view);
  return dialog.ShowModal() == wxID_OK;
}
