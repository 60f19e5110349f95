#include "ui/batch/batch_pictures.h"

#include <wx/dcmemory.h>
#include <wx/graphics.h>

#include <memory>

namespace {

constexpr int picture_width = 300;
constexpr int picture_height = 66;
const wxColour ink(40, 40, 40);
const wxColour arrow_blue(30, 90, 220);
const wxColour folder_yellow(240, 200, 90);

void Folder(wxGraphicsContext& gc, double x, double y) {
  gc.SetPen(wxPen(ink));
  gc.SetBrush(wxBrush(folder_yellow));
  wxGraphicsPath tab = gc.CreatePath();
  tab.MoveToPoint(x, y + 4);
  tab.AddLineToPoint(x + 12, y + 4);
  tab.AddLineToPoint(x + 16, y + 8);
  tab.AddLineToPoint(x + 40, y + 8);
  tab.AddLineToPoint(x + 40, y + 34);
  tab.AddLineToPoint(x, y + 34);
  tab.CloseSubpath();
  gc.DrawPath(tab);
  gc.SetBrush(wxBrush(folder_yellow.ChangeLightness(112)));
  gc.DrawRectangle(x, y + 12, 40, 22);
}

void Photograph(wxGraphicsContext& gc, double x, double y) {
  gc.SetPen(wxPen(ink));
  gc.SetBrush(wxBrush(wxColour(250, 250, 250)));
  gc.DrawRectangle(x, y + 2, 44, 32);
  gc.SetBrush(wxBrush(wxColour(120, 180, 240)));
  gc.DrawRectangle(x + 3, y + 5, 38, 26);
  gc.SetPen(*wxTRANSPARENT_PEN);
  gc.SetBrush(wxBrush(wxColour(250, 210, 60)));
  gc.DrawEllipse(x + 29, y + 8, 8, 8);
  gc.SetBrush(wxBrush(wxColour(60, 140, 60)));
  wxGraphicsPath hills = gc.CreatePath();
  hills.MoveToPoint(x + 3, y + 31);
  hills.AddLineToPoint(x + 16, y + 15);
  hills.AddLineToPoint(x + 26, y + 25);
  hills.AddLineToPoint(x + 31, y + 20);
  hills.AddLineToPoint(x + 41, y + 31);
  hills.CloseSubpath();
  gc.FillPath(hills);
}

void TextNote(wxGraphicsContext& gc, double x, double y) {
  gc.SetPen(wxPen(ink, 2));
  gc.SetBrush(wxBrush(wxColour(255, 252, 220)));
  gc.DrawRectangle(x, y + 2, 48, 32);
  gc.SetFont(wxFont(wxFontInfo(7)), ink);
  gc.DrawText("Text", x + 5, y + 6);
  gc.DrawText("from file", x + 5, y + 18);
}

void Arrow(wxGraphicsContext& gc, double from, double to, double y) {
  gc.SetPen(wxPen(arrow_blue, 3));
  gc.StrokeLine(from, y, to, y);
  const double head = to > from ? -7 : 7;
  gc.SetPen(*wxTRANSPARENT_PEN);
  gc.SetBrush(wxBrush(arrow_blue));
  wxGraphicsPath tip = gc.CreatePath();
  tip.MoveToPoint(to, y);
  tip.AddLineToPoint(to + head, y - 5);
  tip.AddLineToPoint(to + head, y + 5);
  tip.CloseSubpath();
  gc.FillPath(tip);
}

void Caption(wxGraphicsContext& gc, const wxString& text, double centre) {
  gc.SetFont(wxFont(wxFontInfo(7)), ink);
  double width = 0, height = 0;
  gc.GetTextExtent(text, &width, &height);
  gc.DrawText(text, centre - width / 2, picture_height - height - 2);
}

}  // namespace

wxBitmap BatchKindPicture(int kind) {
  wxBitmap bitmap(picture_width, picture_height, 24);
  wxMemoryDC dc(bitmap);
  dc.SetBackground(*wxWHITE_BRUSH);
  dc.Clear();
  const std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(dc));
  if (!gc) return bitmap;

  if (kind == 1)
    TextNote(*gc, 26, 4);
  else if (kind == 2)
    Folder(*gc, 30, 4);
  else
    Photograph(*gc, 28, 4);
  Folder(*gc, 130, 4);
  Folder(*gc, 232, 4);
  Arrow(*gc, 80, 124, 22);
  Arrow(*gc, 226, 176, 22);

  static const char* const source1_captions[3] = {"Source 1 fixed", "Source 1 text",
                                                  "Source 1 directory"};
  Caption(*gc, source1_captions[kind >= 0 && kind <= 2 ? kind : 0], 50);
  Caption(*gc, "Output directory", 150);
  Caption(*gc, "Source 2 directory", 252);
  return bitmap;
}
