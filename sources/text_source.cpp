#include "sources/text_source.h"

#include <string>
#include <utility>

#include "platform/ui_port.h"
#include "sources/document.h"
#include "sources/text_layout.h"
#include "sources/text_pango.h"

uint32_t* text_color_ref = nullptr;
uint32_t* text_back_color_ref = nullptr;

namespace {

bool EndsInLineBreak(const std::string& text) {
  return text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0;
}

}  // namespace

bool CvorbelDoc::EnterSourceText(bool replacing, int i) {
  if (i != 0 && i != 1) return true;
  std::string& text = source_text[i];
  text.resize(std::min(text.find('\0'), text.size()));
  // Only the text's own final line break goes: the dialog shows no empty last line.
  if (EndsInLineBreak(text)) text.resize(text.size() - 2);
  text_color_ref = &text_color[i];
  text_back_color_ref = &text_back_color[i];

  if (!the_ui().RunTextEntry(*this, i, replacing)) {
    // The dialog's buttons may have emptied or replaced the text; it must end in a
    // line break again, or its last line would not be measured.
    if (!EndsInLineBreak(text)) {
      text.resize(Utf8Prefix(text, text_field_bytes - 3));
      text += "\r\n";
    }
    return true;
  }
  the_ui().ShowFontSize(i + 1, text_font[i].lfHeight);
  return false;
}

int CvorbelDoc::RenderSourceText(int i, int number) {
  pango_text_renderer renderer;
  return RenderSourceTextWith(*this, renderer, i, number);
}

int RenderSourceTextWith(CvorbelDoc& document, text_renderer& renderer, int i, int number) {
  if (i != 0 && i != 1) return 1;
  const std::string work = SubstituteBatchNumber(document.source_text[i], number);
  const std::vector<std::string_view> lines = MeasuredLines(work);
  if (lines.empty()) return 1;

  font_description& font = document.text_font[i];
  const fitted_text fitted = FitTextHeight(renderer, font, lines);
  if (fitted.font_failed) {
    the_ui().MessageBox("Problem with font generation ?", message_icon::error);
    return 1;
  }
  const text_block& block = fitted.block;
  if (!fitted.fits || block.height == 0) return 1;
  const std::vector<uint8_t> coverage = renderer.Draw(lines, block.tallest, block.width, block.height);
  if (coverage.empty()) return 1;

  // Built aside: a failed render leaves the source and its font as they were.
  image_record fresh;
  const text_colours colours{document.text_color[i], document.text_back_color[i],
                             document.text_transparent[i] == 1};
  if (!PaintTextRecord(fresh, block, coverage, colours)) {
    the_ui().MessageBox("Vorbel has run out of memory!", message_icon::error);
    return 1;
  }
  font.lfHeight = fitted.height;
  document.source_image[i] = std::move(fresh);
  document.image_size[i] = {block.width, block.height};
  the_ui().AdjustLayout();
  return 0;
}

int CoarseFontHeight(int height, bool up) {
  if (!up) return height / 2 != 0 ? height / 2 : height;
  if (height > INT32_MAX / 2 || height < INT32_MIN / 2) return height;
  return height * 2;
}

int FontPointSize(int height, float dpi_scale_y) {
  return int(0.75f / dpi_scale_y * -float(height));
}
