#pragma once
#include "platform/ui_port.h"

class wxWindow;

// The save-file dialog behind ui_port::AskSaveFileName: starts in the
// request's folder with its filter, asks before overwriting, and fills in the
// chosen path, file name and filter. False when cancelled.
bool RunSaveFileDialog(wxWindow* parent, save_file_request& request);
