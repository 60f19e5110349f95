#include "ui/pane/pane_images.h"

#include <wx/brush.h>
#include <wx/graphics.h>
#include <wx/pen.h>

#include <algorithm>
#include <cmath>
#include <wx/image.h>

#include <map>

#include "ui/commands/pane_command_ids.h"

namespace {

const wxColour source_1_colour(255, 192, 192);  // the source colours of the strips
const wxColour source_2_colour(153, 255, 102);
const wxColour ink(40, 40, 60);
const wxColour accent(30, 110, 200);

wxColour SourceColour(int s) { return s == 1 ? source_1_colour : source_2_colour; }

// The pixels per logical pixel of the images being drawn.
double drawing_scale = 1.0;

// A transparent image of width x height logical pixels, drawn at drawing_scale.
struct canvas {
  wxImage image;
  wxGraphicsContext* gc;
  int w, h;
  canvas(int width, int height)
      : image(int(width * drawing_scale), int(height * drawing_scale)), w(width), h(height) {
    image.InitAlpha();
    unsigned char* alpha = image.GetAlpha();
    std::fill(alpha, alpha + image.GetWidth() * image.GetHeight(), 0);
    gc = wxGraphicsContext::Create(image);
    gc->SetAntialiasMode(wxANTIALIAS_DEFAULT);
    gc->Scale(drawing_scale, drawing_scale);
  }
  wxBitmap Finish() {
    delete gc;
    gc = nullptr;
    return wxBitmap(image);
  }
  void Box(double x, double y, double bw, double bh, const wxColour& fill,
           const wxColour& line = ink, double pen = 1.0) {
    gc->SetPen(wxPen(line, int(pen)));
    gc->SetBrush(wxBrush(fill));
    gc->DrawRectangle(x, y, bw, bh);
  }
  void Text(const wxString& text, double size, const wxColour& colour, double cx, double cy) {
    wxFont font(wxFontInfo(size).Bold().Family(wxFONTFAMILY_SWISS));
    gc->SetFont(font, colour);
    double tw, th;
    gc->GetTextExtent(text, &tw, &th);
    gc->DrawText(text, cx - tw / 2, cy - th / 2);
  }
  void Arrow(double x0, double y0, double x1, double y1, const wxColour& colour, double pen) {
    gc->SetPen(wxPen(colour, int(pen)));
    gc->StrokeLine(x0, y0, x1, y1);
    const double dx = x1 - x0, dy = y1 - y0;
    const double length = std::sqrt(dx * dx + dy * dy);
    if (length <= 0) return;
    const double ux = dx / length, uy = dy / length, head = 2.5 * pen + 2;
    wxGraphicsPath tip = gc->CreatePath();
    tip.MoveToPoint(x1 + ux * 1.5, y1 + uy * 1.5);
    tip.AddLineToPoint(x1 - ux * head - uy * head * 0.7, y1 - uy * head + ux * head * 0.7);
    tip.AddLineToPoint(x1 - ux * head + uy * head * 0.7, y1 - uy * head - ux * head * 0.7);
    tip.CloseSubpath();
    gc->SetBrush(wxBrush(colour));
    gc->SetPen(*wxTRANSPARENT_PEN);
    gc->FillPath(tip);
  }
};

// A target frame with a source block placed at (fx, fy), each 0 left/top, 0.5
// middle, 1 right/bottom.
wxBitmap Placed(int size, int s, double fx, double fy) {
  canvas c(size, size);
  const double m = 1.5, t = size - 3.0;
  c.Box(m, m, t, t, *wxWHITE);
  const double b = t * 0.5;
  c.Box(m + (t - b) * fx, m + (t - b) * fy, b, b, SourceColour(s), ink);
  c.Text(s == 1 ? "1" : "2", size * 0.28, ink, m + (t - b) * fx + b / 2, m + (t - b) * fy + b / 2);
  return c.Finish();
}

// A source picture with its number; the large buttons and the step tools use it.
void Picture(canvas& c, double x, double y, double w, double h, int s) {
  c.Box(x, y, w, h, SourceColour(s));
  wxGraphicsPath hill = c.gc->CreatePath();
  hill.MoveToPoint(x + 1, y + h - 1);
  hill.AddLineToPoint(x + w * 0.35, y + h * 0.45);
  hill.AddLineToPoint(x + w * 0.6, y + h * 0.75);
  hill.AddLineToPoint(x + w * 0.75, y + h * 0.6);
  hill.AddLineToPoint(x + w - 1, y + h - 1);
  hill.CloseSubpath();
  c.gc->SetBrush(wxBrush(wxColour(90, 140, 90)));
  c.gc->SetPen(*wxTRANSPARENT_PEN);
  c.gc->FillPath(hill);
  c.Text(s == 1 ? "1" : "2", h * 0.45, ink, x + w * 0.72, y + h * 0.3);
}

wxBitmap ChangeSource(int s) {
  canvas c(48, 48);
  Picture(c, 4, 10, 28, 24, s);
  c.Box(20, 24, 24, 20, *wxWHITE, ink);
  c.Text("T", 13, accent, 32, 34);
  c.Arrow(36, 6, 44, 16, accent, 2);
  return c.Finish();
}

wxBitmap Update() {
  canvas c(48, 48);
  c.gc->SetPen(wxPen(accent, 3));
  c.gc->SetBrush(wxBrush(wxColour(220, 236, 255)));
  c.gc->DrawEllipse(6, 6, 36, 36);
  c.gc->SetPen(wxPen(accent, 2));
  c.gc->StrokeLine(24, 6, 24, 42);
  c.gc->StrokeLine(6, 24, 42, 24);
  c.gc->SetBrush(*wxTRANSPARENT_BRUSH);
  c.gc->DrawEllipse(15, 6, 18, 36);
  return c.Finish();
}

wxBitmap Batch() {
  canvas c(48, 48);
  for (int i = 2; i >= 0; --i) Picture(c, 4 + i * 5, 6 + i * 5, 26, 20, i == 0 ? 1 : 2);
  wxGraphicsPath play = c.gc->CreatePath();
  play.MoveToPoint(30, 28);
  play.AddLineToPoint(44, 36);
  play.AddLineToPoint(30, 44);
  play.CloseSubpath();
  c.gc->SetBrush(wxBrush(accent));
  c.gc->SetPen(*wxTRANSPARENT_PEN);
  c.gc->FillPath(play);
  return c.Finish();
}

wxBitmap Mirror(int s, bool flipped) {
  canvas c(24, 24);
  c.gc->SetPen(wxPen(ink, 1));
  c.gc->StrokeLine(12, 1, 12, 23);
  wxGraphicsPath left = c.gc->CreatePath();
  left.MoveToPoint(10, 4);
  left.AddLineToPoint(10, 20);
  left.AddLineToPoint(2, 20);
  left.CloseSubpath();
  wxGraphicsPath right = c.gc->CreatePath();
  right.MoveToPoint(14, 4);
  right.AddLineToPoint(14, 20);
  right.AddLineToPoint(22, 20);
  right.CloseSubpath();
  c.gc->SetBrush(wxBrush(flipped ? *wxWHITE : SourceColour(s)));
  c.gc->DrawPath(left);
  c.gc->SetBrush(wxBrush(flipped ? SourceColour(s) : *wxWHITE));
  c.gc->DrawPath(right);
  c.Text(s == 1 ? "1" : "2", 6, ink, flipped ? 18 : 6, 8);
  return c.Finish();
}

wxBitmap MoveSize(int s) {
  canvas c(20, 20);
  c.Box(4, 4, 12, 12, s == 0 ? *wxWHITE : SourceColour(s));
  for (double x : {2.0, 8.5, 15.0})
    for (double y : {2.0, 8.5, 15.0})
      if (x != 8.5 || y != 8.5) c.Box(x, y, 3, 3, s == 0 ? wxColour(200, 200, 200) : ink, ink);
  if (s == 0) {
    c.gc->SetPen(wxPen(wxColour(200, 30, 30), 2));
    c.gc->StrokeLine(5, 5, 15, 15);
    c.gc->StrokeLine(15, 5, 5, 15);
  } else {
    c.Text(s == 1 ? "1" : "2", 6, ink, 10, 10);
  }
  return c.Finish();
}

wxBitmap Sizes() {
  canvas c(24, 24);
  c.Box(2, 5, 12, 12, source_1_colour);
  c.Box(10, 9, 12, 12, source_2_colour);
  c.Arrow(13, 3, 21, 3, accent, 1);
  c.Arrow(22, 10, 22, 20, accent, 1);
  return c.Finish();
}

wxBitmap FontSize(bool up) {
  canvas c(20, 16);
  c.Text("A", up ? 10 : 7, ink, 7, 8);
  c.Arrow(16, up ? 13 : 3, 16, up ? 3 : 13, accent, 1);
  return c.Finish();
}

wxBitmap BaseColour() {
  canvas c(20, 20);
  c.Box(1.5, 1.5, 17, 17, wxColour(0, 0, 0));
  c.Box(5, 5, 10, 10, wxColour(255, 220, 40), wxColour(255, 255, 255));
  return c.Finish();
}

wxBitmap Rotate() {
  canvas c(20, 20);
  c.gc->SetPen(wxPen(accent, 2));
  wxGraphicsPath arc = c.gc->CreatePath();
  arc.AddArc(10, 10, 7, 0.3, 5.2, true);
  c.gc->StrokePath(arc);
  c.Arrow(15, 5.5, 16.5, 8.5, accent, 2);
  c.Box(7, 7, 6, 6, source_1_colour);
  return c.Finish();
}

wxBitmap StepFile(int s, bool next) {
  canvas c(20, 20);
  Picture(c, next ? 1 : 7, 4, 12, 12, s);
  c.Arrow(next ? 13 : 7, 17, next ? 19 : 1, 17, accent, 2);
  return c.Finish();
}

wxBitmap Adjoin(int left) {
  canvas c(20, 20);
  c.Box(1.5, 4.5, 8, 11, SourceColour(left));
  c.Box(10.5, 4.5, 8, 11, SourceColour(3 - left));
  c.Text(left == 1 ? "1" : "2", 6, ink, 5.5, 10);
  c.Text(left == 1 ? "2" : "1", 6, ink, 14.5, 10);
  return c.Finish();
}

wxBitmap ResetAll() {
  canvas c(20, 20);
  c.gc->SetPen(wxPen(wxColour(200, 60, 30), 2));
  wxGraphicsPath arc = c.gc->CreatePath();
  arc.AddArc(10, 10, 7, 3.6, 2.6, true);
  c.gc->StrokePath(arc);
  c.Arrow(4.5, 6, 3.5, 3, wxColour(200, 60, 30), 2);
  c.Text("0", 6, ink, 10, 10);
  return c.Finish();
}

wxBitmap RemoveBlending() {
  canvas c(20, 20);
  wxGraphicsPath band = c.gc->CreatePath();
  band.MoveToPoint(2, 13);
  band.AddLineToPoint(11, 4);
  band.AddLineToPoint(18, 11);
  band.AddLineToPoint(12, 17);
  band.AddLineToPoint(6, 17);
  band.CloseSubpath();
  c.gc->SetBrush(wxBrush(wxColour(250, 170, 190)));
  c.gc->SetPen(wxPen(ink, 1));
  c.gc->DrawPath(band);
  c.gc->StrokeLine(7, 8.5, 14, 15.5);
  return c.Finish();
}

wxBitmap FixPositions() {
  canvas c(20, 20);
  c.Box(1.5, 1.5, 17, 17, *wxWHITE);
  c.gc->SetPen(wxPen(accent, 2));
  c.gc->StrokeLine(10, 3, 10, 17);
  c.gc->StrokeLine(3, 10, 17, 10);
  c.Box(7, 7, 6, 6, accent, accent);
  return c.Finish();
}

wxBitmap Draw(int id) {
  switch (id) {
    case cmd_change_source_1:
    case cmd_change_source_2:
      return ChangeSource(id == cmd_change_source_1 ? 1 : 2);
    case cmd_web_update:
      return Update();
    case cmd_vorbel_button:
      return Batch();
    case cmd_mirror_1:
    case cmd_mirror_2:
      return Mirror(id == cmd_mirror_1 ? 1 : 2, false);
    case image_mirrored_1:
    case image_mirrored_2:
      return Mirror(id == image_mirrored_1 ? 1 : 2, true);
    case cmd_place_1_middle:
    case cmd_place_2_middle:
      return Placed(24, id == cmd_place_1_middle ? 1 : 2, 0.5, 0.5);
    case image_middle_1_top:
    case image_middle_2_top:
      return Placed(24, id == image_middle_1_top ? 1 : 2, 0.5, 0.0);
    case image_middle_1_bottom:
    case image_middle_2_bottom:
      return Placed(24, id == image_middle_1_bottom ? 1 : 2, 0.5, 1.0);
    case image_middle_1_left:
    case image_middle_2_left:
      return Placed(24, id == image_middle_1_left ? 1 : 2, 0.0, 0.5);
    case image_middle_1_right:
    case image_middle_2_right:
      return Placed(24, id == image_middle_1_right ? 1 : 2, 1.0, 0.5);
    case cmd_sizes:
      return Sizes();
    case cmd_place_1_position_1:
      return MoveSize(1);
    case cmd_place_1_position_2:
      return MoveSize(2);
    case cmd_positioning_off:
      return MoveSize(0);
    case image_font_up:
    case image_font_down:
      return FontSize(id == image_font_up);
    case cmd_base_color:
      return BaseColour();
    case cmd_rotate:
      return Rotate();
    case cmd_previous_source_1_file:
      return StepFile(1, false);
    case cmd_next_source_1_file:
      return StepFile(1, true);
    case cmd_previous_source_2_file:
      return StepFile(2, false);
    case cmd_next_source_2_file:
      return StepFile(2, true);
    case cmd_adjoin_1_2:
      return Adjoin(1);
    case cmd_adjoin_2_1:
      return Adjoin(2);
    case cmd_reset_all:
      return ResetAll();
    case cmd_remove_blending:
      return RemoveBlending();
    case cmd_place_1_top_left:
    case cmd_place_1_top_right:
    case cmd_place_1_bottom_left:
    case cmd_place_1_bottom_right:
    case cmd_place_2_top_left:
    case cmd_place_2_top_right:
    case cmd_place_2_bottom_left:
    case cmd_place_2_bottom_right: {
      const int corner = (id - cmd_place_1_top_left) % 4;  // top left, top right, bottom left, bottom right
      return Placed(20, id < cmd_place_2_top_left ? 1 : 2, corner % 2, corner / 2);
    }
    case cmd_fix_positions:
      return FixPositions();
    default:
      break;
  }
  canvas empty(20, 20);
  return empty.Finish();
}

}  // namespace

const wxBitmap& PaneImage(int id, double scale) {
  static std::map<std::pair<int, double>, wxBitmap> drawn;
  const auto key = std::make_pair(id, scale);
  auto found = drawn.find(key);
  if (found == drawn.end()) {
    drawing_scale = scale;
    const wxBitmap pixels = Draw(id);
    drawing_scale = 1.0;
    found = drawn.emplace(key, wxBitmap(pixels.ConvertToImage(), -1, scale)).first;
  }
  return found->second;
}

wxBitmapBundle PaneImages(int id) {
  return wxBitmapBundle::FromBitmaps(PaneImage(id, 1.0), wxBitmap(PaneImage(id, 2.0).ConvertToImage()));
}
