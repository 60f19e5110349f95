#pragma once

// What one blending-zone step did; the window tells the user when the box was too small.
enum class zone_step : int {
  applied,    // the level moved and the zone was painted (or restored at level 0)
  no_box,     // no box, or no usable display scale: nothing happened
  too_small,  // under 10 x 10 target pixels: the level is unchanged
};

inline constexpr const char* zone_too_small_message =
    "Blending zone is too small.\n\nPlease set a larger rectangle with the left mouse in the image.";

// A step's zone in target pixels, before it is clipped to the target.
struct zone_area {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// The target pixels of a box given in view coordinates (x0, y0, x1, y1 in any
// order), with the target's top-left pixel at (origin_x, origin_y) and scale
// view pixels per target pixel; divisions in single precision, truncated.
zone_area ZoneInTarget(const int box[4], int origin_x, int origin_y, float scale);
