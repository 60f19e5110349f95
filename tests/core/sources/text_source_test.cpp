#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>
#include <pango/pangofc-fontmap.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <string>

#include "document_fixture.h"
#include "fake_text_renderer.h"
#include "sources/text_entry_rules.h"
#include "sources/text_pango.h"
#include "sources/text_source.h"

namespace {

// The window layer of the document tests with a text dialog that runs a script.
class text_ui_fake : public document_ui_fake {
 public:
  std::function<bool(CvorbelDoc&, int)> dialog = [](CvorbelDoc&, int) { return false; };
  std::vector<std::pair<int, int>> font_sizes;  // source, height
  bool RunTextEntry(CvorbelDoc& document, int index, bool) override { return dialog(document, index); }
  void ShowFontSize(int s, int height) override { font_sizes.emplace_back(s, height); }
};

class text_source : public document_test {
 protected:
  text_ui_fake text_ui;
  void SetUp() override {
    document_test::SetUp();
    SetUiPort(&text_ui);
  }
  int LetterPixels(int i) const {
    int count = 0;
    for (int k = 0; k < doc.source_image[i].mask_size; ++k) count += doc.source_image[i].mask[k];
    return count;
  }
};

// While it lives, the renderer's font map knows no font at all, so that no font can
// be made for any text.
class no_fonts {
 public:
  no_fonts() {
    if (saved) FcConfigReference(saved);
    FcConfig* empty = FcConfigCreate();
    pango_fc_font_map_set_config(map, empty);
    FcConfigDestroy(empty);
  }
  ~no_fonts() {
    pango_fc_font_map_set_config(map, saved);
    if (saved) FcConfigDestroy(saved);
  }
  no_fonts(const no_fonts&) = delete;
  no_fonts& operator=(const no_fonts&) = delete;

 private:
  PangoFcFontMap* map = PANGO_FC_FONT_MAP(pango_cairo_font_map_get_default());
  FcConfig* saved = pango_fc_font_map_get_config(map);
};

}  // namespace

// The text dialog's apply step on a new source whose text cannot be rendered.
TEST_F(text_source, DialogApplyThatCannotRenderLeavesAnEmpty120By120Source) {
  {
    const no_fonts none;
    ApplyTextEntry(doc, 1, "no font for this", false);
  }
  EXPECT_EQ(text_ui.messages, (message_list{{"Problem with font generation ?", message_icon::error}}));
  EXPECT_EQ(doc.source_text[1], "no font for this\r\n");
  EXPECT_EQ(doc.image_size[1].width, 120);
  EXPECT_EQ(doc.image_size[1].height, 120);
  const image_record& record = doc.source_image[1];
  ASSERT_FALSE(record.Empty());
  EXPECT_EQ(record.Width(), 120);
  EXPECT_EQ(record.Height(), 120);
  const uint8_t* pixels = record.Pixels();
  EXPECT_TRUE(std::all_of(pixels, pixels + 120 * 120 * 4, [](uint8_t b) { return b == 0; }));
  ASSERT_EQ(record.mask_size, 120 * 120);
  EXPECT_TRUE(std::all_of(record.mask, record.mask + record.mask_size, [](uint8_t m) { return m == 1; }));
  EXPECT_EQ(doc.RenderSourceText(1, -1), 0);  // the fonts are back
}

TEST_F(text_source, FailedRenderKeepsTheSourceAndItsFont) {
  fake_text_renderer renderer;
  doc.source_text[0] = "first\r\n";
  ASSERT_EQ(RenderSourceTextWith(doc, renderer, 0, -1), 0);
  const uint8_t* before = doc.source_image[0].bitmap;

  renderer.measure = [](std::string_view, int) { return text_extent{30000, 10}; };  // never fits
  EXPECT_EQ(RenderSourceTextWith(doc, renderer, 0, -1), 1);
  renderer.font_fails = true;
  EXPECT_EQ(RenderSourceTextWith(doc, renderer, 0, -1), 1);
  EXPECT_EQ(text_ui.messages, (message_list{{"Problem with font generation ?", message_icon::error}}));
  doc.source_text[0].clear();
  EXPECT_EQ(RenderSourceTextWith(doc, renderer, 0, -1), 1);  // no line at all
  EXPECT_EQ(doc.source_image[0].bitmap, before);
  EXPECT_EQ(doc.text_font[0].lfHeight, -27);
}

