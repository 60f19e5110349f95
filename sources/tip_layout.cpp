#include "sources/tip_layout.h"

#include <algorithm>

namespace {

constexpr size_t max_startup_lines = 16;

// Widest line and the height of the last one measured.
void Measure(tip_layout& layout, const text_measure& measure) {
  for (const std::string& line : layout.lines) {
    const text_extent extent = measure(line);
    layout.width = std::max(layout.width, extent.width);
    layout.line_height = extent.height;
  }
}

}  // namespace

tip_layout LayOutStartupTip(const std::string& text, const text_measure& measure, int phase) {
  tip_layout layout;
  int ended_by_backslash = 0;
  size_t from = 0;
  while (layout.lines.size() < max_startup_lines) {
    const size_t backslash = text.find('\\', from);
    if (backslash == std::string::npos) {
      layout.lines.push_back(text.substr(from));
      break;
    }
    layout.lines.push_back(text.substr(from, backslash - from));
    ++ended_by_backslash;
    from = backslash + 1;
  }
  Measure(layout, measure);
  layout.width += 10;
  layout.height = layout.line_height * (ended_by_backslash + 5) + 12;
  layout.first_line_y = 64 - phase;
  return layout;
}

tip_layout LayOutFlyingTip(const std::string& text, const text_measure& measure) {
  tip_layout layout;
  size_t from = 0;
  for (;;) {
    const size_t feed = text.find('\n', from);
    layout.lines.push_back(text.substr(from, feed == std::string::npos ? feed : feed - from));
    if (feed == std::string::npos) break;
    from = feed + 1;
  }
  Measure(layout, measure);
  layout.width += 10;
  layout.height = layout.line_height * int(layout.lines.size()) + 2;
  layout.first_line_y = 1;
  return layout;
}
