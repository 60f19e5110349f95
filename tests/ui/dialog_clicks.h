#pragma once
#include <gtest/gtest.h>

#include <wx/button.h>
#include <wx/radiobut.h>

// Presses a dialog's button as a click would.
inline void Press(wxWindow* dialog, int id) {
  wxCommandEvent click(wxEVT_BUTTON, id);
  click.SetEventObject(dialog->FindWindow(id));
  dialog->ProcessWindowEvent(click);
}

// Selects a radio button of a dialog as a click would, its notice included.
inline void Click(wxWindow* dialog, int id) {
  auto* radio = dynamic_cast<wxRadioButton*>(dialog->FindWindow(id));
  ASSERT_NE(radio, nullptr) << id;
  radio->SetValue(true);
  wxCommandEvent click(wxEVT_RADIOBUTTON, id);
  click.SetEventObject(radio);
  radio->ProcessWindowEvent(click);
}
