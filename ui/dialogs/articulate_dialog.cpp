#include "ui/dialogs/articulate_dialog.h"

#include <gtk/gtk.h>
#include <wx/button.h>
#include <wx/evtloop.h>
#include <wx/sizer.h>
#include <wx/spinbutt.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include <algorithm>
#include <string>

#include "engine/effects/effect_progress.h"
#include "engine/base/process_state.h"
#include "engine/base/view_core.h"
#include "platform/ui_port.h"
#include "ui/dialogs/integer_field.h"

namespace {

// A spin button that always sends its event: GTK sends none at the end of the
// range, so it starts in the middle of a wide one and goes back after each click.
wxSpinButton* Spin(wxWindow* parent, int id) {
  auto* spin = new wxSpinButton(parent, id, wxDefaultPosition, wxDefaultSize, wxSP_VERTICAL);
  spin->SetRange(-10000, 10000);
  spin->SetValue(0);
  return spin;
}

// Hands the spin button the left button's release, which ends its repeat.
void EndSpinRepeat(wxSpinButton* spin) {
  GtkWidget* widget = spin->GetHandle();
  if (!gtk_widget_get_realized(widget)) return;
  GdkEvent* release = gdk_event_new(GDK_BUTTON_RELEASE);
  release->button.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(widget)));
  release->button.button = GDK_BUTTON_PRIMARY;
  release->button.time = GDK_CURRENT_TIME;
  gdk_event_set_device(release, gdk_seat_get_pointer(gdk_display_get_default_seat(gtk_widget_get_display(widget))));
  gtk_widget_event(widget, release);
  gdk_event_free(release);
}

}  // namespace

articulate::articulate(wxWindow* parent, CvorbelViewCore& view)
    : wxDialog(parent, wxID_ANY, "Articulate"), session(view) {
  auto* column = new wxBoxSizer(wxVERTICAL);
  column->Add(new wxStaticText(this, wxID_ANY,
                               "Apply one of these 'articulate' effects to your final image, but after other effects."),
              0, wxALL, 10);
  column->Add(new wxStaticText(this, wxID_ANY, "Note that any previous blending is not destroyed."), 0,
              wxLEFT | wxRIGHT | wxBOTTOM, 10);

  auto* grid = new wxFlexGridSizer(6, 6, 8);
  auto add_row = [&](const char* name, int button_id, const char* button_label) {
    grid->Add(new wxStaticText(this, wxID_ANY, name), 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(new wxButton(this, button_id, button_label));
  };
  auto edit = [&](int id, int value) {
    return new wxTextCtrl(this, id, std::to_string(value), wxDefaultPosition, wxSize(60, -1));
  };
  auto filler = [&](int n) {
    for (int i = 0; i < n; ++i) grid->AddSpacer(0);
  };
  add_row("Bubble", bubble_id, "Apply1");
  bubble_edit = edit(bubble_level_id, bubble_level);
  grid->Add(bubble_edit);
  grid->Add(new wxStaticText(this, wxID_ANY, "1 thru 10"), 0, wxALIGN_CENTER_VERTICAL);
  filler(2);
  add_row("Pencil", pencil_id, "Apply2");
  pencil_edit = edit(pencil_level_id, pencil_level);
  grid->Add(pencil_edit);
  grid->Add(new wxStaticText(this, wxID_ANY, "1 thru 10"), 0, wxALIGN_CENTER_VERTICAL);
  filler(2);
  add_row("Dapple", dapple_id, "Apply3");
  filler(4);
  add_row("Weird", weird_id, "Apply4");
  amplitude_edit = edit(amplitude_id, weird_amplitude);
  amplitude_spin = Spin(this, amplitude_spin_id);
  frequency_edit = edit(frequency_id, weird_frequency);
  frequency_spin = Spin(this, frequency_spin_id);
  for (wxWindow* w : {static_cast<wxWindow*>(amplitude_edit), static_cast<wxWindow*>(amplitude_spin),
                      static_cast<wxWindow*>(frequency_edit), static_cast<wxWindow*>(frequency_spin)})
    grid->Add(w, 0, wxALIGN_CENTER_VERTICAL);
  column->Add(grid, 0, wxALL, 10);

  status_text = new wxStaticText(this, status_id, "Progress: ");
  column->Add(status_text, 0, wxEXPAND | wxLEFT | wxRIGHT, 10);
  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  buttons->Add(new wxButton(this, reset_id, "Reset"));
  buttons->AddStretchSpacer();
  buttons->Add(new wxButton(this, wxID_OK, "OK"), 0, wxRIGHT, 6);
  buttons->Add(new wxButton(this, wxID_CANCEL, "Cancel"));
  column->Add(buttons, 0, wxEXPAND | wxALL, 10);
  SetSizerAndFit(column);
  SetEscapeId(wxID_CANCEL);

  Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnBubble(); }, bubble_id);
  Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnPencil(); }, pencil_id);
  Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnDapple(); }, dapple_id);
  Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnWeird(); }, weird_id);
  Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnReset(); }, reset_id);
  Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnOK(); }, wxID_OK);
  Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnCancel(); }, wxID_CANCEL);
  Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { OnCancel(); });
  Bind(wxEVT_SPIN, &articulate::OnSpin, this, amplitude_spin_id);
  Bind(wxEVT_SPIN, &articulate::OnSpin, this, frequency_spin_id);
  CentreOnParent();
  // The effects take up to a few seconds: the windows keep painting meanwhile.
  SetEffectPause([] {
    if (wxEventLoopBase* loop = wxEventLoopBase::GetActive()) loop->YieldFor(wxEVT_CATEGORY_UI);
  });
}

