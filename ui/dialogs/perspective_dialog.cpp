#include "ui/dialogs/perspective_dialog.h"

#include <wx/button.h>
#include <wx/radiobut.h>
#include <wx/stattext.h>

#include <algorithm>

#include "engine/base/process_state.h"
#include "engine/warp/quad_transform.h"
#include "ui/dialogs/dialog_finish.h"
#include "ui/dialogs/dialog_units.h"
#include "ui/dialogs/perspective_picture.h"

namespace {

// Labels in pale yellow on black.
void Swatch(wxWindow* control) {
  control->SetForegroundColour(wxColour(0xFF, 0xFF, 0x64));
  control->SetBackgroundColour(*wxBLACK);
}

}  // namespace

void ResetQuadCorners() {
  const int w = target_width, h = target_height;
  const int corners[8] = {0, 0, w, 0, 0, h, w, h};
  std::copy(std::begin(corners), std::end(corners), quad_corners);
}

quad::quad(wxWindow* parent) : wxDialog(parent, 458, "Perspective / Affine Transformation") {
  the_quad_dialog = this;
  UseDialogFont(this);
  SetBackgroundColour(*wxBLACK);
  SetClientSize(DialogUnits(this, 0, 0, 289, 186).GetSize());
  auto place = [this](wxWindow* control, int x, int y, int w, int h) {
    control->SetSize(DialogUnits(this, x, y, w, h));
  };
  const int w = target_width, h = target_height;
  auto* size_label = new wxStaticText(this, 469, wxString::Format("Image size: %d X %d", w, h));
  place(size_label, 7, 7, 98, 8);
  corner_label = new wxStaticText(this, 468, "", wxDefaultPosition, wxDefaultSize, wxST_NO_AUTORESIZE);
  place(corner_label, 123, 7, 140, 8);
  const char* const names[4] = {"quad", "Affine", "Vertical edge", "Horiz. edge"};
  const int widths[4] = {32, 35, 57, 53};
  for (int i = 0; i < 4; ++i) {
    modes[i] = new wxRadioButton(this, 464 + i, names[i], wxDefaultPosition, wxDefaultSize, i == 0 ? wxRB_GROUP : 0);
    place(modes[i], 7, 23 + 13 * i, widths[i], 10);
  }
  place(new wxButton(this, reset_id, "Reset"), 7, 80, 50, 14);
  auto* hint = new wxStaticText(this, 1293, "Use the left mouse to drag the blobs above.");
  place(hint, 7, 153, 146, 11);
  auto* ok = new wxButton(this, wxID_OK, "OK");
  place(ok, 7, 167, 50, 14);
  place(new wxButton(this, wxID_CANCEL, "Cancel"), 71, 167, 50, 14);
  ok->SetDefault();
  SetEscapeId(wxID_CANCEL);
  for (wxWindow* label : {static_cast<wxWindow*>(size_label), static_cast<wxWindow*>(corner_label),
                          static_cast<wxWindow*>(hint)})
    Swatch(label);
  for (wxRadioButton* radio : modes) Swatch(radio);

  // The warp's input is the target as the dialog finds it.
  for (int i = 0; i < w * h; ++i) {
    target_work[i].blue = target_pixels[i].blue;
    target_work[i].green = target_pixels[i].green;
    target_work[i].red = target_pixels[i].red;
  }
  ResetQuadCorners();
  TransferDataToWindow();

  wxRect frame = DialogUnits(this, 67, 23, 160, 120);
  frame.SetSize(quad_drag::FitFrame(std::max(w, 1), std::max(h, 1), frame.GetSize(), narrowed));
  if (narrowed) SetSize(GetSize().x - 50, GetSize().y);
  auto* black_frame = new wxWindow(this, wxID_ANY, frame.GetPosition(), frame.GetSize(), wxBORDER_SIMPLE);
  black_frame->SetBackgroundColour(*wxBLACK);
  quad_view = new show_quad(this, frame.Deflate(2));
  CentreOnParent();

  Bind(wxEVT_BUTTON, &quad::OnReset, this, reset_id);
  Bind(wxEVT_BUTTON, &quad::OnOK, this, wxID_OK);
  Bind(wxEVT_BUTTON, &quad::OnCancel, this, wxID_CANCEL);
}

quad::~quad() {
  if (the_quad_dialog == this) the_quad_dialog = nullptr;
}

bool quad::TransferDataToWindow() {
  modes[std::clamp(mode, 0, 3)]->SetValue(true);
  return true;
}

bool quad::TransferDataFromWindow() {
  for (int i = 0; i < 4; ++i)
    if (modes[i]->GetValue()) mode = i;
  return true;
}

void quad::OnReset(wxCommandEvent&) {
  ResetQuadCorners();
  TransferDataToWindow();
  quad_view->Refresh();
  quad_view->Update();
}

void quad::OnOK(wxCommandEvent&) {
  const int w = target_width, h = target_height;
  const int image_corners[8] = {0, 0, w, 0, 0, h, w, h};
  if (std::equal(std::begin(image_corners), std::end(image_corners), quad_corners)) {
    FinishDialog(*this, wxID_CANCEL);
    return;
  }
  ApplyQuadTransform();
  TransferDataFromWindow();
  FinishDialog(*this, wxID_OK);
}

void quad::OnCancel(wxCommandEvent&) { FinishDialog(*this, wxID_CANCEL); }

bool RunQuadDialog(wxWindow* parent) {
  quad dialog(parent);
  return dialog.ShowModal() == wxID_OK;
}
