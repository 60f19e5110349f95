#include "ui/dialogs/highlighting_dialog.h"

#include <wx/button.h>
#include <wx/stattext.h>

#include <algorithm>

#include "engine/base/process_state.h"
#include "ui/dialogs/arrow_button.h"
#include "ui/dialogs/dialog_finish.h"
#include "ui/dialogs/dialog_units.h"

const pos_bright_cont::button_row pos_bright_cont::buttons[16] = {
    {393, "Brighten upwards", -1, true, -8, 81, 55, 16},
    {400, "up brighten red", 0, true, -8, 66, 38, 14},
    {401, "up brighten green", 1, true, -8, 82, 38, 14},
    {402, "up brighten blue", 2, true, -8, 98, 38, 14},
    {395, "Brighten downwards", -1, true, 8, 81, 129, 16},
    {406, "down brighten red", 0, true, 8, 66, 147, 14},
    {407, "down brighten green", 1, true, 8, 82, 147, 14},
    {408, "down brighten blue", 2, true, 8, 98, 147, 14},
    {394, "Brighten leftwards", -1, false, -8, 33, 91, 16},
    {403, "left brighten red", 0, false, -8, 17, 108, 14},
    {404, "left brighten green", 1, false, -8, 17, 92, 14},
    {405, "left brighten blue", 2, false, -8, 17, 76, 14},
    {396, "Brighten rightwards", -1, false, 8, 131, 91, 16},
    {397, "Right brighten red", 0, false, 8, 149, 108, 14},
    {398, "Right brighten green", 1, false, 8, 149, 92, 14},
    {399, "Right brighten blue", 2, false, 8, 149, 76, 14},
};

namespace {

arrow_button::direction Pointing(const pos_bright_cont::button_row& b) {
  if (b.vertical) return b.step < 0 ? arrow_button::up : arrow_button::down;
  return b.step < 0 ? arrow_button::left : arrow_button::right;
}

wxColour ChannelColour(int channel) {
  switch (channel) {
    case 0: return wxColour(220, 0, 0);
    case 1: return wxColour(0, 170, 0);
    case 2: return wxColour(0, 0, 230);
    default: return wxColour(30, 30, 30);
  }
}

}  // namespace

pos_bright_cont::pos_bright_cont(wxWindow* parent, CvorbelViewCore& v)
    : wxDialog(parent, 353, "Highlighting"), view(v) {
  UseDialogFont(this);
  SetClientSize(DialogUnits(this, 0, 0, 180, 210).GetSize());
  auto* text = new wxStaticText(
      this, wxID_ANY, "Press the buttons any number of times to adjust highlighting of areas of the image.");
  text->SetSize(DialogUnits(this, 19, 7, 141, 24));
  text->Wrap(text->GetSize().x);
  for (const wxRect& frame : {DialogUnits(this, 63, 29, 52, 44), DialogUnits(this, 63, 126, 52, 44),
                              DialogUnits(this, 7, 73, 44, 52), DialogUnits(this, 129, 73, 44, 52)})
    new wxWindow(this, wxID_ANY, frame.GetPosition(), frame.GetSize(), wxBORDER_SIMPLE);
  for (const button_row& b : buttons) {
    auto* button = new arrow_button(this, b.command, DialogUnits(this, b.x, b.y, b.size, b.size), Pointing(b),
                                    ChannelColour(b.channel), b.name);
    button->Bind(wxEVT_BUTTON, &pos_bright_cont::OnArrow, this);
  }
  auto* ok = new wxButton(this, wxID_OK, "OK");
  ok->SetSize(DialogUnits(this, 7, 189, 50, 14));
  (new wxButton(this, reset_id, "Reset"))->SetSize(DialogUnits(this, 65, 189, 50, 14));
  (new wxButton(this, wxID_CANCEL, "Cancel"))->SetSize(DialogUnits(this, 123, 189, 50, 14));
  ok->SetDefault();
  SetEscapeId(wxID_CANCEL);
  CentreOnParent();

  // Every opening starts from level slopes.
  std::copy(std::begin(view.position_slopes), std::end(view.position_slopes), opening_slopes);
  std::fill(std::begin(view.position_slopes), std::end(view.position_slopes), slope_pair{});

  Bind(wxEVT_BUTTON, &pos_bright_cont::OnReset, this, reset_id);
  Bind(wxEVT_BUTTON, &pos_bright_cont::OnCancel, this, wxID_CANCEL);
}

void pos_bright_cont::OnArrow(wxCommandEvent& event) {
  const auto b = std::find_if(std::begin(buttons), std::end(buttons),
                              [&](const button_row& row) { return row.command == event.GetId(); });
  if (b == std::end(buttons)) return;
  for (int channel = 0; channel < 3; ++channel) {
    if (b->channel != -1 && b->channel != channel) continue;
    slope_pair& slopes = view.position_slopes[channel];
    (b->vertical ? slopes.vertical : slopes.horizontal) += b->step;
  }
  view.CombineTarget();
}

void pos_bright_cont::OnReset(wxCommandEvent&) {
  std::fill(std::begin(view.position_slopes), std::end(view.position_slopes), slope_pair{});
  view.CombineTarget();
}

// Cancel undoes all the dialog did: the target and the slopes it found.
void pos_bright_cont::OnCancel(wxCommandEvent&) {
  RestoreTargetCopy();
  std::copy(std::begin(opening_slopes), std::end(opening_slopes), view.position_slopes);
  view.PresentTarget();
  FinishDialog(*this, wxID_CANCEL);
}

void RunHighlightingDialog(wxWindow* parent, CvorbelViewCore& view) {
  pos_bright_cont dialog(parent, view);
  StoreTargetCopy();
  dialog.ShowModal();
}
