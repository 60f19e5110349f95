#include <wx/aui/auibar.h>

#include <algorithm>

#include "engine/base/view_core.h"
#include "sources/document.h"
#include "ui/adapters/display_scales.h"
#include "ui/pane/properties_pane.h"
#include "ui/pane/trackbar.h"

namespace {

pane_rect Rect(int x, int y, int w, int h) { return {x, y, std::max(w, 0), std::max(h, 0)}; }

void Place(wxWindow* window, const pane_rect& r) {
  if (window) window->SetSize(r.x, r.y, r.width, r.height, wxSIZE_ALLOW_MINUS_ONE);
}

void PlaceShown(wxWindow* window, const pane_rect& r) {
  if (!window) return;
  Place(window, r);
  window->Show();
}

}  // namespace

pane_layout ComputePaneLayout(const pane_layout_input& in) {
  pane_layout l;
  const int w = in.width;
  l.change_1 = Rect(0, 0, 60, 60);
  l.change_2 = Rect(60, 0, 60, 60);
  l.update = Rect(120, 0, 60, 60);
  l.vorbel = Rect(180, 0, 60, 60);
  l.fillers[0] = Rect(240, 0, w - 240, 60);

  const int main_width = int(float(in.tool_width_1) * 10.0f);
  l.main_toolbar = Rect(0, 60, main_width, in.tool_height_1);
  l.fillers[1] = Rect(main_width, 60, w - main_width, in.tool_height_1);
  const int shove_y = 60 + in.tool_height_1;
  const int shove_width = int(float(in.tool_width_2) * 9.0f);
  l.shove_toolbar = Rect(0, shove_y, shove_width, in.tool_height_2);
  l.fillers[2] = Rect(shove_width, shove_y, w - shove_width, in.tool_height_2);

  const int y = shove_y + in.tool_height_2;
  for (int i = 0; i < 8; ++i) l.row_buttons[i] = Rect(30 * i, y, 30, 30);
  l.fillers[3] = Rect(240, y, w - 240, 30);

  for (int i = 0; i < 2; ++i) {
    const int row = y + 30 + 20 * i;
    if (in.text_source[i]) {
      l.file_name[i] = Rect(0, row, w - 90, 20);
      l.font_size[i] = Rect(w - 90, row, 30, 20);
      l.font_down[i] = Rect(w - 60, row, 30, 20);
      l.font_up[i] = Rect(w - 30, row, 30, 20);
    } else {
      l.file_name[i] = Rect(0, row, w, 20);
    }
  }
  const int stats_height = int(in.dpi_scale_y * 70.0f);
  l.stats = Rect(0, y + 70, w, stats_height);
  const int half = w / 2;
  // The captions were measured for a narrower font than most desktops have: their
  // column takes from the sliders what they need to show whole, up to all of them.
  const int wider = std::clamp(in.caption_width - (half - 31), 0, std::max(half, 0));
  for (int i = 0; i < 3; ++i) {
    const int row = y + 70 + stats_height + 20 * i;
    l.prompts[i] = Rect(0, row, half - 31 + wider, 20);
    l.labels[i] = Rect(half - 30 + wider, row, 30, 20);
    l.sliders[i] = Rect(half + wider, row, half - wider, 20);
  }
  const int grid_y = y + 130 + stats_height;
  l.grid = Rect(0, grid_y, w, in.height - grid_y);
  return l;
}

pane_layout_input CPropertiesWnd::LayoutInput() const {
  pane_layout_input in;
  const wxSize client = GetClientSize();
  in.width = client.x;
  in.height = client.y;
  // A button's share of the toolbar's own width, so that ten (nine) of them hold it.
  const wxSize bar_1 = main_toolbar->GetBestSize();
  const wxSize bar_2 = shove_toolbar->GetBestSize();
  const int count_1 = int(main_toolbar->GetToolCount());
  const int count_2 = int(shove_toolbar->GetToolCount());
  in.tool_width_1 = (bar_1.x + count_1 - 1) / count_1;
  in.tool_height_1 = bar_1.y;
  in.tool_width_2 = (bar_2.x + count_2 - 1) / count_2;
  in.tool_height_2 = bar_2.y;
  in.dpi_scale_y = display_scales::dpi_y;
  const CvorbelDoc* doc = the_view ? the_view->GetDocument() : nullptr;
  for (int i = 0; i < 2; ++i) in.text_source[i] = doc && doc->source_kind[i] == kind_text;
  for (const wxWindow* caption : {static_cast<wxWindow*>(contrast_prompt),
                                  static_cast<wxWindow*>(brightness_prompt),
                                  static_cast<wxWindow*>(scale_prompt)})
    if (caption) in.caption_width = std::max(in.caption_width, caption->GetBestSize().x);
  return in;
}

int CPropertiesWnd::MinimumWidth() const { return 10 * LayoutInput().tool_width_1; }

void CPropertiesWnd::AdjustLayout() {
  if (!grid) return;
  const pane_layout_input in = LayoutInput();
  const pane_layout l = ComputePaneLayout(in);
  Place(change_button_1, l.change_1);
  Place(change_button_2, l.change_2);
  Place(update_button, l.update);
  Place(vorbel_button, l.vorbel);
  for (int i = 0; i < 4; ++i) Place(fillers[i], l.fillers[i]);
  Place(main_toolbar, l.main_toolbar);
  Place(shove_toolbar, l.shove_toolbar);
  wxWindow* row[8] = {move_button_1,   move_button_2,   move_off_button, middle_button_1,
                      middle_button_2, mirror_button_1, mirror_button_2, sizes_button};
  for (int i = 0; i < 8; ++i) Place(row[i], l.row_buttons[i]);

  file_names* strips[2] = {file_name_1, file_name_2};
  font_buddy* sizes[2] = {font_size_1, font_size_2};
  flat_image_button* downs[2] = {font_down_button_1, font_down_button_2};
  flat_image_button* ups[2] = {font_up_button_1, font_up_button_2};
  for (int i = 0; i < 2; ++i) {
    Place(strips[i], l.file_name[i]);
    strips[i]->Refresh();
    if (in.text_source[i]) {
      PlaceShown(downs[i], l.font_down[i]);
      PlaceShown(ups[i], l.font_up[i]);
      PlaceShown(sizes[i], l.font_size[i]);
      sizes[i]->Refresh();
      sizes[i]->Update();
    } else {
      sizes[i]->Hide();
      downs[i]->Hide();
      ups[i]->Hide();
    }
  }
  PlaceShown(the_stats, l.stats);
  the_stats->Refresh();
  wxWindow* prompts[3] = {contrast_prompt, brightness_prompt, scale_prompt};
  buddy* labels[3] = {contrast_label, brightness_label, scale_label};
  trackbar* sliders[3] = {contrast_slider, brightness_slider, scale_slider};
  for (int i = 0; i < 3; ++i) {
    PlaceShown(prompts[i], l.prompts[i]);
    PlaceShown(labels[i], l.labels[i]);
    PlaceShown(sliders[i], l.sliders[i]);
    labels[i]->Refresh();
    labels[i]->Update();
  }
  // The grid cannot lay out its description box in no height: hide it instead.
  if (l.grid.height > 0 && l.grid.width > 0)
    PlaceShown(grid, l.grid);
  else
    grid->Hide();
  middle_button_1->SetFaceColour(*wxWHITE);
  middle_button_2->SetFaceColour(*wxWHITE);
}
