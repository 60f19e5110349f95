#include "ui/dialogs/source_size_dialog.h"

#include <wx/button.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include <algorithm>

#include "engine/base/view_core.h"
#include "ui/commands/pane_link.h"
#include "ui/dialogs/dialog_finish.h"
#include "ui/dialogs/dialog_units.h"
#include "ui/dialogs/integer_field.h"

namespace {

constexpr sizing_box box_kinds[6] = {sizing_box::left,  sizing_box::right, sizing_box::top,
                                     sizing_box::bottom, sizing_box::width, sizing_box::height};
const char* const box_labels[6] = {"Left", "Right", "Top", "Bottom", "Width", "Height"};
// Where each kind of box sits in its source's group (dialog units from the group's
// top-left), its label above it: the margins around the size, as they lie around
// the source.
constexpr int box_places[6][2] = {{8, 61}, {106, 61}, {57, 19}, {57, 101}, {57, 47}, {57, 75}};

int& Field(source_margins& m, sizing_box kind) {
  switch (kind) {
    case sizing_box::left:
      return m.left;
    case sizing_box::top:
      return m.top;
    case sizing_box::right:
      return m.right;
    case sizing_box::bottom:
      return m.bottom;
    case sizing_box::width:
      return m.width;
    case sizing_box::height:
      break;
  }
  return m.height;
}

int KindIndex(sizing_box kind) {
  for (int i = 0; i < 6; ++i)
    if (box_kinds[i] == kind) return i;
  return 0;
}

}  // namespace

sizing_moving_backgnd::sizing_moving_backgnd(wxWindow* parent, int id) : wxTextCtrl(parent, id, "") {
  SetBackgroundColour(back_color);
  SetForegroundColour(text_color);
}

void sizing_moving_backgnd::SetChanged(bool on) {
  changed = on;
  SetBackgroundColour(changed ? changed_color : back_color);
  SetForegroundColour(text_color);
  Refresh();
}

source_size::source_size(wxWindow* parent, CvorbelViewCore& v)
    : wxDialog(parent, 450, "Source Sizing and Positioning"), view(v) {
  target_size = {view.target_rect.Width(), view.target_rect.Height()};
  UseDialogFont(this);
  SetClientSize(DialogUnits(this, 0, 0, 337, 240).GetSize());
  auto place = [this](wxWindow* control, int x, int y, int w, int h) {
    control->SetSize(DialogUnits(this, x, y, w, h));
  };
  for (int s = 1; s <= 2; ++s) {
    const int left = s == 1 ? 7 : 172;
    place(new wxStaticBox(this, wxID_ANY, s == 1 ? "Source 1" : "Source 2"), left, 7, 158, 126);
    for (int i = 0; i < 6; ++i) {
      const int k = (s - 1) * 6 + i;
      const int x = left + box_places[i][0], y = 7 + box_places[i][1];
      place(new wxStaticText(this, wxID_ANY, box_labels[i]), x, y - 9, 44, 9);
      boxes[k] = new sizing_moving_backgnd(this, box_ids[k]);
      place(boxes[k], x, y, 44, 14);
      boxes[k]->Bind(wxEVT_KILL_FOCUS, [this, k](wxFocusEvent& event) {
        event.Skip();
        OnKillFocus(k);
      });
      boxes[k]->Bind(wxEVT_TEXT, [this, k](wxCommandEvent&) { OnChange(k); });
    }
  }
  place(new wxStaticText(this, wxID_ANY,
                         "Set sizes and spacing to the edge of the target, negtive space values are allowed."),
        7, 142, 323, 10);
  place(new wxStaticText(this, wxID_ANY,
                         "Note that left + right + width = target width, top + bottom + height = target height."),
        7, 156, 323, 10);
  // Apply needs no handler: taking the focus from a box applies the box.
  apply_button = new wxButton(this, apply_id, "Apply");
  place(apply_button, 7, 218, 50, 14);
  auto* ok = new wxButton(this, wxID_OK, "OK");
  place(ok, 220, 218, 50, 14);
  place(new wxButton(this, wxID_CANCEL, "Cancel"), 280, 218, 50, 14);
  ok->SetDefault();
  SetEscapeId(wxID_CANCEL);

  for (int s = 1; s <= 2; ++s) {
    for (int axis = 1; axis >= 0; --axis) {
      saved_scale_values[(s - 1) * 2 + 1 - axis] = the_pane_link ? the_pane_link->SourceScale(s, axis, 100) : 100;
    }
    saved_percent[(s - 1) * 2] = view.width_percent[s - 1];
    saved_percent[(s - 1) * 2 + 1] = view.height_percent[s - 1];
    saved_offset[s - 1] = view.offset[s - 1];
    sizes[s - 1] = MarginsOf(view, s, target_size.width, target_size.height);
  }
  for (int k = 0; k < box_count; ++k)
    boxes[k]->ChangeValue(wxString::Format("%d", Field(sizes[k / 6], box_kinds[k % 6])));
  apply_button->Disable();
  CentreOnParent();

  Bind(wxEVT_BUTTON, &source_size::OnOK, this, wxID_OK);
  Bind(wxEVT_BUTTON, &source_size::OnCancel, this, wxID_CANCEL);
}

