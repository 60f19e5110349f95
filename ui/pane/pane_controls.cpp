#include "ui/pane/pane_controls.h"

#include <wx/dcbuffer.h>
#include <wx/settings.h>

#include <algorithm>
#include <initializer_list>

#include "engine/base/process_state.h"
#include "engine/base/view_core.h"
#include "platform/ui_port.h"
#include "ui/adapters/display_scales.h"
#include "ui/adapters/status_bar.h"
#include "ui/commands/command_rules.h"
#include "ui/commands/pane_command_ids.h"
#include "ui/pane/grid_properties.h"
#include "ui/pane/pane_images.h"
#include "ui/pane/properties_pane.h"
#include "ui/pane/trackbar.h"
#include "ui/view/flying_tips.h"
#include "ui/view/view.h"

namespace {

constexpr size_t shown_name_length = 80;

wxFont PaneFont() { return wxFont(wxFontInfo(8)); }

// Captions are drawn this far in from the left, and keep a little room on the right
// before the frame.
constexpr int caption_x = 10;
constexpr int caption_room_right = 3;
constexpr int caption_height = 20;

// The size a caption control needs to show any of texts whole.
wxSize CaptionSize(const wxWindow& control, std::initializer_list<wxString> texts) {
  const wxFont font = PaneFont();
  int widest = 0;
  for (const wxString& text : texts) {
    int width = 0;
    control.GetTextExtent(text, &width, nullptr, nullptr, nullptr, &font);
    widest = std::max(widest, width);
  }
  return wxSize(caption_x + widest + caption_room_right, caption_height);
}

constexpr const char* view_scale_caption = "Set View Scale %";

// Text at (x, y) on an opaque rectangle of colour that spans the given area.
void OpaqueText(wxDC& dc, const wxString& text, int x, int y, const wxRect& area,
                const wxColour& back, const wxColour& fore = *wxBLACK) {
  dc.SetPen(*wxTRANSPARENT_PEN);
  dc.SetBrush(wxBrush(back));
  dc.DrawRectangle(area);
  dc.SetFont(PaneFont());
  dc.SetTextForeground(fore);
  dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
  dc.DrawText(text, x, y);
}

trackbar* LevelSlider(int kind) {
  if (!the_properties_pane) return nullptr;
  return kind == 0 ? the_properties_pane->contrast_slider : the_properties_pane->brightness_slider;
}

buddy* LevelLabel(int kind) {
  if (!the_properties_pane) return nullptr;
  return kind == 0 ? the_properties_pane->contrast_label : the_properties_pane->brightness_label;
}

}  // namespace

std::string ShortenedFileName(const std::string& name) {
  wxString text = wxString::FromUTF8(name);
  if (text.length() <= shown_name_length) return name;
  text = text.Right(shown_name_length);
  const size_t separator = text.find_first_of("/\\");
  if (separator != wxString::npos) text = ".." + text.Mid(separator);
  return text.utf8_string();
}

file_names::file_names(wxWindow* parent, int id, const wxString& window_text)
    : wxWindow(parent, id, wxDefaultPosition, wxDefaultSize, wxFULL_REPAINT_ON_RESIZE) {
  SetLabel(window_text);
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  back_color = *wxWHITE;
  Bind(wxEVT_PAINT, &file_names::OnPaint, this);
}

void file_names::SetFileName(const std::string& name, int s) {
  back_color = FromColorRef(s == 1 ? 0xC0C0FF : 0x66FF99);
  text = wxString::FromUTF8(ShortenedFileName(name));
}

void file_names::OnPaint(wxPaintEvent&) {
  wxAutoBufferedPaintDC dc(this);
  OpaqueText(dc, text, 0, 0, GetClientRect(), back_color);
}

stats::stats(wxWindow* parent, int id)
    : wxWindow(parent, id, wxDefaultPosition, wxDefaultSize, wxFULL_REPAINT_ON_RESIZE) {
  SetLabel("Status");
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  Bind(wxEVT_PAINT, &stats::OnPaint, this);
}

