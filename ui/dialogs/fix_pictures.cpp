#include "ui/dialogs/fix_pictures.h"

#include <wx/dcmemory.h>

namespace {

// The offsets of the nine fix points within a w x h box, in fix-position order:
// Left, Top Left, Top, Top Right, Right, Bottom Right, Bottom, Bottom Left, Middle.
constexpr int column_of[9] = {0, 0, 1, 2, 2, 2, 1, 0, 1};
constexpr int row_of[9] = {1, 0, 0, 0, 1, 2, 2, 2, 1};

}  // namespace

wxBitmap FixPicture(int s, int fix) {
  wxBitmap picture(fix_picture_width, fix_picture_height, 24);
  wxMemoryDC dc(picture);
  dc.SetBackground(wxBrush(wxColour(250, 250, 250)));
  dc.Clear();
  // The source as the status bar's indicator colours it.
  const wxRect box(4, 4, fix_picture_width - 8, fix_picture_height - 8);
  dc.SetPen(wxPen(wxColour(96, 96, 96)));
  dc.SetBrush(wxBrush(s == 1 ? wxColour(255, 192, 192) : wxColour(153, 255, 102)));
  dc.DrawRectangle(box);
  if (fix >= 0 && fix <= 8) {
    const int x = box.x + column_of[fix] * (box.width - 1) / 2;
    const int y = box.y + row_of[fix] * (box.height - 1) / 2;
    dc.SetPen(wxPen(wxColour(0, 64, 160)));
    dc.SetBrush(wxBrush(wxColour(0, 128, 255)));
    dc.DrawCircle(x, y, 3);
  }
  dc.SelectObject(wxNullBitmap);
  return picture;
}
