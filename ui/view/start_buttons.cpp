#include "ui/view/start_buttons.h"

#include <memory>

#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/graphics.h>

#include "ui/commands/command_ids.h"
#include "ui/view/view.h"

namespace {

struct button_spec {
  int command;
  int left;
  const char* caption;
};

const button_spec buttons[4] = {
    {cmd_load_image, 100, "Load Image"},
    {cmd_load_text, 200, "Load Text"},
    {WxId(cmd_paste), 300, "Paste"},
    {cmd_view_customize, 400, "Blank"},
};

constexpr int top_edge = 90;

void DrawPictureIcon(wxGraphicsContext& gc) {
  gc.SetPen(wxPen(wxColour(60, 60, 70)));
  gc.SetBrush(wxBrush(wxColour(150, 200, 245)));
  gc.DrawRectangle(26, 6, 28, 20);
  gc.SetPen(*wxTRANSPARENT_PEN);
  gc.SetBrush(wxBrush(wxColour(250, 210, 60)));
  gc.DrawEllipse(44, 9, 6, 6);
  wxGraphicsPath hills = gc.CreatePath();
  hills.MoveToPoint(27, 25);
  hills.AddLineToPoint(35, 14);
  hills.AddLineToPoint(41, 21);
  hills.AddLineToPoint(45, 17);
  hills.AddLineToPoint(53, 25);
  hills.CloseSubpath();
  gc.SetBrush(wxBrush(wxColour(70, 150, 70)));
  gc.FillPath(hills);
}

void DrawTextIcon(wxGraphicsContext& gc) {
  wxFont font(wxFontInfo(17).Family(wxFONTFAMILY_ROMAN).Bold());
  gc.SetFont(font, wxColour(30, 50, 130));
  double w, h;
  gc.GetTextExtent("Aa", &w, &h);
  gc.DrawText("Aa", (80 - w) / 2, 16 - h / 2);
}

void DrawClipboardIcon(wxGraphicsContext& gc) {
  gc.SetPen(wxPen(wxColour(90, 60, 30)));
  gc.SetBrush(wxBrush(wxColour(170, 120, 60)));
  gc.DrawRoundedRectangle(30, 5, 20, 23, 2);
  gc.SetPen(wxPen(wxColour(120, 120, 120)));
  gc.SetBrush(*wxWHITE_BRUSH);
  gc.DrawRectangle(33, 9, 14, 16);
  gc.SetBrush(wxBrush(wxColour(160, 160, 170)));
  gc.DrawRoundedRectangle(35, 3, 10, 5, 1.5);
  gc.SetPen(wxPen(wxColour(150, 150, 160)));
  for (int y = 13; y <= 21; y += 4) gc.StrokeLine(35, y, 45, y);
}

void DrawBlankPageIcon(wxGraphicsContext& gc) {
  wxGraphicsPath page = gc.CreatePath();
  page.MoveToPoint(32, 4);
  page.AddLineToPoint(43, 4);
  page.AddLineToPoint(49, 10);
  page.AddLineToPoint(49, 28);
  page.AddLineToPoint(32, 28);
  page.CloseSubpath();
  gc.SetPen(wxPen(wxColour(90, 90, 100)));
  gc.SetBrush(*wxWHITE_BRUSH);
  gc.DrawPath(page);
  wxGraphicsPath fold = gc.CreatePath();
  fold.MoveToPoint(43, 4);
  fold.AddLineToPoint(43, 10);
  fold.AddLineToPoint(49, 10);
  gc.StrokePath(fold);
}

}  // namespace