wxString stats::Line(int line) {
  if (!the_view) return wxString();
  const CvorbelViewCore& v = *the_view;
  switch (line) {
    case 1:
      return wxString::Format("Target image pixels width/height =%d %d", v.target_rect.Width(),
                              v.target_rect.Height());
    case 2:
      return v.zone_applied == 1 ? "Beware: changes will remove blending or 'articulate' effects"
                                 : "";
    case 3:
    case 4: {
      const int i = line - 3;
      const int w = int(v.width_percent[i] * v.fit_factor_x[i] * v.rotated_size[i].width / 100 + 0.5);
      const int h = int(v.height_percent[i] * v.fit_factor_y[i] * v.rotated_size[i].height / 100 + 0.5);
      return wxString::Format("Source %d width = %d  height = %d", i + 1, w, h);
    }
    default:
      return wxString();
  }
}

void stats::Draw(wxDC& dc, const wxSize& size) const {
  wxRect area(size);
  if (source_count != 2) {
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(*wxWHITE_BRUSH);
    dc.DrawRectangle(area);
    dc.SetBrush(wxBrush(FromColorRef(0x4F8070), wxBRUSHSTYLE_CROSSDIAG_HATCH));
    dc.DrawRectangle(area);
    return;
  }
  const float dy = display_scales::dpi_y;
  const int step = int(15 * dy);
  OpaqueText(dc, Line(1), 0, 0, area, *wxWHITE);
  if (the_view && the_view->zone_applied == 1) {
    area.y += step;
    area.height -= step;
    OpaqueText(dc, Line(2), 0, step, area, *wxWHITE, FromColorRef(0x0000FF));
  }
  area.y += step;
  area.height -= step;
  OpaqueText(dc, Line(3), 0, int(30 * dy), area, *wxWHITE);
  area.y += 2 * step;
  area.height -= 2 * step;
  OpaqueText(dc, Line(4), 0, int(45 * dy), area, *wxWHITE);
}

void stats::OnPaint(wxPaintEvent&) {
  wxAutoBufferedPaintDC dc(this);
  Draw(dc, GetClientSize());
}

prompt::prompt(wxWindow* parent, int id, const wxString& window_text, int kind,
               const char* const texts[4])
    : wxWindow(parent, id, wxDefaultPosition, wxDefaultSize, wxFULL_REPAINT_ON_RESIZE),
      kind(kind) {
  SetLabel(window_text);
  for (int i = 0; i < 4; ++i) captions[i] = texts[i];
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  SetCursor(wxCursor(wxCURSOR_HAND));
  Bind(wxEVT_PAINT, &prompt::OnPaint, this);
  Bind(wxEVT_LEFT_DOWN, &prompt::OnLeftDown, this);
  Bind(wxEVT_LEFT_UP, &prompt::OnLeftUp, this);
  Bind(wxEVT_MOUSE_CAPTURE_LOST, [](wxMouseCaptureLostEvent&) {});
}

void prompt::CycleSelection() {
  selection = (selection + 1) % 4;
  Refresh();
  Update();
  // The channels are kept blue, green, red; the selections count red, green, blue.
  int level = 50;
  if (selection != 0 && the_view) {
    const channel_pair& channel = the_view->channel_adjust[3 - selection];
    level = kind == 0 ? channel.contrast : channel.brightness;
  }
  if (trackbar* slider = LevelSlider(kind)) slider->SetValue(level);
  if (buddy* label = LevelLabel(kind)) label->SetText(wxString::Format("%d", level));
}

wxSize prompt::DoGetBestSize() const {
  return CaptionSize(*this, {captions[0], captions[1], captions[2], captions[3]});
}

void prompt::OnPaint(wxPaintEvent&) {
  static const uint32_t backs[4] = {0xFFFFFF, 0x8080FF, 0x80FF80, 0xFF8080};
  wxAutoBufferedPaintDC dc(this);
  const wxRect client = GetClientRect();
  OpaqueText(dc, Caption(), caption_x, 2, client, FromColorRef(backs[selection]));
  dc.SetPen(wxPen(FromColorRef(0xFFFF7F), 1));
  const int right = client.GetRight() + 1, bottom = client.GetBottom() + 1;
  dc.DrawLine(0, 0, right, 0);
  dc.DrawLine(0, 0, 0, bottom - 1);
  dc.DrawLine(0, bottom - 1, right - 1, bottom - 1);
  dc.DrawLine(right - 1, bottom - 1, right - 1, 0);
}

void prompt::OnLeftDown(wxMouseEvent&) {
  if (!HasCapture()) CaptureMouse();
  CycleSelection();
}

void prompt::OnLeftUp(wxMouseEvent&) {
  if (HasCapture()) ReleaseMouse();
}

