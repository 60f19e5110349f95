#include "ui/command_rules.h"

#include <algorithm>
#include <iterator>

#include "engine/process_state.h"
#include "engine/view_core.h"
#include "sources/document.h"
#include "ui/app.h"
#include "ui/pane_command_ids.h"

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

bool HeldDuringBatch(int command) {
  return the_app && the_app->BatchActive() && RuleOf(command) != command_rule::always;
}

bool CommandEnabled(int command) {
  return CommandReady(command) && RuleAllows(RuleOf(command)) && !HeldDuringBatch(command);
}
