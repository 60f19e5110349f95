#pragma once
#include <functional>
#include <string>
#include <vector>

#include "sources/text_extent.h"

using text_measure = std::function<text_extent(const std::string&)>;

// How a tip window is laid out: its lines, its size and where the first line goes.
struct tip_layout {
  std::vector<std::string> lines;
  int line_height = 0;
  int width = 0;
  int height = 0;
  int first_line_y = 0;  // line i is drawn at x 5, y first_line_y + i * line_height
};

// The start-up tip at one scroll phase (0..63): at most 16 lines split at
// backslashes, a window four blank lines taller than the text, the text rising one
// pixel per phase from y 64.
tip_layout LayOutStartupTip(const std::string& text, const text_measure& measure, int phase);

// A flying tip: the text's lines split at line feeds, in a window just around them.
tip_layout LayOutFlyingTip(const std::string& text, const text_measure& measure);
