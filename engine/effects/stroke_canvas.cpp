#include "engine/effects/stroke_canvas.h"

cairo_stroke_canvas::cairo_stroke_canvas(uint8_t* region, int stride, int left, int top, int w, int h) {
  surface = cairo_image_surface_create_for_data(region, CAIRO_FORMAT_ARGB32, w, h, stride);
  cr = cairo_create(surface);
  cairo_translate(cr, -left, -top);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
}

cairo_stroke_canvas::~cairo_stroke_canvas() {
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
}

bool cairo_stroke_canvas::Good() const {
  return cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS && cairo_status(cr) == CAIRO_STATUS_SUCCESS;
}

void cairo_stroke_canvas::Stroke(double x0, double y0, double x1, double y1, double width, uint8_t red,
                                 uint8_t green, uint8_t blue) {
  cairo_set_source_rgb(cr, red / 255.0, green / 255.0, blue / 255.0);
  cairo_set_line_width(cr, width);
  cairo_move_to(cr, x0, y0);
  cairo_line_to(cr, x1, y1);
  cairo_stroke(cr);
}

void cairo_stroke_canvas::Finish() { cairo_surface_flush(surface); }
