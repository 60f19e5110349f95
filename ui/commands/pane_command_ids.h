#pragma once
#include "ui/commands/command_ids.h"

// Commands that come from the properties pane's buttons, toolbars and grid, beside
// the menu commands of command_ids.h that the pane shares.
enum pane_command_id : int {
  cmd_change_source_1 = 332,
  cmd_change_source_2 = 333,
  cmd_web_update = 414,
  cmd_vorbel_button = 416,

  cmd_reset_all = 32792,
  cmd_adjoin_1_2 = 32793,
  cmd_adjoin_2_1 = 32794,
  cmd_previous_source_1_file = 32795,
  cmd_next_source_1_file = 32796,
  cmd_previous_source_2_file = 32797,
  cmd_remove_blending = 32798,
  cmd_next_source_2_file = 32799,
  cmd_move_size_1 = 32804,
  cmd_move_size_2 = 32805,
  cmd_move_size_off = 32806,
  cmd_highlighting = 32807,
  cmd_mirror_1 = 32824,
  cmd_mirror_2 = 32825,
  cmd_font_up_1 = 32855,
  cmd_font_down_1 = 32856,
  cmd_font_up_2 = 32857,
  cmd_font_down_2 = 32858,
};

// Images that have no command of their own: the flipped look of the flip buttons,
// the centring buttons' next positions and the font-size arrows.
enum pane_image_id : int {
  image_mirrored_1 = 32826,
  image_mirrored_2 = 32827,
  image_middle_1_top = 32842,
  image_middle_1_bottom = 32843,
  image_middle_1_left = 32844,
  image_middle_1_right = 32845,
  image_middle_2_top = 32847,
  image_middle_2_bottom = 32848,
  image_middle_2_left = 32849,
  image_middle_2_right = 32850,
  image_font_up = 32860,
  image_font_down = 32861,
};