TEST_F(text_source, DialogSeesTheTextWithoutItsLastLineBreak) {
  std::vector<std::string> shown;
  text_ui.dialog = [&](CvorbelDoc& d, int i) {
    shown.push_back(d.source_text[i]);
    EXPECT_EQ(text_color_ref, &d.text_color[i]);
    EXPECT_EQ(text_back_color_ref, &d.text_back_color[i]);
    ApplyTextEntry(d, i, shown.size() == 1 ? "a long first text\n\nwith lines" : "short", false);
    return true;
  };
  EXPECT_FALSE(doc.EnterSourceText(false, 1));
  EXPECT_FALSE(doc.EnterSourceText(true, 1));
  EXPECT_FALSE(doc.EnterSourceText(true, 1));
  EXPECT_EQ(shown, (std::vector<std::string>{"", "a long first text\r\n\r\nwith lines", "short"}));
  EXPECT_EQ(text_ui.font_sizes, (std::vector<std::pair<int, int>>{{2, -27}, {2, -27}, {2, -27}}));
  EXPECT_EQ(doc.image_size[1].height % 4, 0);
}

TEST_F(text_source, CancelLeavesATextThatStillRenders) {
  doc.source_text[0] = "kept\r\n";
  EXPECT_TRUE(doc.EnterSourceText(false, 0));
  EXPECT_EQ(doc.source_text[0], "kept\r\n");
  EXPECT_TRUE(text_ui.font_sizes.empty());

  // "Zap Text", then Cancel: the empty text gets its line break back and renders
  // one empty line instead of doubling the font for ever.
  text_ui.dialog = [](CvorbelDoc& d, int i) { return d.source_text[i].clear(), false; };
  EXPECT_TRUE(doc.EnterSourceText(false, 0));
  EXPECT_EQ(doc.source_text[0], "\r\n");
  EXPECT_EQ(doc.RenderSourceText(0, -1), 0);
  EXPECT_EQ(LetterPixels(0), int(doc.source_image[0].mask_size));  // opaque, nothing drawn
}

TEST_F(text_source, BoxAndDocumentTexts) {
  EXPECT_EQ(TextFromBox(""), "Empty text box\r\n");
  EXPECT_EQ(TextFromBox("a\nb"), "a\r\nb\r\n");
  EXPECT_EQ(BoxFromText("a\r\nb\r\n"), "a\nb\n");
  EXPECT_EQ(PastedText("a\tb\nc"), "a    b\r\nc");

  // Caps fall between characters and never between CR and LF.
  std::string box(8186, 'x');
  EXPECT_EQ(TextFromBox(box + "\n"), box + "\r\n");
  EXPECT_EQ(TextFromBox(box + "\xC3\xA9"), box + "\r\n");
  EXPECT_EQ(TextFromBox(std::string(9000, 'x')).size(), 8189u);
  EXPECT_EQ(PastedText(std::string(3000, '\t')), std::string(8188, ' '));
}

TEST_F(text_source, PangoRendersTheFontsLetters) {
  doc.source_text[0] = "Vorbel & co\r\nline two\r\n";
  doc.text_transparent[0] = 1;
  ASSERT_EQ(doc.RenderSourceText(0, -1), 0);
  const image_record& record = doc.source_image[0];
  const int w = record.Width(), h = record.Height();
  EXPECT_TRUE(w % 16 == 0 && h % 4 == 0 && h >= 2 * 27) << w << " x " << h;
  int ink = 0, left = w, right = 0;
  for (int k = 0; k < w * h; ++k)
    if (record.mask[k]) ++ink, left = std::min(left, k % w), right = std::max(right, k % w);
  EXPECT_GT(ink, 500);
  EXPECT_TRUE(left > 0 && right < w - 1) << left << ".." << right;  // all ink inside the block

  // The same text renders the same twice, and a batch number as its digits.
  const std::vector<uint8_t> first(record.mask, record.mask + w * h);
  ASSERT_EQ(doc.RenderSourceText(0, -1), 0);
  EXPECT_EQ(std::vector<uint8_t>(doc.source_image[0].mask, doc.source_image[0].mask + w * h), first);
  doc.source_text[0] = "No. >n<\r\n";
  ASSERT_EQ(doc.RenderSourceText(0, 12), 0);
  doc.source_text[1] = "No. 12\r\n";
  doc.text_transparent[1] = 1;
  ASSERT_EQ(doc.RenderSourceText(1, -1), 0);
  const image_record &a = doc.source_image[0], &b = doc.source_image[1];
  ASSERT_EQ(a.mask_size, b.mask_size);
  EXPECT_TRUE(std::equal(a.mask, a.mask + a.mask_size, b.mask));

  // "&" is a letter of its own, not a mnemonic prefix.
  doc.source_text[0] = "AB\r\n";
  ASSERT_EQ(doc.RenderSourceText(0, -1), 0);
  const int without = LetterPixels(0);
  doc.source_text[0] = "A&B\r\n";
  ASSERT_EQ(doc.RenderSourceText(0, -1), 0);
  EXPECT_GT(LetterPixels(0), without + 50);
}

