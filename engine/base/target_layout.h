#pragma once

// Where the target sits in the view's window: centred, with a margin of at least
// 20 pixels on each side, and the scroll range that holds it.
struct target_layout {
  int x = 0, y = 0;                          // the target's origin in the view
  int scroll_width = 0, scroll_height = 0;   // the view's total (virtual) size
};

// For a client area of client_w x client_h and a target of W x H shown at display_scale.
target_layout CentredTarget(int client_w, int client_h, int W, int H, float display_scale);

// The scale at which a W x H target with 40 pixels around it fits the client area.
// Never 0: a window squeezed to nothing still gets a small positive scale, so that
// every later division by the display scale stays defined.
float FitScale(int client_w, int client_h, int W, int H);
