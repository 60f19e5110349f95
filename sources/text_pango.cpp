#include "sources/text_pango.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>

#include "sources/document.h"

namespace {

constexpr int default_em_pixels = 16;
constexpr int max_em_pixels = 16384;

// The one place where the document's font description becomes a Pango font.
PangoFontDescription* DescriptionOf(const font_description& font, int em_pixels) {
  PangoFontDescription* description = pango_font_description_new();
  if (!font.lfFaceName.empty())
    pango_font_description_set_family(description, RepairedUtf8(font.lfFaceName).c_str());
  const int weight = font.lfWeight == 0 ? 400 : std::clamp(int(font.lfWeight), 100, 1000);
  pango_font_description_set_weight(description, PangoWeight(weight));
  pango_font_description_set_style(description,
                                   font.lfItalic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
  pango_font_description_set_absolute_size(description, double(em_pixels) * PANGO_SCALE);
  return description;
}

PangoAttrList* AttributesOf(const font_description& font) {
  PangoAttrList* attributes = pango_attr_list_new();
  if (font.lfUnderline)
    pango_attr_list_insert(attributes, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
  if (font.lfStrikeOut) pango_attr_list_insert(attributes, pango_attr_strikethrough_new(TRUE));
  return attributes;
}

int ClampedEm(int64_t em) { return int(std::clamp<int64_t>(em, 1, max_em_pixels)); }

// The advance of a one-line layout in Pango units, summed glyph by glyph in 64 bits:
// the layout's own extents are ints of Pango units and wrap beyond about two million
// pixels.
int64_t WideAdvance(PangoLayout* layout) {
  int64_t advance = 0;
  PangoLayoutLine* line = pango_layout_get_line_readonly(layout, 0);
  if (!line) return 0;
  for (GSList* run = line->runs; run; run = run->next) {
    const PangoGlyphString* glyphs = static_cast<PangoGlyphItem*>(run->data)->glyphs;
    for (int g = 0; g < glyphs->num_glyphs; ++g) advance += glyphs->glyphs[g].geometry.width;
  }
  return advance;
}

}  // namespace

struct pango_text_renderer::pango_state {
  PangoFontMap* map = nullptr;  // the thread's default map, not owned
  PangoContext* context = nullptr;
  cairo_font_options_t* options = nullptr;
  PangoFontDescription* description = nullptr;
  PangoAttrList* attributes = nullptr;

  ~pango_state() {
    if (attributes) pango_attr_list_unref(attributes);
    if (description) pango_font_description_free(description);
    if (options) cairo_font_options_destroy(options);
    if (context) g_object_unref(context);
  }

  // Gives the context the transformation and options of cr, as drawing needs; the
  // measuring context gets the same from a surface of the same kind.
  void Prepare(cairo_t* cr) {
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    cairo_set_font_options(cr, options);
    pango_cairo_update_context(cr, context);
  }

  PangoLayout* LayoutOf(std::string_view line) const {
    PangoLayout* layout = pango_layout_new(context);
    pango_layout_set_font_description(layout, description);
    pango_layout_set_attributes(layout, attributes);
    // A lone CR or a Unicode separator is no line break here: lines were split at LF.
    pango_layout_set_single_paragraph_mode(layout, TRUE);
    const std::string text = RepairedUtf8(line);
    pango_layout_set_text(layout, text.data(), int(text.size()));
    return layout;
  }
};

pango_text_renderer::pango_text_renderer() : state(std::make_unique<pango_state>()) {
  state->map = pango_cairo_font_map_get_default();
  state->context = pango_font_map_create_context(state->map);
  pango_context_set_language(state->context, pango_language_from_string("en"));
  pango_context_set_base_dir(state->context, PANGO_DIRECTION_LTR);
  state->options = cairo_font_options_create();
  cairo_font_options_set_antialias(state->options, CAIRO_ANTIALIAS_NONE);
  cairo_font_options_set_hint_metrics(state->options, CAIRO_HINT_METRICS_ON);
  cairo_font_options_set_hint_style(state->options, CAIRO_HINT_STYLE_FULL);
  pango_cairo_context_set_font_options(state->context, state->options);

  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
  cairo_t* cr = cairo_create(surface);
  state->Prepare(cr);
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
}

pango_text_renderer::~pango_text_renderer() = default;

int pango_text_renderer::EmPixels(const font_description& font, int height) {
  if (height < 0) return ClampedEm(-int64_t(height));
  if (height == 0) return default_em_pixels;
  // A cell height: the em that gives this ascent plus descent.
  const int trial = ClampedEm(height);
  PangoFontDescription* description = DescriptionOf(font, trial);
  PangoFont* loaded = pango_font_map_load_font(state->map, state->context, description);
  pango_font_description_free(description);
  if (!loaded) return trial;
  PangoFontMetrics* metrics = pango_font_get_metrics(loaded, nullptr);
  const double cell = double(pango_font_metrics_get_ascent(metrics) +
                             pango_font_metrics_get_descent(metrics)) /
                      PANGO_SCALE;
  pango_font_metrics_unref(metrics);
  g_object_unref(loaded);
  if (cell <= 0) return trial;
  return ClampedEm(std::llround(double(trial) * double(height) / cell));
}

bool pango_text_renderer::SelectFont(const font_description& font, int height) {
  PangoFontDescription* description = DescriptionOf(font, EmPixels(font, height));
  PangoFont* loaded = pango_font_map_load_font(state->map, state->context, description);
  if (!loaded) {
    pango_font_description_free(description);
    return false;
  }
  g_object_unref(loaded);
  if (state->description) pango_font_description_free(state->description);
  state->description = description;
  if (state->attributes) pango_attr_list_unref(state->attributes);
  state->attributes = AttributesOf(font);
  return true;
}

text_extent pango_text_renderer::Measure(std::string_view line) {
  if (!state->description) return {};
  PangoLayout* layout = state->LayoutOf(line);
  PangoRectangle logical;
  pango_layout_get_pixel_extents(layout, nullptr, &logical);
  const int64_t advance = WideAdvance(layout);
  g_object_unref(layout);
  // Within a quarter of the int range Pango's extents are sound and are kept as
  // they are; beyond it the 64-bit sum is the width.
  if (advance > INT_MAX / 4)
    logical.width = int(std::min<int64_t>((advance + PANGO_SCALE - 1) / PANGO_SCALE, INT_MAX));
  return {logical.width, logical.height};
}

std::vector<uint8_t> pango_text_renderer::Draw(const std::vector<std::string_view>& lines,
                                               int line_height, int width, int height) {
  std::vector<uint8_t> coverage;
  if (!state->description || width <= 0 || height <= 0) return coverage;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, width, height);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return coverage;
  }
  cairo_t* cr = cairo_create(surface);
  state->Prepare(cr);
  cairo_set_source_rgba(cr, 0, 0, 0, 1);
  for (size_t k = 0; k < lines.size(); ++k) {
    const double top = 1.0 + double(k) * double(line_height);
    if (top >= height) break;
    PangoLayout* layout = state->LayoutOf(lines[k]);
    cairo_move_to(cr, 1.0, top);
    pango_cairo_show_layout(cr, layout);
    g_object_unref(layout);
  }
  cairo_destroy(cr);
  cairo_surface_flush(surface);

  const uint8_t* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  coverage.resize(size_t(width) * size_t(height));
  for (int y = 0; y < height; ++y) {
    const uint8_t* row = data + size_t(y) * size_t(stride);
    uint8_t* to = coverage.data() + size_t(y) * size_t(width);
    for (int x = 0; x < width; ++x) to[x] = row[x] >= 128;
  }
  cairo_surface_destroy(surface);
  return coverage;
}
