#pragma once
#include <wx/bitmap.h>

// The batch dialog's 300 x 66 pictures for source-1 kind 0 Fixed, 1 Text or
// 2 Directory: source 1 on the left and the source-2 folder on the right, both
// pointing into the output folder in the middle.
wxBitmap BatchKindPicture(int kind);
