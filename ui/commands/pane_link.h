#pragma once
#include <wx/gdicmn.h>

// What the view and the dialogs ask of the properties pane. The pane registers itself
// here while it lives, so that they need no more than this of it; null without a pane.
class pane_link {
 public:
  // A pane command that comes without a control: dropped when its rule disables it.
  virtual void RunPaneCommand(int command) = 0;
  // Flip button of source s back to its first image and the source unflipped.
  virtual void ResetFlipButton(int s) = 0;
  // The grid's method, contrast type and effect show their starting options again;
  // their change handlers do not run.
  virtual void ShowCombiningStarts() = 0;
  // The pointer has been over the view: the pane may show its next hover tip.
  virtual void AllowTip() = 0;
  // The viewing scale taken from the pane's scale slider, and its label showing it.
  virtual void TakeViewingScaleFromSlider() = 0;
  // Where the pane lies on the screen, for a dialog laid over it.
  virtual wxRect PaneScreenRect() const = 0;
  // The grid's scale of source s (1 or 2) on an axis (1 horizontal, 0 vertical);
  // fallback while the grid has no such row.
  virtual long SourceScale(int s, int axis, long fallback) const = 0;
  // Shows value as that scale; nothing while the grid has no such row.
  virtual void ShowSourceScale(int s, int axis, long value) = 0;

 protected:
  ~pane_link() = default;
};

inline pane_link* the_pane_link = nullptr;
