#pragma once
#include <wx/frame.h>

#include "ui/app/pane_docking.h"

class CvorbelDoc;
class wxFileHistory;
class wnd_status_bar;
class CPropertiesWnd;
class CvorbelView;

// The main window: menu bar, the nine-pane status bar, the view in the middle and
// the properties pane docked at the side. Commands go to the view first, then to
// the frame, then to the application.
class CMainFrame : public wxFrame {
 public:
  static constexpr int start_width = 1200;
  static constexpr int start_height = 860;
  // Smaller than this the frame is not made: the view keeps a usable client area.
  static constexpr int min_width = 480;
  static constexpr int min_height = 360;

  explicit CMainFrame(CvorbelDoc* document);
  ~CMainFrame() override;

  CvorbelView* View() const { return view_window; }
  // The view's initial update, after a start or an open.
  void InitialUpdate();
  wxAuiManager& Docking() { return docking; }

  // Applies the look id, remembers it in the application and stores it.
  void OnApplicationLook(int id);

  // Shows the recent-file list between "Print Setup" and "Exit".
  void ShowRecentFiles(const wxFileHistory& history);

  void OnLookCommand(wxCommandEvent& event);
  void OnUpdateApplicationLook(wxUpdateUIEvent& event);
  void OnMove(wxMoveEvent& event);
  void OnSize(wxSizeEvent& event);
  // The docking's own painting, left out where the windows it docks cover all that
  // is to be painted.
  void OnDockingPaint(wxPaintEvent& event);
  // The idle update of the fix-position panes: with two sources the fix-position
  // indicator is drawn and the view panes are painted with the marker on pane 3.
  void OnUpdatePositioningStatus(wxIdleEvent& event);

 protected:
  bool TryBefore(wxEvent& event) override;

 private:
  void BuildMenuBar();
  void BuildAccelerators();
  // A moved or resized frame ends a blending box and its dialog.
  void EndBlendingBox();

  pane_docking docking;
  CvorbelView* view_window = nullptr;
  wxMenu* file_menu = nullptr;
  size_t recent_files_position = 0;
  size_t recent_files_shown = 0;
};
