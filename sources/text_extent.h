#pragma once

// Width and height of a text drawn in some font.
struct text_extent {
  int width = 0;
  int height = 0;
};
