#pragma once
#include <memory>
#include <string>

class wxFileDialog;
class wxWindow;

// What the open-file dialog is asked and answers.
struct open_file_request {
  std::string filter;          // "label|pattern" pairs joined by "|"
  std::string initial_folder;  // empty: the dialog's own choice
  int filter_index = 0;        // 1-based; asked with, and the one chosen (0: the first)
  std::string path;            // chosen: the full path
  std::string name;            // chosen: the file name alone
};

// The open-file dialog for request: its filter, initial folder and filter index.
// GTK matches wildcards case-sensitively; the patterns handed to it match names in
// any case, as camera files (IMG_0001.JPG) must show under their filter.
std::unique_ptr<wxFileDialog> MakeOpenFileDialog(wxWindow* parent,
                                                 const open_file_request& request);