sizing_moving_backgnd* source_size::Box(int s, sizing_box kind) const {
  return boxes[(s - 1) * 6 + KindIndex(kind)];
}

void source_size::ShowValues() {
  for (int k = 0; k < box_count; ++k) {
    const wxString text = wxString::Format("%d", Field(sizes[k / 6], box_kinds[k % 6]));
    if (boxes[k]->GetValue() != text) boxes[k]->SetValue(text);
  }
}

void source_size::ReadValues() {
  for (int k = 0; k < box_count; ++k)
    if (const std::optional<int> value = ReadAnyIntegerField(boxes[k]))
      Field(sizes[k / 6], box_kinds[k % 6]) = *value;
}

void source_size::OnKillFocus(int k) {
  // A message about a typed value takes the focus from the box that has it now;
  // that box is applied when the user leaves it, not in the middle of this one.
  if (closing || applying) return;
  applying = true;
  const int s = k / 6 + 1;
  const sizing_box kind = box_kinds[k % 6];
  apply_button->Disable();
  ReadValues();
  Box(s, PartnerOf(kind))->SetChanged(false);
  ApplySizingBox(view, s, kind, sizes[s - 1], target_size.width, target_size.height);
  if (kind == sizing_box::width || kind == sizing_box::height) {
    const int axis = kind == sizing_box::width ? 1 : 0;
    const double percent = axis == 1 ? view.width_percent[s - 1] : view.height_percent[s - 1];
    if (the_pane_link) the_pane_link->ShowSourceScale(s, axis, long(std::min(percent + 0.5, 2147483647.0)));
  }
  ShowValues();
  view.RebuildSources(-1);
  view.PlaceSizeHandles();
  applying = false;
}

void source_size::OnChange(int k) {
  apply_button->Enable();
  Box(k / 6 + 1, PartnerOf(box_kinds[k % 6]))->SetChanged(true);
}

void source_size::OnOK(wxCommandEvent&) {
  // Enter closes without moving the focus: the box being edited counts as well.
  for (int k = 0; k < box_count; ++k)
    if (boxes[k]->HasFocus()) OnKillFocus(k);
  closing = true;
  view.UpdateFixAnchor(1);
  view.UpdateFixAnchor(2);
  view.PlaceSizeHandles();
  FinishDialog(*this, wxID_OK);
}

void source_size::OnCancel(wxCommandEvent&) {
  closing = true;
  for (int s = 1; s <= 2; ++s) {
    view.width_percent[s - 1] = saved_percent[(s - 1) * 2];
    view.height_percent[s - 1] = saved_percent[(s - 1) * 2 + 1];
    view.offset[s - 1] = saved_offset[s - 1];
    for (int axis = 1; axis >= 0; --axis)
      if (the_pane_link) the_pane_link->ShowSourceScale(s, axis, saved_scale_values[(s - 1) * 2 + 1 - axis]);
  }
  view.RebuildSources(-1);
  FinishDialog(*this, wxID_CANCEL);
}

bool RunSourceSizeDialog(wxWindow* parent, CvorbelViewCore& view) {
  source_size dialog(parent, view);
  return dialog.ShowModal() == wxID_OK;
}
