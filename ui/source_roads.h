#pragma once

// Steps that several roads into a source share.

// Source s (1 or 2) shown unmirrored again: the mirror flag cleared (and the pane's
// flip button with it, once the pane has one).
void ResetFlipButton(int s);

// "Vorbel has run out of memory!"
inline constexpr const char* out_of_memory_text = "Vorbel has run out of memory!";
