#pragma once

class wxMenu;
class wxMenuBar;

// Gives every menu item that has a prompt its prompt, which the frame shows in the
// status bar's first pane while the item is highlighted. Looks into submenus.
void AttachMenuPrompts(wxMenuBar* bar);
void AttachMenuPrompts(wxMenu* menu);
