#pragma once
#include <wx/bitmap.h>
#include <wx/icon.h>

// The program's icon, drawn: two overlapping squares in the colours that stand for
// source 1 and source 2, their overlap in between.
wxIcon ApplicationIcon(int size);

// The properties pane's small caption icon; hi_colour picks the shaded version.
wxBitmap PaneIcon(bool hi_colour, int size);
