#pragma once
#include "engine/base/geometry_types.h"

// Where a point of the view lands on the target, and the clamps that the mouse
// handlers share. Logical points are client points plus the scroll position.

// The target pixel under a logical point: the distance from the target's top-left
// divided by the display scale in single precision, truncated toward zero (so a
// point just left of the origin still maps to column 0).
vpoint TargetPixelOf(vpoint logical, const vrect& target_rect, float scale);

bool InsideTarget(vpoint pixel, int width, int height);

// A box corner pulled onto the target: each coordinate that maps before the first
// or past the last pixel is set onto that pixel's logical edge.
vpoint ClampIntoTarget(vpoint logical, const vrect& target_rect, float scale);

// The drag distance in target pixels from start to current, held so that the end
// stays on the target.
vpoint DragDistance(vpoint start, vpoint current, int width, int height);

// An offset held so that the source (sw x sh target pixels) at worst touches the
// target's edge from outside.
vpoint ClampOffset(vpoint offset, int sw, int sh, int width, int height);
