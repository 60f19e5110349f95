#pragma once
#include <wx/dc.h>
#include <wx/window.h>

#include <cstdint>

#include "sources/tip_layout.h"

// Measures texts in a window's font: a blank line still has the font's height.
text_measure MeasureIn(const wxWindow* window, const wxFont& font);

// Paints a tip laid out by layout: the background colour (a COLORREF) over the
// whole box, the lines on it, and a one-pixel frame along the box's edges.
void PaintTipBox(wxDC& dc, const tip_layout& layout, uint32_t background, const wxFont& font);
