#include "ui/commands/command_rules.h"

#include <wx/event.h>
#include <wx/eventfilter.h>
#include <wx/menu.h>

#include <algorithm>
#include <iterator>

#include "engine/base/process_state.h"
#include "engine/base/view_core.h"
#include "sources/document.h"
#include "ui/commands/app_services.h"
#include "ui/commands/pane_command_ids.h"

namespace {

struct command_entry {
  int command;
  command_rule rule;
};

// Every command with a rule other than always. Add a row with a new command.
constexpr command_entry rules[] = {
    {cmd_change_source_1, command_rule::two_sources},
    {cmd_change_source_2, command_rule::two_sources},
    {cmd_web_update, command_rule::two_sources},
    {cmd_vorbel_button, command_rule::two_sources},
    {cmd_reset_all, command_rule::two_sources},
    {cmd_adjoin_1_2, command_rule::two_sources},
    {cmd_adjoin_2_1, command_rule::two_sources},
    {cmd_previous_source_1_file, command_rule::source_1_file},
    {cmd_next_source_1_file, command_rule::source_1_file},
    {cmd_previous_source_2_file, command_rule::source_2_file},
    {cmd_next_source_2_file, command_rule::source_2_file},
    {cmd_remove_blending, command_rule::two_sources},
    {cmd_rotate, command_rule::two_sources},
    {cmd_move_size_1, command_rule::two_sources},
    {cmd_move_size_2, command_rule::two_sources},
    {cmd_base_color, command_rule::two_sources},
};

// Commands that would change the sources, their placement or the settings, beside
// those of the table above.
constexpr int held_in_batch[] = {
    cmd_file_new,           cmd_file_open,            cmd_open_text,
    cmd_software_source,    cmd_view_customize,       cmd_load_image,
    cmd_load_text,          cmd_paste,                cmd_batch,
    cmd_sizes,              cmd_rotate,               cmd_target_size,
    cmd_fix_positions,      cmd_place_1_top_left,     cmd_place_1_top_right,
    cmd_place_1_bottom_left, cmd_place_1_bottom_right, cmd_place_2_top_left,
    cmd_place_2_top_right,  cmd_place_2_bottom_left,  cmd_place_2_bottom_right,
    cmd_place_1_middle,     cmd_place_2_middle,       cmd_place_1_position_1,
    cmd_place_1_position_2, cmd_positioning_off,      cmd_perspective,
    cmd_highlighting,       cmd_artistic_image,
};

bool SourceIsFile(int s) {
  const CvorbelDoc* doc = the_view ? the_view->GetDocument() : nullptr;
  return source_count == 2 && doc && doc->source_kind[s - 1] == kind_file;
}

template <typename List>
bool Contains(const List& list, int command) {
  return std::find(std::begin(list), std::end(list), command) != std::end(list);
}

}  // namespace

command_rule RuleOf(int command) {
  // The block of placing, flipping, font and sizing commands shares one rule.
  if (command >= 32824 && command <= 32859) return command_rule::two_sources;
  for (const command_entry& entry : rules)
    if (entry.command == command) return entry.rule;
  return command_rule::always;
}

bool RuleAllows(command_rule rule) {
  switch (rule) {
    case command_rule::always:
      return true;
    case command_rule::two_sources:
      return source_count == 2;
    case command_rule::source_1_file:
      return SourceIsFile(1);
    case command_rule::source_2_file:
      return SourceIsFile(2);
  }
  return false;
}

bool CommandReady(int command) {
  return !Contains(commands_to_come, command);
}

bool HoldableDuringBatch(int command) {
  if (command >= cmd_recent_file_1 && command <= cmd_recent_file_16) return true;
  return RuleOf(command) != command_rule::always || Contains(held_in_batch, command);
}

bool BatchRunning() { return the_app_services && the_app_services->BatchActive(); }

void UpdateFileOpen(wxUpdateUIEvent& event) { event.Enable(wic_ready); }

void UpdateBatchVorbel(wxUpdateUIEvent& event) { event.Enable(source_count == 2 && !BatchRunning()); }

bool HeldDuringBatch(int command) { return BatchRunning() && HoldableDuringBatch(command); }

int FilterHeldCommand(wxEvent& event) {
  const wxEventType type = event.GetEventType();
  if (type != wxEVT_MENU && type != wxEVT_BUTTON && type != wxEVT_TOOL && type != wxEVT_UPDATE_UI)
    return wxEventFilter::Event_Skip;
  if (!HeldDuringBatch(CommandOf(event.GetId()))) return wxEventFilter::Event_Skip;
  if (type == wxEVT_UPDATE_UI) static_cast<wxUpdateUIEvent&>(event).Enable(false);
  return wxEventFilter::Event_Processed;
}

void LightHeldCommand(wxUpdateUIEvent& event) {
  // Items without an enabling rule of their own would keep the grey of the run.
  if (dynamic_cast<wxMenu*>(event.GetEventObject()) && HoldableDuringBatch(CommandOf(event.GetId())))
    event.Enable(true);
  else
    event.Skip();
}

bool CommandEnabled(int command) {
  return CommandReady(command) && RuleAllows(RuleOf(command)) && !HeldDuringBatch(command);
}