prompt_view_scale::prompt_view_scale(wxWindow* parent, int id, const wxString& window_text)
    : wxWindow(parent, id, wxDefaultPosition, wxDefaultSize, wxFULL_REPAINT_ON_RESIZE) {
  SetLabel(window_text);
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  Bind(wxEVT_PAINT, &prompt_view_scale::OnPaint, this);
}

wxSize prompt_view_scale::DoGetBestSize() const { return CaptionSize(*this, {view_scale_caption}); }

void prompt_view_scale::OnPaint(wxPaintEvent&) {
  wxAutoBufferedPaintDC dc(this);
  OpaqueText(dc, view_scale_caption, caption_x, 2, GetClientRect(), *wxWHITE);
}

buddy::buddy(wxWindow* parent, int id, const wxString& window_text, wxColour face)
    : wxWindow(parent, id, wxDefaultPosition, wxDefaultSize, wxFULL_REPAINT_ON_RESIZE),
      face(face) {
  SetLabel(window_text);
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  SetCursor(wxCursor(wxCURSOR_HAND));
  Bind(wxEVT_PAINT, &buddy::OnPaint, this);
  Bind(wxEVT_LEFT_DOWN, &buddy::OnLeftDown, this);
}

void buddy::SetText(const wxString& text) {
  SetLabel(text);
  Refresh();
  Update();
}

void buddy::OnPaint(wxPaintEvent&) {
  wxAutoBufferedPaintDC dc(this);
  OpaqueText(dc, GetLabel().Left(31), 0, 2, GetClientRect(), face);
}

void buddy::OnLeftDown(wxMouseEvent&) {
  if (the_properties_pane && this == the_properties_pane->scale_label)
    the_properties_pane->ResetViewScale();
}

font_buddy::font_buddy(wxWindow* parent, int id, const wxString& window_text)
    : buddy(parent, id, window_text, FromColorRef(0xFAF0C8)) {
  SetCursor(wxNullCursor);
}

flat_image_button::flat_image_button(wxWindow* parent, int command, int image,
                                     const wxString& tooltip)
    : wxControl(parent, WxId(command), wxDefaultPosition, wxDefaultSize, wxBORDER_NONE),
      image(image),
      face(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE)) {
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  if (!tooltip.empty()) SetToolTip(tooltip);
  Bind(wxEVT_PAINT, &flat_image_button::OnPaint, this);
  Bind(wxEVT_LEFT_DOWN, &flat_image_button::OnLeftDown, this);
  Bind(wxEVT_LEFT_DCLICK, &flat_image_button::OnLeftDown, this);
  Bind(wxEVT_LEFT_UP, &flat_image_button::OnLeftUp, this);
  Bind(wxEVT_MOUSE_CAPTURE_LOST, &flat_image_button::OnCaptureLost, this);
  Bind(wxEVT_ENTER_WINDOW, [this](wxMouseEvent& e) { hovered = true, Refresh(), e.Skip(); });
  Bind(wxEVT_LEAVE_WINDOW, [this](wxMouseEvent& e) { hovered = false, Refresh(), e.Skip(); });
}

void flat_image_button::SetImage(int image_id) {
  image = image_id;
  Refresh();
  Update();
}

void flat_image_button::SetFaceColour(const wxColour& colour) {
  if (face == colour) return;
  face = colour;
  Refresh();
}

wxSize flat_image_button::DoGetBestSize() const {
  return PaneImage(image).GetSize() + wxSize(6, 6);
}

void flat_image_button::OnPaint(wxPaintEvent&) {
  wxAutoBufferedPaintDC dc(this);
  const wxRect client = GetClientRect();
  dc.SetPen(*wxTRANSPARENT_PEN);
  dc.SetBrush(wxBrush(face));
  dc.DrawRectangle(client);
  const wxBitmap& picture = PaneImage(image, GetContentScaleFactor() > 1.0 ? 2.0 : 1.0);
  const wxSize size = picture.GetLogicalSize();
  const int shift = pressed && hovered ? 1 : 0;
  const int x = (client.width - size.x) / 2 + shift;
  const int y = (client.height - size.y) / 2 + shift;
  dc.DrawBitmap(IsEnabled() ? picture : picture.ConvertToDisabled(), x, y, true);
  if (IsEnabled() && (hovered || pressed)) {
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    dc.SetPen(wxPen(wxColour(80, 120, 200), 1));
    dc.DrawRectangle(client);
  }
}

