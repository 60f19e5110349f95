#pragma once
#include <wx/bitmap.h>

// The pane's button and toolbar images, drawn in code and kept by id: the command
// numbers of the buttons and tools, and the extra looks of the flip, centring and
// font-size buttons. An unknown id gives an empty 20 x 20 image.
const wxBitmap& PaneImage(int id);
