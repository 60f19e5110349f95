#pragma once

// The program's command numbers. wx refuses menu ids above 32767, so numbers from
// 32768 up are moved down by 30000 when they meet wx (WxId); no two collide.
enum command_id : int {
  cmd_view_customize = 118,  // also the view's "Create blank source image"
  cmd_load_image = 133,
  cmd_load_text = 134,
  cmd_look_windows_2000 = 210,
  cmd_look_office_xp = 211,
  cmd_look_windows_xp = 212,
  cmd_look_office_2003 = 213,
  cmd_look_vs_2005 = 214,
  cmd_look_blue = 215,
  cmd_look_black = 216,
  cmd_look_silver = 217,
  cmd_look_aqua = 218,
  cmd_home_page = 1023,
  cmd_faq = 1092,

  cmd_open_text = 32791,
  cmd_rotate = 32800,
  cmd_batch = 32801,
  cmd_software_source = 32803,
  cmd_artistic_image = 32808,
  cmd_base_color = 32819,
  cmd_target_size = 32820,
  cmd_place_1_top_left = 32833,
  cmd_place_1_top_right = 32834,
  cmd_place_1_bottom_left = 32835,
  cmd_place_1_bottom_right = 32836,
  cmd_place_2_top_left = 32837,
  cmd_place_2_top_right = 32838,
  cmd_place_2_bottom_left = 32839,
  cmd_place_2_bottom_right = 32840,
  cmd_place_1_middle = 32841,
  cmd_place_2_middle = 32846,
  cmd_place_1_position_1 = 32851,
  cmd_place_1_position_2 = 32852,
  cmd_positioning_off = 32853,
  cmd_fix_positions = 32854,
  cmd_sizes = 32859,
  cmd_perspective = 32862,

  cmd_file_new = 57600,
  cmd_file_open = 57601,
  cmd_file_save_as = 57604,
  cmd_print_setup = 57606,
  cmd_print = 57607,
  cmd_quick_print = 57608,
  cmd_print_preview = 57609,
  cmd_recent_file_1 = 57616,
  cmd_recent_file_16 = 57631,
  cmd_copy = 57634,
  cmd_cut = 57635,
  cmd_paste = 57637,
  cmd_undo = 57643,
  cmd_about = 57664,
  cmd_exit = 57665,
  cmd_help_topics = 57667,
  cmd_context_help = 57669,
  cmd_help = 57670,
  cmd_next_pane = 57680,
  cmd_previous_pane = 57681,
};

inline constexpr int WxId(int id) { return id >= 32768 ? id - 30000 : id; }
// The command number of a wx id.
inline constexpr int CommandOf(int wx_id) { return wx_id >= 32768 - 30000 ? wx_id + 30000 : wx_id; }

// Menu commands whose handlers are still to come: their items stay grey. Remove a
// command from here when it gets its handler and enabling rule.
inline constexpr int commands_to_come[] = {
    cmd_help_topics,
};
