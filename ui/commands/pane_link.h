#pragma once

// What the view asks of the properties pane. The pane registers itself here while it
// lives, so that the view needs no more than this of it; null without a pane.
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

 protected:
  ~pane_link() = default;
};

inline pane_link* the_pane_link = nullptr;
