#pragma once
#include <wx/dialog.h>

// Ends dialog's modal run with code; a dialog shown without one keeps code as its
// return code and just hides.
void FinishDialog(wxDialog& dialog, int code);
