#include <algorithm>
#include <cmath>

#include "engine/base/process_state.h"
#include "ui/adapters/display_scales.h"
#include "ui/adapters/screen_flush.h"
#include "ui/view/view.h"

namespace {

// Owns one Cairo object for the span of a presentation.
template <typename T, void (*destroy)(T*)>
struct cairo_owner {
  T* object;
  explicit cairo_owner(T* o) : object(o) {}
  ~cairo_owner() {
    if (object) destroy(object);
  }
  cairo_owner(const cairo_owner&) = delete;
  cairo_owner& operator=(const cairo_owner&) = delete;
  operator T*() const { return object; }
};

using context_owner = cairo_owner<cairo_t, cairo_destroy>;
using pattern_owner = cairo_owner<cairo_pattern_t, cairo_pattern_destroy>;
using surface_owner = cairo_owner<cairo_surface_t, cairo_surface_destroy>;

void StrokeLine(cairo_t* cr, double x0, double y0, double x1, double y1) {
  cairo_move_to(cr, x0, y0);
  cairo_line_to(cr, x1, y1);
  cairo_stroke(cr);
}

}  // namespace

bool CvorbelView::PresentPixels(const bgra* pixels) {
  if (ComposePresentation(pixels)) return true;
  ShowDisplay();
  return false;
}

void CvorbelView::ShowDisplay() {
  display_fresh = true;
  Refresh(false);
  PaintNow(*this);
}

