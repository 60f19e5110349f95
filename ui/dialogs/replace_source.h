#pragma once
#include <wx/dialog.h>

// Asked when a third source is opened: which of the two to replace. The modal
// result is 129 for source 1, 130 for source 2 and 2 for Cancel; callers subtract
// 128 to get the source number.
class replace_source : public wxDialog {
 public:
  static constexpr int replace_1_id = 1002;
  static constexpr int replace_2_id = 195;

  explicit replace_source(wxWindow* parent);
  ~replace_source() override;

 private:
  void OnReplaceSource1(wxCommandEvent& event);
  void OnReplaceSource2(wxCommandEvent& event);
  void OnCancel(wxCommandEvent& event);
};

// Shows the dialog and returns its result.
int RunReplaceSourceDialog(wxWindow* parent);
