#pragma once
#include "engine/base/geometry_types.h"

// The nine points at which a source is pinned to the target, and the arithmetic
// between a source's offset (minus its top-left's target position) and its anchor
// (minus its fix point's target position).
enum fix_position : int {
  fix_left = 0,
  fix_top_left = 1,
  fix_top = 2,
  fix_top_right = 3,
  fix_right = 4,
  fix_bottom_right = 5,
  fix_bottom = 6,
  fix_bottom_left = 7,
  fix_middle = 8,
};

// The anchor of a source of sw x sh target pixels at offset; halves truncate
// toward zero. False (anchor untouched) for a fix outside 0..8.
bool AnchorForFix(int fix, vpoint offset, int sw, int sh, vpoint& anchor);

// The inverse: the offset that puts the fix point of a source of w x h (its scaled
// size before truncation) on anchor. False (offset untouched) for a fix outside 0..8.
bool OffsetForFix(int fix, vpoint anchor, double w, double h, vpoint& offset);

// The cell of an indicator pane that stands for fix; the whole pane for any other value.
vrect FixPositionRect(int fix, const vrect& pane);
