#pragma once
#include <wx/gdicmn.h>

class wxWindow;

// The tool dialogs are laid out from tables in dialog units of an 8-point sans
// font; GTK's larger default font would blow every control up.
void UseDialogFont(wxWindow* dialog);
// A rectangle of the table in pixels of the dialog's client area.
wxRect DialogUnits(const wxWindow* dialog, int x, int y, int width, int height);
