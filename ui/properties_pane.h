#pragma once
#include <wx/panel.h>

// The dockable properties pane. Its controls come with later work; for now it is
// the empty, dockable window that they will fill.
class CPropertiesWnd : public wxPanel {
 public:
  static constexpr int window_id = 158;
  static constexpr int start_width = 310;
  static constexpr int start_height = 800;

  explicit CPropertiesWnd(wxWindow* parent);
  ~CPropertiesWnd() override;

  // Places the pane's children again after a source or the pane's size changed.
  void AdjustLayout();
};

// The frame's properties pane while the frame exists.
extern CPropertiesWnd* the_properties_pane;
