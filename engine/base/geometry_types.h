#pragma once

// Plain geometry records shared by the engine and the window layer.
struct vpoint {
  int x = 0;
  int y = 0;
  bool operator==(const vpoint&) const = default;
};

struct vsize {
  int width = 0;
  int height = 0;
};

// Edges as the window system gives them: right and bottom are exclusive.
struct vrect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const vrect&) const = default;
};