TEST_F(text_source, PangoCopesWithHostileTextsAndHeights) {
  const std::string hostile[] = {
      std::string(8189, 'W') + "\r\n",
      [] { std::string t; for (int i = 0; i < 10000; ++i) t += "line\r\n"; return t; }(),
      std::string("\x01\x02\x1b\x7f\t\t|\r\n", 9),
      "bad \xFF\xFE \xC3 utf-8 \xED\xA0\x80\r\n",
  };
  for (const std::string& text : hostile) {
    doc.source_text[0] = text;
    EXPECT_EQ(doc.RenderSourceText(0, -1), 0);
    EXPECT_LE(int64_t(doc.image_size[0].width) * doc.image_size[0].height, max_text_bitmap_pixels);
    EXPECT_LE(doc.image_size[0].width, image_record::max_side);
    doc.text_font[0].lfHeight = -27;
  }
  doc.source_text[0] = "Hello\r\n";
  doc.text_font[0].lfFaceName = "No Such Face At All";
  EXPECT_EQ(doc.RenderSourceText(0, -1), 0);
  for (int height : {0, 1, -1, INT_MAX, -INT_MAX, INT_MIN}) {
    doc.text_font[0].lfHeight = height;
    EXPECT_EQ(doc.RenderSourceText(0, -1), 0) << height;
    EXPECT_GE(doc.image_size[0].height, 8) << height;
  }
  EXPECT_TRUE(text_ui.messages.empty());
}

// Pango's extents are ints of 1/1024 pixel, so a line beyond 2,097,151 pixels
// wrapped to a few pixels and rendered as a sliver.
TEST_F(text_source, ALineBeyondPangosUnitsMeasuresWholeAndItsHeightHalvesUntilItFits) {
  font_description& font = doc.text_font[0];
  font.lfFaceName = "Liberation Serif";
  const std::string line(5300, 'W');
  pango_text_renderer renderer;
  ASSERT_TRUE(renderer.SelectFont(font, -432));
  const int letter = renderer.Measure("W").width;
  EXPECT_GT(5300 * letter, 2097151);
  EXPECT_EQ(renderer.Measure(line).width, 5300 * letter);

  doc.source_text[0] = line + "\r\n";
  font.lfHeight = -432;
  ASSERT_EQ(doc.RenderSourceText(0, -1), 0);
  // The bitmap is (W + 16) rounded down to a multiple of 16 wide and (H + 2) rounded
  // down to a multiple of 4 high, at the first of -432, -216, -108... where it fits.
  const auto block_at = [&](int height) {
    EXPECT_TRUE(renderer.SelectFont(font, height));
    const text_extent one = renderer.Measure("W");
    return std::pair{(5300 * int64_t(one.width) + 16) / 16 * 16, int64_t(one.height + 2) / 4 * 4};
  };
  const auto fits = [](std::pair<int64_t, int64_t> block) {
    return block.first * block.second <= 16777216 && block.first <= image_record::max_side;
  };
  int height = -432;
  while (!fits(block_at(height))) height /= 2;
  EXPECT_EQ(font.lfHeight, height);
  EXPECT_EQ(doc.image_size[0].width, block_at(height).first);
  EXPECT_EQ(doc.image_size[0].height, block_at(height).second);
}

TEST(coarse_font, StepsDoubleOrHalveWithinTheirLimitsAndShowPointSizes) {
  EXPECT_EQ(CoarseFontHeight(-27, true), -54);
  EXPECT_EQ(CoarseFontHeight(-27, false), -13);
  EXPECT_EQ(CoarseFontHeight(-1, false), -1);  // the half would be 0
  EXPECT_EQ(CoarseFontHeight(1, false), 1);
  EXPECT_EQ(CoarseFontHeight(INT_MIN / 2, true), INT_MIN);
  EXPECT_EQ(CoarseFontHeight(INT_MIN / 2 - 1, true), INT_MIN / 2 - 1);  // would overflow
  EXPECT_EQ(CoarseFontHeight(INT_MIN, true), INT_MIN);
  EXPECT_EQ(CoarseFontHeight(INT_MIN, false), INT_MIN / 2);
  EXPECT_EQ(FontPointSize(-32, 1.0f), 24);
  EXPECT_EQ(FontPointSize(-27, 1.0f), 20);
  EXPECT_EQ(FontPointSize(-32, 2.0f), 12);
  EXPECT_GT(FontPointSize(INT_MIN, 1.0f), 0);
}
