#include "ui/adapters/open_file_dialog.h"

#include <wx/filedlg.h>

#include <cctype>
#include <string>

namespace {

// "label|pattern|label|pattern…" with every letter of the patterns turned into a
// class of both cases: "*.jpg" becomes "*.[jJ][pP][gG]". Labels stay as they are.
std::string CaseFreeFilter(const std::string& filter) {
  std::string result;
  bool in_pattern = false;
  for (char c : filter) {
    if (c == '|') {
      in_pattern = !in_pattern;
      result += c;
    } else if (in_pattern && std::isalpha(static_cast<unsigned char>(c))) {
      result += '[';
      result += char(std::tolower(static_cast<unsigned char>(c)));
      result += char(std::toupper(static_cast<unsigned char>(c)));
      result += ']';
    } else {
      result += c;
    }
  }
  return result;
}

}  // namespace

std::unique_ptr<wxFileDialog> MakeOpenFileDialog(wxWindow* parent,
                                                 const open_file_request& request) {
  auto dialog = std::make_unique<wxFileDialog>(
      parent, wxFileSelectorPromptStr, wxString::FromUTF8(request.initial_folder),
      wxEmptyString, wxString::FromUTF8(CaseFreeFilter(request.filter)),
      wxFD_OPEN | wxFD_FILE_MUST_EXIST);
  if (request.filter_index > 0) dialog->SetFilterIndex(request.filter_index - 1);
  return dialog;
}
