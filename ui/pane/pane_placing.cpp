#include "engine/placement/corner_shoves.h"
#include "engine/placement/fix_positions.h"
#include "engine/base/view_core.h"
#include "ui/commands/pane_command_ids.h"
#include "ui/pane/properties_pane.h"

namespace {

// The picture a centring button shows once step k has placed its source: the
// position the next press takes.
constexpr int next_position_images[2][centring_steps] = {
    {image_middle_1_top, image_middle_1_bottom, image_middle_1_left, image_middle_1_right,
     cmd_place_1_middle},
    {image_middle_2_top, image_middle_2_bottom, image_middle_2_left, image_middle_2_right,
     cmd_place_2_middle},
};

struct corner_command {
  int command, source, corner;
};
constexpr corner_command corner_commands[] = {
    {cmd_place_1_top_right, 1, fix_top_right},   {cmd_place_1_bottom_left, 1, fix_bottom_left},
    {cmd_place_1_bottom_right, 1, fix_bottom_right}, {cmd_place_2_top_right, 2, fix_top_right},
    {cmd_place_2_bottom_left, 2, fix_bottom_left}, {cmd_place_2_bottom_right, 2, fix_bottom_right},
};

}  // namespace

int CentringImage(int s, int step) {
  if ((s != 1 && s != 2) || step < 0 || step >= centring_steps) return 0;
  return next_position_images[s - 1][step];
}

void CPropertiesWnd::BindPlacingCommands() {
  for (const corner_command& c : corner_commands)
    Handle(c.command, [c] {
      if (the_view) ShoveSourceToCorner(*the_view, c.source, c.corner);
    });
  for (int s : {1, 2})
    Handle(s == 1 ? cmd_place_1_middle : cmd_place_2_middle, [this, s] { ShoveToMiddle(s); });
}

void CPropertiesWnd::ShoveToMiddle(int s) {
  int& step = s == 1 ? middle_step_1 : middle_step_2;
  middle_button* button = s == 1 ? middle_button_1 : middle_button_2;
  if (step < 0 || step >= centring_steps) step = 0;
  button->SetImage(CentringImage(s, step));
  button->Refresh();
  button->Update();
  step = the_view ? CentreSourceStep(*the_view, s, step) : step;
}