articulate::~articulate() { SetEffectPause(nullptr); }

bool articulate::TakeValues() {
  const std::optional<int> amplitude = ReadIntegerField(amplitude_edit, 1, 100);
  if (!amplitude) return false;
  const std::optional<int> frequency = ReadIntegerField(frequency_edit, 1, 100);
  if (!frequency) return false;
  const std::optional<int> bubble = ReadIntegerField(bubble_edit, 1, 10);
  if (!bubble) return false;
  const std::optional<int> pencil = ReadIntegerField(pencil_edit, 1, 10);
  if (!pencil) return false;
  weird_amplitude = *amplitude, weird_frequency = *frequency, bubble_level = *bubble, pencil_level = *pencil;
  return true;
}

void articulate::ShowValues() {
  amplitude_edit->ChangeValue(std::to_string(weird_amplitude));
  frequency_edit->ChangeValue(std::to_string(weird_frequency));
  bubble_edit->ChangeValue(std::to_string(bubble_level));
  pencil_edit->ChangeValue(std::to_string(pencil_level));
}

void articulate::OnBubble() {
  if (!TakeValues()) return;
  status_text->SetLabel("Working on it...");
  status_text->Update();
  if (!session.Bubble(bubble_level, [this](const char* words) {
        status_text->SetLabel(words);
        status_text->Update();
      }))
    return;
  status_text->SetLabel("Complete");
}

void articulate::OnPencil() {
  status_text->SetLabel("");
  if (!TakeValues()) return;
  session.Pencil(pencil_level);
}

void articulate::OnDapple() {
  status_text->SetLabel("");
  session.Dapple();
}

void articulate::OnWeird() {
  if (!TakeValues()) return;
  session.Weird(weird_amplitude, weird_frequency);
}

void articulate::OnDeltaPosWeird(int which, int delta) {
  int& value = which == 0 ? weird_amplitude : weird_frequency;
  value = std::clamp(value + delta, 1, 100);
  ShowValues();
  OnWeird();
}

void articulate::OnSpin(wxSpinEvent& event) {
  auto* spin = static_cast<wxSpinButton*>(event.GetEventObject());
  const int delta = event.GetPosition();
  spin->SetValue(0);
  // Weird lets the windows repaint as it goes, and the toolkit's auto-repeat can fire
  // there too: a repeat that reached this handler would start Weird again inside the
  // last, and so on while the release waits behind them. Repeats that come while a
  // step works are dropped.
  if (delta == 0 || stepping) return;
  stepping = true;
  OnDeltaPosWeird(spin == amplitude_spin ? 0 : 1, delta > 0 ? 1 : -1);
  // The toolkit ends its repeat at the release it sees, and on a busy machine it can
  // miss one that comes while the press is still being handled: the spin would then
  // step on for good. Once a step is done with the button up, the toolkit is told of
  // the release; the repeats it counted meanwhile without telling are dropped.
  if (!wxGetMouseState().LeftIsDown()) EndSpinRepeat(spin);
  spin->SetValue(0);
  stepping = false;
}

void articulate::OnReset() { session.Reset(); }

void articulate::OnOK() {
  if (TakeValues() && IsModal()) EndModal(wxID_OK);
}

void articulate::OnCancel() {
  session.Reset();
  if (IsModal()) EndModal(wxID_CANCEL);
}

void OnProduceArtisticImage(wxWindow* parent) {
  if (source_count != 2 || !the_view) {
    the_ui().MessageBox("Need two images loaded before attempting this command.", message_icon::error);
    return;
  }
  articulate dialog(parent, *the_view);
  dialog.ShowModal();
}
