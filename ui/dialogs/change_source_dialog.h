#pragma once
#include <wx/dialog.h>

class CvorbelViewCore;
class view_link;
class wxStaticText;

// "Change Source": replaces what source which_source (1 or 2) holds by a file, a text,
// the clipboard's image, a generated pattern or a copy of the target.
class modify_source : public wxDialog {
 public:
  modify_source(wxWindow* parent, view_link& view, int which);
  ~modify_source() override;

  static constexpr int selected_id = 1016;
  static constexpr int file_id = 1017;
  static constexpr int text_id = 1018;
  static constexpr int paste_id = 195;
  static constexpr int software_id = 1022;
  static constexpr int target_id = 1051;

  // The dialog while it runs.
  static modify_source* active;

  void OnImageFromFile(wxCommandEvent& event);
  void OnNewText(wxCommandEvent& event);
  void OnPasteImage(wxCommandEvent& event);
  void OnSoftwareImage(wxCommandEvent& event);
  void OnCurrentTarget(wxCommandEvent& event);

  int which_source;
  wxStaticText* selected = nullptr;

 private:
  view_link& link;
  CvorbelViewCore& view;
};

// Runs the dialog for source s modally.
void RunChangeSourceDialog(wxWindow* parent, view_link& view, int s);
