#pragma once

class wxTopLevelWindow;

// Keeps window at least as large as GTK needs to lay out its contents, even where
// no window manager enforces the size hints (bare X servers, some tiling managers):
// GTK would otherwise squeeze the menu bar below its items and complain on the
// terminal.
void KeepMinimumSize(wxTopLevelWindow* window);
