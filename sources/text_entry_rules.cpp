#include "sources/text_entry_rules.h"

#include "sources/document.h"
#include "sources/text_layout.h"

namespace {

constexpr size_t applied_bytes = 8187;
constexpr size_t pasted_bytes = 8188;

// LF becomes CR LF, cut to max_bytes without splitting a character or a line break.
std::string WithLineBreaks(const std::string& box, size_t max_bytes) {
  std::string text;
  for (char c : box) {
    if (c == '\n') text += '\r';
    text += c;
    if (text.size() > max_bytes) break;
  }
  text.resize(Utf8Prefix(text, max_bytes));
  if (!text.empty() && text.back() == '\r') text.pop_back();
  return text;
}

}  // namespace

std::string BoxFromText(const std::string& text) {
  std::string box;
  const size_t end = std::min(text.find('\0'), text.size());
  for (size_t i = 0; i < end; ++i)
    if (!(text[i] == '\r' && i + 1 < end && text[i + 1] == '\n')) box += text[i];
  return box;
}

std::string TextFromBox(const std::string& box) {
  std::string text = WithLineBreaks(box.substr(0, box.find('\0')), applied_bytes);
  if (text.empty()) return "Empty text box\r\n";
  return text + "\r\n";
}

std::string PastedText(const std::string& box) {
  std::string expanded;
  for (char c : box.substr(0, box.find('\0'))) {
    if (c == '\t')
      expanded += "    ";
    else
      expanded += c;
    if (expanded.size() > 2 * pasted_bytes) break;
  }
  return WithLineBreaks(expanded, pasted_bytes);
}

void ApplyTextEntry(CvorbelDoc& document, int i, const std::string& box, bool transparent) {
  if (i != 0 && i != 1) return;
  document.source_text[i] = TextFromBox(box);
  document.text_transparent[i] = transparent ? 1 : 0;
  if (document.RenderSourceText(i, -1) == 0 || !document.source_image[i].Empty()) return;
  if (document.source_image[i].Create(120, 120)) document.image_size[i] = {120, 120};
}
