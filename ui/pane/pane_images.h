#pragma once
#include <wx/bitmap.h>
#include <wx/bmpbndl.h>

// The pane's button and toolbar images, drawn in code and kept by id: the command
// numbers of the buttons and tools, and the extra looks of the flip, centring and
// font-size buttons. An unknown id gives an empty 20 x 20 image. scale is the
// number of pixels per logical pixel: the image keeps its logical size.
const wxBitmap& PaneImage(int id, double scale = 1.0);
// The image at one and at two pixels per logical pixel, for toolbars.
wxBitmapBundle PaneImages(int id);
