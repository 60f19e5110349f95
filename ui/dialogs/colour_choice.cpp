#include "ui/dialogs/colour_choice.h"

#include <wx/colordlg.h>

namespace {

std::optional<wxColour> RunColourDialog(wxWindow* parent, const wxColour& initial) {
  wxColourData data;
  data.SetColour(initial);
  wxColourDialog dialog(parent, &data);
  if (dialog.ShowModal() != wxID_OK) return std::nullopt;
  return dialog.GetColourData().GetColour();
}

}  // namespace

colour_chooser choose_colour = RunColourDialog;
