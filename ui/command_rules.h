#pragma once

// When a command may run. Menus, toolbars and the pane's buttons all ask here, and
// so does every command that arrives without a control (keys, posted commands).
enum class command_rule {
  always,
  two_sources,    // both sources loaded
  source_1_file,  // both loaded and source 1 comes from an image file
  source_2_file,
};

// The rule of a command number (not a wx id); commands without an entry run always.
command_rule RuleOf(int command);
bool RuleAllows(command_rule rule);
// While a batch runs, every command that needs the sources waits: the batch
// replaces them itself.
bool HeldDuringBatch(int command);
// The command's rule allows it now and its handler exists.
bool CommandEnabled(int command);
// Whether a command's handler exists yet; commands of work still to come are grey.
bool CommandReady(int command);
