#pragma once
#include <cstdint>

#include "engine/base/source_layer.h"

// The process-wide state of the compositing engine: the target buffers with their
// size, the combining settings and the source state. One thread touches it all.

struct bgra {
  uint8_t blue;
  uint8_t green;
  uint8_t red;
  uint8_t fourth;  // never computed by the combining pass
};

struct rgb_color {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
};

inline constexpr int target_capacity = max_target_width * max_target_height;

// Pixels packed at target_width per row, top row first.
extern bgra target_pixels[target_capacity];  // presented, saved, copied, printed
extern bgra target_work[target_capacity];    // combined and adjusted, before effects; warp input
extern bgra target_copy[target_capacity];    // undo copy for blending zones and articulate effects
extern int target_width;
extern int target_height;

// Combining settings; the view's constructor sets the starting values again.
extern int method_code;    // 0..16, the combining operator
extern int source_bias;    // 0..256
extern int contrast_mode;  // 0 grey, 1 normal, 2 infinite black and white, 3 infinite colour
extern int contrast_bias;  // 0..255
extern int effect_code;    // 0..7, the chosen "Effects:" entry
extern rgb_color base_color;

// Source state.
extern int source_count;  // 0, 1 or 2 sources loaded
extern int fix_point_1;   // 0..8 anchors, 1 = top left
extern int fix_point_2;
extern bool wic_ready;  // the imaging layer is initialised

void StoreTargetCopy();
void RestoreTargetCopy();
