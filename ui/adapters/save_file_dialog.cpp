#include "ui/adapters/save_file_dialog.h"

#include <wx/filedlg.h>
#include <wx/filename.h>

bool RunSaveFileDialog(wxWindow* parent, save_file_request& request) {
  // The stored filter ends in "||"; wx wants the pairs alone.
  wxString wildcard = wxString::FromUTF8(request.filter);
  while (wildcard.EndsWith("|")) wildcard.RemoveLast();

  wxFileDialog dialog(parent, "Save As", wxString::FromUTF8(request.initial_folder), "", wildcard,
                      wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
  if (request.filter_index > 0) dialog.SetFilterIndex(request.filter_index - 1);
  if (dialog.ShowModal() != wxID_OK) return false;

  request.path = dialog.GetPath().utf8_string();
  request.name = wxFileName(dialog.GetPath()).GetFullName().utf8_string();
  request.filter_index = dialog.GetFilterIndex() + 1;
  return true;
}