bool CvorbelView::ComposePresentation(const bgra* pixels) {
  if (target_width <= 0 || target_height <= 0) return true;
  wxSize client = GetClientSize();
  const int cw = std::max(client.x, 1);
  const int ch = std::max(client.y, 1);
  if (!display || cairo_image_surface_get_width(display) != cw ||
      cairo_image_surface_get_height(display) != ch) {
    if (display) cairo_surface_destroy(display);
    if (backdrop) cairo_surface_destroy(backdrop);
    display = cairo_image_surface_create(CAIRO_FORMAT_RGB24, cw, ch);
    backdrop = cairo_image_surface_create(CAIRO_FORMAT_RGB24, cw, ch);
    context_owner painter(cairo_create(backdrop));
    pattern_owner gradient(cairo_pattern_create_linear(0, 0, cw, ch));
    cairo_pattern_add_color_stop_rgb(gradient, 0.0, 1.0, 1.0, 0.8784);
    cairo_pattern_add_color_stop_rgb(gradient, 1.0, 0.1333, 0.5451, 0.1333);
    cairo_pattern_set_extend(gradient, CAIRO_EXTEND_PAD);
    cairo_set_source(painter, gradient);
    cairo_paint(painter);
    cairo_surface_flush(backdrop);
  }
  if (cairo_surface_status(display) != CAIRO_STATUS_SUCCESS ||
      cairo_surface_status(backdrop) != CAIRO_STATUS_SUCCESS)
    return true;

  context_owner cr(cairo_create(display));
  const float dpi_x = display_scales::dpi_x;
  const float dpi_y = display_scales::dpi_y;
  const wxPoint scroll = CalcUnscrolledPosition(wxPoint(0, 0));
  const double left = (target_rect.left - scroll.x) / dpi_x, top = (target_rect.top - scroll.y) / dpi_y;

  // The opaque picture covers the pixels wholly inside its rectangle, whatever lay
  // there: the backdrop is copied around them, a pixel's margin left for the
  // partly covered edges.
  const double inner_left = std::ceil(left) + 1, inner_top = std::ceil(top) + 1;
  const double inner_right = std::floor(left + double(target_width) * display_scale) - 1;
  const double inner_bottom = std::floor(top + double(target_height) * display_scale) - 1;
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_surface(cr, backdrop, 0, 0);
  if (inner_right > inner_left && inner_bottom > inner_top) {
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_rectangle(cr, 0, 0, cw, ch);
    cairo_rectangle(cr, inner_left, inner_top, inner_right - inner_left, inner_bottom - inner_top);
    cairo_fill(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
  } else {
    cairo_paint(cr);
  }
  cairo_set_operator(cr, CAIRO_OPERATOR_OVER);

  cairo_translate(cr, left, top);
  cairo_scale(cr, display_scale, display_scale);

  // The packed target is 0x00RRGGBB in memory order as it stands.
  surface_owner picture(cairo_image_surface_create_for_data(
      reinterpret_cast<unsigned char*>(const_cast<bgra*>(pixels)), CAIRO_FORMAT_RGB24,
      target_width, target_height, target_width * 4));
  pattern_owner source(cairo_pattern_create_for_surface(picture));
  cairo_pattern_set_filter(source, CAIRO_FILTER_BILINEAR);
  cairo_pattern_set_extend(source, CAIRO_EXTEND_PAD);
  cairo_set_source(cr, source);
  cairo_rectangle(cr, 0, 0, target_width, target_height);
  cairo_fill(cr);

  if (moving_source == 1 || moving_source == 2) {
    const int s = moving_source - 1;
    const int w = int(width_percent[s] * fit_factor_x[s] * rotated_size[s].width / 100.0 + 0.5);
    const int h = int(height_percent[s] * fit_factor_y[s] * rotated_size[s].height / 100.0 + 0.5);
    const double left = -offset[s].x / dpi_x, right = (w - offset[s].x) / dpi_x;
    const double top = -offset[s].y / dpi_y, bottom = (h - offset[s].y) / dpi_y;
    // Dash, dot, dot: lengths in stroke widths.
    const double dashes[6] = {10.0, 8.75, 2.5, 7.5, 2.5, 8.75};
    cairo_set_source_rgb(cr, 1.0, 1.0, 0.2);
    cairo_set_line_width(cr, 5.0);
    cairo_set_dash(cr, dashes, 6, 0.0);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
    cairo_set_miter_limit(cr, 10.0);
    StrokeLine(cr, left, top, left, bottom);
    StrokeLine(cr, left, bottom, right, bottom);
    StrokeLine(cr, right, bottom, right, top);
    StrokeLine(cr, right, top, left, top);
    cairo_set_dash(cr, nullptr, 0, 0.0);
  }

  if (show_fix_cross) {
    const double x1 = -anchor[0].x / dpi_x, y1 = -anchor[0].y / dpi_y;
    const double x2 = -anchor[1].x / dpi_x, y2 = -anchor[1].y / dpi_y;
    cairo_set_source_rgb(cr, 0.0, 0.5, 1.0);
    cairo_set_line_width(cr, 5.0);
    StrokeLine(cr, x1, y1, x1, y2);
    StrokeLine(cr, x1, y2, x2, y2);
    cairo_rectangle(cr, x1 - 8, y1 - 8, 16, 16);
    cairo_rectangle(cr, x2 - 8, y2 - 8, 16, 16);
    cairo_fill(cr);
  }

  cairo_surface_finish(picture);
  if (cairo_status(cr) != CAIRO_STATUS_SUCCESS) return true;
  cairo_identity_matrix(cr);
  StrokeBlendingBox(cr);
  cairo_surface_flush(display);
  return false;
}

void CvorbelView::StrokeBlendingBox(cairo_t* cr) const {
  if (!box_dragging || (zone_box[0] == -1 && zone_box[1] == -1)) return;
  const wxPoint scroll = CalcUnscrolledPosition(wxPoint(0, 0));
  // Pixel centres, so that the one-pixel line covers whole pixels.
  const double x0 = zone_box[0] - scroll.x + 0.5, y0 = zone_box[1] - scroll.y + 0.5;
  const double x1 = zone_box[2] - scroll.x + 0.5, y1 = zone_box[3] - scroll.y + 0.5;
  const double dots[2] = {3.0, 3.0};
  cairo_save(cr);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  cairo_set_source_rgb(cr, 0.0, 0.0, 0.0);
  cairo_set_line_width(cr, 1.0);
  cairo_set_dash(cr, dots, 2, 0.0);
  cairo_move_to(cr, x0, y0);
  cairo_line_to(cr, x0, y1);
  cairo_line_to(cr, x1, y1);
  cairo_line_to(cr, x1, y0);
  cairo_close_path(cr);
  cairo_stroke(cr);
  cairo_restore(cr);
}

void CvorbelView::DrawBlendingBox() {
  if (!display) return;
  {
    context_owner cr(cairo_create(display));
    StrokeBlendingBox(cr);
  }
  cairo_surface_flush(display);
  ShowDisplay();
}

void CvorbelView::DrawDragLine(vpoint from, vpoint to) {
  if (ComposePresentation(target_pixels)) return;
  const wxPoint scroll = CalcUnscrolledPosition(wxPoint(0, 0));
  {
    context_owner cr(cairo_create(display));
    const double dots[2] = {1.0, 1.0};
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    cairo_set_source_rgb(cr, 0.0, 0.0, 0.0);
    cairo_set_line_width(cr, 1.0);
    cairo_set_dash(cr, dots, 2, 0.0);
    StrokeLine(cr, from.x - scroll.x + 0.5, from.y - scroll.y + 0.5, to.x - scroll.x + 0.5,
               to.y - scroll.y + 0.5);
  }
  cairo_surface_flush(display);
  ShowDisplay();
}
