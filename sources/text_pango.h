#pragma once
#include <memory>

#include "sources/text_layout.h"

// Measures and draws text with Pango on Cairo image surfaces, so it needs no
// display. Glyphs are drawn without antialiasing and with hinted metrics, so that a
// line measures in whole pixels and draws as it measured.
class pango_text_renderer : public text_renderer {
 public:
  pango_text_renderer();
  ~pango_text_renderer() override;
  pango_text_renderer(const pango_text_renderer&) = delete;
  pango_text_renderer& operator=(const pango_text_renderer&) = delete;

  bool SelectFont(const font_description& font, int height) override;
  text_extent Measure(std::string_view line) override;
  std::vector<uint8_t> Draw(const std::vector<std::string_view>& lines, int line_height, int width,
                            int height) override;

  // The em size in pixels that height asks for: a negative height is the character
  // height itself, a positive one the cell height (ascent plus descent), 0 the
  // default. Kept within 1 to 16384 pixels.
  int EmPixels(const font_description& font, int height);

 private:
  struct pango_state;
  std::unique_ptr<pango_state> state;
};
