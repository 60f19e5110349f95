#pragma once
#include <cairo.h>

#include <wx/scrolwin.h>
#include <wx/timer.h>

#include <functional>

#include "engine/base/view_core.h"
#include "ui/commands/view_link.h"

class start_button;
class flying_tips;
class startup_tips;
class move_size_box;

// The one view of the document: the window in which the target is presented,
// with the start buttons and prompts while fewer than two sources are loaded.
class CvorbelView : public wxScrolledCanvas, public CvorbelViewCore, public view_link {
 public:
  CvorbelView(wxWindow* parent, CvorbelDoc* document);
  ~CvorbelView() override;

  // Starts the view in the mode that source_count calls for.
  void OnInitialUpdate();
  // Draws the start-up background and prompts or the presented target; dc is a
  // window's device context in client coordinates.
  void OnDraw(wxDC& dc) override;
  bool PresentPixels(const bgra* pixels) override;
  // Takes the target size from the stored canvas size and rebuilds everything.
  void InitTarget();
  // Places the target in the window with a margin and sets the scroll range.
  void CenterTargetInView();
  // The dotted outline of the blending box, over what the window shows.
  void DrawBlendingBox() override;
  wxWindow* Window() override { return this; }
  CvorbelViewCore& Core() override { return *this; }

  // Move/size selection and its grab handles; the fix-position panes.
  void SetMoveSizeSource(int s) override;
  void PlaceSizeHandles() override;
  void DrawFixPositionIndicator() override;

  // Holds the user-interface thread for a number of milliseconds (the click
  // flash); replaceable so that tests need not wait.
  std::function<void(int)> hold = HoldFor;
  static void HoldFor(int milliseconds);

  void CreateStartButtons();
  void DestroyStartButtons();

  // The scrolling start-up tips: shown, with timer 3 moving them on, when the
  // tips file is found; closed, with the timer stopped, once a source arrives.
  void OpenStartupTips();
  void CloseStartupTips();
  void OnTimer(wxTimerEvent& event);

  // Print, quick print (no dialog) and print preview of the target, and the
  // page set-up that they share.
  void OnFilePrint(bool ask);
  void OnFilePrintPreview();
  void OnFilePrintSetup();

  // Edit > Rotate and Edit > Perspective Transform: their dialogs, modally.
  void OnEditRotate(wxCommandEvent& event);
  void OnPerspectiveTransform(wxCommandEvent& event);
  // Edit > Target Image Size and Base Color, and the text sources' coarse font steps.
  void OnTargetSize(wxCommandEvent& event);
  void OnChangeBaseColor(wxCommandEvent& event);
  void OnUpdateChangeBaseColor(wxUpdateUIEvent& event);
  void OnCoarseFontUp1(wxCommandEvent& event);
  void OnCoarseFontDown1(wxCommandEvent& event);
  void OnCoarseFontUp2(wxCommandEvent& event);
  void OnCoarseFontDown2(wxCommandEvent& event);
  // Edit > Fix positions and Sizes: their dialogs, modally.
  void OnSetFixPositions(wxCommandEvent& event);
  void OnSetSourceSizes(wxCommandEvent& event);

  // Edit > Paste, the paste start button and the change-source dialog's paste:
  // source s (1 or 2) from the clipboard's image; true when it was filled. A new
  // (not replacing) source is counted in once its image is in.
  void OnEditPaste(wxCommandEvent& event);
  bool PasteIntoSource(bool replacing, int s) override;
  // Edit > Copy: the target onto the clipboard as an opaque image.
  void OnEditCopy(wxCommandEvent& event);
  void OnUpdateEditCopy(wxUpdateUIEvent& event);

  // File > "Software Gen. Source..." and the blank start button; the generator
  // behind them and the change-source dialog: true when source s was made.
  void OnSoftwareSource(wxCommandEvent& event);
  bool CreateSoftwareSource(bool replacing, int s) override;
  // The refresh after a source was made in place: start buttons, geometry, layers, target.
  void RefreshSources() override;

  // What the window shows after the last presentation: client-sized, packed
  // 0x00RRGGBB pixels. Null before the first presentation.
  cairo_surface_t* DisplaySurface() const { return display; }

  start_button* start_buttons[4] = {nullptr, nullptr, nullptr, nullptr};
  flying_tips* pane_tip = nullptr;
  flying_tips* flying_tip = nullptr;
  startup_tips* tips_window = nullptr;
  move_size_box* size_handles[8] = {};
  static constexpr int tips_timer_id = 3;
  wxTimer tips_timer{this, tips_timer_id};

 private:
  void OnPaint(wxPaintEvent& event);
  void OnSize(wxSizeEvent& event);
  void OnLoadImage(wxCommandEvent& event);
  // The text road of a new source: "Load text" and "Open text" (also the T key).
  void OnLoadText(wxCommandEvent& event);
  void OnTextKey(wxKeyEvent& event);
  void OnPrintCommand(wxCommandEvent& event);
  // The "Edit" menu: Cut, Copy and Paste under the pointer.
  void OnContextMenu(wxContextMenuEvent& event);
  void OnUpdateCut(wxUpdateUIEvent& event);

  // Mouse and keys.
  void BindMouseAndKeys();
  void OnLButtonDown(wxMouseEvent& event);
  void OnLButtonUp(wxMouseEvent& event);
  void OnMouseMove(wxMouseEvent& event);
  void OnRButtonDown(wxMouseEvent& event);
  void OnRButtonUp(wxMouseEvent& event);
  void OnCaptureLost(wxMouseCaptureLostEvent& event);
  void OnChar(wxKeyEvent& event);
  void OnKeyDown(wxKeyEvent& event);
  void OnKeyUp(wxKeyEvent& event);
  void OnMouseWheel(wxMouseEvent& event);
  void EndSourceDrag(vpoint end);
  void EndBox(vpoint end);
  // Sends a move/size command to the properties pane, as its keys would.
  void SendPaneCommand(int id);
  // Presents the target with a dotted line between two logical points over it.
  void DrawDragLine(vpoint from, vpoint to);

  // Placement commands.
  void BindPlacementCommands();
  void OnMoveSizeCommand(wxCommandEvent& event);
  void OnShoveTopLeft(wxCommandEvent& event);
  void OnMirrorSource(wxCommandEvent& event);
  void OnAdjoinSources(wxCommandEvent& event);
  void BindViewCommands();
  // Doubles or halves text source t's font height and draws the text again.
  void StepTextFont(int t, bool up);
  // Sets fit_scale and display_scale for the current client and target sizes.
  void FitTargetToClient();
  // Composes pixels over the gradient into the display surface; true when failed.
  bool ComposePresentation(const bgra* pixels);
  void StrokeBlendingBox(cairo_t* cr) const;
  // Paints the display surface as it stands and sends it to the screen now, also
  // from inside a loop that handles no events.
  void ShowDisplay();

  cairo_surface_t* display = nullptr;
  // The gradient alone at the display's size, painted once a size.
  cairo_surface_t* backdrop = nullptr;
  // The display surface was composed by a presentation that has not been painted yet.
  bool display_fresh = false;
  // A left press in this view started a drag that has not ended.
  bool left_drag = false;
  // The capture was taken by a right press.
  bool right_capture = false;
  // The space bar went down here and has not come up: source 1 shows meanwhile.
  bool space_held = false;
};
