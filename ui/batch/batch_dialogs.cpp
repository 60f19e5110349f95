#include "ui/batch/batch_dialogs.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/filedlg.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "ui/batch/batch_pictures.h"

namespace {

wxStaticText* WrappedText(wxWindow* parent, const char* text, int dialog_units) {
  auto* label = new wxStaticText(parent, wxID_ANY, text);
  label->Wrap(parent->ConvertDialogToPixels(wxSize(dialog_units, 0)).x);
  return label;
}

}  // namespace

batch_vorbel::batch_vorbel(wxWindow* parent, batch_choices& choices)
    : wxDialog(parent, 338, "Batch Vorbeling"), choices(choices) {
  auto* column = new wxBoxSizer(wxVERTICAL);
  column->Add(new wxStaticText(this, wxID_ANY, "Source 1"), 0, wxLEFT | wxTOP, 10);
  static const char* const kind_labels[3] = {"Fixed", "Text", "Directory"};
  static const int kind_ids[3] = {1068, 1009, 1067};
  for (int k = 0; k < 3; ++k) {
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    kind_buttons[k] = new wxRadioButton(this, kind_ids[k], kind_labels[k], wxDefaultPosition,
                                        wxDefaultSize, k == 0 ? wxRB_GROUP : 0);
    kind_buttons[k]->SetMinSize(wxSize(ConvertDialogToPixels(wxSize(44, 0)).x, -1));
    row->Add(kind_buttons[k], 0, wxALIGN_CENTER_VERTICAL);
    kind_pictures[k] = new wxStaticBitmap(this, k == 2 ? 1096 : wxID_ANY, BatchKindPicture(k));
    row->Add(kind_pictures[k], 0, wxLEFT, 8);
    column->Add(row, 0, wxLEFT | wxRIGHT | wxTOP, 6);
  }
  // Without a source-1 file there is no folder to walk.
  if (choices.source1_path.empty()) {
    kind_buttons[2]->Hide();
    kind_pictures[2]->Hide();
  }

  column->Add(WrappedText(this,
                          "This comand will use the last vorbel parameters and last source image "
                          "scaling and positioning set up. If they have been set correctly press "
                          "'OK' else press 'Cancel' and reset the parameters.",
                          251),
              0, wxALL, 10);
  auto* folder_box = new wxStaticBoxSizer(wxVERTICAL, this);
  folder_box->Add(WrappedText(folder_box->GetStaticBox(),
                              "All image files in the source 2 directory will be vorbeled with "
                              "source 1 and placed in the output directory below:",
                              189),
                  0, wxALL | wxALIGN_CENTER_HORIZONTAL, 4);
  folder_box->Add(new wxStaticText(folder_box->GetStaticBox(), 1020,
                                   wxString::FromUTF8(ShortenedOutputFolder(choices.source2_path))),
                  0, wxALL, 4);
  column->Add(folder_box, 0, wxLEFT | wxRIGHT | wxEXPAND, 10);

  auto* lower = new wxBoxSizer(wxHORIZONTAL);
  auto* output_box = new wxStaticBoxSizer(wxHORIZONTAL, this, "Output file::");
  wxWindow* box = output_box->GetStaticBox();
  auto* types = new wxBoxSizer(wxVERTICAL);
  types->Add(new wxStaticText(box, wxID_ANY, "Type"), 0, wxBOTTOM, 2);
  static const char* const type_labels[5] = {"Not set", "BMP", "JPEG", "TIFF", "PNG"};
  for (int t = 0; t < 5; ++t) {
    type_buttons[t] = new wxRadioButton(box, 1271 + t, type_labels[t], wxDefaultPosition,
                                        wxDefaultSize, t == 0 ? wxRB_GROUP : 0);
    types->Add(type_buttons[t]);
  }
  output_box->Add(types, 0, wxALL, 4);
  auto* names = new wxBoxSizer(wxVERTICAL);
  names->Add(new wxStaticText(box, wxID_ANY, "Name"), 0, wxBOTTOM, 2);
  name_buttons[0] = new wxRadioButton(box, 1285, "Not set", wxDefaultPosition, wxDefaultSize,
                                      wxRB_GROUP);
  name_buttons[1] = new wxRadioButton(box, 1286, "Entry + appended #");
  names->Add(name_buttons[0]);
  names->Add(name_buttons[1]);
  name_edit = new wxTextCtrl(box, 1284, "batchfile", wxDefaultPosition,
                             wxSize(ConvertDialogToPixels(wxSize(110, 0)).x, -1), wxTE_DONTWRAP);
  name_edit->Disable();
  names->Add(name_edit, 0, wxTOP, 4);
  output_box->Add(names, 0, wxALL, 4);
  lower->Add(output_box, 0);

  auto* side = new wxBoxSizer(wxVERTICAL);
  side->Add(WrappedText(this, "You can stop batch vorbeling at any time by pressing 'Esc'.", 64),
            0, wxBOTTOM, 8);
  auto* sorting = new wxButton(this, 1279, "Sorting");
  side->Add(sorting, 0, wxALIGN_CENTER_HORIZONTAL);
  lower->Add(side, 0, wxLEFT, 10);
  column->Add(lower, 0, wxALL, 10);

  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  auto* ok = new wxButton(this, wxID_OK, "OK");
  ok->SetDefault();
  buttons->Add(ok, 0, wxRIGHT, 30);
  buttons->Add(new wxButton(this, wxID_CANCEL, "Cancel"));
  column->Add(buttons, 0, wxALIGN_CENTER_HORIZONTAL | wxBOTTOM, 10);
  SetSizerAndFit(column);
  CentreOnParent();

  choices.name_mode = 0;
  Bind(wxEVT_BUTTON, &batch_vorbel::OnOK, this, wxID_OK);
  Bind(wxEVT_BUTTON, &batch_vorbel::OnSorting, this, 1279);
  Bind(wxEVT_RADIOBUTTON, &batch_vorbel::OnNameMode, this, 1285, 1286);
}

