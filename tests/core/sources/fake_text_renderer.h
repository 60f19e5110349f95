#pragma once
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
    for (size_t k = 0; k < lines.size(); ++k) {
      const text_extent box = Measure(lines[k]);
      for (int y = 1 + int(k) * line_height; y < std::min(height, 1 + int(k) * line_height + box.height); ++y)
        for (int x = 1; x < std::min(width, 1 + box.width); ++x) coverage[size_t(y) * width + x] = 1;
    }
    return coverage;
  }
};
