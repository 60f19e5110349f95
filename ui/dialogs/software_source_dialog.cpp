#include "ui/dialogs/software_source_dialog.h"

#include <wx/button.h>
#include <wx/colordlg.h>
#include <wx/dcclient.h>
#include <wx/image.h>
#include <wx/radiobut.h>

#include <vector>

#include "engine/base/process_state.h"
#include "sources/software_pattern.h"
#include "ui/dialogs/dialog_units.h"

uint8_t software_diamonds = 0, software_circles = 0, software_squares = 0, software_jiggles = 0,
        software_blank = 0, software_null = 0;
int software_size = 0;
uint8_t software_color[3] = {255, 255, 255};

software_source* software_source::active = nullptr;
std::function<std::optional<uint32_t>(wxWindow*)> software_source::ask_colour;

namespace {

const char* const shape_labels[6] = {"diamonds", "Circles", "squares", "Jiggles", "Blank Source to base color",
                                     "Null"};
uint8_t* const shape_flags[6] = {&software_diamonds, &software_circles, &software_squares,
                                 &software_jiggles,  &software_blank,   &software_null};

// The shape the flags stand for, a later set flag winning; fallback without one.
int ShapeOfFlags(int fallback) {
  static constexpr int codes[6] = {shape_diamonds, shape_circles, shape_squares,
                                   shape_jiggles,  shape_blank,   shape_null};
  int shape = fallback;
  for (int k = 0; k < 6; ++k)
    if (*shape_flags[k]) shape = codes[k];
  return shape;
}

std::optional<uint32_t> AskColourWithDialog(wxWindow* parent) {
  wxColourData data;
  data.SetColour(*wxBLACK);
  wxColourDialog dialog(parent, &data);
  if (dialog.ShowModal() != wxID_OK) return std::nullopt;
  const wxColour chosen = dialog.GetColourData().GetColour();
  return uint32_t(chosen.Red()) | uint32_t(chosen.Green()) << 8 | uint32_t(chosen.Blue()) << 16;
}

}  // namespace

software_view::software_view(wxWindow* parent, const wxRect& place)
    : wxWindow(parent, software_source::preview_id, place.GetPosition(), place.GetSize(), wxBORDER_NONE,
               "shapes") {
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  Bind(wxEVT_PAINT, &software_view::OnPaint, this);
}

void software_view::OnPaint(wxPaintEvent&) {
  wxPaintDC dc(this);
  const wxSize size = GetClientSize();
  if (size.x < 1 || size.y < 1) return;
  pattern_choice choice;
  // Blank and null draw nothing over the base colour.
  choice.shape = software_blank || software_null ? shape_null : ShapeOfFlags(shape_null);
  choice.size_index = software_size;
  std::copy(std::begin(software_color), std::end(software_color), choice.colour);
  choice.base[0] = base_color.blue, choice.base[1] = base_color.green, choice.base[2] = base_color.red;
  const std::vector<uint32_t> raster = RenderPatternPreview(choice, size.x, size.y);
  wxImage image(size.x, size.y, false);
  unsigned char* rgb = image.GetData();
  for (size_t i = 0; i < raster.size(); ++i) {
    rgb[3 * i + 0] = uint8_t(raster[i] >> 16);
    rgb[3 * i + 1] = uint8_t(raster[i] >> 8);
    rgb[3 * i + 2] = uint8_t(raster[i]);
  }
  dc.DrawBitmap(wxBitmap(image), 0, 0);
}

software_source::software_source(wxWindow* parent, int* shape, int* size, uint32_t* colour)
    : wxDialog(parent, 412, "Software Generated Source"),
      caller_shape(shape),
      caller_size(size),
      caller_colour(colour) {
  UseDialogFont(this);
  SetClientSize(DialogUnits(this, 0, 0, 316, 184).GetSize());
  const wxRect frame = DialogUnits(this, 7, 23, 120, 120);
  preview = new software_view(this, frame);

  for (int k = 0; k < 6; ++k) {
    shape_buttons[k] = new wxRadioButton(this, shape_ids[k], shape_labels[k], wxDefaultPosition, wxDefaultSize,
                                         k == 0 ? wxRB_GROUP : 0);
    shape_buttons[k]->SetSize(DialogUnits(this, 145, 23 + 16 * k, 105, 12));
    shape_buttons[k]->Bind(wxEVT_RADIOBUTTON, [this, k](wxCommandEvent&) { ChooseShape(k); });
  }
  for (int k = 0; k < 4; ++k) {
    size_buttons[k] = new wxRadioButton(this, size_ids[k], wxString::Format("size%d", k + 1), wxDefaultPosition,
                                        wxDefaultSize, k == 0 ? wxRB_GROUP : 0);
    size_buttons[k]->SetSize(DialogUnits(this, 259, 23 + 16 * k, 50, 12));
    size_buttons[k]->Bind(wxEVT_RADIOBUTTON, [this, k](wxCommandEvent&) { ChooseSize(k); });
  }
  (new wxButton(this, set_color_id, "Set Color"))->SetSize(DialogUnits(this, 259, 103, 50, 14));
  auto* ok = new wxButton(this, wxID_OK, "OK");
  ok->SetSize(DialogUnits(this, 205, 163, 50, 14));
  (new wxButton(this, wxID_CANCEL, "Cancel"))->SetSize(DialogUnits(this, 259, 163, 50, 14));
  ok->SetDefault();
  SetEscapeId(wxID_CANCEL);
  CentreOnParent();

  for (uint8_t* flag : shape_flags) *flag = 0;
  software_diamonds = 1;
  software_size = 0;
  software_color[0] = software_color[1] = software_color[2] = 255;
  shape_buttons[shape_index]->SetValue(true);
  size_buttons[size_index]->SetValue(true);

  Bind(wxEVT_BUTTON, &software_source::OnSetColor, this, set_color_id);
  Bind(wxEVT_BUTTON, &software_source::OnOK, this, wxID_OK);
  active = this;
}

software_source::~software_source() {
  if (active == this) active = nullptr;
}

void software_source::RedrawPreview() {
  preview->Refresh();
  preview->Update();
}

void software_source::ChooseShape(int which) {
  shape_buttons[which]->SetValue(true);
  shape_index = which;
  for (uint8_t* flag : shape_flags) *flag = 0;
  *shape_flags[which] = 1;
  // "Null" leaves the preview as it is until it next paints.
  if (which != 5) RedrawPreview();
}

void software_source::ChooseSize(int which) {
  size_buttons[which]->SetValue(true);
  size_index = which;
  software_size = which;
  RedrawPreview();
}

void software_source::OnSetColor(wxCommandEvent&) {
  const std::optional<uint32_t> chosen = ask_colour ? ask_colour(this) : AskColourWithDialog(this);
  if (!chosen) return;
  software_color[0] = uint8_t(*chosen >> 16);
  software_color[1] = uint8_t(*chosen >> 8);
  software_color[2] = uint8_t(*chosen);
  *caller_colour = *chosen;
  RedrawPreview();
}

void software_source::OnOK(wxCommandEvent&) {
  *caller_shape = ShapeOfFlags(*caller_shape);
  *caller_size = software_size;
  EndModal(wxID_OK);
}

bool RunSoftwareSourceDialog(wxWindow* parent, int& shape, int& size, uint32_t& colour) {
  software_source dialog(parent, &shape, &size, &colour);
  return dialog.ShowModal() == wxID_OK;
}