int batch_vorbel::SelectedKind() const {
  for (int k = 0; k < 3; ++k)
    if (kind_buttons[k]->GetValue()) return k;
  return 0;
}

int batch_vorbel::SelectedType() const {
  for (int t = 0; t < 5; ++t)
    if (type_buttons[t]->GetValue()) return t;
  return 0;
}

void batch_vorbel::OnNameMode(wxCommandEvent&) { name_edit->Enable(name_buttons[1]->GetValue()); }

void batch_vorbel::OnSorting(wxCommandEvent&) {
  int word = choices.sort_flags;
  batch_sort sort(this, word);
  if (sort.ShowModal() == wxID_OK) choices.sort_flags = word;
}

bool batch_vorbel::ChooseTextFile(std::string& path) {
  batch_text notice(this);
  if (notice.ShowModal() != wxID_OK) return false;
  wxFileDialog chooser(this, wxFileSelectorPromptStr, wxEmptyString, wxEmptyString,
                       "Plain Text Files (*.txt)|*.txt;*.TXT|All Files|*",
                       wxFD_OPEN | wxFD_FILE_MUST_EXIST);
  if (chooser.ShowModal() != wxID_OK) return false;
  path = chooser.GetPath().utf8_string();
  return true;
}

void batch_vorbel::OnOK(wxCommandEvent&) {
  const int kind = SelectedKind();
  if (kind == source1_text) {
    std::string path;
    if (!ChooseTextFile(path)) {
      EndModal(wxID_CANCEL);
      return;
    }
    choices.text_file = path;
  }
  choices.name_mode = name_buttons[1]->GetValue() ? 1 : 0;
  ApplyBatchDialog(choices, kind, SelectedType(), name_edit->GetValue().utf8_string());
  EndModal(wxID_OK);
}

batch_sort::batch_sort(wxWindow* parent, int& flags)
    : wxDialog(parent, 456, "Batch sort from source 2 directory"), flags(flags) {
  auto* keys = new wxBoxSizer(wxVERTICAL);
  static const char* const key_labels[3] = {"File: Time modified", "File: Name", "File: Length"};
  static const int key_ids[3] = {1286, 1289, 1290};
  keys->AddSpacer(ConvertDialogToPixels(wxSize(0, 20)).y);
  for (int k = 0; k < 3; ++k) {
    key_buttons[k] = new wxRadioButton(this, key_ids[k], key_labels[k], wxDefaultPosition,
                                       wxDefaultSize, k == 0 ? wxRB_GROUP : 0);
    keys->Add(key_buttons[k], 0, wxBOTTOM, 4);
  }
  auto* boxes = new wxBoxSizer(wxVERTICAL);
  forwards = new wxCheckBox(this, 1281, "Sort forwards");
  case_button = new wxCheckBox(this, 1282, "Case sensitive");
  boxes->Add(forwards);
  boxes->AddSpacer(ConvertDialogToPixels(wxSize(0, 22)).y);
  boxes->Add(case_button);
  auto* top = new wxBoxSizer(wxHORIZONTAL);
  top->Add(keys, 0, wxRIGHT, 12);
  top->Add(boxes);

  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  auto* ok = new wxButton(this, wxID_OK, "OK");
  ok->SetDefault();
  buttons->Add(ok, 0, wxRIGHT, 6);
  buttons->Add(new wxButton(this, wxID_CANCEL, "Cancel"));
  auto* column = new wxBoxSizer(wxVERTICAL);
  column->Add(top, 0, wxALL, 10);
  column->Add(buttons, 0, wxALIGN_RIGHT | wxALL, 10);
  SetSizerAndFit(column);
  CentreOnParent();

  key_buttons[0]->SetValue(true);
  forwards->SetValue(true);
  case_button->Disable();
  Bind(wxEVT_BUTTON, &batch_sort::OnOK, this, wxID_OK);
  Bind(wxEVT_RADIOBUTTON, &batch_sort::OnKey, this, 1286);
  Bind(wxEVT_RADIOBUTTON, &batch_sort::OnKey, this, 1289, 1290);
}

void batch_sort::OnKey(wxCommandEvent&) { case_button->Enable(key_buttons[1]->GetValue()); }

void batch_sort::OnOK(wxCommandEvent&) {
  int key = 0;
  for (int k = 0; k < 3; ++k)
    if (key_buttons[k]->GetValue()) key = k;
  // The case box counts even while greyed: it only matters to a name sort.
  flags = PackSortWord(key, forwards->GetValue(), case_button->GetValue());
  EndModal(wxID_OK);
}

batch_text::batch_text(wxWindow* parent) : wxDialog(parent, 454, "Batch Text") {
  auto* column = new wxBoxSizer(wxVERTICAL);
  for (const char* text :
       {"You are about to load a text file where each line will be vorbeled in turn with images "
        "from the source 2 directory.",
        "Ideally 'test' text would have been loaded for source 1 where positioning, scaling and "
        "rotation would have been set up.",
        "Press OK to load the UTF-8 format text file (and discard the test text) or press Cancel."})
    column->Add(WrappedText(this, text, 185), 0, wxLEFT | wxRIGHT | wxTOP, 12);
  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  buttons->Add(new wxButton(this, wxID_OK, "Ok"), 0, wxRIGHT, 20);
  buttons->Add(new wxButton(this, wxID_CANCEL, "Cancel"));
  column->Add(buttons, 0, wxALIGN_CENTER_HORIZONTAL | wxALL, 12);
  SetSizerAndFit(column);
  CentreOnParent();
}
