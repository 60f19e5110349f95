#pragma once
class wxDialog;
class wxWindow;

// Makes the modeless blending-zone dialog for a box dragged out in the view, which
// parents it; null while the program has no such dialog.
extern wxDialog* (*make_blend_dialog)(wxWindow* view);
