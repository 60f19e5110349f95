#pragma once
#include <memory>

class wxFileDialog;
class wxWindow;
struct open_file_request;

// The open-file dialog for request: its filter, initial folder and filter index.
// GTK matches wildcards case-sensitively; the patterns handed to it match names in
// any case, as camera files (IMG_0001.JPG) must show under their filter.
std::unique_ptr<wxFileDialog> MakeOpenFileDialog(wxWindow* parent,
                                                 const open_file_request& request);
