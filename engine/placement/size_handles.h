#pragma once
#include <cstdint>

#include "engine/base/geometry_types.h"

struct rgb_color;

// The eight grab handles of a source under move/size, in creation order.
enum handle_kind : int {
  handle_top_left,
  handle_bottom_right,
  handle_top_right,
  handle_bottom_left,
  handle_middle_left,
  handle_middle_right,
  handle_middle_top,
  handle_middle_bottom,
};
inline constexpr int handle_count = 8;
inline constexpr int handle_width = 16;
inline constexpr int handle_height = 18;

// "top_left", "bottom_right", ... for handle 0..7.
const char* HandleName(int handle);

// The point of a source of sw x sh target pixels on which the handle sits.
vpoint HandlePoint(int handle, int sw, int sh);

// Where the handle's top-left corner goes in the view's client coordinates so that
// it is centred on the source point (a point of the source, offset as the source's).
vpoint HandleOrigin(vpoint point, vpoint offset, float scale, const vrect& target_rect, float dpi_x,
                    float dpi_y, vpoint scroll);

// A source's scale and place as a handle drag changes them.
struct source_scale {
  double width_percent;
  double height_percent;
  vpoint offset;
};

// Applies a handle's movement of (dx, dy) client pixels to a source whose scaled
// size before truncation is w x h: the dragged edges follow, the opposite ones
// stay, and no percent goes below 2 (then that edge stays where it was).
void MoveHandle(int handle, source_scale& scale, double w, double h, int dx, int dy,
                float display_scale);

// The handle's fill and frame (COLORREFs) on a base colour.
uint32_t HandleFill(const rgb_color& base);
uint32_t HandleFrame(const rgb_color& base);
