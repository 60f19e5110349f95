#pragma once

// The scales every window draws with, process-wide so that a window works without an
// application object: the user's viewing scale in percent, and the screen's dots per
// inch against 96 in each direction.
struct display_scales {
  static inline int viewing = 100;
  static inline float dpi_x = 1.0f;
  static inline float dpi_y = 1.0f;
};
