#pragma once

// Makes source s (1 or 2) of the_view's document a copy of the current target, every
// byte of each pixel included, and sets the combining method, contrast, effect and
// kernel back to their defaults. The old source stays when memory for the copy
// cannot be had; that is said and false returned. Sets nothing in the properties
// pane's grid.
bool DeriveSourceFromTarget(int s);
