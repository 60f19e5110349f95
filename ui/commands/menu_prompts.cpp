#include "ui/commands/menu_prompts.h"

#include <wx/menu.h>

#include "ui/commands/command_ids.h"

namespace {

struct command_prompt {
  int command;
  const char* prompt;
};

const command_prompt prompts[] = {
    {cmd_file_open, "Open an image file as a source"},
    {cmd_open_text, "Open text"},
    {cmd_software_source, "Start software generated source"},
    {cmd_file_save_as, "Save the target image under a new name"},
    {cmd_print, "Print the target image"},
    {cmd_print_preview, "Show the printed page"},
    {cmd_print_setup, "Change the printer and printing options"},
    {cmd_exit, "Quit vorbel"},
    {cmd_sizes, "Set Source Sizes"},
    {cmd_cut, "Cut the selection to the clipboard"},
    {cmd_copy, "Copy the target image to the clipboard"},
    {cmd_paste, "Paste an image from the clipboard as a source"},
    {cmd_rotate, "Change rotation of either source 1 or 2"},
    {cmd_batch, "Batch vorbel"},
    {cmd_base_color, "Change the base color"},
    {cmd_target_size, "Target image size"},
    {cmd_fix_positions, "Set fix positions for source 1 and source 2."},
    {cmd_place_1_top_left, "Shove source 1 corner to the top left of the target image."},
    {cmd_place_1_top_right, "Shove source 1 corner to the top right of the target image."},
    {cmd_place_1_bottom_left, "Shove source 1 corner to the bottom left of the target image."},
    {cmd_place_1_bottom_right, "Shove source 1 corner to the bottom right of the target image."},
    {cmd_place_1_middle, "Shove source 1 to the middle of the target image."},
    {cmd_place_1_position_1, "Scroll source 1"},
    {cmd_place_1_position_2, "Scroll source 2"},
    {cmd_positioning_off, "Scroll target"},
    {cmd_place_2_top_left, "Shove source 2 corner to the top left of the target image."},
    {cmd_place_2_top_right, "Shove source 2 corner to the top right of the target image."},
    {cmd_place_2_bottom_left, "Shove source 2 corner to the bottom left of the target image."},
    {cmd_place_2_bottom_right, "Shove source 2 corner to the bottom right of the target image."},
    {cmd_place_2_middle, "Shove source 2 to the middle of the target image."},
    {cmd_perspective, "Apply Perspective Transform to the target"},
    {cmd_help_topics, "List the help topics"},
    {cmd_faq, "FAQs"},
    {cmd_about, "Show the program's version and where to send questions"},
};

const char* PromptOf(int wx_id) {
  if (wx_id >= WxId(cmd_recent_file_1) && wx_id <= WxId(cmd_recent_file_16))
    return "Open this image file";
  if (wx_id >= cmd_look_windows_2000 && wx_id <= cmd_look_aqua)
    return "Show the program in this look";
  for (const command_prompt& entry : prompts)
    if (WxId(entry.command) == wx_id) return entry.prompt;
  return nullptr;
}

}  // namespace

void AttachMenuPrompts(wxMenu* menu) {
  for (wxMenuItem* item : menu->GetMenuItems()) {
    if (wxMenu* sub = item->GetSubMenu()) {
      AttachMenuPrompts(sub);
    } else if (const char* prompt = PromptOf(item->GetId())) {
      item->SetHelp(prompt);
    }
  }
}

void AttachMenuPrompts(wxMenuBar* bar) {
  for (size_t i = 0; i < bar->GetMenuCount(); ++i) AttachMenuPrompts(bar->GetMenu(i));
}
