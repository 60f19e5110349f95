#include "ui/dialogs/blend_dialog.h"

#include <wx/button.h>
#include <wx/dcmemory.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "engine/effects/blending_zone.h"
#include "engine/base/process_state.h"
#include "platform/ui_port.h"
#include "engine/base/view_core.h"
#include "ui/commands/pane_link.h"
#include "ui/commands/view_link.h"

namespace {

const char* const repeat_note =
    "\n\nENSURE BLENDING IS THE LAST THING (except 'articulate effects') YOU DO BEFORE SAVING TO FILE."
    "\n(or copying to the clipboard CTRL C)";

// The 48 x 48 pictures of the two buttons: the source's colour with its number.
wxBitmap BlendPicture(int source) {
  wxBitmap bitmap(48, 48, 24);
  wxMemoryDC dc(bitmap);
  dc.SetBackground(*wxWHITE_BRUSH);
  dc.Clear();
  const wxColour colour = source == 1 ? wxColour(0xFF, 0xC0, 0xC0) : wxColour(0x99, 0xFF, 0x66);
  for (int ring = 0; ring < 22; ++ring) {
    const int mix = ring * 255 / 22;
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(wxColour((colour.Red() * (255 - mix) + 255 * mix) / 255,
                                 (colour.Green() * (255 - mix) + 255 * mix) / 255,
                                 (colour.Blue() * (255 - mix) + 255 * mix) / 255)));
    dc.DrawCircle(24, 24, 23 - ring);
  }
  wxFont font = wxFont(wxFontInfo(22).Bold());
  dc.SetFont(font);
  dc.SetTextForeground(wxColour(0x30, 0x30, 0x30));
  const wxString digit = source == 1 ? "1" : "2";
  const wxSize extent = dc.GetTextExtent(digit);
  dc.DrawText(digit, (48 - extent.x) / 2, (48 - extent.y) / 2);
  dc.SelectObject(wxNullBitmap);
  return bitmap;
}

}  // namespace

blend_dialog::blend_dialog(view_link* view)
    : wxDialog(view->Window(), wxID_ANY, "", wxDefaultPosition, wxDefaultSize, wxBORDER_SIMPLE),
      view(&view->Core()) {
  button1 = new blending_buttons(this, button1_id, "Blend Button 1", BlendPicture(1), [this] { OnBlendButton1(); });
  button1->SetToolTip(
      wxString("Smooth blend source 1 in the rectangular zone. This button will autorepeat if held down.") +
      repeat_note);
  button2 = new blending_buttons(this, button2_id, "Blend Button 2", BlendPicture(2), [this] { OnBlendButton2(); });
  button2->SetToolTip(
      wxString("Smooth blend source 2 in the rectangular zone. This button will autorepeat if held down.") +
      repeat_note);

  auto* top = new wxBoxSizer(wxHORIZONTAL);
  top->Add(button1);
  top->Add(button2);
  top->Add(new wxStaticText(this, wxID_ANY, "Source\nBlend\nButtons"), 0, wxLEFT | wxALIGN_CENTER_VERTICAL, 8);

  fade_radio = new wxRadioButton(this, ellipse_fade_id, "Ellipse: smooth fade to edge", wxDefaultPosition,
                                 wxDefaultSize, wxRB_GROUP);
  auto* even_ellipse = new wxRadioButton(this, ellipse_uniform_id, "Ellipse: same blend everywhere");
  auto* rectangle = new wxRadioButton(this, rectangle_uniform_id, "Rectangle: same blend everywhere");
  auto* max_1 = new wxButton(this, max_1_id, "Max. 1");
  auto* max_2 = new wxButton(this, max_2_id, "Max. 2");
  auto* maxes = new wxBoxSizer(wxHORIZONTAL);
  maxes->Add(max_1, 1, wxRIGHT, 6);
  maxes->Add(max_2, 1);

  auto* column = new wxBoxSizer(wxVERTICAL);
  column->Add(top, 0, wxALL, 12);
  for (wxRadioButton* radio : {fade_radio, even_ellipse, rectangle}) column->Add(radio, 0, wxLEFT | wxRIGHT | wxTOP, 12);
  column->Add(maxes, 0, wxEXPAND | wxALL, 12);
  column->Add(new wxButton(this, undo_id, "Undo last action"), 0, wxEXPAND | wxLEFT | wxRIGHT, 12);
  column->Add(new wxButton(this, remove_id, "Remove all blending"), 0, wxEXPAND | wxALL, 12);
  auto* advice = new wxStaticText(
      this, wxID_ANY, "Ensure blending is the last thing you do before saving to file or copying target to source.");
  auto* exception = new wxStaticText(this, wxID_ANY,
                                     "The one exception: 'articulate' effects may follow, they do not destroy blending.");
  for (wxStaticText* text : {advice, exception}) {
    text->Wrap(220);
    column->Add(text, 0, wxLEFT | wxRIGHT | wxBOTTOM, 12);
  }
  column->Add(new wxButton(this, wxID_OK, "OK"), 0, wxALIGN_RIGHT | wxALL, 12);
  SetSizerAndFit(column);

  Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { OnEllipseFade(); }, ellipse_fade_id);
  Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { OnEllipseUniform(); }, ellipse_uniform_id);
  Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { OnRectangleUniform(); }, rectangle_uniform_id);
  Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnMaxSource1(); }, max_1_id);
  Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnMaxSource2(); }, max_2_id);
  Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnUndoLastAction(); }, undo_id);
  Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnRemoveAllBlending(); }, remove_id);
  Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnOK(); }, wxID_OK);
  // A hidden dialog that still counted as open would stop every later box.
  Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnOK(); }, wxID_CANCEL);
  Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { OnOK(); });
  Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
    if (event.GetKeyCode() == WXK_ESCAPE)
      OnOK();
    else
      event.Skip();
  });

  if (the_pane_link) SetSize(the_pane_link->PaneScreenRect());
  fade_radio->SetValue(true);
  OnEllipseFade();
}

