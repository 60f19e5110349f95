#include "ui/app/app_icon.h"

#include <wx/dcmemory.h>

namespace {

const wxColour source_1(0xFF, 0xC0, 0xC0);
const wxColour source_2(0x99, 0xFF, 0x66);
const wxColour overlap(0xCC, 0xDF, 0x93);

wxBitmap Squares(int size, bool shaded) {
  wxBitmap bitmap(size, size, 24);
  wxMemoryDC dc(bitmap);
  dc.SetBackground(*wxWHITE_BRUSH);
  dc.Clear();
  const int side = size * 5 / 8;
  const int shift = size - side;
  dc.SetPen(wxPen(wxColour(0x40, 0x40, 0x40)));
  dc.SetBrush(wxBrush(source_1));
  dc.DrawRectangle(0, 0, side, side);
  dc.SetBrush(wxBrush(source_2));
  dc.DrawRectangle(shift, shift, side, side);
  dc.SetBrush(wxBrush(shaded ? overlap : source_2));
  dc.DrawRectangle(shift, shift, side - shift, side - shift);
  dc.SelectObject(wxNullBitmap);
  return bitmap;
}

}  // namespace

wxIcon ApplicationIcon(int size) {
  wxIcon icon;
  icon.CopyFromBitmap(Squares(size, true));
  return icon;
}

wxBitmap PaneIcon(bool hi_colour, int size) { return Squares(size, hi_colour); }
