#pragma once

class CvorbelViewCore;
class wxWindow;

// What the dialogs ask of the view beyond its engine core. The view's window class
// derives from it, so that a dialog given the view, or finding it through the_view,
// needs no more than this of it; a core without a window is no view_link.
class view_link {
 public:
  // The view's window, the parent of the dialogs it opens.
  virtual wxWindow* Window() = 0;
  // The engine state and operations the dialogs change.
  virtual CvorbelViewCore& Core() = 0;
  // The dotted outline of the blending box, over what the window shows.
  virtual void DrawBlendingBox() = 0;
  // Start buttons while fewer than two sources are loaded; with two, both layers and
  // the target rebuilt.
  virtual void RefreshSources() = 0;
  // Source s (1 or 2) from the clipboard's image; true when it was filled. A new
  // (not replacing) source is counted in once its image is in.
  virtual bool PasteIntoSource(bool replacing, int s) = 0;
  // Source s from a pattern chosen in the generator's dialog; true when it was made.
  virtual bool CreateSoftwareSource(bool replacing, int s) = 0;

 protected:
  ~view_link() = default;
};
