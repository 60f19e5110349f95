#include "ui/dialogs/dialog_units.h"

#include <wx/font.h>
#include <wx/window.h>

void UseDialogFont(wxWindow* dialog) { dialog->SetFont(wxFont(wxFontInfo(8).Family(wxFONTFAMILY_SWISS))); }

wxRect DialogUnits(const wxWindow* dialog, int x, int y, int width, int height) {
  return wxRect(dialog->ConvertDialogToPixels(wxPoint(x, y)), dialog->ConvertDialogToPixels(wxSize(width, height)));
}
