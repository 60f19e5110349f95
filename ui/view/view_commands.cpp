#include "engine/base/float_convert.h"
#include "engine/base/process_state.h"
#include "engine/base/view_mapping.h"
#include "platform/ui_port.h"
#include "sources/document.h"
#include "sources/text_source.h"
#include "ui/commands/command_rules.h"
#include "ui/commands/pane_command_ids.h"
#include "ui/dialogs/canvas_size_dialog.h"
#include "ui/dialogs/colour_choice.h"
#include "ui/dialogs/source_fix_dialog.h"
#include "ui/dialogs/source_size_dialog.h"
#include "ui/view/view.h"

void CvorbelView::BindViewCommands() {
  Bind(wxEVT_MENU, &CvorbelView::OnTargetSize, this, WxId(cmd_target_size));
  Bind(wxEVT_MENU, &CvorbelView::OnChangeBaseColor, this, WxId(cmd_base_color));
  Bind(wxEVT_UPDATE_UI, &CvorbelView::OnUpdateChangeBaseColor, this, WxId(cmd_base_color));
  Bind(wxEVT_MENU, &CvorbelView::OnCoarseFontUp1, this, WxId(cmd_font_up_1));
  Bind(wxEVT_MENU, &CvorbelView::OnCoarseFontDown1, this, WxId(cmd_font_down_1));
  Bind(wxEVT_MENU, &CvorbelView::OnCoarseFontUp2, this, WxId(cmd_font_up_2));
  Bind(wxEVT_MENU, &CvorbelView::OnCoarseFontDown2, this, WxId(cmd_font_down_2));
  Bind(wxEVT_MENU, &CvorbelView::OnSetFixPositions, this, WxId(cmd_fix_positions));
  Bind(wxEVT_MENU, &CvorbelView::OnSetSourceSizes, this, WxId(cmd_sizes));
  for (int id : {int(cmd_font_up_1), int(cmd_font_down_1), int(cmd_font_up_2), int(cmd_font_down_2),
                 int(cmd_fix_positions), int(cmd_sizes)})
    Bind(wxEVT_UPDATE_UI, &UpdateBatchVorbel, WxId(id));
}

void CvorbelView::OnTargetSize(wxCommandEvent&) {
  canvas_size dialog(this, *this);
  if (dialog.ShowModal() != wxID_OK) return;
  offset[0] = offset[1] = {0, 0};
  moving_source = 0;
  SetMoveSizeSource(0);
  // Without two sources the window shows no target: the new size is taken up when
  // the second source arrives.
  if (source_count != 2) return;
  FitTargetToClient();
  CenterTargetInView();
  Scroll(0, 0);
  UpdateSourceGeometry(2);
  UpdateSourceGeometry(1);
  RebuildSources(-1);
  Refresh();
  Update();
}

void CvorbelView::OnChangeBaseColor(wxCommandEvent&) {
  const std::optional<wxColour> chosen = choose_colour(this, *wxBLACK);
  if (!chosen) return;
  base_color = {chosen->Red(), chosen->Green(), chosen->Blue()};
  RebuildSources(-1);
}

void CvorbelView::OnUpdateChangeBaseColor(wxUpdateUIEvent& event) { event.Enable(true); }

void CvorbelView::OnCoarseFontUp1(wxCommandEvent&) { StepTextFont(1, true); }
void CvorbelView::OnCoarseFontDown1(wxCommandEvent&) { StepTextFont(1, false); }
void CvorbelView::OnCoarseFontUp2(wxCommandEvent&) { StepTextFont(2, true); }
void CvorbelView::OnCoarseFontDown2(wxCommandEvent&) { StepTextFont(2, false); }

void CvorbelView::StepTextFont(int t, bool up) {
  CvorbelDoc* doc = GetDocument();
  // Keys and posted commands arrive without the buttons' enabling; only a text
  // source has a font to step.
  if (source_count != 2 || doc->source_kind[t - 1] != kind_text) return;
  SetMoveSizeSource(0);
  int& height = doc->text_font[t - 1].lfHeight;
  const int old_height = height;
  height = CoarseFontHeight(height, up);
  // The text is drawn aside and replaces the source only when it succeeds; a failed
  // step keeps the old picture, so the old height goes with it.
  if (doc->RenderSourceText(t - 1, -1) != 0) {
    height = old_height;
    return;
  }
  UpdateSourceGeometry(t);
  BuildSourceLayer(1);
  BuildSourceLayer(2);
  CombineTarget();
  the_ui().ShowFontSize(t, height);
}

void CvorbelView::OnSetFixPositions(wxCommandEvent&) {
  if (source_count != 2) return;
  show_fix_cross = true;
  Refresh();
  RunSourceFixDialog(this, *this);
  show_fix_cross = false;
  Refresh();
  Update();
}

void CvorbelView::OnSetSourceSizes(wxCommandEvent&) {
  if (source_count != 2) return;
  RunSourceSizeDialog(this, *this);
  // The drag release's limits. A source held back is re-anchored and shown where
  // it now is, so that the screen, the handles and the next rebuild agree.
  bool held_back = false;
  for (int s = 1; s <= 2; ++s) {
    const vpoint held = ClampOffset(offset[s - 1], TruncToInt(ScaledWidth(s)), TruncToInt(ScaledHeight(s)),
                                    target_rect.Width(), target_rect.Height());
    if (held == offset[s - 1]) continue;
    offset[s - 1] = held;
    UpdateFixAnchor(s);
    held_back = true;
  }
  if (!held_back) return;
  RebuildSources(-1);
  PlaceSizeHandles();
}
