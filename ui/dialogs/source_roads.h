#pragma once

// Steps that several roads into a source share.

// Source s (1 or 2) shown unmirrored again: the pane's flip button back to its first
// image and the mirror flag cleared.
void ResetFlipButton(int s);
// The grid's method, contrast type and effect back to the values they were created
// with; their change handlers do not run.
void ResetCombiningProperties();

// "Vorbel has run out of memory!"
inline constexpr const char* out_of_memory_text = "Vorbel has run out of memory!";
