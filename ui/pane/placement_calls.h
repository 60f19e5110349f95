#pragma once

// The placing operations that the pane's grid and reset-all call on the one view,
// with the move/size label and the grab handles following the source.
namespace placement_calls {

// Stores percent as the height (axis 0) or width (axis 1) scale of source s and
// recomputes its geometry, its layer and the target.
void SetSourceScalePercent(int percent, int axis, int s);
// Both sources back to 100 % on both axes, in the view and in the grid; both
// layers rebuilt and the target recombined.
void ResetAllSourceScales();
// Both sources centred on the target; fix points and anchors are kept.
void CentreSources();
// Switches move/size off.
void MoveSizeOff();

}  // namespace placement_calls
