#pragma once
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string_view>
#include <vector>

#include "sources/document.h"
#include "sources/text_layout.h"

// Measures by a rule given in the test and draws each line as a solid box of its
// measured size, so that every inked pixel can be predicted.
class fake_text_renderer : public text_renderer {
 public:
  std::function<text_extent(std::string_view line, int height)> measure = [](std::string_view line, int height) {
    const int em = int(std::abs(int64_t(height)));
    return text_extent{int(line.size()) * em / 2, em};
  };
  std::vector<int> heights;  // every height a font was made at
  bool font_fails = false;

  bool SelectFont(const font_description&, int height) override {
    heights.push_back(height);
    return !font_fails;
  }
  text_extent Measure(std::string_view line) override { return measure(line, heights.back()); }
  std::vector<uint8_t> Draw(const std::vector<std::string_view>& lines, int line_height, int width,
                            int height) override {
    std::vector<uint8_t> coverage(size_t(width) * height, 0);
    for (int k = 0, top = 1; k < int(lines.size()); ++k, top += line_height)
      for (int y = top, w = Measure(lines[k]).width; y < std::min(height, top + line_height); ++y)
        std::fill_n(coverage.begin() + y * width + 1, std::max(0, std::min(width - 1, w)), 1);
    return coverage;
  }
};
