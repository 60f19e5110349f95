// Renders arbitrary texts of up to 2048 bytes at arbitrary font heights and batch
// numbers into a text source: substitution, measuring, the fitting loop, drawing and
// the expansion into the record. A render must end, stay inside its buffers and give
// a block within the bitmap cap, or fail and leave the source as it was. Pango
// measures and draws at heights up to 40 pixels either way; every other height goes
// to a measurer that derives the extents from the text, fast enough for the whole
// range of heights.
#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "sources/document.h"
#include "sources/text_layout.h"
#include "sources/text_source.h"

extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// Lines as wide as their bytes' sum and as high as the height says, drawn as boxes,
// with heights beyond 64 measuring as 64: only long texts then fill the bitmap,
// which the fuzzer's instrumentation paints slowly.
class sum_renderer : public text_renderer {
 public:
  bool SelectFont(const font_description&, int h) override {
    height = h;
    return true;
  }
  text_extent Measure(std::string_view line) override {
    int64_t sum = 0;
    for (char c : line) sum += uint8_t(c);
    const int64_t em = std::min<int64_t>(height < 0 ? -int64_t(height) : int64_t(height) / 2, 64);
    return {int(std::min<int64_t>(sum * em / 256, INT32_MAX)), int(em)};
  }
  std::vector<uint8_t> Draw(const std::vector<std::string_view>& lines, int line_height, int width,
                            int h) override {
    std::vector<uint8_t> coverage(size_t(width) * size_t(h), 0);
    for (size_t k = 0; k < lines.size(); ++k) {
      const int64_t top = 1 + int64_t(k) * line_height;
      const text_extent box = Measure(lines[k]);
      for (int64_t y = top; y < std::min<int64_t>(h, top + box.height); ++y)
        for (int x = 1; x < std::min(width, 1 + box.width); ++x) coverage[size_t(y) * width + x] = 1;
    }
    return coverage;
  }

 private:
  int height = 0;
};

int32_t IntAt(const uint8_t* data) {
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= uint32_t(data[i]) << (8 * i);
  return int32_t(v);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 9) return 0;
  static CvorbelDoc doc;
  const int32_t height = IntAt(data);
  const int32_t number = IntAt(data + 4);
  const uint8_t flags = data[8];
  font_description& font = doc.text_font[0];
  font.lfHeight = height;
  font.lfWeight = int32_t(flags & 0xF0) * 8;
  font.lfItalic = flags & 1;
  font.lfUnderline = (flags >> 1) & 1;
  font.lfStrikeOut = (flags >> 2) & 1;
  font.lfFaceName = flags & 8 ? "Arial" : "Times New Roman";
  doc.text_transparent[0] = flags & 1;
  doc.source_text[0].assign(reinterpret_cast<const char*>(data + 9), std::min<size_t>(size - 9, 2048));

  const uint8_t* before = doc.source_image[0].bitmap;
  const vsize size_before = doc.image_size[0];
  const bool by_pango = height >= -40 && height <= 40;
  sum_renderer sums;
  const int result = by_pango ? doc.RenderSourceText(0, number) : RenderSourceTextWith(doc, sums, 0, number);
  if (result != 0) {
    Check(doc.source_image[0].bitmap == before);
    Check(doc.image_size[0].width == size_before.width && doc.image_size[0].height == size_before.height);
    Check(font.lfHeight == height);
    return 0;
  }
  const image_record& record = doc.source_image[0];
  const int w = doc.image_size[0].width, h = doc.image_size[0].height;
  Check(record.Width() == w && record.Height() == h);
  Check(w % 16 == 0 && h % 4 == 0 && h > 0);
  Check(int64_t(w) * h <= max_text_bitmap_pixels);
  Check(record.mask_size == w * h);
  for (int i = 0; i < w * h; ++i) Check(record.mask[i] <= 1);
  return 0;
}
