#pragma once
#include <wx/aui/aui.h>

#include <functional>

// The frame a pane floats in. It opens at the pane's own size, and a drag by the
// window manager's title bar ends at the frame's side where the pane may dock.
// The toolkit's frame notices such a drag only in steps of three pixels or less,
// which a hand on a mouse rarely makes. Opened or dropped, the frame stays within
// the work area of its screen.
class floating_pane : public wxAuiFloatingFrame {
 public:
  floating_pane(wxWindow* parent, wxAuiManager* owner, const wxAuiPaneInfo& pane);

  // Whether the left mouse button is down now; tests stand in for the hand.
  static inline std::function<bool()> left_button_held = [] { return wxGetMouseState().LeftIsDown(); };

 protected:
  void OnMoveStart() override;
  void OnMoveFinished() override;

 private:
  void OnMoved(wxMoveEvent& event);
  void OnIdleTime(wxIdleEvent& event);
  void KeepPaneSize();
  void KeepWithinWorkArea();

  wxWindow* pane_window;
  wxSize pane_size;
  bool moving = false;
};

// The frame's docking, whose floating panes are floating_pane frames.
class pane_docking : public wxAuiManager {
 public:
  wxAuiFloatingFrame* CreateFloatingFrame(wxWindow* parent, const wxAuiPaneInfo& pane) override;

 protected:
  // A pane of fixed size dropped at a side stands at its top, as at the start, not
  // at the height where the drop left it.
  bool ProcessDockResult(wxAuiPaneInfo& target, const wxAuiPaneInfo& new_pos) override;
};
