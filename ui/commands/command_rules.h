#pragma once

class wxEvent;
class wxUpdateUIEvent;

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
// Enabling rules that many commands share: loads need the imaging layer; the batch
// and most editing commands need two sources and no batch running.
void UpdateFileOpen(wxUpdateUIEvent& event);
void UpdateBatchVorbel(wxUpdateUIEvent& event);
// Whether a batch run is going on: every road that could change what it saves asks.
bool BatchRunning();
// Whether a command would change the sources, their placement or the settings.
bool HoldableDuringBatch(int command);
// While a batch runs such a command waits: every output must be the pair combined
// with the settings of the run's start.
bool HeldDuringBatch(int command);
// The application's filter of every event: a held command that arrives from a menu,
// an accelerator, a button or a tool does nothing, and its controls are grey.
int FilterHeldCommand(wxEvent& event);
// The last say on a menu item that nobody else rules on: a holdable command is lit
// again once the run has ended.
void LightHeldCommand(wxUpdateUIEvent& event);
// The command's rule allows it now and its handler exists.
bool CommandEnabled(int command);
// Whether a command's handler exists yet; commands of work still to come are grey.
bool CommandReady(int command);