// Also when the view takes the dialog down with it.
blend_dialog::~blend_dialog() {
  if (the_blend_dialog == this) the_blend_dialog = nullptr;
}

void blend_dialog::Step(int direction) {
  if (view->ApplyBlendingZone(direction) != zone_step::too_small) return;
  button1->StopRepeating();
  button2->StopRepeating();
  the_ui().MessageBox(zone_too_small_message, message_icon::error);
}

void blend_dialog::OnBlendButton1() { Step(1); }

void blend_dialog::OnBlendButton2() { Step(2); }

void blend_dialog::OnEllipseFade() { view->zone_rectangular = false, view->zone_fade = true; }

void blend_dialog::OnEllipseUniform() { view->zone_rectangular = false, view->zone_fade = false; }

void blend_dialog::OnRectangleUniform() { view->zone_rectangular = true, view->zone_fade = false; }

void blend_dialog::MaxSource(int direction) {
  const bool rectangular = view->zone_rectangular, fade = view->zone_fade;
  view->zone_level = direction == 1 ? 100 : -100;
  OnRectangleUniform();
  Step(direction);
  view->zone_rectangular = rectangular, view->zone_fade = fade;
  view->zone_level = 0;
}

void blend_dialog::OnMaxSource1() { MaxSource(1); }

void blend_dialog::OnMaxSource2() { MaxSource(2); }

void blend_dialog::OnUndoLastAction() {
  view->zone_level = 0;
  RestoreTargetCopy();
  view->PresentTarget();
}

void blend_dialog::OnRemoveAllBlending() {
  view->RebuildSources(-1);
  view->zone_level = 0;
}

void blend_dialog::OnOK() {
  button1->StopRepeating();
  button2->StopRepeating();
  view->box_dragging = false;
  view->blend_dialog_open = false;
  view->PresentTarget();
  if (the_blend_dialog == this) the_blend_dialog = nullptr;
  Destroy();
}

void OpenBlendDialog(view_link* view) {
  if (the_blend_dialog) return;
  auto* dialog = new blend_dialog(view);
  the_blend_dialog = dialog;
  dialog->ShowWithoutActivating();
  view->Core().blend_dialog_open = true;
}
