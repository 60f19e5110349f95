#include "ui/dialogs/canvas_size_dialog.h"

#include <wx/button.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "engine/base/source_layer.h"
#include "engine/base/view_core.h"
#include "platform/settings.h"
#include "ui/commands/pane_command_ids.h"
#include "ui/commands/pane_link.h"
#include "ui/dialogs/dialog_finish.h"
#include "ui/dialogs/dialog_units.h"
#include "ui/dialogs/integer_field.h"

canvas_size::canvas_size(wxWindow* parent, CvorbelViewCore& v)
    : wxDialog(parent, 347, "Target Image Size"), view(v) {
  UseDialogFont(this);
  SetClientSize(DialogUnits(this, 0, 0, 174, 132).GetSize());
  auto place = [this](wxWindow* control, int x, int y, int w, int h) {
    control->SetSize(DialogUnits(this, x, y, w, h));
  };
  place(new wxStaticText(this, wxID_ANY,
                         "The 'Target' is the image containing both sources. It is this area "
                         "that is saved to file or printed."),
        7, 7, 160, 26);
  place(new wxStaticText(this, wxID_ANY, "width (maximum  2048)"), 12, 41, 84, 9);
  width_box = new wxTextCtrl(this, width_id, "");
  place(width_box, 100, 38, 48, 14);
  place(new wxStaticText(this, wxID_ANY, "height (maximum 1536)"), 12, 61, 84, 9);
  height_box = new wxTextCtrl(this, height_id, "");
  place(height_box, 100, 58, 48, 14);
  place(new wxStaticText(this, wxID_ANY,
                         "Note that the target image size is NOT affected by the sizes of the "
                         "individual source images."),
        7, 80, 160, 26);
  auto* ok = new wxButton(this, wxID_OK, "OK");
  place(ok, 30, 110, 50, 14);
  place(new wxButton(this, wxID_CANCEL, "Cancel"), 94, 110, 50, 14);
  ok->SetDefault();
  SetEscapeId(wxID_CANCEL);

  saved_rect = view.target_rect;
  // A hand-edited settings file must not carry a size the target cannot have.
  width = the_settings().GetClampedInt("Configure", "canvas_width", 1024, 32, max_target_width);
  height = the_settings().GetClampedInt("Configure", "canvas_height", 768, 32, max_target_height);
  width_box->ChangeValue(wxString::Format("%d", width));
  height_box->ChangeValue(wxString::Format("%d", height));
  CentreOnParent();

  Bind(wxEVT_BUTTON, &canvas_size::OnOK, this, wxID_OK);
  Bind(wxEVT_BUTTON, &canvas_size::OnCancel, this, wxID_CANCEL);
}

void canvas_size::OnOK(wxCommandEvent&) {
  const std::optional<int> w = ReadIntegerField(width_box, 32, max_target_width);
  if (!w) return;
  const std::optional<int> h = ReadIntegerField(height_box, 32, max_target_height);
  if (!h) return;
  width = *w;
  height = *h;
  view.target_rect = {0, 0, width, height};
  // The pane ends move/size mode.
  if (the_pane_link) the_pane_link->RunPaneCommand(cmd_move_size_off);
  the_settings().WriteInt("Configure", "canvas_width", width);
  the_settings().WriteInt("Configure", "canvas_height", height);
  view.perspective_on = false;
  FinishDialog(*this, wxID_OK);
}

void canvas_size::OnCancel(wxCommandEvent&) {
  view.target_rect = saved_rect;
  FinishDialog(*this, wxID_CANCEL);
}
