#pragma once
#include <wx/dialog.h>

#include "batch/batch_choices.h"

class wxRadioButton;
class wxCheckBox;
class wxTextCtrl;
class wxStaticBitmap;

// "Batch Vorbeling": the kind of source 1, the output type and naming, and the
// order of source 2's folder. OK writes the choices; for the Text kind it first
// shows the text notice and asks for the text file, and cancelling either of them
// cancels the whole dialog.
class batch_vorbel : public wxDialog {
 public:
  batch_vorbel(wxWindow* parent, batch_choices& choices);

  void OnOK(wxCommandEvent& event);
  void OnSorting(wxCommandEvent& event);
  void OnNameMode(wxCommandEvent& event);

  int SelectedKind() const;
  int SelectedType() const;

  wxRadioButton* kind_buttons[3] = {};
  wxRadioButton* type_buttons[5] = {};
  wxRadioButton* name_buttons[2] = {};
  wxTextCtrl* name_edit = nullptr;
  wxStaticBitmap* kind_pictures[3] = {};

 protected:
  // The text notice and the text file's choice; false when either is cancelled.
  virtual bool ChooseTextFile(std::string& path);

 private:
  batch_choices& choices;
};

// "Batch sort from source 2 directory": key and direction of source 2's folder.
// It opens on time modified, forwards, whatever the word held before.
class batch_sort : public wxDialog {
 public:
  batch_sort(wxWindow* parent, int& flags);

  void OnOK(wxCommandEvent& event);
  void OnKey(wxCommandEvent& event);

  wxRadioButton* key_buttons[3] = {};
  wxCheckBox* forwards = nullptr;
  wxCheckBox* case_button = nullptr;

 private:
  int& flags;
};

// "Batch Text": the notice before a Text batch's file is chosen.
class batch_text : public wxDialog {
 public:
  explicit batch_text(wxWindow* parent);
};