void flat_image_button::OnLeftDown(wxMouseEvent&) {
  if (!IsEnabled()) return;
  pressed = true;
  if (!HasCapture()) CaptureMouse();
  OnPress();
  Refresh();
}

void flat_image_button::OnLeftUp(wxMouseEvent& event) {
  if (HasCapture()) ReleaseMouse();
  const bool click = pressed && GetClientRect().Contains(event.GetPosition());
  pressed = false;
  Refresh();
  if (!click || !IsEnabled()) return;
  wxCommandEvent pressed_event(wxEVT_BUTTON, GetId());
  pressed_event.SetEventObject(this);
  ProcessWindowEvent(pressed_event);
}

void flat_image_button::OnCaptureLost(wxMouseCaptureLostEvent&) {
  pressed = false;
  Refresh();
}

void middle_button::OnPress() {
  if (the_properties_pane) the_properties_pane->tip_allowed = false;
  if (auto* view = dynamic_cast<CvorbelView*>(the_view)) flying_tips::Close(view->pane_tip);
}

namespace {

// The grid window itself: range warnings through the program's message box, and the
// plain keys that switch move/size before the grid sees them.
class pane_grid : public wxPropertyGrid {
 public:
  pane_grid() { Bind(wxEVT_KEY_DOWN, &pane_grid::OnKeyDown, this); }

 protected:
  // A refused number shows its class's range message and keeps the editor open; a
  // refusal while that message is up only drops the change.
  bool DoOnValidationFailure(wxPGProperty* property, wxVariant& invalid) override {
    auto* bounded = dynamic_cast<bounded_number_property*>(property);
    // A change held back by a batch run is no wrong number: it goes without a word.
    if (!bounded || BatchRunning()) return wxPropertyGrid::DoOnValidationFailure(property, invalid);
    int& guard = *bounded->Guard();
    if (guard) return true;
    guard = 1;
    the_ui().MessageBox(bounded->RangeMessage().utf8_string(), message_icon::warning);
    guard = 0;
    return false;
  }

 private:
  void OnKeyDown(wxKeyEvent& event) {
    if (the_properties_pane && event.GetModifiers() == wxMOD_NONE) {
      const int key = event.GetKeyCode();
      if (key == WXK_ESCAPE || key == 'B')
        the_properties_pane->RunCommand(cmd_move_size_off);
      else if (key == '1')
        the_properties_pane->RunCommand(cmd_move_size_1);
      else if (key == '2')
        the_properties_pane->RunCommand(cmd_move_size_2);
    }
    event.Skip();
  }
};

}  // namespace

prop_grid_ctrl::prop_grid_ctrl(wxWindow* parent, int id) {
  // The description box comes once the grid has a size: laid out in none, its
  // caption would be given a negative width.
  Create(parent, id, wxDefaultPosition, wxSize(300, 400),
         wxPG_SPLITTER_AUTO_CENTER | wxTAB_TRAVERSAL);
  TakeKeysOnClick(this);
  for (wxWindow* child : GetChildren()) TakeKeysOnClick(child);
  // The description box's texts are made anew whenever the grid's style changes.
  // The editors inside the grid take the keys themselves.
  Bind(wxEVT_CREATE, [this](wxWindowCreateEvent& event) {
    if (event.GetWindow() && event.GetWindow()->GetParent() == this)
      TakeKeysOnClick(event.GetWindow());
    event.Skip();
  });
  // A batch run saves every pair with the settings of its start: no change meanwhile.
  Bind(wxEVT_PG_CHANGING, [](wxPropertyGridEvent& event) {
    if (!BatchRunning()) {
      event.Skip();
      return;
    }
    event.Veto();
    event.SetValidationFailureBehavior(0);  // quietly: the grid keeps showing the setting
  });
}

void prop_grid_ctrl::TakeKeysOnClick(wxWindow* window) {
  if (!window) return;
  window->Unbind(wxEVT_LEFT_DOWN, &prop_grid_ctrl::OnClick, this);
  window->Bind(wxEVT_LEFT_DOWN, &prop_grid_ctrl::OnClick, this);
}

void prop_grid_ctrl::OnClick(wxMouseEvent& event) {
  GetGrid()->SetFocus();
  event.Skip();
}

wxPropertyGrid* prop_grid_ctrl::CreatePropertyGrid() const { return new pane_grid; }