wxBitmap StartButtonFace(int which, bool pressed) {
  wxBitmap face(start_button::width, start_button::height, 24);
  {
    wxMemoryDC dc(face);
    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(dc));
    const int w = start_button::width, h = start_button::height;
    wxColour light(252, 252, 253), shade(212, 220, 232);
    gc->SetBrush(gc->CreateLinearGradientBrush(0, 0, 0, h, pressed ? shade : light,
                                               pressed ? light : shade));
    gc->SetPen(*wxTRANSPARENT_PEN);
    gc->DrawRectangle(0, 0, w, h);
    // Raised when up, sunken when pressed: the light and dark bevel edges swap.
    wxColour lit(255, 255, 255), dim(128, 136, 150);
    gc->SetPen(wxPen(pressed ? dim : lit));
    gc->StrokeLine(1.5, h - 1.5, 1.5, 1.5);
    gc->StrokeLine(1.5, 1.5, w - 1.5, 1.5);
    gc->SetPen(wxPen(pressed ? lit : dim));
    gc->StrokeLine(w - 1.5, 1.5, w - 1.5, h - 1.5);
    gc->StrokeLine(w - 1.5, h - 1.5, 1.5, h - 1.5);
    gc->SetPen(wxPen(wxColour(70, 76, 90)));
    gc->SetBrush(*wxTRANSPARENT_BRUSH);
    gc->DrawRectangle(0.5, 0.5, w - 1, h - 1);

    if (pressed) gc->Translate(1, 1);
    switch (which) {
      case 0: DrawPictureIcon(*gc); break;
      case 1: DrawTextIcon(*gc); break;
      case 2: DrawClipboardIcon(*gc); break;
      default: DrawBlankPageIcon(*gc); break;
    }
    gc->SetFont(wxFont(wxFontInfo(7).Family(wxFONTFAMILY_SWISS)), wxColour(20, 20, 30));
    double tw, th;
    gc->GetTextExtent(buttons[which].caption, &tw, &th);
    gc->DrawText(buttons[which].caption, (w - tw) / 2, h - 6 - th);
  }
  return face;
}

int start_button::CommandOf(int which) { return buttons[which].command; }

wxRect start_button::RectOf(int which) {
  return wxRect(buttons[which].left, top_edge, width, height);
}

start_button::start_button(wxWindow* parent, int which)
    : wxWindow(parent, CommandOf(which), RectOf(which).GetPosition(), RectOf(which).GetSize(),
               wxBORDER_NONE | wxWANTS_CHARS),
      up(StartButtonFace(which, false)),
      down(StartButtonFace(which, true)) {
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  Bind(wxEVT_PAINT, &start_button::OnPaint, this);
  Bind(wxEVT_LEFT_DOWN, &start_button::OnLeftDown, this);
  Bind(wxEVT_LEFT_DCLICK, &start_button::OnLeftDown, this);
  Bind(wxEVT_LEFT_UP, &start_button::OnLeftUp, this);
  Bind(wxEVT_MOTION, &start_button::OnMotion, this);
  Bind(wxEVT_MOUSE_CAPTURE_LOST, &start_button::OnCaptureLost, this);
  Bind(wxEVT_KEY_DOWN, &start_button::OnKeyDown, this);
}

void start_button::Click() {
  // Queued on the parent: the command may destroy this button (a second source
  // removes the start buttons), so the button must not be on the stack by then.
  auto* command = new wxCommandEvent(wxEVT_MENU, GetId());
  command->SetEventObject(GetParent());
  wxQueueEvent(GetParent(), command);
}

void start_button::OnPaint(wxPaintEvent&) {
  wxPaintDC dc(this);
  dc.DrawBitmap(pressed ? down : up, 0, 0);
}

void start_button::OnLeftDown(wxMouseEvent&) {
  SetFocus();
  if (!HasCapture()) CaptureMouse();
  holding = pressed = true;
  Refresh(false);
}

void start_button::OnMotion(wxMouseEvent& event) {
  if (!holding) return;
  bool inside = GetClientRect().Contains(event.GetPosition());
  if (inside != pressed) {
    pressed = inside;
    Refresh(false);
  }
}

void start_button::OnLeftUp(wxMouseEvent& event) {
  if (!holding) return;
  if (HasCapture()) ReleaseMouse();
  bool clicked = GetClientRect().Contains(event.GetPosition());
  holding = pressed = false;
  Refresh(false);
  if (clicked) Click();
}

void start_button::OnCaptureLost(wxMouseCaptureLostEvent&) {
  holding = pressed = false;
  Refresh(false);
}

void start_button::OnKeyDown(wxKeyEvent& event) {
  int key = event.GetKeyCode();
  if (key == WXK_SPACE || key == WXK_RETURN || key == WXK_NUMPAD_ENTER)
    Click();
  else
    event.Skip();
}

void CvorbelView::CreateStartButtons() {
  for (int i = 0; i < 4; ++i) {
    if (start_buttons[i]) return;
    start_buttons[i] = new start_button(this, i);
  }
}

void CvorbelView::DestroyStartButtons() {
  for (start_button*& button : start_buttons) {
    if (button) button->Destroy();
    button = nullptr;
  }
}
