#include "ui/dialogs/replace_source.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

replace_source::replace_source(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, "Replace Source Image") {
  auto* text = new wxStaticText(
      this, wxID_ANY,
      "No more than two source images allowed.\nYou have the choice to replace one of them.");
  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  buttons->Add(new wxButton(this, replace_1_id, "Replace source 1"), 0, wxALL, 5);
  buttons->Add(new wxButton(this, replace_2_id, "Replace source 2"), 0, wxALL, 5);
  buttons->Add(new wxButton(this, wxID_CANCEL, "Cancel"), 0, wxALL, 5);

  auto* layout = new wxBoxSizer(wxVERTICAL);
  layout->Add(text, 1, wxALL | wxEXPAND, 10);
  layout->Add(buttons, 0, wxALIGN_CENTER | wxBOTTOM, 5);
  SetSizer(layout);
  SetMinClientSize(ConvertDialogToPixels(wxSize(184, 91)));
  Fit();
  CentreOnParent();

  Bind(wxEVT_BUTTON, &replace_source::OnReplaceSource1, this, replace_1_id);
  Bind(wxEVT_BUTTON, &replace_source::OnReplaceSource2, this, replace_2_id);
  // Escape and the close box reach Cancel too.
  Bind(wxEVT_BUTTON, &replace_source::OnCancel, this, wxID_CANCEL);
}

replace_source::~replace_source() = default;

void replace_source::OnReplaceSource1(wxCommandEvent&) { EndModal(129); }

void replace_source::OnReplaceSource2(wxCommandEvent&) { EndModal(130); }

void replace_source::OnCancel(wxCommandEvent&) { EndModal(2); }

int RunReplaceSourceDialog(wxWindow* parent) {
  replace_source dialog(parent);
  return dialog.ShowModal();
}
