#include "engine/base/process_state.h"
#include "ui/adapters/status_bar.h"
#include "ui/commands/command_rules.h"
#include "ui/commands/pane_command_ids.h"
#include "ui/commands/pane_link.h"
#include "ui/view/view.h"

namespace {

constexpr uint32_t source_colours[2] = {0xC0C0FF, 0x66FF99};
constexpr uint32_t fix_cell_colour = 0xFF8000;

}  // namespace

void CvorbelView::BindPlacementCommands() {
  const int move_size[] = {cmd_move_size_1,        cmd_move_size_2,        cmd_move_size_off,
                           cmd_place_1_position_1, cmd_place_1_position_2, cmd_positioning_off};
  for (int id : move_size)
    Bind(wxEVT_MENU, &CvorbelView::OnMoveSizeCommand, this, WxId(id));
  for (int id : {cmd_place_1_top_left, cmd_place_2_top_left})
    Bind(wxEVT_MENU, &CvorbelView::OnShoveTopLeft, this, WxId(id));
  for (int id : {cmd_mirror_1, cmd_mirror_2})
    Bind(wxEVT_MENU, &CvorbelView::OnMirrorSource, this, WxId(id));
  // The pane's adjoin buttons: the second source named goes on the right.
  for (int id : {cmd_adjoin_1_2, cmd_adjoin_2_1})
    Bind(wxEVT_MENU, &CvorbelView::OnAdjoinSources, this, WxId(id));
  // The Edit menu's other corners and the middles run the pane's handlers, which
  // keep the centring buttons' pictures in step.
  for (int id : {cmd_place_1_top_right, cmd_place_1_bottom_left, cmd_place_1_bottom_right,
                 cmd_place_2_top_right, cmd_place_2_bottom_left, cmd_place_2_bottom_right,
                 cmd_place_1_middle, cmd_place_2_middle}) {
    Bind(wxEVT_MENU, [id](wxCommandEvent&) {
      if (the_pane_link) the_pane_link->RunPaneCommand(id);
    }, WxId(id));
    Bind(wxEVT_UPDATE_UI, [id](wxUpdateUIEvent& event) { event.Enable(CommandEnabled(id)); },
         WxId(id));
  }
  const int two_sources[] = {cmd_move_size_1,     cmd_move_size_2,      cmd_place_1_position_1,
                             cmd_place_1_position_2, cmd_positioning_off, cmd_place_1_top_left,
                             cmd_place_2_top_left,   cmd_mirror_1,        cmd_mirror_2};
  for (int id : two_sources)
    Bind(wxEVT_UPDATE_UI, &UpdateBatchVorbel, WxId(id));
  // The view draws the scrolled picture itself, so its children stay where they
  // are: the handles are put back on the source once a scroll is done.
  for (const auto& type :
       {wxEVT_SCROLLWIN_TOP, wxEVT_SCROLLWIN_BOTTOM, wxEVT_SCROLLWIN_LINEUP,
        wxEVT_SCROLLWIN_LINEDOWN, wxEVT_SCROLLWIN_PAGEUP, wxEVT_SCROLLWIN_PAGEDOWN,
        wxEVT_SCROLLWIN_THUMBTRACK, wxEVT_SCROLLWIN_THUMBRELEASE})
    Bind(type, [this](wxScrollWinEvent& event) {
      event.Skip();
      CallAfter([this] { PlaceSizeHandles(); });
    });
}

void CvorbelView::OnMoveSizeCommand(wxCommandEvent& event) {
  const int id = event.GetId();
  const int s = id == WxId(cmd_move_size_1) || id == WxId(cmd_place_1_position_1)   ? 1
                : id == WxId(cmd_move_size_2) || id == WxId(cmd_place_1_position_2) ? 2
                                                                                    : 0;
  // Keys send these past any control's enabling, so the rule is checked here:
  // two sources, except for the keys' "Scroll target", which always runs.
  if ((s != 0 || id == WxId(cmd_positioning_off)) && source_count != 2) return;
  SetMoveSizeSource(s);
}

void CvorbelView::OnShoveTopLeft(wxCommandEvent& event) {
  if (source_count != 2) return;
  if (event.GetId() == WxId(cmd_place_1_top_left))
    MoveSource1TopLeft();
  else
    MoveSource2TopLeft();
}

void CvorbelView::OnAdjoinSources(wxCommandEvent& event) {
  if (source_count != 2) return;
  AdjoinSources(event.GetId() == WxId(cmd_adjoin_1_2) ? 2 : 1);
}

void CvorbelView::OnMirrorSource(wxCommandEvent& event) {
  if (source_count != 2) return;
  MirrorSource(event.GetId() == WxId(cmd_mirror_1) ? 1 : 2);
}

void CvorbelView::DrawFixPositionIndicator() {
  if (!the_status_bar) return;
  the_status_bar->PaintFixPane(6, source_colours[0], fix_point_1, fix_cell_colour);
  the_status_bar->PaintFixPane(7, source_colours[1], fix_point_2, fix_cell_colour);
}
