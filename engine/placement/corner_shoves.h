#pragma once

class CvorbelViewCore;

// Places source s (1 or 2) against the target's top-right, bottom-left or
// bottom-right corner (fix point fix_top_right, fix_bottom_left or
// fix_bottom_right), pinned there so that a replacement keeps the corner. Other
// sources or fix points change nothing.
void ShoveSourceToCorner(CvorbelViewCore& view, int s, int corner);

// Steps of the centring cycle: the middle, then the middles of the top, bottom,
// left and right edges.
inline constexpr int centring_steps = 5;
// Places source s at the position of step (0..4) of its centring cycle and
// returns the step that the next press takes.
int CentreSourceStep(CvorbelViewCore& view, int s, int step);
