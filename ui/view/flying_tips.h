#pragma once
#include <wx/timer.h>
#include <wx/window.h>

#include "sources/tip_layout.h"

// A pale box of a few lines of help that closes itself after ten seconds.
//
// Whoever keeps a pointer to a tip gives its address as the owner: the tip sets
// it when it opens and empties it when it goes, so the pointer never outlives the
// tip. A held tip only hides when its time is up and stays held until its holder
// closes it: the holder tells by it that its help has been shown. A tip nobody
// holds ends itself.
class flying_tips : public wxWindow {
 public:
  static constexpr int window_id = 149;
  static constexpr int timer_id = 2;
  static constexpr int tick_milliseconds = 1000;
  static constexpr int lifetime_ticks = 10;

  // A tip with its top-left corner at `at` in parent's client area, showing text
  // (lines separated by line feeds, at most ten); *owner is set to it.
  static flying_tips* Open(wxWindow* parent, const wxPoint& at, const wxString& text,
                           flying_tips** owner);
  // Closes the tip the slot holds, if any; the slot is empty afterwards.
  static void Close(flying_tips*& slot);

  flying_tips(wxWindow* parent, const wxPoint& at, flying_tips** owner);
  ~flying_tips() override;

  // Gives the tip its text and sizes it around the text.
  void ShowTip(const wxString& text);
  // Each tick of the tip's own timer; the tenth hides it.
  void OnTimer(wxTimerEvent& event);

  const wxTimer& Timer() const { return timer; }

  int ticks = 0;
  wxTimer timer{this, timer_id};

 private:
  void OnPaint(wxPaintEvent& event);
  // Lets go of the owner's pointer, so that nobody can end the tip a second time.
  void Disown();

  flying_tips** owner = nullptr;
  tip_layout layout;
};
