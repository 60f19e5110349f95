#pragma once
#include <wx/dialog.h>

#include <memory>

#include "engine/effects/articulate_session.h"

class wxSpinButton;
class wxSpinEvent;
class wxStaticText;
class wxTextCtrl;

// The modal "Articulate" dialog: the four artistic effects, each applied afresh to
// the target as it was when the dialog opened.
class articulate : public wxDialog {
 public:
  static constexpr int status_id = 1071, bubble_id = 1072, pencil_id = 1073, dapple_id = 1074, weird_id = 1075;
  static constexpr int amplitude_id = 1076, amplitude_spin_id = 1077, frequency_id = 1078,
                       frequency_spin_id = 1079, bubble_level_id = 1270, pencil_level_id = 1276, reset_id = 1095;

  articulate(wxWindow* parent, CvorbelViewCore& view);
  ~articulate() override;

  void OnBubble();
  void OnPencil();
  void OnDapple();
  void OnWeird();
  // A spin click on amplitude (which 0) or frequency (1): the value moves by delta
  // within 1..100 and Weird runs, also when the value was at its limit already.
  void OnDeltaPosWeird(int which, int delta);
  void OnReset();
  // Closes with the last effect in place, once the boxes hold values in range.
  void OnOK();
  void OnCancel();

  int weird_amplitude = 10;
  int weird_frequency = 10;
  int bubble_level = 5;
  int pencil_level = 5;
  wxStaticText* status_text = nullptr;
  wxTextCtrl* amplitude_edit = nullptr;
  wxTextCtrl* frequency_edit = nullptr;
  wxTextCtrl* bubble_edit = nullptr;
  wxTextCtrl* pencil_edit = nullptr;
  wxSpinButton* amplitude_spin = nullptr;
  wxSpinButton* frequency_spin = nullptr;

 private:
  // The four boxes into the values; false (after the range message) when one is
  // not a whole number in its range, which then has the focus.
  bool TakeValues();
  void ShowValues();
  void OnSpin(wxSpinEvent& event);

  articulate_session session;
  // A spin step's Weird is running.
  bool stepping = false;
};

// The properties pane's command "Produce artistic image": the dialog, with two sources only.
void OnProduceArtisticImage(wxWindow* parent);
